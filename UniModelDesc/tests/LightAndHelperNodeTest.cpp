// Connectors, lights, LOD and billboard nodes, fake lights (ordering and
// merging), the temporary number root and the class registry.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "Connector.h"
#include "FakeLightsNodes.h"
#include "LightNode.h"
#include "ModelFactoryManager.h"
#include "NumberNode.h"
#include "Property.h"
#include "RenderNode.h"
#include "SegmentsNode.h"
#include "ShellNode.h"
#include "SkinNode.h"
#include "transforms/ArgAnimatedBone.h"
#include "transforms/ArgVisibilityNode.h"
#include "transforms/BillboardNode.h"
#include "transforms/Bone.h"
#include "transforms/LodNode.h"
#include "transforms/TmpNumberRoot.h"
#include "zy/ExtException.h"

using namespace model;

namespace {

uint32_t versionOf(const BaseNode& node)
{
    const BaseProperty* p = node.properties().find("__VERSION__", ValueKind::UInt);
    return p ? p->asUInt() : 0;
}

FakeOmniLight omniLight(double x, uint32_t slot)
{
    FakeOmniLight l;
    l.position = {x, 0, 0};
    l.size = float(x);
    l.controlSlot = slot;
    return l;
}

std::vector<double> xs(const std::vector<FakeOmniLight>& lights)
{
    std::vector<double> out;
    for (const auto& l : lights)
        out.push_back(l.position[0]);
    return out;
}

template <class List>
std::vector<std::pair<uint32_t, uint32_t>> runs(const List& list)
{
    std::vector<std::pair<uint32_t, uint32_t>> out;
    for (const auto& c : list.controls())
        out.emplace_back(c.first, c.end);
    return out;
}

using Runs = std::vector<std::pair<uint32_t, uint32_t>>;

} // namespace

TEST(LightNode, StartsWithSevenUnnamedSlotsAndVersion2)
{
    LightNode light;
    EXPECT_EQ(light.category(), uint32_t(CATEGORY_LIGHT));
    EXPECT_EQ(light.lightType(), LightOmni);
    ASSERT_EQ(light.lightProperties().size(), 7u);
    EXPECT_EQ(light.lightProperty(0)->valueKind(), ValueKind::Vec3f);
    EXPECT_EQ(light.lightProperty(0)->asVec3f(), osg::Vec3f(0, 0, 0));
    const float floats[] = {0, 0, 0, 0, 1, 0};
    for (size_t slot = 1; slot < 7; ++slot) {
        EXPECT_EQ(light.lightProperty(slot)->valueKind(), ValueKind::Float);
        EXPECT_EQ(light.lightProperty(slot)->asFloat(), floats[slot - 1]) << slot;
    }
    for (const auto& p : light.lightProperties())
        EXPECT_EQ(p->name(), "");
    ASSERT_EQ(light.properties().size(), 1u);
    EXPECT_EQ(versionOf(light), 2u);
    EXPECT_FALSE(light.texture().inUse());
    EXPECT_THROW(light.lightProperty(7), std::out_of_range);

    light.setLightProperty(4, zy::makeRef<AnimatedProperty<float>>(
                                  "range", 3, std::vector<Key<float>>{{0.0, 5.0f}, {1.0, 12.0f}}));
    light.setLightProperty(1, zy::makeRef<ArgumentProperty>("flicker", -1));
    ArgumentSet arguments;
    light.collectArguments(arguments);
    EXPECT_EQ(arguments, (ArgumentSet{3}));
}

TEST(Connector, ArgumentsOfItsAnimatedProperties)
{
    Connector c;
    EXPECT_EQ(c.category(), uint32_t(CATEGORY_CONNECTOR));
    c.addProperty(zy::makeRef<Property<float>>("static", 1.0f));
    c.animatedProperties().push_back(zy::makeRef<ArgumentProperty>("door", 12));
    c.animatedProperties().push_back(
        zy::makeRef<AnimatedProperty<osg::Vec2f>>("uv", 1, std::vector<Key<osg::Vec2f>>{}));
    ArgumentSet arguments;
    c.collectArguments(arguments);
    EXPECT_EQ(arguments, (ArgumentSet{1, 12}));
}

