// Vertex data and geometry nodes: layout, geometry replacement, part
// transforms, bounds, degenerate triangles and the argument census.
#include <gtest/gtest.h>

#include <cmath>

#include "Node.h"
#include "NumberNode.h"
#include "Property.h"
#include "RenderNode.h"
#include "SegmentsNode.h"
#include "ShellNode.h"
#include "SkinNode.h"
#include "VertexTransform.h"
#include "transforms/Bone.h"

using namespace model;

namespace {

// Position (x, y, z, part) and normal: stride 7.
zy::Ref<PropertiesSet> positionNormalMaterial()
{
    auto material = zy::makeRef<PropertiesSet>();
    material->vertexFormat().setCount(ChannelPosition, 4);
    material->vertexFormat().setCount(ChannelNormal, 3);
    return material;
}

struct V {
    float x, y, z, part;
    float nx = 0, ny = 0, nz = 1;
};

Vertices makeVertices(std::initializer_list<V> vs)
{
    std::vector<float> data;
    for (const V& v : vs)
        data.insert(data.end(), {v.x, v.y, v.z, v.part, v.nx, v.ny, v.nz});
    return Vertices(uint32_t(vs.size()), std::move(data));
}

const float* vertexAt(const RenderNode& node, uint32_t i)
{
    return node.vertices().vertex(i, node.stride());
}

} // namespace

TEST(VertexFormat, OffsetsAndStrideAreRunningSumsOfTheCounts)
{
    VertexFormat f;
    EXPECT_EQ(f.stride(), 0u);
    f.setCount(ChannelPosition, 4);
    f.setCount(ChannelNormal, 3);
    f.setCount(ChannelTexCoord0 + 1, 2); // texture channel 1
    f.setCount(ChannelWeights, 1);
    f.setCount(ChannelDamageBinormal, 3);
    EXPECT_EQ(f.offset(ChannelNormal), 4u);
    EXPECT_EQ(f.offset(ChannelTexCoord0 + 1), 7u);
    EXPECT_EQ(f.offset(ChannelColor), 9u);
    EXPECT_EQ(f.offset(ChannelWeights), 9u);
    EXPECT_EQ(f.offset(ChannelDamageBinormal), 10u);
    EXPECT_EQ(f.stride(), 13u);
}

TEST(Indices, PrimitiveCountPerType)
{
    struct Case {
        int32_t type;
        uint32_t indices;
        uint32_t primitives;
    };
    const Case cases[] = {
        {0, 5, 5}, {1, 5, 2}, {2, 5, 4}, {2, 0, 0}, {5, 7, 2}, {6, 5, 3}, {7, 5, 3}, {6, 1, 0}, {3, 6, 0}, {4, 6, 0},
    };
    for (const Case& c : cases) {
        Indices indices(std::vector<uint32_t>(c.indices, 0u), c.type);
        EXPECT_EQ(indices.primitiveCount(), c.primitives) << "type " << c.type << ", " << c.indices << " indices";
    }
}

TEST(RenderNode, SetGeometryChecksLengthAndResetsToOnePart)
{
    Node control;
    RenderNode node;
    node.setMaterial(positionNormalMaterial());
    node.setPartControl(0, &control);
    node.parts().push_back({nullptr, 3, 6, 4});

    // 2 vertices need 14 values: 13 is refused and nothing changes.
    EXPECT_FALSE(node.setGeometry(Vertices(2, std::vector<float>(13, 1.0f)), Indices({0, 1, 0})));
    EXPECT_EQ(node.vertices().count(), 0u);
    EXPECT_EQ(node.partCount(), 2u);

    const Vertices vertices = makeVertices({{1, 2, 3, 7}, {4, 5, 6, 9}, {7, 8, 9, 2}});
    ASSERT_TRUE(node.setGeometry(vertices, Indices({0, 1, 2, 2, 1, 0})));
    ASSERT_EQ(node.partCount(), 1u);
    EXPECT_EQ(node.partControl(0), &control);
    EXPECT_EQ(node.parts()[0].start, 0u);
    EXPECT_EQ(node.parts()[0].end, 6u);
    EXPECT_EQ(node.partArgument(0), -1);
    for (uint32_t i = 0; i < 3; ++i)
        EXPECT_EQ(vertexAt(node, i)[3], 0.0f);
    EXPECT_EQ(vertexAt(node, 1)[0], 4.0f);

    // Without a material there is no format to check against.
    RenderNode bare;
    EXPECT_FALSE(bare.setGeometry(vertices, Indices({0, 1, 2})));
    EXPECT_THROW(bare.partControl(1), std::out_of_range);
}

