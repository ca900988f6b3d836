// The version-10 records of every node kind, of materials, textures, vertex
// and index blocks, built by hand from the layout; and the failures that
// abort a save.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>

#include "ByteBuilder.h"
#include "Connector.h"
#include "FakeLightsNodes.h"
#include "LightNode.h"
#include "NumberNode.h"
#include "Property.h"
#include "RootNode.h"
#include "SegmentsNode.h"
#include "ShellNode.h"
#include "SkinNode.h"
#include "TestFiles.h"
#include "io/10/NodeWriter10.h"
#include "io/MemBinaryFileW.h"
#include "transforms/ArgAnimatedBone.h"
#include "transforms/ArgVisibilityNode.h"
#include "transforms/BillboardNode.h"
#include "transforms/Bone.h"
#include "transforms/LodNode.h"
#include "transforms/TmpNumberRoot.h"
#include "zy/ExtException.h"

using namespace model;
using testing_bytes::ByteBuilder;

namespace {

// BaseNode fields: class name, name, category and property count.
ByteBuilder& header(ByteBuilder& b, const char* className, const char* name, uint32_t category, uint32_t properties)
{
    return b.sidx(className).lstr(name).u32(category).u32(properties);
}

ByteBuilder& version(ByteBuilder& b, uint32_t v)
{
    return b.sidx("model::Property<unsigned int>").sidx("__VERSION__").u32(v);
}

// Equal byte images; on a difference, names the first differing offset.
void expectBytes(const std::vector<uint8_t>& actual, const std::vector<uint8_t>& expected)
{
    const auto diff = std::mismatch(actual.begin(), actual.end(), expected.begin(), expected.end());
    EXPECT_TRUE(diff.first == actual.end() && diff.second == expected.end())
        << "first difference at byte " << (diff.first - actual.begin()) << " of " << actual.size() << " (expected "
        << expected.size() << ")" << (diff.first != actual.end() ? " actual " + std::to_string(*diff.first) : std::string()) << (diff.second != expected.end() ? " expected " + std::to_string(*diff.second) : std::string());
}

std::vector<std::string> poolOf(const io::MemBinaryFileW& out)
{
    std::vector<std::string> strings;
    for (size_t i = 0; i < out.pool().count(); ++i)
        strings.emplace_back(out.pool().at(i));
    return strings;
}

// Position (x, y, z, part).
zy::Ref<PropertiesSet> positionMaterial(const char* name)
{
    auto m = zy::makeRef<PropertiesSet>();
    m->setName(name);
    m->vertexFormat().setCount(ChannelPosition, 4);
    return m;
}

// A root whose tree is top (index 0) → child (1) → grandchild (2), numbered
// as the file writer numbers it.
class Records : public ::testing::Test {
protected:
    Records()
    {
        root = zy::makeRef<RootNode>();
        auto t = std::make_unique<Node>("top");
        top = t.get();
        root->setTopNode(std::move(t));
        child = new TransformNode;
        top->appendChild(child);
        grandchild = new Bone;
        child->appendChild(grandchild);
        top->setTreeIndex(0);
        child->setTreeIndex(1);
        grandchild->setTreeIndex(2);
    }

    // The record of one node written on its own (so its pool starts empty),
    // with the root's materials listed as while saving.
    void expectRecord(BaseNode& node, const ByteBuilder& expected)
    {
        root->collectMaterials();
        io::MemBinaryFileW out;
        NodeWriter10 writer(out);
        node.accept(writer);
        root->clearMaterials();
        expectBytes(out.buffer(), expected.bytes());
        EXPECT_EQ(poolOf(out), expected.pool());
    }

    // The message of the error writing the node raises.
    std::string failure(BaseNode& node)
    {
        root->collectMaterials();
        io::MemBinaryFileW out;
        NodeWriter10 writer(out);
        try {
            node.accept(writer);
        } catch (const zy::ExtException& e) {
            root->clearMaterials();
            return e.what();
        }
        root->clearMaterials();
        return "no error";
    }

    zy::Ref<RootNode> root;
    Node* top = nullptr;
    TransformNode* child = nullptr;
    Bone* grandchild = nullptr;
};

} // namespace

