// The transform optimiser on small trees: what is folded, what stays, what is
// merged, and what is rejected.
#include <gtest/gtest.h>

#include "Connector.h"
#include "SkinNode.h"
#include "UtilsTestModels.h"
#include "transforms/ArgAnimatedBone.h"
#include "transforms/ArgAnimationNode.h"
#include "transforms/ArgVisibilityNode.h"
#include "transforms/BillboardNode.h"
#include "transforms/Bone.h"
#include "transforms/LodNode.h"
#include "utils/TransformOptimizer.h"
#include "utils/TreeEdit.h"
#include "zy/ExtException.h"

namespace model {
namespace {

using test::addChild;
using test::makeMaterial;
using test::makeRenderNode;
using test::triangleAt;

constexpr double kTolerance = 1e-5;

osg::Mat4d translate(double x, double y = 0, double z = 0) { return osg::Mat4d::translate({x, y, z}); }

std::vector<float> positionsOf(const RenderNode& node)
{
    std::vector<float> xyz;
    for (uint32_t v = 0; v < node.vertices().count(); ++v) {
        const float* p = node.vertices().vertex(v, node.stride());
        xyz.insert(xyz.end(), {p[0], p[1], p[2]});
    }
    return xyz;
}

// An animation node with a position track that really moves.
ArgAnimationNode* addAnimated(Node* parent, int32_t argument = 1)
{
    auto* node = addChild<ArgAnimationNode>(parent);
    node->positionTracks().push_back({argument, {{0.0, {0, 0, 0}}, {1.0, {0, 5, 0}}}});
    return node;
}

zy::Ref<RenderNode> addMesh(RootNode& root, Node* control, float x = 0)
{
    auto node = makeRenderNode(makeMaterial(), triangleAt(x), {0, 1, 2}, control);
    root.addRenderNode(node);
    return node;
}

void expectRaises(RootNode& root, const std::string& message)
{
    try {
        TransformOptimizer::optimize(root, kTolerance);
        ADD_FAILURE() << "expected: " << message;
    } catch (const zy::ExtException& e) {
        EXPECT_EQ(e.message(), message);
    }
}

TEST(UtilsTransformOptimizer, TransformChainIsFoldedIntoTheGeometry)
{
    auto root = test::makeRoot();
    // T2 scales by 2 along x, T1 moves by 10 along x: scaling must come first.
    auto* t1 = addChild<TransformNode>(root->topNode(), translate(10));
    auto* t2 = addChild<TransformNode>(t1, osg::Mat4d::scale({2, 1, 1}));
    auto mesh = addMesh(*root, t2);

    EXPECT_TRUE(TransformOptimizer::optimize(*root, kTolerance));

    EXPECT_FALSE(root->topNode()->hasChildren());
    EXPECT_EQ(mesh->partControl(0), root->topNode());
    EXPECT_EQ(positionsOf(*mesh), (std::vector<float>{10, 0, 0, 12, 0, 0, 10, 1, 0}));
}

TEST(UtilsTransformOptimizer, LargeTranslationStaysAndTakesWhatIsAbove)
{
    auto root = test::makeRoot();
    auto* near = addChild<TransformNode>(root->topNode(), translate(5));
    auto* far = addChild<TransformNode>(near, translate(200000));
    far->setName("far");
    auto* animated = addAnimated(far);
    auto mesh = addMesh(*root, animated);

    TransformOptimizer::optimize(*root, kTolerance);

    Node* kept = root->topNode()->firstChild();
    ASSERT_TRUE(isKind(kept, NodeKind::TransformNode));
    EXPECT_EQ(kept->name(), "far");
    EXPECT_EQ(static_cast<TransformNode*>(kept)->matrix().translation(), (osg::Vec3d{200005, 0, 0}));
    EXPECT_EQ(kept->firstChild(), animated);
    EXPECT_EQ(mesh->partControl(0), animated);
    EXPECT_EQ(positionsOf(*mesh), (std::vector<float>{0, 0, 0, 1, 0, 0, 0, 1, 0})) << "animated nodes keep their geometry";
}

TEST(UtilsTransformOptimizer, LargeTranslationCancelledFromAboveIsFoldedNotLost)
{
    auto root = test::makeRoot();
    auto* back1 = addChild<TransformNode>(root->topNode(), translate(-90000));
    auto* back2 = addChild<TransformNode>(back1, translate(-90000));
    // Scales by 2, then moves by 200000: with what is above, 20000 remain.
    auto* far = addChild<TransformNode>(back2, osg::Mat4d::scale({2, 2, 2}) * translate(200000));
    auto mesh = addMesh(*root, far);

    TransformOptimizer::optimize(*root, kTolerance);

    EXPECT_FALSE(root->topNode()->hasChildren());
    EXPECT_EQ(mesh->partControl(0), root->topNode());
    EXPECT_EQ(positionsOf(*mesh), (std::vector<float>{20000, 0, 0, 20002, 0, 0, 20000, 2, 0}));
}

TEST(UtilsTransformOptimizer, ConnectorTransformStaysWithIdentityBelow)
{
    auto root = test::makeRoot();
    auto* outer = addChild<TransformNode>(root->topNode(), translate(1, 2, 3));
    auto* socket = addChild<TransformNode>(outer, translate(0, 0, 1));
    auto* inner = addChild<TransformNode>(socket, translate(0, 7, 0));
    auto connector = std::make_unique<Connector>();
    connector->setControl(socket);
    Connector* c = connector.get();
    root->addConnector(std::move(connector));
    auto mesh = addMesh(*root, inner);

    TransformOptimizer::optimize(*root, kTolerance);

    ASSERT_EQ(c->control(), socket);
    EXPECT_EQ(socket->parent(), root->topNode());
    EXPECT_EQ(socket->matrix().translation(), (osg::Vec3d{1, 2, 4}));
    EXPECT_FALSE(socket->hasChildren());
    // The mesh went up through the socket, taking its matrix along.
    EXPECT_EQ(mesh->partControl(0), root->topNode());
    EXPECT_EQ(positionsOf(*mesh), (std::vector<float>{1, 9, 4, 2, 9, 4, 1, 10, 4}));
}

TEST(UtilsTransformOptimizer, EqualSiblingsEndAsOneNode)
{
    auto root = test::makeRoot();
    // Collapsible transforms: both meshes end on the top node.
    auto* a = addChild<TransformNode>(root->topNode(), translate(3));
    auto* b = addChild<TransformNode>(root->topNode(), translate(3));
    auto first = addMesh(*root, a);
    auto second = addMesh(*root, b, 1);
    // Animated siblings cannot collapse: the equal ones merge.
    auto* moving1 = addAnimated(root->topNode());
    auto* moving2 = addAnimated(root->topNode());
    auto* other = addAnimated(root->topNode(), 2);
    auto* child = addChild<Node>(moving2);
    auto third = addMesh(*root, moving1);
    auto fourth = addMesh(*root, moving2);
    auto fifth = addMesh(*root, other);
    auto sixth = addMesh(*root, child);

    TransformOptimizer::optimize(*root, kTolerance);

    EXPECT_EQ(first->partControl(0), root->topNode());
    EXPECT_EQ(second->partControl(0), root->topNode());
    EXPECT_EQ(positionsOf(*second)[0], 4.0f);
    EXPECT_EQ(root->topNode()->childCount(), 2);
    EXPECT_EQ(third->partControl(0), moving1);
    EXPECT_EQ(fourth->partControl(0), moving1);
    EXPECT_EQ(fifth->partControl(0), other);
    EXPECT_EQ(sixth->partControl(0), moving1) << "the merged node's child was dissolved into it";
}

TEST(UtilsTransformOptimizer, StaticAnimationBecomesAPlainTransform)
{
    auto root = test::makeRoot();
    auto* still = addChild<ArgAnimationNode>(root->topNode());
    still->setBasePosition({1, 2, 3});
    still->positionTracks().push_back({4, {}}); // a track without keys moves nothing
    auto* alwaysShown = addChild<ArgVisibilityNode>(still, std::vector<VisibilityTrack>{});
    auto mesh = addMesh(*root, alwaysShown);

    EXPECT_TRUE(TransformOptimizer::optimize(*root, kTolerance));

    EXPECT_FALSE(root->topNode()->hasChildren());
    EXPECT_EQ(mesh->partControl(0), root->topNode());
    EXPECT_EQ(positionsOf(*mesh), (std::vector<float>{1, 2, 3, 2, 2, 3, 1, 3, 3}));
}

TEST(UtilsTransformOptimizer, StaticAnimatedBoneBecomesABoneTheSkinFollows)
{
    auto root = test::makeRoot();
    auto* mover = addChild<TransformNode>(root->topNode(), translate(0, 0, 4));
    ArgAnimationNode animation;
    animation.setBasePosition({1, 0, 0});
    auto* bone = new ArgAnimatedBone(animation);
    bone->setName("bone");
    bone->setBoneMatrix(translate(0, 9, 0));
    mover->appendChild(bone);
    auto skin = zy::makeRef<SkinNode>();
    skin->setMaterial(makeMaterial());
    skin->addBone(bone);
    root->addRenderNode(skin);

    TransformOptimizer::optimize(*root, kTolerance);

    Node* replaced = skin->partControl(0);
    ASSERT_TRUE(isKind(replaced, NodeKind::Bone));
    EXPECT_EQ(replaced->name(), "bone");
    const auto* asBone = static_cast<Bone*>(replaced);
    EXPECT_EQ(asBone->boneMatrix(), translate(0, 9, 0));
    EXPECT_EQ(asBone->matrix().translation(), (osg::Vec3d{1, 0, 0}));
    // A transform with a bone child is kept as it is.
    EXPECT_EQ(replaced->parent(), mover);
    EXPECT_EQ(mover->matrix().translation(), (osg::Vec3d{0, 0, 4}));
}

TEST(UtilsTransformOptimizer, KeysWithinToleranceAreReduced)
{
    auto root = test::makeRoot();
    auto* animated = addChild<ArgAnimationNode>(root->topNode());
    animated->positionTracks().push_back(
        {1, {{0.0, {0, 0, 0}}, {1.0, {0, 5e-6, 0}}, {2.0, {0, 0, 0}}, {3.0, {1, 0, 0}}, {4.0, {1, 0, 0}}}});
    animated->rotationTracks().push_back({1, {{0.0, {0, 0, 0, 1}}, {1.0, {0, 0, 0, 1}}}});
    addMesh(*root, animated);

    TransformOptimizer::optimize(*root, kTolerance);

    std::vector<double> times;
    for (const auto& key : animated->positionTracks()[0].keys)
        times.push_back(key.time);
    EXPECT_EQ(times, (std::vector<double>{0.0, 2.0, 3.0, 4.0}));
    EXPECT_EQ(animated->rotationTracks()[0].keys.size(), 2u);
}

TEST(UtilsTransformOptimizer, BillboardGetsTheTransformAboveItAsANewNode)
{
    auto root = test::makeRoot();
    auto* moved = addChild<TransformNode>(root->topNode(), translate(0, 3, 0));
    auto* group = addChild<Node>(moved);
    auto* billboard = addChild<BillboardNode>(group);
    addMesh(*root, billboard);

    TransformOptimizer::optimize(*root, kTolerance);

    Node* inserted = billboard->parent();
    ASSERT_TRUE(isKind(inserted, NodeKind::TransformNode));
    EXPECT_EQ(static_cast<TransformNode*>(inserted)->matrix().translation(), (osg::Vec3d{0, 3, 0}));
    EXPECT_EQ(inserted->parent(), root->topNode());
    EXPECT_TRUE(billboard->matrix().isIdentity());
}

TEST(UtilsTransformOptimizer, UnreferencedSubtreesArePruned)
{
    auto root = test::makeRoot();
    auto* lonely = addAnimated(root->topNode());
    addChild<Node>(lonely);
    auto* used = addAnimated(root->topNode());
    addMesh(*root, used);

    TransformOptimizer::optimize(*root, kTolerance);

    EXPECT_EQ(root->topNode()->childCount(), 1);
    EXPECT_EQ(root->topNode()->firstChild(), used);
}

TEST(UtilsTransformOptimizer, LodBranchesKeepTheirPlaces)
{
    auto root = test::makeRoot();
    auto* lod = addChild<LodNode>(root->topNode());
    lod->addRange(0, 100);
    lod->addRange(100, 1000);
    auto* nearLevel = addChild<TransformNode>(lod, translate(1));
    auto* farLevel = addChild<TransformNode>(lod, translate(2));
    auto nearMesh = addMesh(*root, nearLevel);
    auto farMesh = addMesh(*root, farLevel);

    TransformOptimizer::optimize(*root, kTolerance);

    // Each level stays as a plain node (the LOD node keeps two children), and
    // its geometry took the transform.
    ASSERT_EQ(lod->childCount(), 2);
    EXPECT_EQ(nearMesh->partControl(0), lod->firstChild());
    EXPECT_EQ(farMesh->partControl(0), lod->lastChild());
    EXPECT_TRUE(isKind(lod->firstChild(), NodeKind::Node));
    EXPECT_EQ(positionsOf(*farMesh)[0], 2.0f);
}

TEST(UtilsTransformOptimizer, RejectedTrees)
{
    struct Case {
        const char* message;
        void (*build)(RootNode&);
    };
    const Case cases[] = {
        {"The bone 'shin' is unused.",
         [](RootNode& root) {
             auto* bone = addChild<Bone>(root.topNode());
             bone->setName("shin");
         }},
        {"The number of children is less than the number of lods. Node: 'lod'.",
         [](RootNode& root) {
             auto* lod = addChild<LodNode>(root.topNode());
             lod->setName("lod");
             for (int i = 0; i < 3; ++i)
                 lod->addRange(i, i + 1);
             for (int i = 0; i < 2; ++i)
                 addMesh(root, addChild<Node>(lod));
         }},
        {"The number of children is larger than the number of lods. Node: 'lod'.",
         [](RootNode& root) {
             auto* lod = addChild<LodNode>(root.topNode());
             lod->setName("lod");
             lod->addRange(0, 1);
             for (int i = 0; i < 2; ++i)
                 addMesh(root, addChild<Node>(lod));
         }},
        {"Unknown id of transform node: model::IKBone.",
         [](RootNode& root) {
             auto* bone = addChild<IKBone>(root.topNode());
             auto skin = zy::makeRef<SkinNode>();
             skin->addBone(bone);
             root.addRenderNode(skin);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        auto root = test::makeRoot();
        c.build(*root);
        expectRaises(*root, c.message);
    }
}

} // namespace
} // namespace model
