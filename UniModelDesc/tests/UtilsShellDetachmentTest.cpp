// Shell detachment from LOD branches.
#include <gtest/gtest.h>

#include "ShellNode.h"
#include "UtilsTestModels.h"
#include "transforms/LodNode.h"
#include "utils/ShellDetachment.h"

namespace model {
namespace {

using test::addChild;

zy::Ref<ShellNode> addShell(RootNode& root, Node* control)
{
    auto shell = zy::makeRef<ShellNode>();
    shell->setControl(control);
    root.addShellNode(shell);
    return shell;
}

TEST(UtilsShellDetachment, ShellGetsACopyOfItsChainOutsideTheLod)
{
    auto root = test::makeRoot();
    auto* holder = addChild<Node>(root->topNode());
    auto* lod = addChild<LodNode>(holder);
    auto* level = addChild<TransformNode>(lod, osg::Mat4d::translate({1, 0, 0}));
    level->setName("level");
    auto* part = addChild<TransformNode>(level, osg::Mat4d::translate({0, 2, 0}));
    part->setName("part");
    auto shell = addShell(*root, part);

    EXPECT_TRUE(detachShellsFromLods(*root));

    Node* copy = shell->control();
    ASSERT_NE(copy, part);
    EXPECT_EQ(copy->name(), "part");
    EXPECT_EQ(static_cast<TransformNode*>(copy)->matrix(), part->matrix());
    Node* copiedLevel = copy->parent();
    ASSERT_NE(copiedLevel, level);
    EXPECT_EQ(copiedLevel->name(), "level");
    EXPECT_EQ(copiedLevel->parent(), holder);
    EXPECT_EQ(holder->lastChild(), copiedLevel);
    EXPECT_EQ(part->parent(), level) << "the original chain stays for the geometry";
    EXPECT_EQ(lod->childCount(), 1);
}

TEST(UtilsShellDetachment, ShellsOutsideAnyBranchStay)
{
    auto root = test::makeRoot();
    auto* plain = addChild<TransformNode>(root->topNode());
    auto* lod = addChild<LodNode>(root->topNode());
    auto* topLod = new LodNode();
    auto* topLevel = addChild<Node>(topLod);
    auto freeShell = addShell(*root, plain);
    auto onLod = addShell(*root, lod);

    EXPECT_FALSE(detachShellsFromLods(*root));
    EXPECT_EQ(freeShell->control(), plain);
    EXPECT_EQ(onLod->control(), lod);

    // A LOD node at the top has no parent to hang a copy on.
    auto other = test::makeRoot();
    other->setTopNode(std::unique_ptr<Node>(topLod));
    auto belowTop = addShell(*other, topLevel);
    EXPECT_FALSE(detachShellsFromLods(*other));
    EXPECT_EQ(belowTop->control(), topLevel);
}

} // namespace
} // namespace model