TEST_F(Records, RenderNodeWithOnePart)
{
    auto first = zy::makeRef<RenderNode>();
    first->setMaterial(positionMaterial("a"));
    auto node = zy::makeRef<RenderNode>();
    node->setName("hull");
    node->setMaterial(positionMaterial("b"));
    ASSERT_TRUE(node->setGeometry(Vertices(3, {1, 2, 3, 9, 4, 5, 6, 9, 7, 8, 9, 9}), Indices({0, 1, 2})));
    node->setPartControl(0, child);
    node->setPartArgument(0, 5);
    root->addRenderNode(first);
    root->addRenderNode(node);

    ByteBuilder b;
    header(b, "model::RenderNode", "hull", 1, 0).u32(0).u32(1); // second material
    b.u32(1).u32(1).i32(5);                                     // one part: control, argument
    b.u32(3).u32(4).f32s({1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0}); // parts numbered 0 by setGeometry
    b.u8(0).u32(3).u32(5).u8(0).u8(1).u8(2);
    expectRecord(*node, b);
}

TEST_F(Records, RenderNodeWithTwoParts)
{
    auto node = zy::makeRef<RenderNode>();
    node->setName("gear");
    node->setMaterial(positionMaterial("m"));
    node->vertices() = Vertices(4, {0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 1, 1, 1, 0, 1});
    node->indices() = Indices({0, 1, 1, 2, 3, 2});
    node->parts() = {{child, 0, 3, -1}, {top, 3, 6, 2}};
    root->addRenderNode(node);

    ByteBuilder b;
    header(b, "model::RenderNode", "gear", 1, 0).u32(0).u32(0);
    b.u32(2).u32(1).u32(3).i32(-1).u32(0).u32(6).u32(2); // per part: control, range end, argument
    b.u32(4).u32(4).f32s({0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 1, 1, 1, 0, 1});
    b.u8(0).u32(6).u32(5).u8(0).u8(1).u8(1).u8(2).u8(3).u8(2);
    expectRecord(*node, b);
}

TEST_F(Records, SkinNode)
{
    auto material = zy::makeRef<PropertiesSet>();
    material->vertexFormat().setCount(ChannelPosition, 3);
    material->vertexFormat().setCount(ChannelWeights, 4);
    auto skin = zy::makeRef<SkinNode>();
    skin->setName("body");
    skin->setMaterial(material);
    ASSERT_TRUE(skin->addBone(grandchild));
    skin->setArgument(3);
    ASSERT_TRUE(skin->setGeometry(Vertices(1, {1, 2, 3, 1, 0, 0, 0}), Indices({0, 0, 0}, PrimitivePoints)));
    root->addRenderNode(skin);

    ByteBuilder b;
    header(b, "model::SkinNode", "body", 1, 0).u32(0).u32(0);
    b.u32(1).u32(2).i32(3);                    // bones, argument
    b.u32(1).u32(7).f32s({1, 2, 3, 1, 0, 0, 0}); // vertices
    b.u8(0).u32(3).u32(0).u8(0).u8(0).u8(0);   // indices
    expectRecord(*skin, b);
}

TEST_F(Records, NumberNode)
{
    auto material = positionMaterial("digits");
    material->vertexFormat().setCount(ChannelWeights, 1);
    auto number = zy::makeRef<NumberNode>();
    number->setMaterial(material);
    ASSERT_TRUE(number->setGeometry(Vertices(1, {1, 1, 1, 0, 2}), Indices()));
    number->setPartControl(0, top);
    number->setDigits(0, {{-1, 0.5f, 3, 1.0f}, {2, 0.25f, -1, 0.0f}});
    root->addRenderNode(number);

    ByteBuilder b;
    header(b, "model::NumberNode", "", 1, 0).u32(0).u32(0);
    b.u32(1).u32(0).i32(-1);
    b.u32(1).u32(5).f32s({1, 1, 1, 0, 2});
    b.u8(0).u32(0).u32(5); // an empty index list: code 0, no values
    b.u32(2).i32(-1).f32(0.5f).i32(3).f32(1.0f).i32(2).f32(0.25f).i32(-1).f32(0.0f);
    expectRecord(*number, b);
}

TEST_F(Records, ShellAndSegmentsNodes)
{
    VertexFormat format;
    format.setCount(ChannelPosition, 3);
    auto shell = zy::makeRef<ShellNode>();
    shell->setName("shell");
    shell->setControl(child);
    ASSERT_TRUE(shell->setGeometry(format, Vertices(3, {0, 0, 0, 1, 0, 0, 0, 1, 0}), Indices({0, 1, 2})));
    root->addShellNode(shell);

    ByteBuilder b;
    header(b, "model::ShellNode", "shell", 16, 0).u32(1);
    b.u32(26).u8(3);
    for (int c = 1; c < 26; ++c)
        b.u8(0);
    b.u32(3).u32(3).f32s({0, 0, 0, 1, 0, 0, 0, 1, 0});
    b.u8(0).u32(3).u32(5).u8(0).u8(1).u8(2);
    expectRecord(*shell, b);

    auto segments = zy::makeRef<SegmentsNode>();
    segments->setName("rail");
    segments->setControl(top);
    segments->addSegment({1, 2, 3}, {4, 5, 6});
    root->addShellNode(segments);
    ByteBuilder s;
    header(s, "model::SegmentsNode", "rail", 16, 0).u32(0).u32(1).f32s({1, 2, 3, 4, 5, 6});
    expectRecord(*segments, s);
}