TEST(RenderNode, TransformPartMovesOnlyThatPartWithNormalMatrix)
{
    RenderNode node;
    node.setMaterial(positionNormalMaterial());
    const float s = float(1.0 / std::sqrt(2.0));
    node.vertices() = makeVertices({{1, 1, 1, 0, s, s, 0}, {1, 1, 1, 1, s, s, 0}});

    // Scale x by 2, then translate by (10, 0, 0). A normal (1, 1, 0)/√2 goes
    // through the inverse transpose, diag(0.5, 1, 1): (0.5, 1, 0), renormalised.
    osg::Mat4d m = osg::Mat4d::scale({2, 1, 1}) * osg::Mat4d::translate({10, 0, 0});
    node.transformPart(1, m);

    const float* untouched = vertexAt(node, 0);
    EXPECT_EQ(untouched[0], 1.0f);
    EXPECT_EQ(untouched[4], s);
    const float* moved = vertexAt(node, 1);
    EXPECT_FLOAT_EQ(moved[0], 12.0f);
    EXPECT_FLOAT_EQ(moved[1], 1.0f);
    EXPECT_FLOAT_EQ(moved[2], 1.0f);
    EXPECT_EQ(moved[3], 1.0f);
    const float len = std::sqrt(0.25f + 1.0f);
    EXPECT_FLOAT_EQ(moved[4], 0.5f / len);
    EXPECT_FLOAT_EQ(moved[5], 1.0f / len);
    EXPECT_NEAR(moved[6], 0.0f, 1e-7);
}

TEST(VertexTransform, NormalMatrixIsZeroBelowTheDeterminantLimit)
{
    // det = 1e-6: the normal matrix is all zero, and a zero normal stays zero.
    const osg::Mat4d flat = osg::Mat4d::scale({1e-2, 1e-2, 1e-2});
    EXPECT_TRUE(normalMatrix(flat) == osg::Mat4d::zero());
    float normal[3] = {0, 0, 1};
    transformNormalAt(normal, normalMatrix(flat));
    EXPECT_EQ(normal[0], 0.0f);
    EXPECT_EQ(normal[2], 0.0f);

    // det = 1e-3 is enough: the inverse transpose of diag(0.1, ...) is diag(10, ...).
    const osg::Mat4d n = normalMatrix(osg::Mat4d::scale({0.1, 0.1, 0.1}));
    EXPECT_NEAR(n(0, 0), 10.0, 1e-9);
    EXPECT_NEAR(n(2, 2), 10.0, 1e-9);
    // A rotation's normal matrix is the rotation itself.
    const osg::Mat4d r = osg::Mat4d::rotate({0, 0, std::sin(0.3), std::cos(0.3)});
    EXPECT_TRUE(osg::equalWithin(normalMatrix(r), r, 1e-12));
}

TEST(RenderNode, MorphChannelsFollowTheTransformDamageChannelsStay)
{
    auto material = zy::makeRef<PropertiesSet>();
    VertexFormat& f = material->vertexFormat();
    f.setCount(ChannelPosition, 4);
    f.setCount(ChannelMorphPosition, 3);
    f.setCount(ChannelMorphNormal, 3);
    f.setCount(ChannelDamageTangent, 3);
    RenderNode node;
    node.setMaterial(material);
    node.vertices() = Vertices(1, {0, 0, 0, 0, /*morph*/ 1, 0, 0, /*morph normal*/ 1, 0, 0, /*damage*/ 1, 0, 0});

    // Rotate 90° about z, then translate by (0, 0, 5).
    const double h = std::sqrt(0.5);
    node.transformPart(0, osg::Mat4d::rotate({0, 0, h, h}) * osg::Mat4d::translate({0, 0, 5}));
    const float* v = node.vertices().data().data();
    const float expected[13] = {0, 0, 5, 0, 0, 1, 5, 0, 1, 0, 1, 0, 0};
    for (int i = 0; i < 13; ++i)
        EXPECT_NEAR(v[i], expected[i], 1e-6) << "component " << i;
}

TEST(RenderNode, PartBoundingBoxCoversOnlyThatPart)
{
    RenderNode node;
    node.setMaterial(positionNormalMaterial());
    node.vertices() = makeVertices({{-1, 5, 2, 0}, {3, -2, 0, 0}, {100, 100, 100, 1}});
    const Box box = node.partBoundingBox(0);
    EXPECT_EQ(box.min, osg::Vec3f(-1, -2, 0));
    EXPECT_EQ(box.max, osg::Vec3f(3, 5, 2));
    EXPECT_TRUE(node.partBoundingBox(2).isEmpty());
    EXPECT_EQ(node.partBoundingBox(2), Box());
}