TEST(BillboardNode, VersionEqualityAndClone)
{
    BillboardNode a;
    EXPECT_EQ(versionOf(a), 1u);
    a.setMode(2);
    a.setFlag(1);
    a.setAxis({0, 1, 0});
    BillboardNode b;
    b.setMode(2);
    b.setFlag(1);
    b.setAxis({0, 1 + 5e-7, 0});
    EXPECT_TRUE(a.equals(b));
    b.setAxis({0, 1 + 2e-6, 0});
    EXPECT_FALSE(a.equals(b));
    b.setAxis({0, 1, 0});
    b.setFlag(0);
    EXPECT_FALSE(a.equals(b));
    EXPECT_TRUE(a.clone()->equals(a));
    EXPECT_EQ(static_cast<BillboardNode&>(*a.clone()).mode(), 2);
}

TEST(LodNode, RangesTakePartInEqualityAndClone)
{
    LodNode a;
    a.addRange(0, 100);
    a.addRange(100, 1000);
    LodNode b;
    b.addRange(0, 100);
    b.addRange(100, 1000);
    EXPECT_TRUE(a.equals(b));
    b.ranges()[1].to = 2000;
    EXPECT_FALSE(a.equals(b));
    const auto copy = a.clone();
    ASSERT_EQ(static_cast<LodNode&>(*copy).ranges().size(), 2u);
    EXPECT_TRUE(copy->equals(a));
}

TEST(FakeLights, LightsKeepTheirControlsRuns)
{
    Node x, y;
    FakeOmniLightsNode node;
    EXPECT_EQ(node.partCount(), 1u);
    EXPECT_EQ(node.partControl(0), nullptr);
    node.setPartControl(0, &x);
    EXPECT_EQ(node.lightList().addControl({&y}), 1u);
    EXPECT_TRUE(node.lightList().addLight(omniLight(1, 1)));
    EXPECT_TRUE(node.lightList().addLight(omniLight(2, 0)));
    EXPECT_TRUE(node.lightList().addLight(omniLight(3, 1)));
    EXPECT_TRUE(node.lightList().addLight(omniLight(4, 0)));
    EXPECT_FALSE(node.lightList().addLight(omniLight(5, 2))); // no such control

    EXPECT_EQ(xs(node.lightList().lights()), (std::vector<double>{2, 4, 1, 3}));
    EXPECT_EQ(runs(node.lightList()), (Runs{{0, 2}, {2, 4}}));
    EXPECT_EQ(node.primitiveCount(), 4u);
    EXPECT_EQ(node.partArgument(0), -1);

    node.transformPart(1, osg::Mat4d::translate({0, 7, 0}));
    EXPECT_EQ(node.lightList().lights()[0].position[1], 0.0);
    EXPECT_EQ(node.lightList().lights()[2].position[1], 7.0);
    const Box box = node.partBoundingBox(1);
    EXPECT_EQ(box.min, osg::Vec3f(1, 7, 0));
    EXPECT_EQ(box.max, osg::Vec3f(3, 7, 0));
}

TEST(FakeLights, MergingTheSameControlNodeMakesOneRun)
{
    Node x;
    auto material = zy::makeRef<PropertiesSet>();
    FakeOmniLightsNode a, b;
    for (FakeOmniLightsNode* n : {&a, &b}) {
        n->setMaterial(material);
        n->setPartControl(0, &x);
    }
    a.lightList().setLights({omniLight(1, 0), omniLight(2, 0)});
    b.lightList().setLights({omniLight(3, 0)});
    ASSERT_TRUE(a.merge(b));
    EXPECT_EQ(a.partCount(), 1u);
    EXPECT_EQ(runs(a.lightList()), (Runs{{0, 3}}));
    EXPECT_EQ(xs(a.lightList().lights()), (std::vector<double>{1, 2, 3}));
    for (const auto& l : a.lightList().lights())
        EXPECT_EQ(l.controlSlot, 0u);
}