TEST_F(Records, ConnectorAndLod)
{
    auto connector = std::make_unique<Connector>();
    connector->setName("hook");
    connector->setControl(grandchild);
    connector->addProperty(zy::makeRef<Property<float>>("mass", 2.0f));
    connector->animatedProperties().push_back(zy::makeRef<ArgumentProperty>("door", 7));
    Connector& c = *connector;
    root->addConnector(std::move(connector));
    ByteBuilder b;
    header(b, "model::Connector", "hook", 2, 1).sidx("model::Property<float>").sidx("mass").f32(2.0f);
    b.u32(2).u32(1).sidx("model::ArgumentProperty").sidx("door").u32(7);
    expectRecord(c, b);

    LodNode lod;
    lod.setName("lod");
    lod.addRange(0, 1e4);
    lod.addRange(1e4, 1e6);
    ByteBuilder l;
    header(l, "model::LodNode", "lod", 0, 0).u32(2).f64s({0, 1e4, 1e4, 1e6});
    expectRecord(lod, l);
}

TEST_F(Records, LightWithAndWithoutTexture)
{
    auto light = std::make_unique<LightNode>();
    light->setName("lamp");
    light->setControl(child);
    light->setLightType(LightSpot);
    light->setLightProperty(0, zy::makeRef<Property<osg::Vec3f>>("color", osg::Vec3f(1, 0.5f, 0)));
    LightNode& l = *light;
    root->addLight(std::move(light));

    const auto expected = [](bool textured) {
        ByteBuilder b;
        header(b, "model::LightNode", "lamp", 4, 1);
        version(b, 2);
        b.u32(1).u8(1).u32(7);
        b.sidx("model::Property<osg::Vec3f>").sidx("color").f32s({1, 0.5f, 0});
        for (float v : {0.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f})
            b.sidx("model::Property<float>").sidx("").f32(v);
        if (!textured)
            return b.u8(0);
        b.u8(1).i32(-1).sidx("glow.dds").u32(4).u32(2).u32(10).u32(6);
        b.f32s({2, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0.5f, 0, 0, 1});
        return b;
    };
    expectRecord(l, expected(false));

    l.texture().setName("glow.dds");
    l.texture().setAddressing(4, 2);
    l.texture().setMatrix({2, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0.5f, 0, 0, 1});
    expectRecord(l, expected(true));
}

TEST_F(Records, BillboardNode)
{
    BillboardNode node;
    node.setName("tree");
    node.setMode(2);
    node.setFlag(1);
    node.setAxis({0, 1, 0});
    node.setMatrix(osg::Mat4d::translate({5, 6, 7}));
    ByteBuilder b;
    header(b, "model::BillboardNode", "tree", 0, 1);
    version(b, 1);
    b.u8(2).u8(1).f64s({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 5, 6, 7, 1}).f64s({0, 1, 0});
    expectRecord(node, b);
}

namespace {

// The fields every ArgAnimationNode record starts with, for default base
// values and an identity local matrix.
ByteBuilder& animationStart(ByteBuilder& b, const char* className, const char* name)
{
    header(b, className, name, 0, 0).identity4x4();
    return b.f64s({0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 1, 1, 1, 1});
}

} // namespace

