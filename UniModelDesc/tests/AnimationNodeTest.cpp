// Argument animation, visibility and bone nodes: transforms from tracks,
// effective kinds, visibility ranges, equality and cloning.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <numbers>

#include "IModelArguments.h"
#include "Property.h"
#include "transforms/ArgAnimatedBone.h"
#include "transforms/ArgVisibilityNode.h"
#include "transforms/Bone.h"

using namespace model;

namespace {

class Arguments : public IModelArguments {
public:
    Arguments(std::initializer_list<std::pair<const int32_t, float>> values) : values_(values) {}
    float value(int32_t argument) const override
    {
        const auto it = values_.find(argument);
        return it == values_.end() ? 0.0f : it->second;
    }

private:
    std::map<int32_t, float> values_;
};

const double kHalf = std::sqrt(0.5);
// 90° about z, x and y.
const osg::Quatd kAboutZ(0, 0, kHalf, kHalf);
const osg::Quatd kAboutX(kHalf, 0, 0, kHalf);
const osg::Quatd kAboutY(0, kHalf, 0, kHalf);

void expectNear(const osg::Vec3d& actual, const osg::Vec3d& expected, const char* what)
{
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(actual[i], expected[i], 1e-12) << what << ", component " << i;
}

} // namespace

TEST(ArgAnimationNode, EffectiveKindFollowsTheTrackTypesUsed)
{
    struct Case {
        bool position, rotation, scale;
        NodeKind kind;
    };
    const Case cases[] = {
        {false, false, false, NodeKind::ArgScaleNode},   {false, false, true, NodeKind::ArgScaleNode},
        {false, true, false, NodeKind::ArgRotationNode}, {true, false, false, NodeKind::ArgPositionNode},
        {true, true, false, NodeKind::ArgAnimationNode}, {true, false, true, NodeKind::ArgAnimationNode},
        {false, true, true, NodeKind::ArgAnimationNode}, {true, true, true, NodeKind::ArgAnimationNode},
    };
    for (const Case& c : cases) {
        ArgAnimationNode node;
        if (c.position)
            node.positionTracks().push_back({0, {}});
        if (c.rotation)
            node.rotationTracks().push_back({0, {}});
        if (c.scale)
            node.scaleTracks().push_back({0, {}, {}});
        EXPECT_EQ(node.effectiveKind(), c.kind) << c.position << c.rotation << c.scale;
        EXPECT_EQ(node.kind(), NodeKind::ArgAnimationNode);
    }
    ArgAnimatedBone bone;
    bone.positionTracks().push_back({0, {}});
    EXPECT_EQ(bone.effectiveKind(), NodeKind::ArgAnimatedBone);
}

TEST(ArgAnimationNode, SingleKeyPositionTrackIsConstant)
{
    ArgAnimationNode node;
    node.setBasePosition({0, 2, 0});
    node.positionTracks().push_back({4, {{0.0, {1, 0, 0}}}});
    for (float v : {-5.0f, 0.0f, 3.0f}) {
        const osg::Mat4d m = node.localTransform(Arguments{{4, v}});
        expectNear(m.translation(), {1, 2, 0}, "translation");
        expectNear(m.transformVector({1, 0, 0}), {1, 0, 0}, "no rotation");
    }
}

TEST(ArgAnimationNode, PositionTracksInterpolateAndSum)
{
    ArgAnimationNode node;
    node.positionTracks().push_back({0, {{0.0, {0, 0, 0}}, {1.0, {10, 0, 0}}, {2.0, {20, 0, 0}}, {3.0, {40, 0, 0}}}});
    node.positionTracks().push_back({1, {{0.0, {0, 1, 0}}, {1.0, {0, 3, 0}}}});
    struct Case {
        float v0, v1;
        osg::Vec3d expected;
    };
    const Case cases[] = {
        {2.5f, 0.5f, {30, 2, 0}}, {-1.0f, 0.0f, {0, 1, 0}}, {7.0f, 9.0f, {40, 3, 0}}, {1.0f, 0.25f, {10, 1.5, 0}},
    };
    for (const Case& c : cases)
        expectNear(node.localTransform(Arguments{{0, c.v0}, {1, c.v1}}).translation(), c.expected, "translation");
}

TEST(ArgAnimationNode, RotationTracksActInOrderAndBaseRotationLast)
{
    ArgAnimationNode node;
    node.rotationTracks().push_back({0, {{0.0, kAboutZ}}});
    node.rotationTracks().push_back({1, {{0.0, kAboutX}}});
    node.setBaseRotation(kAboutY);
    node.positionTracks().push_back({0, {{0.0, {1, 0, 0}}}});
    node.setMatrix(osg::Mat4d::translate({0, 0, 10}));

    // (1, 0, 0): about z → (0, 1, 0), about x → (0, 0, 1), about y → (1, 0, 0);
    // then the track's translation and the local matrix.
    const osg::Mat4d m = node.localTransform(Arguments{});
    expectNear(m.transformPoint({1, 0, 0}), {2, 0, 10}, "point");
    expectNear(m.transformPoint({0, 0, 0}), {1, 0, 10}, "origin");
}

