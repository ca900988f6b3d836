// The root's boxes, the statistics tree and argument scaling.
#include <gtest/gtest.h>

#include "LightNode.h"
#include "Property.h"
#include "ShellNode.h"
#include "UtilsTestModels.h"
#include "transforms/ArgAnimationNode.h"
#include "transforms/ArgVisibilityNode.h"
#include "transforms/Bone.h"
#include "utils/ArgumentScaling.h"
#include "utils/RootBoxes.h"
#include "utils/Statistics.h"

namespace model {
namespace {

using test::addChild;
using test::makeMaterial;
using test::makeRenderNode;
using test::triangleAt;

Box box(osg::Vec3f min, osg::Vec3f max)
{
    Box b;
    b.min = min;
    b.max = max;
    return b;
}

LightNode* addLight(RootNode& root, zy::Ref<BaseProperty> reach)
{
    auto light = std::make_unique<LightNode>();
    light->setControl(root.topNode());
    light->setLightProperty(4, std::move(reach));
    LightNode* result = light.get();
    root.addLight(std::move(light));
    return result;
}

TEST(UtilsRootBoxes, BoundingBoxUsesTheRestPoseOfEachPart)
{
    auto root = test::makeRoot();
    auto* moving = addChild<ArgAnimationNode>(root->topNode());
    moving->positionTracks().push_back({0, {{0.0, {10, 0, 0}}, {1.0, {20, 0, 0}}}});
    auto* turned = addChild<TransformNode>(root->topNode(), osg::Mat4d::scale({1, -2, 1}));
    root->addRenderNode(makeRenderNode(makeMaterial(), triangleAt(0), {0, 1, 2}, moving));
    root->addRenderNode(makeRenderNode(makeMaterial(), triangleAt(0, 0, 5), {0, 1, 2}, turned));
    // Neither empty parts nor shells count.
    auto empty = makeRenderNode(makeMaterial(), {}, {}, root->topNode());
    root->addRenderNode(empty);
    auto shell = zy::makeRef<ShellNode>();
    VertexFormat positions;
    positions.setCount(ChannelPosition, 3);
    shell->setGeometry(positions, Vertices(1, {100, 100, 100}), Indices({0}));
    shell->setControl(root->topNode());
    root->addShellNode(shell);

    EXPECT_EQ(computeBoundingBox(*root), box({0, -2, 0}, {11, 1, 5}));
    EXPECT_TRUE(computeBoundingBox(*test::makeRoot()).isEmpty());
}

TEST(UtilsRootBoxes, LightBoxGrowsByTheLargestReach)
{
    auto root = test::makeRoot();
    root->boundingBox() = box({0, 0, 0}, {1, 2, 3});
    addLight(*root, zy::makeRef<Property<float>>("reach", 3.0f));
    addLight(*root, zy::makeRef<AnimatedProperty<float>>(
                        "reach", 0, std::vector<AnimatedProperty<float>::KeyType>{{0.0, 5.0f}, {1.0, 12.0f}}));

    EXPECT_EQ(computeLightBox(*root), box({-12, -12, -12}, {13, 14, 15}));
}

TEST(UtilsRootBoxes, SettlingFollowsTheExportRules)
{
    // Computed bounding box, copied user box, no lights: empty light box.
    auto plain = test::makeRoot();
    plain->addRenderNode(makeRenderNode(makeMaterial(), triangleAt(2), {0, 1, 2}, plain->topNode()));
    plain->lightBox() = box({0, 0, 0}, {1, 1, 1});
    EXPECT_TRUE(settleRootBoxes(*plain, std::nullopt).empty());
    EXPECT_EQ(plain->boundingBox(), box({2, 0, 0}, {3, 1, 0}));
    EXPECT_EQ(plain->userBox(), plain->boundingBox());
    EXPECT_TRUE(plain->lightBox().isEmpty());

    // A user box set by hand and a light box computed from the bounding box.
    auto lit = test::makeRoot();
    lit->addRenderNode(makeRenderNode(makeMaterial(), triangleAt(0), {0, 1, 2}, lit->topNode()));
    lit->userBox() = box({-5, -5, -5}, {5, 5, 5});
    addLight(*lit, zy::makeRef<Property<float>>("reach", 1.0f));
    EXPECT_TRUE(settleRootBoxes(*lit, std::nullopt).empty());
    EXPECT_EQ(lit->userBox(), box({-5, -5, -5}, {5, 5, 5}));
    EXPECT_EQ(lit->lightBox(), box({-1, -1, -1}, {2, 2, 1}));

    // Bones without a box set by hand: a message, and the box stays empty.
    auto boned = test::makeRoot();
    addChild<Bone>(boned->topNode());
    const auto messages = settleRootBoxes(*boned, std::nullopt);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].message(), kBonesNeedBoundingBox);
    EXPECT_TRUE(boned->boundingBox().isEmpty());
}