TEST_F(Records, ArgAnimationNodeUnderEachEffectiveKind)
{
    const osg::Quatd q(0.1, 0.2, 0.3, 0.9);
    const std::vector<PositionTrack> positions = {{4, {{0.5, {1, 2, 3}}}}};
    const std::vector<RotationTrack> rotations = {{2, {{0.0, q}, {1.0, osg::Quatd()}}}};
    const std::vector<ScaleTrack> scales = {{6, {{0.25, q}}, {{0.75, {2, 2, 2}}}}};

    const auto positionBytes = [](ByteBuilder& b) { b.u32(1).u32(4).u32(1).f64s({0.5, 1, 2, 3}); };
    const auto rotationBytes = [](ByteBuilder& b) {
        b.u32(1).u32(2).u32(2).f64s({0.0, 0.1, 0.2, 0.3, 0.9}).f64s({1.0, 0, 0, 0, 1});
    };
    const auto scaleBytes = [](ByteBuilder& b) {
        b.u32(1).u32(6).u32(1).f64s({0.25, 0.1, 0.2, 0.3, 0.9}).u32(1).f64s({0.75, 2, 2, 2});
    };
    const auto none = [](ByteBuilder& b) { b.u32(0); };

    struct Case {
        bool p, r, s;
        const char* className;
    };
    const Case cases[] = {
        {true, false, false, "model::ArgPositionNode"},
        {false, true, false, "model::ArgRotationNode"},
        {false, false, true, "model::ArgScaleNode"},
        {false, false, false, "model::ArgScaleNode"},
        {true, true, true, "model::ArgAnimationNode"},
        {false, true, true, "model::ArgAnimationNode"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.className);
        ArgAnimationNode node;
        node.setName("arm");
        if (c.p)
            node.positionTracks() = positions;
        if (c.r)
            node.rotationTracks() = rotations;
        if (c.s)
            node.scaleTracks() = scales;
        ByteBuilder b;
        animationStart(b, c.className, "arm");
        c.p ? positionBytes(b) : none(b);
        c.r ? rotationBytes(b) : none(b);
        c.s ? scaleBytes(b) : none(b);
        expectRecord(node, b);
    }
}

TEST_F(Records, ArgAnimationNodeBaseValues)
{
    ArgAnimationNode node;
    node.setBasePosition({1, 2, 3});
    node.setBaseRotation({0, 0, 0.6, 0.8});
    node.setScaleOrientation({0.6, 0, 0, 0.8});
    node.setBaseScale({4, 5, 6});
    node.setMatrix(osg::Mat4d::translate({7, 8, 9}));
    ByteBuilder b;
    header(b, "model::ArgScaleNode", "", 0, 0).f64s({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 7, 8, 9, 1});
    b.f64s({1, 2, 3, 0, 0, 0.6, 0.8, 0.6, 0, 0, 0.8, 4, 5, 6}).u32(0).u32(0).u32(0);
    expectRecord(node, b);
}

TEST_F(Records, VisibilityNode)
{
    ArgVisibilityNode node({{3, {{0.5, 0.2}, {0.4, 0.6}}}, {1, {{0, 0.5}, {0.5, 1}}}});
    node.setName("flap");
    ByteBuilder b;
    header(b, "model::ArgVisibilityNode", "flap", 0, 0).u32(2);
    b.u32(1).u32(2).f64s({0, 0.5, 0.5, 1});
    b.u32(3).u32(1).f64s({0.2, 0.6});
    expectRecord(node, b);
}

TEST_F(Records, Bones)
{
    const osg::Mat4d local = osg::Mat4d::translate({1, 0, 0});
    const osg::Mat4d bind = osg::Mat4d::translate({0, 2, 0});
    Bone bone(local, bind);
    bone.setName("b");
    ByteBuilder b;
    header(b, "model::Bone", "b", 0, 0).f64s({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 1, 0, 0, 1});
    b.f64s({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 2, 0, 1});
    expectRecord(bone, b);

    IKBone ik(local);
    ik.setName("ik");
    ByteBuilder k;
    const double pi = std::numbers::pi;
    header(k, "model::IKBone", "ik", 0, 0).f64s({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 1, 0, 0, 1}).identity4x4();
    k.f64s({-pi, pi, -pi / 2, pi / 2, -pi, pi});
    expectRecord(ik, k);

    ArgAnimationNode animation;
    animation.setName("a");
    animation.positionTracks().push_back({0, {}});
    ArgAnimatedBone animated(animation);
    animated.setBoneMatrix(bind);
    ByteBuilder a;
    animationStart(a, "model::ArgAnimatedBone", "a").u32(1).u32(0).u32(0).u32(0).u32(0);
    a.f64s({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 2, 0, 1});
    expectRecord(animated, a);
}

namespace {

FakeOmniLight omni(double x, uint32_t slot)
{
    FakeOmniLight l;
    l.position = {x, 0.5, -1};
    l.lowerLeft = {0, 0.25f};
    l.upperRight = {0.5f, 1};
    l.size = 2;
    l.controlSlot = slot;
    return l;
}

ByteBuilder& omniBytes(ByteBuilder& b, double x, uint32_t slot)
{
    return b.f64s({x, 0.5, -1}).f32s({0, 0.25f, 0.5f, 1, 2}).u32(slot);
}

} // namespace

