// Geometry cleanup over a whole model: welding, degenerate triangles, and the
// nodes that end up empty.
#include <gtest/gtest.h>

#include "ShellNode.h"
#include "SkinNode.h"
#include "UtilsTestModels.h"
#include "utils/GeometryCleanup.h"
#include "zy/ExtException.h"

namespace model {
namespace {

using test::makeMaterial;
using test::makeRenderNode;

TEST(UtilsGeometryCleanup, WeldsEveryNodeAndCountsWhatWent)
{
    auto root = test::makeRoot();
    auto material = makeMaterial();
    // Two triangles sharing an edge, each with its own corners; the copies of
    // the shared corners lie within the tolerance. A fifth corner is unused.
    const float e = 4e-6f;
    auto quad = makeRenderNode(material,
                               {0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, //
                                1 + e, 0, 0, 0, 1, 1, 0, 0, 0, 1 - e, 0, 0, //
                                7, 7, 7, 0},
                               {0, 1, 2, 3, 4, 5}, root->topNode());
    // A sliver whose corners become one vertex, and an untouched triangle.
    auto sliver = makeRenderNode(material,
                                 {0, 0, 0, 0, e, 0, 0, 0, 0, e, 0, 0, //
                                  0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0},
                                 {0, 1, 2, 3, 4, 5}, root->topNode());
    root->addRenderNode(quad);
    root->addRenderNode(sliver);

    const GeometryCleanupCounts counts = cleanGeometry(*root, 1e-5);

    EXPECT_EQ(quad->vertices().count(), 4u);
    EXPECT_EQ(quad->indices().values(), (std::vector<uint32_t>{0, 1, 2, 1, 3, 2}));
    EXPECT_EQ(sliver->indices().values(), (std::vector<uint32_t>{0, 1, 2})) << "the sliver collapsed";
    EXPECT_EQ(counts.removedVertices, 3u + 3u); // quad: 1 unused + 2 copies; sliver: 2 + 1 copies
    EXPECT_EQ(counts.removedTriangles, 1u);
    EXPECT_EQ(root->renderNodes().size(), 2u);
}

TEST(UtilsGeometryCleanup, NodesLeftWithoutGeometryAreDropped)
{
    auto root = test::makeRoot();
    auto material = makeMaterial();
    const float e = 1e-6f;
    auto degenerate = makeRenderNode(material, {0, 0, 0, 0, e, 0, 0, 0, 0, e, 0, 0}, {0, 1, 2}, root->topNode());
    auto kept = makeRenderNode(material, test::triangleAt(3), {0, 1, 2}, root->topNode());
    root->addRenderNode(degenerate);
    root->addRenderNode(kept);

    VertexFormat positions;
    positions.setCount(ChannelPosition, 3);
    auto flatShell = zy::makeRef<ShellNode>();
    flatShell->setGeometry(positions, Vertices(3, {0, 0, 0, 1, 0, 0, 2, 0, 0}), Indices({0, 1, 2}));
    auto solidShell = zy::makeRef<ShellNode>();
    solidShell->setGeometry(positions, Vertices(4, {0, 0, 0, 1, 0, 0, 0, 1, 0, 1, e, 0}), Indices({0, 1, 2, 3, 1, 2}));
    root->addShellNode(flatShell);
    root->addShellNode(solidShell);

    const GeometryCleanupCounts counts = cleanGeometry(*root, 1e-5);

    ASSERT_EQ(root->renderNodes().size(), 1u);
    EXPECT_EQ(root->renderNodes()[0], kept.get());
    ASSERT_EQ(root->shellNodes().size(), 1u);
    EXPECT_EQ(root->shellNodes()[0], solidShell.get());
    // Its fourth vertex welds onto the second, which collapses one triangle.
    EXPECT_EQ(solidShell->vertices().count(), 3u);
    EXPECT_EQ(solidShell->indices().values(), (std::vector<uint32_t>{0, 1, 2}));
    EXPECT_EQ(counts.removedTriangles, 3u);
}

TEST(UtilsGeometryCleanup, ManyNodesInParallelGiveTheSameResultAsOne)
{
    // The counters are shared by all tasks; each node's result must match
    // the one it gets when cleaned alone.
    auto material = makeMaterial();
    auto build = [&](RootNode& root, int nodes) {
        for (int n = 0; n < nodes; ++n) {
            std::vector<float> data;
            std::vector<uint32_t> indices;
            for (uint32_t t = 0; t < 50; ++t) {
                for (float corner : {0.0f, 1.0f, 2.0f}) {
                    const float jitter = (t % 3) * 3e-6f;
                    data.insert(data.end(), {corner + jitter, float(t % 5), corner * float(n + 1), 0});
                }
                indices.insert(indices.end(), {3 * t, 3 * t + 1, 3 * t + 2});
            }
            root.addRenderNode(makeRenderNode(material, data, indices, root.topNode()));
        }
    };
    auto single = test::makeRoot();
    build(*single, 1);
    const GeometryCleanupCounts one = cleanGeometry(*single, 1e-5);
    auto many = test::makeRoot();
    build(*many, 64);
    const GeometryCleanupCounts all = cleanGeometry(*many, 1e-5);

    ASSERT_GT(one.removedVertices, 0u);
    EXPECT_EQ(all.removedVertices, 64 * one.removedVertices);
    EXPECT_EQ(all.removedTriangles, 64 * one.removedTriangles);
}

TEST(UtilsGeometryCleanup, IndexOutsideTheVerticesIsReportedNotFollowed)
{
    auto root = test::makeRoot();
    auto broken = makeRenderNode(makeMaterial(), test::triangleAt(0), {0, 1, 3}, root->topNode());
    root->addRenderNode(broken);
    root->addRenderNode(makeRenderNode(makeMaterial(), test::triangleAt(1), {0, 1, 2}, root->topNode()));

    EXPECT_THROW(cleanGeometry(*root, 1e-5), zy::ExtException);
    EXPECT_EQ(root->renderNodes().size(), 2u);
    EXPECT_EQ(broken->vertices().count(), 3u) << "the broken node is left as it was";
}

} // namespace
} // namespace model