TEST(FakeLights, MergeRenumbersControlsAndRecomputesRuns)
{
    Node x, y, z;
    auto material = zy::makeRef<PropertiesSet>();
    FakeOmniLightsNode a, b;
    a.setMaterial(material);
    b.setMaterial(material);
    a.setPartControl(0, &x);
    a.lightList().addControl({&y});
    a.lightList().setLights({omniLight(1, 1), omniLight(2, 0)});
    b.setPartControl(0, &z);
    b.lightList().addControl({&x});
    b.lightList().setLights({omniLight(3, 0), omniLight(4, 1), omniLight(5, 1)});

    ASSERT_TRUE(a.merge(b));
    // Controls x, y, then z; b's x lights join a's x run.
    ASSERT_EQ(a.partCount(), 3u);
    EXPECT_EQ(a.partControl(2), &z);
    EXPECT_EQ(xs(a.lightList().lights()), (std::vector<double>{2, 4, 5, 1, 3}));
    EXPECT_EQ(runs(a.lightList()), (Runs{{0, 3}, {3, 4}, {4, 5}}));
    EXPECT_EQ(a.lightList().lights()[4].controlSlot, 2u);

    FakeOmniLightsNode otherMaterial;
    otherMaterial.setMaterial(zy::makeRef<PropertiesSet>());
    EXPECT_FALSE(a.canMerge(otherMaterial));
    FakeSpotLightsNode spot;
    spot.setMaterial(material);
    EXPECT_FALSE(a.merge(spot));
    EXPECT_FALSE(a.canMerge(a));
}

TEST(FakeLights, SpotControlsAreSharedOnlyWithTheSameDirection)
{
    Node x;
    auto material = zy::makeRef<PropertiesSet>();
    FakeSpotLightsNode a, b;
    a.setMaterial(material);
    b.setMaterial(material);
    EXPECT_EQ(versionOf(a), 1u);
    a.lightList().control(0) = {{&x}, {0, 0, 1}};
    b.lightList().control(0) = {{&x}, {0, 1, 0}};
    FakeSpotLight light;
    a.lightList().setLights({light});
    b.lightList().setLights({light});
    ASSERT_TRUE(a.merge(b));
    EXPECT_EQ(a.partCount(), 2u);
    EXPECT_EQ(a.lightList().control(1).direction, osg::Vec3f(0, 1, 0));
    EXPECT_EQ(runs(a.lightList()), (Runs{{0, 1}, {1, 2}}));

    // The direction turns with the control's transform.
    const double h = std::sqrt(0.5);
    a.transformPart(0, osg::Mat4d::rotate({h, 0, 0, h}) * osg::Mat4d::scale({1, 1, 3}));
    EXPECT_NEAR(a.lightList().control(0).direction[1], -1.0f, 1e-6);
    EXPECT_NEAR(a.lightList().control(0).direction[2], 0.0f, 1e-6);
}

TEST(FakeLights, AnimatedMergeKeepsEachLightsSamples)
{
    Node x, y;
    auto material = zy::makeRef<PropertiesSet>();
    AnimatedFakeOmniLightsNode a, b;
    a.setMaterial(material);
    b.setMaterial(material);
    a.setPartControl(0, &x);
    a.lightList().addControl({&y});
    a.lightList().setLights({omniLight(1, 0), omniLight(2, 1)});
    b.setPartControl(0, &x);
    b.lightList().setLights({omniLight(3, 0)});
    std::vector<float> samplesA(256, 1.0f);
    std::fill(samplesA.begin() + 128, samplesA.end(), 2.0f);
    a.setSamples(samplesA);
    b.setSamples(std::vector<float>(128, 3.0f));
    a.setArgument(4);
    b.setArgument(5);
    EXPECT_FALSE(a.canMerge(b)); // lights driven by another argument

    b.setArgument(4);
    ASSERT_TRUE(a.merge(b));
    EXPECT_EQ(xs(a.lightList().lights()), (std::vector<double>{1, 3, 2}));
    ASSERT_EQ(a.samples().size(), 384u);
    EXPECT_EQ(a.samples()[0], 1.0f);
    EXPECT_EQ(a.samples()[128], 3.0f);
    EXPECT_EQ(a.samples()[383], 2.0f);

    ArgumentSet arguments;
    a.collectArguments(arguments);
    EXPECT_EQ(arguments, (ArgumentSet{4}));
}