TEST_F(Records, FakeOmniLights)
{
    auto node = zy::makeRef<FakeOmniLightsNode>();
    node->setName("runway");
    node->setMaterial(positionMaterial("sprite"));
    node->setPartControl(0, child);
    node->lightList().addControl({top});
    node->lightList().setLights({omni(1, 1), omni(2, 0), omni(3, 1)});
    root->addRenderNode(node);

    ByteBuilder b;
    header(b, "model::FakeOmniLightsNode", "runway", 1, 0).u32(0).u32(0);
    b.u32(2).u32(1).u32(1).u32(0).u32(3); // controls: tree index, end of run
    b.u32(3);
    omniBytes(b, 2, 0);
    omniBytes(b, 1, 1);
    omniBytes(b, 3, 1);
    expectRecord(*node, b);

    auto animated = zy::makeRef<AnimatedFakeOmniLightsNode>();
    animated->setMaterial(node->materialRef());
    animated->setPartControl(0, top);
    animated->lightList().setLights({omni(1, 0)});
    animated->setArgument(9);
    std::vector<float> samples(128);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = float(i) / 127.0f;
    animated->setSamples(samples);
    root->addRenderNode(animated);

    ByteBuilder a;
    header(a, "model::AnimatedFakeOmniLightsNode", "", 1, 0).u32(0).u32(0);
    a.u32(1).u32(0).u32(1).u32(1);
    omniBytes(a, 1, 0);
    a.u32(9).u32(128).u32(128);
    for (float s : samples)
        a.f32(s);
    expectRecord(*animated, a);
}

TEST_F(Records, FakeSpotLights)
{
    FakeSpotLight light;
    static_cast<FakeOmniLight&>(light) = omni(4, 0);
    light.backLowerLeft = {0.5f, 0};
    light.backUpperRight = {1, 0.5f};
    light.backUsed = true;
    const auto spotBytes = [](ByteBuilder& b) {
        b.u32(1).u32(1).u32(1).f32s({0, 0, -1}); // control: tree index, end, direction
        b.u32(1);
        omniBytes(b, 4, 0).f32s({0.5f, 0, 1, 0.5f}).u8(1);
    };

    auto node = zy::makeRef<FakeSpotLightsNode>();
    node->setMaterial(positionMaterial("sprite"));
    node->lightList().control(0) = {{child}, {0, 0, -1}};
    node->lightList().setLights({light});
    root->addRenderNode(node);
    ByteBuilder b;
    header(b, "model::FakeSpotLightsNode", "", 1, 1);
    version(b, 1).u32(0).u32(0);
    spotBytes(b);
    expectRecord(*node, b);

    auto animated = zy::makeRef<AnimatedFakeSpotLightsNode>();
    animated->setMaterial(node->materialRef());
    animated->lightList().control(0) = {{child}, {0, 0, -1}};
    animated->lightList().setLights({light});
    animated->setArgument(0);
    animated->setSamples(std::vector<float>(128, 0.5f));
    root->addRenderNode(animated);
    ByteBuilder a;
    header(a, "model::AnimatedFakeSpotLightsNode", "", 1, 1);
    version(a, 1).u32(0).u32(0);
    spotBytes(a);
    a.u32(0).u32(128).u32(128);
    for (int i = 0; i < 128; ++i)
        a.f32(0.5f);
    expectRecord(*animated, a);
}

namespace {

std::vector<uint8_t> bytesOf(const std::function<void(io::IBinaryFileW&)>& write)
{
    io::MemBinaryFileW out;
    write(out);
    return out.buffer();
}

} // namespace

TEST(IndexBlock, WidthCodes)
{
    struct Case {
        std::vector<uint32_t> indices;
        ByteBuilder expected;
    };
    std::vector<Case> cases;
    cases.push_back({{}, ByteBuilder().u8(0).u32(0).u32(5)});
    cases.push_back({{0, 255, 7}, ByteBuilder().u8(0).u32(3).u32(5).u8(0).u8(255).u8(7)});
    cases.push_back({{0, 256, 7}, ByteBuilder().u8(1).u32(3).u32(5).u16(0).u16(256).u16(7)});
    cases.push_back({{65535, 1}, ByteBuilder().u8(1).u32(2).u32(5).u16(65535).u16(1)});
    cases.push_back({{65536, 1, 2}, ByteBuilder().u8(2).u32(3).u32(5).u32(65536).u32(1).u32(2)});
    cases.push_back({{0xFFFFFFFFu}, ByteBuilder().u8(2).u32(1).u32(5).u32(0xFFFFFFFFu)});
    for (const Case& c : cases) {
        const Indices indices(c.indices);
        EXPECT_EQ(bytesOf([&](io::IBinaryFileW& out) { indices.write(out); }), c.expected.bytes())
            << c.indices.size() << " indices";
    }
    const Indices strip({1, 2}, PrimitiveTriangleStrip);
    EXPECT_EQ(bytesOf([&](io::IBinaryFileW& out) { strip.write(out); }),
              ByteBuilder().u8(0).u32(2).u32(6).u8(1).u8(2).bytes());
    const Vertices none;
    EXPECT_EQ(bytesOf([&](io::IBinaryFileW& out) { none.write(out, 7); }), ByteBuilder().u32(0).u32(0).bytes());
}