TEST(RenderNode, RemoveDegenerateTrianglesAndShrinkParts)
{
    RenderNode node;
    node.setMaterial(positionNormalMaterial());
    node.vertices() = makeVertices({
        {0, 0, 0, 0},        // 0
        {1, 0, 0, 0},        // 1
        {2, 0, 0, 0},        // 2: 0-1-2 lie on a line parallel to x
        {1, 1, 1, 0},        // 3: 0-3-4 are collinear along a diagonal
        {2, 2, 2, 0},        // 4
        {0, 1, 0, 0},        // 5
        {2, 5e-5f, 9e-5f, 1}, // 6: within 9.9999997e-05 of 1 on y and z
        {5, 1.5e-4f, 0, 1},  // 7: beyond the limit on y
    });
    node.setGeometry(node.vertices(), Indices({
                                          0, 1, 2, // axis-parallel line: removed
                                          0, 3, 4, // diagonal line: kept
                                          0, 1, 5, // proper triangle: kept
                                          // part 1 from index 9
                                          1, 1, 5, // repeated index: removed
                                          0, 1, 6, // y and z agree within the limit: removed
                                          0, 1, 7, // only z agrees: kept
                                      }));
    node.parts() = {{nullptr, 0, 9, -1}, {nullptr, 9, 18, 3}};

    EXPECT_EQ(node.removeDegenerateTriangles(), 3u);
    EXPECT_EQ(node.indices().values(), (std::vector<uint32_t>{0, 3, 4, 0, 1, 5, 0, 1, 7}));
    EXPECT_EQ(node.parts()[0].start, 0u);
    EXPECT_EQ(node.parts()[0].end, 6u);
    EXPECT_EQ(node.parts()[1].start, 6u);
    EXPECT_EQ(node.parts()[1].end, 9u);

    // Other primitive types are left alone.
    RenderNode strip;
    strip.setMaterial(positionNormalMaterial());
    strip.setGeometry(makeVertices({{0, 0, 0, 0}, {1, 0, 0, 0}}), Indices({0, 0, 1}, PrimitiveTriangleStrip));
    EXPECT_EQ(strip.removeDegenerateTriangles(), 0u);
    EXPECT_EQ(strip.indices().size(), 3u);
}

TEST(RenderNode, TriangleReferringBeyondTheVerticesIsRemoved)
{
    RenderNode node;
    node.setMaterial(positionNormalMaterial());
    node.setGeometry(makeVertices({{0, 0, 0, 0}, {1, 0, 0, 0}, {0, 1, 0, 0}}), Indices({0, 1, 2, 0, 1, 9}));
    EXPECT_EQ(node.removeDegenerateTriangles(), 1u);
    EXPECT_EQ(node.indices().size(), 3u);
    EXPECT_EQ(node.parts()[0].end, 3u);
}

TEST(SkinNode, PartsAreBonesWithOneArgument)
{
    Node plain;
    Bone bone;
    Bone other;
    SkinNode skin;
    EXPECT_FALSE(skin.addBone(&plain));
    EXPECT_TRUE(skin.addBone(&bone));
    EXPECT_EQ(skin.partCount(), 1u);

    skin.setPartControl(0, &plain); // not a bone: nothing stored
    EXPECT_EQ(skin.partControl(0), &bone);
    skin.setPartControl(0, &other);
    EXPECT_EQ(skin.partControl(0), &other);
    EXPECT_THROW(skin.setPartControl(1, &bone), std::out_of_range);

    skin.setPartArgument(5, 7);
    EXPECT_EQ(skin.partArgument(0), 7);
    EXPECT_EQ(skin.argument(), 7);
}

TEST(SkinNode, TransformsEverythingOnSlotZeroOnly)
{
    auto material = zy::makeRef<PropertiesSet>();
    material->vertexFormat().setCount(ChannelPosition, 3);
    material->vertexFormat().setCount(ChannelWeights, 4);
    SkinNode skin;
    skin.setMaterial(material);
    ASSERT_TRUE(skin.setGeometry(Vertices(2, {1, 2, 3, 0.5f, 0.5f, 0, 0, 4, 5, 6, 1, 0, 0, 0}), Indices({0, 1, 0})));

    skin.transformPart(1, osg::Mat4d::translate({1, 1, 1}));
    EXPECT_EQ(skin.vertices().data()[0], 1.0f);
    skin.transformPart(0, osg::Mat4d::translate({1, 1, 1}));
    EXPECT_EQ(skin.vertices().data()[0], 2.0f);
    EXPECT_EQ(skin.vertices().data()[9], 7.0f);
    EXPECT_EQ(skin.vertices().data()[3], 0.5f); // weights untouched

    const Box box = skin.partBoundingBox(3);
    EXPECT_EQ(box.min, osg::Vec3f(2, 3, 4));
    EXPECT_EQ(box.max, osg::Vec3f(5, 6, 7));
}