TEST(ArgAnimationNode, ScaleTracksScaleAlongTheirOrientation)
{
    ArgAnimationNode node;
    node.scaleTracks().push_back({0, {{0.0, osg::Quatd()}}, {{0.0, {1, 1, 1}}, {1.0, {3, 1, 1}}}});
    // Base scale 3 along the y axis turned 90° about z, which is the x axis.
    node.setScaleOrientation(kAboutZ);
    node.setBaseScale({1, 3, 1});
    // At 0.5 the track scales x by 2: (1, 1, 0) → (2, 1, 0) → (6, 1, 0).
    expectNear(node.localTransform(Arguments{{0, 0.5f}}).transformPoint({1, 1, 0}), {6, 1, 0}, "point");
    expectNear(node.staticTransform().transformPoint({1, 1, 0}), {3, 1, 0}, "static");
}

TEST(ArgAnimationNode, QuaternionInterpolation)
{
    // Halfway to 90° about z is 45°, also when the second key is the negated quaternion.
    const double s = std::sin(std::numbers::pi / 8), c = std::cos(std::numbers::pi / 8);
    for (const osg::Quatd& to : {kAboutZ, osg::Quatd(0, 0, -kHalf, -kHalf)}) {
        const osg::Quatd q = slerp(osg::Quatd(), to, 0.5);
        EXPECT_NEAR(q.z, s, 1e-15);
        EXPECT_NEAR(q.w, c, 1e-15);
    }
    // Closer than 1e-5: linear weights, and the result is not renormalised.
    const osg::Quatd near(0, 0, std::sin(1e-3), std::cos(1e-3));
    const osg::Quatd q = slerp(osg::Quatd(), near, 0.5);
    EXPECT_DOUBLE_EQ(q.z, 0.5 * std::sin(1e-3));
    EXPECT_DOUBLE_EQ(q.w, 0.5 + 0.5 * std::cos(1e-3));
    EXPECT_LT(q.norm2(), 1.0 - 1e-8);

    // Bisection over several keys picks the right pair.
    const std::vector<RotationKey> keys = {{0.0, osg::Quatd()}, {1.0, osg::Quatd()}, {2.0, osg::Quatd()}, {3.0, kAboutZ}};
    const osg::Quatd mid = evaluateKeys(keys, 2.5, osg::Quatd());
    EXPECT_NEAR(mid.z, s, 1e-15);
}

TEST(ArgAnimationNode, AccumulatesIntoTheParentsMatrix)
{
    TransformNode parent(osg::Mat4d::translate({0, 5, 0}));
    auto* node = new ArgAnimationNode;
    parent.appendChild(node);
    node->positionTracks().push_back({2, {{0.0, {0, 0, 0}}, {1.0, {4, 0, 0}}}});
    node->rotationTracks().push_back({2, {{0.0, osg::Quatd()}, {1.0, kAboutZ}}});

    osg::Mat4d world;
    node->accumulateMatrix(Arguments{{2, 1.0f}}, world);
    // (1, 0, 0) → rotated (0, 1, 0) → moved (4, 1, 0) → parent (4, 6, 0).
    expectNear(world.transformPoint({1, 0, 0}), {4, 6, 0}, "world");
}

TEST(ArgAnimationNode, StaticnessAndArguments)
{
    ArgAnimationNode node;
    node.positionTracks().push_back({3, {}});
    node.scaleTracks().push_back({8, {}, {}});
    node.rotationTracks().push_back({-1, {}});
    EXPECT_TRUE(node.isStatic());
    ArgumentSet arguments;
    node.collectArguments(arguments);
    EXPECT_EQ(arguments, (ArgumentSet{3, 8}));

    node.scaleTracks()[0].scaleKeys.push_back({0.0, {1, 1, 1}});
    EXPECT_FALSE(node.isStatic());
}