TEST(UtilsRootBoxes, ArgumentValuesAreScaled)
{
    auto root = test::makeRoot();
    auto* moving = addChild<ArgAnimationNode>(root->topNode());
    moving->positionTracks().push_back({0, {{0.5, {0, 0, 0}}, {1.0, {1, 0, 0}}}});
    moving->scaleTracks().push_back({0, {{0.25, {}}}, {{0.75, {1, 1, 1}}}});
    auto* shown = addChild<ArgVisibilityNode>(moving, std::vector<VisibilityTrack>{{1, {{0.1, 0.2}, {0.5, 0.7}}}});

    settleRootBoxes(*root, 2.0);

    EXPECT_EQ(moving->positionTracks()[0].keys[0].time, 1.0);
    EXPECT_EQ(moving->positionTracks()[0].keys[1].time, 2.0);
    EXPECT_EQ(moving->scaleTracks()[0].orientationKeys[0].time, 0.5);
    EXPECT_EQ(moving->scaleTracks()[0].scaleKeys[0].time, 1.5);
    EXPECT_DOUBLE_EQ(shown->tracks()[0].ranges[1].start, 1.0);
    EXPECT_DOUBLE_EQ(shown->tracks()[0].ranges[1].end, 1.4);

    // A negative factor keeps keys and ranges in ascending order.
    scaleArgumentValues(*root, -1.0);
    EXPECT_EQ(moving->positionTracks()[0].keys[0].time, -2.0);
    EXPECT_DOUBLE_EQ(shown->tracks()[0].ranges[0].start, -1.4);
    EXPECT_DOUBLE_EQ(shown->tracks()[0].ranges[0].end, -1.0);
}

TEST(UtilsStatistics, SummaryOfAModel)
{
    auto root = test::makeRoot();
    auto opaque = makeMaterial();
    auto alpha = makeMaterial();
    alpha->setBlending(2);
    auto odd = makeMaterial();
    odd->setBlending(7);
    auto* moving = addChild<ArgAnimationNode>(root->topNode());
    moving->positionTracks().push_back({3, {{0.0, {0, 0, 0}}}});
    root->addRenderNode(makeRenderNode(opaque, triangleAt(0), {0, 1, 2}, moving));
    root->addRenderNode(makeRenderNode(alpha, triangleAt(0), {0, 1, 2, 0, 2, 1}, moving));
    root->addRenderNode(makeRenderNode(opaque, triangleAt(0), {0, 1, 2}, moving));
    root->addRenderNode(makeRenderNode(odd, triangleAt(0), {0, 1, 2}, moving));
    addLight(*root, zy::makeRef<Property<float>>("reach", 1.0f));

    const StatisticsItem stats = buildStatistics(*root);

    EXPECT_EQ(stats.key, "");
    std::vector<std::pair<std::string, std::string>> lines;
    for (const StatisticsItem& item : stats.children)
        lines.push_back({item.key, item.value});
    EXPECT_EQ(lines, (std::vector<std::pair<std::string, std::string>>{{"nTransformNodes", "2"},
                                                                       {"nRenderNodes", "4"},
                                                                       {"nFaces", "5"},
                                                                       {"nMaterials", "3"},
                                                                       {"nShellNodes", "0"},
                                                                       {"nConnectors", "0"},
                                                                       {"nLights", "1"},
                                                                       {"nArguments", "4"}}));
    const auto& perClass = stats.children[1].children;
    ASSERT_EQ(perClass.size(), 2u) << "blending 7 is counted in no child";
    EXPECT_EQ(perClass[0].key, "model::RenderNode(Opaque)");
    EXPECT_EQ(perClass[0].value, "2");
    EXPECT_EQ(perClass[1].key, "model::RenderNode(Alpha test)");
    EXPECT_EQ(perClass[1].value, "1");
}

} // namespace
} // namespace model