namespace {

// A material record for the fixture material below, optional entries on request.
ByteBuilder materialBytes(bool billboard, bool decal, bool specular)
{
    ByteBuilder b;
    b.u32(10 + billboard + decal);
    b.sidx("BLENDING").u8(2);
    b.sidx("DEPTH_BIAS").u32(1);
    b.sidx("VERTEX_FORMAT").u32(26).u8(4).u8(3);
    for (int c = 2; c < 26; ++c)
        b.u8(c == 4 ? 2 : 0);
    b.sidx("TEXTURE_COORDINATES_CHANNELS").u32(13).i32(0).i32(-1).i32(0);
    for (int k = 3; k < 12; ++k)
        b.i32(-1);
    b.i32(0);
    b.sidx("MATERIAL_NAME").sidx("def_material");
    b.sidx("NAME").sidx("hull");
    b.sidx("SHADOWS").u8(4);
    b.sidx("TEXTURES").u32(specular ? 3 : 2);
    b.u32(0).i32(-1).sidx("hull.dds").u32(2).u32(2).u32(10).u32(6).f32s({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1});
    if (specular)
        b.u32(2).i32(-1).sidx("spec.dds").u32(2).u32(2).u32(10).u32(6).f32s({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1});
    b.u32(13).i32(0).sidx("metal.dds").u32(4).u32(4).u32(1).u32(2).f32s({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1});
    b.sidx("UNIFORMS").u32(1).sidx("model::Property<float>").sidx("gloss").f32(0.5f);
    b.sidx("ANIMATED_UNIFORMS").u32(1).sidx("model::ArgumentProperty").sidx("heat").u32(3);
    if (billboard)
        b.sidx("BILLBOARD").u8(1).u8(6);
    if (decal)
        b.sidx("DECAL").u8(2);
    return b;
}

zy::Ref<PropertiesSet> fixtureMaterial(bool billboard, bool decal, bool specular)
{
    auto m = zy::makeRef<PropertiesSet>();
    m->setName("hull");
    m->setMaterialName("def_material");
    m->setBlending(2);
    m->setDepthBias(true);
    m->setShadowFlag1(false);
    m->setShadowFlag2(true);
    m->vertexFormat().setCount(ChannelPosition, 4);
    m->vertexFormat().setCount(ChannelNormal, 3);
    m->vertexFormat().setCount(ChannelTexCoord0, 2);
    m->setTexCoordChannel(0, 0);
    m->setTexCoordChannel(2, 0);
    m->setTexCoordChannel(12, 0);
    m->texture(TextureDiffuse).setName("hull.dds");
    if (specular)
        m->texture(TextureSpecular).setName("spec.dds");
    m->texture(TextureMetRoughMap).setName("metal.dds");
    m->texture(TextureMetRoughMap).setAddressing(4, 4);
    m->texture(TextureMetRoughMap).setCodes(0, 1, 2);
    m->uniforms().push_back(zy::makeRef<Property<float>>("gloss", 0.5f));
    m->animatedUniforms().push_back(zy::makeRef<ArgumentProperty>("heat", 3));
    m->setBillboard(billboard);
    m->setBillboardMode(1);
    m->setDecal(decal ? 2 : 0);
    return m;
}

} // namespace

TEST(MaterialRecord, OptionalEntriesAndTheirCount)
{
    for (bool billboard : {false, true})
        for (bool decal : {false, true}) {
            SCOPED_TRACE(testing::Message() << "billboard " << billboard << ", decal " << decal);
            auto m = fixtureMaterial(billboard, decal, false);
            io::MemBinaryFileW out;
            m->write(out);
            const ByteBuilder expected = materialBytes(billboard, decal, false);
            expectBytes(out.buffer(), expected.bytes());
            EXPECT_EQ(poolOf(out), expected.pool());
        }
}

TEST(MaterialRecord, MetRoughMapDropsTheSpecularTexture)
{
    auto m = fixtureMaterial(false, false, true);
    io::MemBinaryFileW out;
    m->write(out);
    EXPECT_EQ(out.buffer(), materialBytes(false, false, false).bytes());
    EXPECT_FALSE(m->texture(TextureSpecular).inUse());

    // Without a MetRoughMap the Specular texture stays.
    auto alone = fixtureMaterial(false, false, true);
    alone->texture(TextureMetRoughMap).setName("");
    io::MemBinaryFileW out2;
    alone->write(out2);
    EXPECT_TRUE(alone->texture(TextureSpecular).inUse());
}