TEST(ArgAnimationNode, EqualityTolerances)
{
    const auto base = [] {
        ArgAnimationNode n;
        n.positionTracks().push_back({1, {{0.5, {1, 2, 3}}}});
        n.rotationTracks().push_back({2, {{0.5, kAboutZ}}});
        n.scaleTracks().push_back({3, {{0.0, osg::Quatd()}}, {{0.0, {1, 1, 1}}}});
        return n;
    };
    using Change = void (*)(ArgAnimationNode&);
    struct Case {
        const char* what;
        Change change;
        bool equal;
    };
    const Case cases[] = {
        {"key time +5e-11", [](ArgAnimationNode& n) { n.positionTracks()[0].keys[0].time += 5e-11; }, true},
        {"key time +1e-9", [](ArgAnimationNode& n) { n.positionTracks()[0].keys[0].time += 1e-9; }, false},
        {"key value +1e-9", [](ArgAnimationNode& n) { n.rotationTracks()[0].keys[0].value.w += 1e-9; }, false},
        {"argument", [](ArgAnimationNode& n) { n.scaleTracks()[0].argument = 4; }, false},
        {"extra key", [](ArgAnimationNode& n) { n.scaleTracks()[0].scaleKeys.push_back({1.0, {1, 1, 1}}); }, false},
        {"base position +5e-7", [](ArgAnimationNode& n) { n.setBasePosition({5e-7, 0, 0}); }, true},
        {"base position +2e-6", [](ArgAnimationNode& n) { n.setBasePosition({2e-6, 0, 0}); }, false},
        {"base rotation +5e-7", [](ArgAnimationNode& n) { n.setBaseRotation({5e-7, 0, 0, 1}); }, true},
        {"base rotation +2e-6", [](ArgAnimationNode& n) { n.setBaseRotation({2e-6, 0, 0, 1}); }, false},
        {"scale orientation +2e-6", [](ArgAnimationNode& n) { n.setScaleOrientation({0, 0, 2e-6, 1}); }, false},
        {"base scale +2e-6", [](ArgAnimationNode& n) { n.setBaseScale({1, 1, 1 + 2e-6}); }, false},
        {"local matrix +2e-6", [](ArgAnimationNode& n) { auto m = n.matrix(); m[13] = 2e-6; n.setMatrix(m); }, false},
    };
    for (const Case& c : cases) {
        const ArgAnimationNode a = base();
        ArgAnimationNode b = base();
        c.change(b);
        EXPECT_EQ(a.equals(b), c.equal) << c.what;
    }
}

TEST(ArgAnimationNode, CloneCopiesTracksUnlinked)
{
    TransformNode parent;
    auto* node = new ArgAnimationNode;
    parent.appendChild(node);
    node->appendChild(new Node);
    node->setName("door");
    node->setBaseScale({2, 2, 2});
    node->rotationTracks().push_back({5, {{0.0, kAboutX}}});
    const std::unique_ptr<Node> copy = node->clone();
    ASSERT_NE(dynamic_cast<ArgAnimationNode*>(copy.get()), nullptr);
    EXPECT_TRUE(copy->equals(*node));
    EXPECT_EQ(copy->parent(), nullptr);
    EXPECT_EQ(copy->firstChild(), nullptr);
    EXPECT_EQ(copy->name(), "door");
}

TEST(ArgVisibilityNode, TracksAreNormalised)
{
    const ArgVisibilityNode node({
        {3, {{0.5, 0.2}, {0.4, 0.6}}},
        {2, {}},
        {1, {{0.5, 1.0}, {0.0, 0.5}, {2.0, 3.0}, {2.5, 2.7}}},
    });
    ASSERT_EQ(node.tracks().size(), 2u);
    EXPECT_EQ(node.tracks()[0].argument, 1);
    ASSERT_EQ(node.tracks()[0].ranges.size(), 3u);
    EXPECT_EQ(node.tracks()[0].ranges[0].end, 0.5); // touching ranges stay apart
    EXPECT_EQ(node.tracks()[0].ranges[1].start, 0.5);
    EXPECT_EQ(node.tracks()[0].ranges[2].start, 2.0); // a range inside another is absorbed
    EXPECT_EQ(node.tracks()[0].ranges[2].end, 3.0);
    EXPECT_EQ(node.tracks()[1].argument, 3);
    ASSERT_EQ(node.tracks()[1].ranges.size(), 1u);
    EXPECT_EQ(node.tracks()[1].ranges[0].start, 0.2);
    EXPECT_EQ(node.tracks()[1].ranges[0].end, 0.6);
    EXPECT_FALSE(node.isStatic());
    EXPECT_TRUE(ArgVisibilityNode(std::vector<VisibilityTrack>{{0, {}}}).isStatic());
}

TEST(ArgVisibilityNode, VisibilityByRangesAndParents)
{
    Node top;
    auto* outer = new ArgVisibilityNode({{0, {{0.0, 0.5}, {0.5, 1.0}}}});
    top.appendChild(outer);
    auto* inner = new ArgVisibilityNode({{1, {{0.2, 0.4}}}});
    outer->appendChild(inner);

    struct Case {
        float a0, a1;
        bool visible;
    };
    const Case cases[] = {
        {0.5f, 0.3f, true},   // 0.5 passes the second range of the outer node
        {1.0f, 0.3f, false},  // ends are exclusive
        {0.0f, 0.2f, true},   // starts are inclusive
        {0.7f, 0.4f, false},  // the inner node hides
        {-0.1f, 0.3f, false}, // the outer node hides
    };
    for (const Case& c : cases) {
        bool visible = true;
        inner->updateVisibility(Arguments{{0, c.a0}, {1, c.a1}}, visible);
        EXPECT_EQ(visible, c.visible) << c.a0 << ", " << c.a1;
    }
    ArgumentSet arguments;
    outer->collectArguments(arguments);
    inner->collectArguments(arguments);
    EXPECT_EQ(arguments, (ArgumentSet{0, 1}));
}