TEST(GeometryNodes, ArgumentCensus)
{
    auto material = positionNormalMaterial();
    material->animatedUniforms().push_back(
        zy::makeRef<AnimatedProperty<float>>("glow", 9, std::vector<Key<float>>{{0, 1.0f}}));
    material->animatedUniforms().push_back(zy::makeRef<ArgumentProperty>("none", -1));

    RenderNode render;
    render.setMaterial(material);
    render.parts().push_back({nullptr, 0, 0, 4});
    ArgumentSet arguments;
    render.collectArguments(arguments);
    EXPECT_EQ(arguments, (ArgumentSet{4, 9}));

    SkinNode skin;
    skin.setArgument(2);
    ArgumentSet skinArguments;
    skin.collectArguments(skinArguments);
    EXPECT_EQ(skinArguments, (ArgumentSet{2}));
}

TEST(ShellNode, GeometryTransformAndDegenerates)
{
    VertexFormat format;
    format.setCount(ChannelPosition, 3);
    format.setCount(ChannelNormal, 3);
    format.setCount(ChannelTangent, 3);
    ShellNode shell;
    EXPECT_FALSE(shell.setGeometry(format, Vertices(1, {0, 0, 0}), Indices()));
    EXPECT_TRUE(shell.isEmpty());

    const std::vector<float> data = {0, 0, 0, 0, 0, 1, 1, 0, 0, //
                                     1, 0, 0, 0, 0, 1, 1, 0, 0, //
                                     0, 1, 0, 0, 0, 1, 1, 0, 0};
    ASSERT_TRUE(shell.setGeometry(format, Vertices(3, data), Indices({0, 1, 2, 0, 0, 1})));
    EXPECT_FALSE(shell.canMerge(shell));

    // Positions and normals move; the tangent channel is not a shell's concern.
    shell.transform(osg::Mat4d::scale({1, 1, 2}) * osg::Mat4d::translate({0, 0, 3}));
    const float* v = shell.vertices().vertex(1, shell.stride());
    EXPECT_EQ(v[0], 1.0f);
    EXPECT_EQ(v[2], 3.0f);
    EXPECT_FLOAT_EQ(v[5], 1.0f); // normal (0, 0, 1) scaled by 0.5, renormalised
    EXPECT_EQ(v[6], 1.0f);

    const Box box = shell.boundingBox();
    EXPECT_EQ(box.min, osg::Vec3f(0, 0, 3));
    EXPECT_EQ(box.max, osg::Vec3f(1, 1, 3));
    EXPECT_EQ(shell.removeDegenerates(), 1u);
    EXPECT_EQ(shell.indices().size(), 3u);
}

TEST(SegmentsNode, TransformBoundsDegeneratesAndMerge)
{
    Node control;
    SegmentsNode a;
    a.setName("rail");
    a.setControl(&control);
    a.addSegment({0, 0, 0}, {1, 0, 0});
    a.addSegment({2, 2, 2}, {2, 2, 2.000005f}); // within 1e-5 on every axis
    a.addSegment({2, 2, 2}, {2, 2, 2.0001f});
    a.transform(osg::Mat4d::translate({0, 1, 0}));
    EXPECT_EQ(a.segments()[0].start, osg::Vec3f(0, 1, 0));
    EXPECT_EQ(a.boundingBox().max, osg::Vec3f(2, 3, 2.0001f));
    EXPECT_EQ(a.removeDegenerates(), 1u);
    EXPECT_EQ(a.segments().size(), 2u);

    SegmentsNode b;
    b.setName("rail");
    b.setControl(&control);
    b.addSegment({5, 5, 5}, {6, 6, 6});
    SegmentsNode otherName;
    otherName.setName("fence");
    otherName.setControl(&control);
    EXPECT_FALSE(a.merge(otherName));
    ASSERT_TRUE(a.merge(b));
    EXPECT_EQ(a.segments().size(), 3u);
    EXPECT_EQ(a.segments()[2].end, osg::Vec3f(6, 6, 6));
}

TEST(NumberNode, DigitsPerPart)
{
    NumberNode node;
    EXPECT_TRUE(node.digits(0).empty());
    node.setDigits(0, {{-1, 0.5f, 3, 1.0f}});
    ASSERT_EQ(node.digits(0).size(), 1u);
    EXPECT_EQ(node.digits(0)[0], (DigitParameters{-1, 0.5f, 3, 1.0f}));
    EXPECT_EQ(node.kind(), NodeKind::NumberNode);
}