TEST_F(Records, RootRecordListsMaterialsAndArguments)
{
    auto material = positionMaterial("only");
    auto a = zy::makeRef<RenderNode>();
    a->setMaterial(material);
    a->setPartControl(0, top);
    a->setPartArgument(0, 4);
    auto b = zy::makeRef<RenderNode>();
    b->setMaterial(material); // the same object is listed once
    b->setPartControl(0, top);
    root->addRenderNode(a);
    root->addRenderNode(b);
    root->setName("m");
    delete child; // only the top node is numbered
    child = nullptr;
    grandchild = nullptr;

    ByteBuilder e;
    e.u64(0);
    header(e, "model::RootNode", "m", 0, 1);
    version(e, 3);
    const double big = 3.4028234663852886e38;
    for (int box = 0; box < 3; ++box)
        e.f64s({big, big, big, -big, -big, -big});
    e.u32(1).u32(10); // one material of ten entries
    e.sidx("BLENDING").u8(0).sidx("DEPTH_BIAS").u32(0).sidx("VERTEX_FORMAT").u32(26).u8(4);
    for (int c = 1; c < 26; ++c)
        e.u8(0);
    e.sidx("TEXTURE_COORDINATES_CHANNELS").u32(13);
    for (int k = 0; k < 13; ++k)
        e.i32(-1);
    e.sidx("MATERIAL_NAME").sidx("").sidx("NAME").sidx("only").sidx("SHADOWS").u8(1).sidx("TEXTURES").u32(0);
    e.sidx("UNIFORMS").u32(0).sidx("ANIMATED_UNIFORMS").u32(0);
    e.u32(0).u32(5); // argument count: 1 + argument 4
    e.u32(1);
    header(e, "model::Node", "top", 0, 0).i32(-1);
    e.u32(1).sidx("RENDER_NODES").u32(2);
    for (int n = 0; n < 2; ++n) {
        header(e, "model::RenderNode", "", 1, 0).u32(0).u32(0).u32(1).u32(0).i32(n == 0 ? 4 : -1);
        e.u32(0).u32(0).u8(0).u32(0).u32(5);
    }

    testing_files::ScratchDir dir;
    root->save(dir.file("m.zym"), 10);
    expectBytes(testing_files::readBytes(dir.file("m.zym")), e.file(10));
    EXPECT_TRUE(root->materials().empty());
}