TEST(ArgVisibilityNode, EqualityAndClone)
{
    const ArgVisibilityNode a({{0, {{0.0, 1.0}}}});
    EXPECT_TRUE(a.equals(ArgVisibilityNode({{0, {{5e-7, 1.0}}}})));
    EXPECT_FALSE(a.equals(ArgVisibilityNode({{0, {{2e-6, 1.0}}}})));
    EXPECT_FALSE(a.equals(ArgVisibilityNode({{1, {{0.0, 1.0}}}})));
    EXPECT_FALSE(a.equals(ArgVisibilityNode({{0, {{0.0, 1.0}, {2.0, 3.0}}}})));
    EXPECT_TRUE(a.clone()->equals(a));
}

TEST(Bone, BoneMatrixTakesPartInEquality)
{
    const osg::Mat4d local = osg::Mat4d::translate({1, 2, 3});
    osg::Mat4d bind = osg::Mat4d::translate({0, 0, 1});
    const Bone a(local, bind);
    EXPECT_EQ(a.kind(), NodeKind::Bone);
    EXPECT_EQ(&a.localMatrix(), &a.matrix());
    EXPECT_EQ(a.node(), &a);
    bind[14] += 5e-7;
    EXPECT_TRUE(a.equals(Bone(local, bind)));
    bind[14] += 2e-6;
    EXPECT_FALSE(a.equals(Bone(local, bind)));
    EXPECT_FALSE(a.equals(TransformNode(local)));

    const std::unique_ptr<Node> copy = a.clone();
    ASSERT_NE(dynamic_cast<Bone*>(copy.get()), nullptr);
    EXPECT_TRUE(copy->equals(a));
}

TEST(IKBone, DefaultLimitsFromEveryConstructor)
{
    const double pi = std::numbers::pi;
    const IKBone::Limits expected = {-pi, pi, -pi / 2, pi / 2, -pi, pi};
    EXPECT_EQ(IKBone().limits(), expected);
    const IKBone fromMatrix(osg::Mat4d::translate({4, 0, 0}));
    EXPECT_EQ(fromMatrix.limits(), expected);
    EXPECT_EQ(fromMatrix.matrix()[12], 4.0);
    EXPECT_TRUE(fromMatrix.boneMatrix() == osg::Mat4d::identity());

    IKBone other(osg::Mat4d::translate({4, 0, 0}));
    EXPECT_TRUE(other.equals(fromMatrix));
    other.setLimits({-1, 1, -1, 1, -1, 1});
    EXPECT_FALSE(other.equals(fromMatrix));
    EXPECT_EQ(static_cast<IKBone&>(*other.clone()).limits(), other.limits());
}

TEST(ArgAnimatedBone, BuiltFromAnAnimationNode)
{
    ArgAnimationNode animation;
    animation.setName("arm");
    animation.addProperty(zy::makeRef<Property<float>>("mass", 2.0f));
    animation.setMatrix(osg::Mat4d::translate({0, 1, 0}));
    animation.setBasePosition({1, 0, 0});
    animation.rotationTracks().push_back({6, {{0.0, osg::Quatd()}, {1.0, kAboutZ}}});

    ArgAnimatedBone bone(animation);
    EXPECT_EQ(bone.kind(), NodeKind::ArgAnimatedBone);
    EXPECT_EQ(bone.name(), "arm");
    EXPECT_EQ(bone.properties().size(), 1u);
    EXPECT_TRUE(bone.matrix() == animation.matrix());
    EXPECT_TRUE(bone.localMatrix() == osg::Mat4d::identity());
    EXPECT_TRUE(bone.boneMatrix() == osg::Mat4d::identity());
    EXPECT_EQ(bone.rotationTracks().size(), 1u);
    EXPECT_TRUE(osg::equalWithin(bone.localTransform(Arguments{{6, 1.0f}}),
                                 animation.localTransform(Arguments{{6, 1.0f}}), 0));
    // A bone is not equal to a plain animation node, and its bone matrix counts.
    EXPECT_FALSE(bone.equals(animation));
    ArgAnimatedBone moved(animation);
    moved.setBoneMatrix(osg::Mat4d::translate({0, 0, 1}));
    EXPECT_FALSE(bone.equals(moved));
    EXPECT_TRUE(bone.clone()->equals(bone));
}
