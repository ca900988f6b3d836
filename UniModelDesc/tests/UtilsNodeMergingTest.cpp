// Node merging: empty nodes, material sharing and render-node merging.
#include <gtest/gtest.h>

#include <limits>

#include "FakeLightsNodes.h"
#include "NumberNode.h"
#include "SegmentsNode.h"
#include "Property.h"
#include "UtilsTestModels.h"
#include "transforms/ArgVisibilityNode.h"
#include "transforms/LodNode.h"
#include "utils/MergeRules.h"
#include "utils/NodeMerging.h"
#include "zy/ExtException.h"

namespace model {
namespace {

using test::addChild;
using test::makeMaterial;
using test::makeRenderNode;
using test::triangleAt;

zy::Ref<PropertiesSet> copyOf(const zy::Ref<PropertiesSet>& material)
{
    return zy::makeRef<PropertiesSet>(*material);
}

TEST(UtilsNodeMerging, EqualMaterialsAreSharedAndTheNodesMerged)
{
    auto root = test::makeRoot();
    Node* group = addChild<TransformNode>(root->topNode());
    auto material = makeMaterial();
    auto a = makeRenderNode(material, triangleAt(0), {0, 1, 2}, group);
    auto b = makeRenderNode(copyOf(material), triangleAt(5), {0, 1, 2}, group);
    root->addRenderNode(a);
    root->addRenderNode(b);

    EXPECT_TRUE(mergeNodes(*root));

    ASSERT_EQ(root->renderNodes().size(), 1u);
    RenderNode& merged = *a;
    EXPECT_EQ(root->renderNodes()[0], &merged);
    EXPECT_EQ(merged.material(), material.get());
    ASSERT_EQ(merged.parts().size(), 1u);
    EXPECT_EQ(merged.parts()[0].control, group);
    EXPECT_EQ(merged.parts()[0].end, 6u);
    EXPECT_EQ(merged.indices().values(), (std::vector<uint32_t>{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(merged.vertices().count(), 6u);
}

TEST(UtilsNodeMerging, MaterialIsSharedByEveryNodeThatUsedTheReplacedOne)
{
    auto root = test::makeRoot();
    auto first = makeMaterial();
    auto second = copyOf(first);
    // Different property lists keep the nodes apart, so only sharing is seen.
    auto a = makeRenderNode(first, triangleAt(0), {0, 1, 2}, root->topNode());
    auto b = makeRenderNode(second, triangleAt(1), {0, 1, 2}, root->topNode());
    auto c = makeRenderNode(second, triangleAt(2), {0, 1, 2}, root->topNode());
    b->addProperty(zy::makeRef<Property<float>>("b", 1.0f));
    c->addProperty(zy::makeRef<Property<float>>("c", 1.0f));
    for (auto* node : {a.get(), b.get(), c.get()})
        root->addRenderNode(zy::Ref<RenderNode>(node));

    mergeNodes(*root);

    ASSERT_EQ(root->renderNodes().size(), 3u);
    for (size_t i = 0; i < 3; ++i)
        EXPECT_EQ(root->renderNodes()[i]->material(), first.get());
}

TEST(UtilsNodeMerging, NodesThatMustStayApart)
{
    struct Case {
        const char* what;
        void (*prepare)(RootNode&, RenderNode& a, RenderNode& b);
    };
    const Case cases[] = {
        {"transparent material",
         [](RootNode&, RenderNode& a, RenderNode&) { a.material()->setBlending(1); }},
        {"different property lists",
         [](RootNode&, RenderNode& a, RenderNode&) { a.addProperty(zy::makeRef<Property<float>>("x", 1.0f)); }},
        {"different visibility nodes",
         [](RootNode& root, RenderNode& a, RenderNode&) {
             auto* hidden = addChild<ArgVisibilityNode>(root.topNode(),
                                                        std::vector<VisibilityTrack>{{0, {{0.0, 1.0}}}});
             a.setPartControl(0, hidden);
         }},
        {"different primitive types",
         [](RootNode&, RenderNode& a, RenderNode& b) {
             a.indices().setPrimitiveType(PrimitiveLines);
             a.indices().values().push_back(0);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto root = test::makeRoot();
        auto material = makeMaterial();
        auto a = makeRenderNode(material, triangleAt(0), {0, 1, 2}, root->topNode());
        auto b = makeRenderNode(material, triangleAt(5), {0, 1, 2}, root->topNode());
        root->addRenderNode(a);
        root->addRenderNode(b);
        c.prepare(*root, *a, *b);

        mergeNodes(*root);

        EXPECT_EQ(root->renderNodes().size(), 2u);
        EXPECT_EQ(a->vertices().count(), 3u);
        EXPECT_EQ(b->vertices().count(), 3u);
    }
}

TEST(UtilsNodeMerging, PartsWithOtherControlsAreAppendedAndNumbered)
{
    auto root = test::makeRoot();
    Node* left = addChild<TransformNode>(root->topNode());
    Node* right = addChild<TransformNode>(root->topNode());
    auto material = makeMaterial();
    auto a = makeRenderNode(material, triangleAt(0), {0, 1, 2}, left);
    auto b = makeRenderNode(material, triangleAt(5), {0, 1, 2}, right);
    auto c = makeRenderNode(material, triangleAt(9), {2, 1, 0}, left);

    ASSERT_TRUE(mergeRenderNodes(*a, *b));
    ASSERT_TRUE(mergeRenderNodes(*a, *c));

    // c joined part 0: its indices sit at the end of part 0, before part 1.
    ASSERT_EQ(a->parts().size(), 2u);
    EXPECT_EQ(a->parts()[0].control, left);
    EXPECT_EQ(a->parts()[0].start, 0u);
    EXPECT_EQ(a->parts()[0].end, 6u);
    EXPECT_EQ(a->parts()[1].control, right);
    EXPECT_EQ(a->parts()[1].start, 6u);
    EXPECT_EQ(a->parts()[1].end, 9u);
    EXPECT_EQ(a->indices().values(), (std::vector<uint32_t>{0, 1, 2, 8, 7, 6, 3, 4, 5}));
    const uint32_t stride = a->stride();
    const float expectedParts[] = {0, 0, 0, 1, 1, 1, 0, 0, 0};
    for (uint32_t v = 0; v < 9; ++v)
        EXPECT_EQ(a->vertices().vertex(v, stride)[3], expectedParts[v]) << "vertex " << v;

    // Transforming part 1 now moves exactly b's triangle.
    a->transformPart(1, osg::Mat4d::translate({0, 0, 10}));
    for (uint32_t v = 0; v < 9; ++v)
        EXPECT_EQ(a->vertices().vertex(v, stride)[2], expectedParts[v] == 1 ? 10.0f : 0.0f);
}

TEST(UtilsNodeMerging, FailedMergeChangesNothing)
{
    auto root = test::makeRoot();
    auto material = makeMaterial();
    auto a = makeRenderNode(material, triangleAt(0), {0, 1, 2}, root->topNode());
    auto b = makeRenderNode(material, triangleAt(5), {0, 1, 2}, root->topNode());
    const std::vector<float> before = a->vertices().data();
    for (float badPart : {7.0f, -3.0f, 1e30f, std::numeric_limits<float>::quiet_NaN()}) {
        b->vertices().vertex(1, b->stride())[3] = badPart; // names a part b does not have
        EXPECT_FALSE(mergeRenderNodes(*a, *b)) << badPart;
    }
    EXPECT_EQ(a->vertices().data(), before);
    EXPECT_EQ(a->indices().size(), 3u);
    EXPECT_EQ(a->parts().size(), 1u);
}

// Callers that hold only a BaseNode reach the same rules through the node's
// own canMerge/merge.
TEST(UtilsNodeMerging, RenderNodeMergesThroughItsVirtualOperations)
{
    auto root = test::makeRoot();
    auto material = makeMaterial();
    auto a = makeRenderNode(material, triangleAt(0), {0, 1, 2}, root->topNode());
    auto b = makeRenderNode(material, triangleAt(5), {0, 1, 2}, root->topNode());
    auto otherMaterial = makeMaterial();
    otherMaterial->setMaterialName("glass");
    auto other = makeRenderNode(otherMaterial, triangleAt(9), {0, 1, 2}, root->topNode());
    BaseNode& base = *a;
    EXPECT_FALSE(base.canMerge(*other));
    EXPECT_FALSE(base.merge(*other));
    ASSERT_TRUE(base.canMerge(*b));
    ASSERT_TRUE(base.merge(*b));
    EXPECT_EQ(a->indices().size(), 6u);
}

TEST(UtilsNodeMerging, EmptyNodesAreRemovedAndNumberNodesKeptApart)
{
    auto root = test::makeRoot();
    auto material = makeMaterial();
    auto empty = makeRenderNode(material, {}, {}, root->topNode());
    root->addRenderNode(empty);
    for (int i = 0; i < 2; ++i) {
        auto number = zy::makeRef<NumberNode>();
        number->setMaterial(material);
        number->setPartControl(0, root->topNode());
        number->setGeometry(Vertices(3, triangleAt(float(i))), Indices({0, 1, 2}));
        number->setDigits(0, {{i, 0.5f, 1, 1.0f}});
        root->addRenderNode(number);
    }

    EXPECT_TRUE(mergeNodes(*root));

    ASSERT_EQ(root->renderNodes().size(), 2u);
    EXPECT_EQ(root->renderNodes()[0]->kind(), NodeKind::NumberNode);
    EXPECT_EQ(root->renderNodes()[1]->kind(), NodeKind::NumberNode);
}

TEST(UtilsNodeMerging, LodBranchesAreNeverMerged)
{
    auto root = test::makeRoot();
    auto* lod = addChild<LodNode>(root->topNode());
    auto* nearLevel = addChild<Node>(lod);
    auto* farLevel = addChild<Node>(lod);
    auto* nearDetail = addChild<TransformNode>(nearLevel);
    auto material = makeMaterial();
    // Two meshes in the near branch (one deeper down), one in the far branch,
    // one on the LOD node itself and one outside.
    auto nearA = makeRenderNode(material, triangleAt(0), {0, 1, 2}, nearLevel);
    auto nearB = makeRenderNode(material, triangleAt(1), {0, 1, 2}, nearDetail);
    auto farA = makeRenderNode(material, triangleAt(2), {0, 1, 2}, farLevel);
    auto onLod = makeRenderNode(material, triangleAt(3), {0, 1, 2}, lod);
    auto outside = makeRenderNode(material, triangleAt(4), {0, 1, 2}, root->topNode());
    for (auto* node : {nearA.get(), farA.get(), nearB.get(), onLod.get(), outside.get()})
        root->addRenderNode(zy::Ref<RenderNode>(node));

    mergeNodes(*root);

    // The near meshes join; the mesh on the LOD node sits in no branch, like
    // the one outside, so those two join.
    ASSERT_EQ(root->renderNodes().size(), 3u);
    EXPECT_EQ(root->renderNodes()[0], nearA.get());
    EXPECT_EQ(root->renderNodes()[1], farA.get());
    EXPECT_EQ(root->renderNodes()[2], onLod.get());
    EXPECT_EQ(nearA->parts().size(), 2u);
    EXPECT_EQ(farA->vertices().count(), 3u);
    EXPECT_EQ(onLod->vertices().count(), 6u);
}

TEST(UtilsNodeMerging, FakeLightsAndSegmentsFollowTheirOwnRules)
{
    auto root = test::makeRoot();
    auto material = makeMaterial();
    auto addFakeLights = [&](Node* control, int lights) {
        auto node = zy::makeRef<FakeOmniLightsNode>();
        node->setMaterial(material);
        node->setPartControl(0, control);
        for (int i = 0; i < lights; ++i)
            node->lightList().addLight({{double(i), 0, 0}, {0, 0}, {1, 1}, 1.0f, 0});
        root->addRenderNode(node);
        return node;
    };
    auto first = addFakeLights(root->topNode(), 2);
    auto none = addFakeLights(root->topNode(), 0);
    auto second = addFakeLights(root->topNode(), 3);

    auto addSegments = [&](const char* name) {
        auto node = zy::makeRef<SegmentsNode>();
        node->setName(name);
        node->setControl(root->topNode());
        node->addSegment({0, 0, 0}, {1, 0, 0});
        root->addShellNode(node);
        return node;
    };
    auto wall = addSegments("wall");
    addSegments("fence");
    addSegments("wall");

    EXPECT_TRUE(mergeNodes(*root));

    ASSERT_EQ(root->renderNodes().size(), 1u) << "the node without lights went, the others merged";
    EXPECT_EQ(first->lightList().lights().size(), 5u);
    ASSERT_EQ(first->lightList().controls().size(), 1u);
    EXPECT_EQ(first->lightList().controls()[0].end, 5u);
    ASSERT_EQ(root->shellNodes().size(), 2u);
    EXPECT_EQ(wall->segments().size(), 2u);
}

} // namespace
} // namespace model