TEST_F(Records, FailureMessages)
{
    struct Case {
        const char* expected;
        std::function<BaseNode&()> make;
    };
    std::vector<std::unique_ptr<BaseNode>> keep;
    std::vector<zy::Ref<zy::SharedLite>> shared;
    const auto own = [&](auto* node) -> decltype(*node)& {
        keep.emplace_back(node);
        return *node;
    };
    const auto listed = [&](auto ref) -> decltype(*ref)& {
        shared.emplace_back(ref.get());
        root->addRenderNode(ref);
        return *ref;
    };
    const auto unlisted = [&](auto ref) -> decltype(*ref)& {
        shared.emplace_back(ref.get());
        return *ref;
    };
    const Case cases[] = {
        {"Unknown properties set. Node: hull.",
         [&]() -> BaseNode& {
             auto n = zy::makeRef<RenderNode>(); // not in the root's render list
             n->setName("hull");
             n->setMaterial(positionMaterial("m"));
             return unlisted(n);
         }},
        {"Unknown properties set. Node: bare.",
         [&]() -> BaseNode& {
             auto n = zy::makeRef<RenderNode>(); // no material at all
             n->setName("bare");
             return listed(n);
         }},
        {"Control node isn't set. BaseShellNode: shell.",
         [&]() -> BaseNode& {
             auto n = zy::makeRef<ShellNode>();
             n->setName("shell");
             shared.emplace_back(n.get());
             return *n;
         }},
        {"Control node isn't set. BaseShellNode: rail.",
         [&]() -> BaseNode& {
             auto n = zy::makeRef<SegmentsNode>();
             n->setName("rail");
             shared.emplace_back(n.get());
             return *n;
         }},
        {"Node 'arm' has invalid position handle.",
         [&]() -> BaseNode& {
             auto* n = new ArgAnimationNode;
             n->setName("arm");
             n->positionTracks().push_back({-1, {}});
             n->rotationTracks().push_back({-1, {}});
             return own(n);
         }},
        {"Node 'arm' has invalid rotation handle.",
         [&]() -> BaseNode& {
             auto* n = new ArgAnimationNode;
             n->setName("arm");
             n->positionTracks().push_back({0, {}});
             n->rotationTracks().push_back({-1, {}});
             return own(n);
         }},
        {"Node 'arm' has invalid scale handle.",
         [&]() -> BaseNode& {
             auto* n = new ArgAnimatedBone;
             n->setName("arm");
             n->scaleTracks().push_back({-1, {}, {}});
             return own(n);
         }},
        {"Argument of animated fake omni lights must be valid. Node id: model::AnimatedFakeOmniLightsNode.",
         [&]() -> BaseNode& {
             auto n = zy::makeRef<AnimatedFakeOmniLightsNode>();
             n->setMaterial(positionMaterial("m"));
             n->setPartControl(0, top);
             return listed(n);
         }},
        {"Argument of animated fake omni lights must be valid. Node id: model::AnimatedFakeSpotLightsNode.",
         [&]() -> BaseNode& {
             auto n = zy::makeRef<AnimatedFakeSpotLightsNode>();
             n->setMaterial(positionMaterial("m"));
             n->setPartControl(0, top);
             return listed(n);
         }},
        {"Invalid data size. Node id: model::AnimatedFakeOmniLightsNode.",
         [&]() -> BaseNode& {
             auto n = zy::makeRef<AnimatedFakeOmniLightsNode>();
             n->setMaterial(positionMaterial("m"));
             n->setPartControl(0, top);
             n->lightList().setLights({FakeOmniLight{}, FakeOmniLight{}});
             n->setArgument(1);
             n->setSamples(std::vector<float>(128));
             return listed(n);
         }},
        {"Invalid data size. Node id: model::AnimatedFakeSpotLightsNode.",
         [&]() -> BaseNode& {
             auto n = zy::makeRef<AnimatedFakeSpotLightsNode>();
             n->setMaterial(positionMaterial("m"));
             n->setPartControl(0, top);
             n->setArgument(1);
             n->setSamples(std::vector<float>(128));
             return listed(n);
         }},
        {"Node digits is temporary, it should be eleminated before saving.",
         [&]() -> BaseNode& {
             auto* n = new TmpNumberRoot;
             n->setName("digits");
             return own(n);
         }},
        // A missing or detached reference would make the record name another node.
        {"Control node isn't set. RenderNode: hull.",
         [&]() -> BaseNode& {
             auto n = zy::makeRef<RenderNode>();
             n->setName("hull");
             n->setMaterial(positionMaterial("m"));
             return listed(n);
         }},
        {"Control node isn't in the model tree. Connector: hook.",
         [&]() -> BaseNode& {
             auto* detached = new Node("elsewhere");
             keep.emplace_back(detached);
             auto connector = std::make_unique<Connector>();
             connector->setName("hook");
             connector->setControl(detached);
             Connector& c = *connector;
             root->addConnector(std::move(connector));
             return c;
         }},
        {"Index 3 is outside the 3 vertices. Node: hull.",
         [&]() -> BaseNode& {
             auto n = zy::makeRef<RenderNode>();
             n->setName("hull");
             n->setMaterial(positionMaterial("m"));
             n->setGeometry(Vertices(3, std::vector<float>(12)), Indices({0, 1, 3}));
             n->setPartControl(0, top);
             return listed(n);
         }},
        {"Vertex data doesn't match the vertex format. Node: hull.",
         [&]() -> BaseNode& {
             auto n = zy::makeRef<RenderNode>();
             n->setName("hull");
             n->setMaterial(positionMaterial("m"));
             n->setPartControl(0, top);
             n->vertices() = Vertices(3, std::vector<float>(11));
             return listed(n);
         }},
    };
    for (const Case& c : cases)
        EXPECT_EQ(failure(c.make()), c.expected);
}

TEST_F(Records, FailedSaveWritesNothing)
{
    auto* digits = new TmpNumberRoot;
    digits->setName("digits");
    child->appendChild(digits);

    testing_files::ScratchDir dir;
    const std::string path = dir.file("model.zym");
    try {
        root->save(path, 10);
        FAIL() << "save succeeded";
    } catch (const zy::ExtException& e) {
        EXPECT_STREQ(e.what(), "Node digits is temporary, it should be eleminated before saving.");
    }
    EXPECT_EQ(dir.entryCount(), 0u);

    // An existing file is left as it was.
    testing_files::writeBytes(path, "old");
    EXPECT_THROW(root->save(path, 10), zy::ExtException);
    const std::vector<uint8_t> kept = testing_files::readBytes(path);
    EXPECT_EQ(std::string(kept.begin(), kept.end()), "old");
    EXPECT_EQ(dir.entryCount(), 1u);
}