TEST(TmpNumberRoot, CannotBeClonedOrWritten)
{
    TmpNumberRoot root;
    root.setName("odometer");
    root.setDigits({{0, 1.0f, 2, 3.0f}});
    try {
        root.clone();
        FAIL() << "clone succeeded";
    } catch (const zy::ExtException& e) {
        EXPECT_STREQ(e.what(), "Node odometer is temporary, so no clone.");
    }
}

namespace {
// Checks an object a factory created as the class C, then destroys it.
template <class C>
std::function<void(void*)> expectClass(NodeKind kind)
{
    return [kind](void* object) {
        std::unique_ptr<C> node(static_cast<C*>(object));
        EXPECT_EQ(node->kind(), kind);
    };
}
} // namespace

TEST(ModelFactoryManager, EveryNodeClassIsRegistered)
{
    // Each name creates the class it names; the three single-track names create the general class.
    const std::pair<const char*, std::function<void(void*)>> cases[] = {
        {"model::AnimatedFakeOmniLightsNode", expectClass<AnimatedFakeOmniLightsNode>(NodeKind::AnimatedFakeOmniLightsNode)},
        {"model::ArgAnimatedBone", expectClass<ArgAnimatedBone>(NodeKind::ArgAnimatedBone)},
        {"model::ArgAnimationNode", expectClass<ArgAnimationNode>(NodeKind::ArgAnimationNode)},
        {"model::ArgPositionNode", expectClass<ArgAnimationNode>(NodeKind::ArgAnimationNode)},
        {"model::ArgRotationNode", expectClass<ArgAnimationNode>(NodeKind::ArgAnimationNode)},
        {"model::ArgScaleNode", expectClass<ArgAnimationNode>(NodeKind::ArgAnimationNode)},
        {"model::ArgVisibilityNode", expectClass<ArgVisibilityNode>(NodeKind::ArgVisibilityNode)},
        {"model::BillboardNode", expectClass<BillboardNode>(NodeKind::BillboardNode)},
        {"model::Bone", expectClass<Bone>(NodeKind::Bone)},
        {"model::Connector", expectClass<Connector>(NodeKind::Connector)},
        {"model::FakeOmniLightsNode", expectClass<FakeOmniLightsNode>(NodeKind::FakeOmniLightsNode)},
        {"model::FakeSpotLightsNode", expectClass<FakeSpotLightsNode>(NodeKind::FakeSpotLightsNode)},
        {"model::IKBone", expectClass<IKBone>(NodeKind::IKBone)},
        {"model::LightNode", expectClass<LightNode>(NodeKind::LightNode)},
        {"model::LodNode", expectClass<LodNode>(NodeKind::LodNode)},
        {"model::RenderNode", expectClass<RenderNode>(NodeKind::RenderNode)},
        {"model::SegmentsNode", expectClass<SegmentsNode>(NodeKind::SegmentsNode)},
        {"model::ShellNode", expectClass<ShellNode>(NodeKind::ShellNode)},
        {"model::SkinNode", expectClass<SkinNode>(NodeKind::SkinNode)},
    };
    for (const auto& [name, check] : cases) {
        const zy::Factory* factory = ModelFactoryManager::instance().find(name);
        ASSERT_NE(factory, nullptr) << name;
        check(factory->create());
    }
    EXPECT_EQ(ModelFactoryManager::instance().find("model::TmpNumberRoot"), nullptr);
}
