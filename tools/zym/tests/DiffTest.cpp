// zym diff: differences are reported in model terms, one per change.
#include <gtest/gtest.h>

#include "ModelFixtures.h"
#include "ZymTestSupport.h"
#include "zym/Differ.h"
#include "zym/FileReader.h"

namespace zym::test {
namespace {

std::vector<Difference> diff(const Json& a, const Json& b, const DiffOptions& options = {})
{
    return diffDescriptions(readDescription(buildBytes(a)), readDescription(buildBytes(b)), options);
}

std::string describe(const std::vector<Difference>& differences)
{
    std::string s;
    for (const Difference& d : differences)
        s += d.where + ": " + d.what + "\n";
    return s;
}

TEST(Diff, EqualModelsHaveNoDifferences)
{
    EXPECT_TRUE(diff(meshModel(), meshModel()).empty());
}

TEST(Diff, ReportsAMovedVertexWithinAndBeyondTheTolerance)
{
    Json moved = meshModel();
    moved["render_nodes"][1]["vertices"][2][2] = 2.25;
    const std::vector<Difference> differences = diff(meshModel(), moved);
    ASSERT_EQ(differences.size(), 1u) << describe(differences);
    EXPECT_EQ(differences[0].where, "render_nodes['sail'].vertices[2][2]");
    EXPECT_EQ(differences[0].what, "2.0 != 2.25");

    DiffOptions loose;
    loose.vertexTolerance = 0.5;
    EXPECT_TRUE(diff(meshModel(), moved, loose).empty());
    loose.vertexTolerance = 0.1;
    EXPECT_EQ(diff(meshModel(), moved, loose).size(), 1u);
}

TEST(Diff, ReportsAChangedProperty)
{
    Json changed = meshModel();
    changed["tree"]["children"][0]["properties"][0]["value"] = 125;
    const std::vector<Difference> differences = diff(meshModel(), changed);
    ASSERT_EQ(differences.size(), 1u) << describe(differences);
    EXPECT_EQ(differences[0].where, "tree/Hull.properties['mass'].value");
    EXPECT_EQ(differences[0].what, "120.0 != 125.0");

    DiffOptions loose;
    loose.tolerance = 10;
    EXPECT_TRUE(diff(meshModel(), changed, loose).empty());
}

TEST(Diff, ReportsAnExtraNodeOnce)
{
    // A node inserted before Mast: Mast keeps matching by name, and the
    // sail's control (a path) still names the same node.
    Json extra = meshModel();
    Json& hullChildren = extra["tree"]["children"][0]["children"];
    hullChildren.insert(hullChildren.begin(), Json{{"class", "Node"}, {"name", "Flag"}});
    const std::vector<Difference> differences = diff(meshModel(), extra);
    ASSERT_EQ(differences.size(), 1u) << describe(differences);
    EXPECT_EQ(differences[0].where, "tree/Hull/Flag");
    EXPECT_EQ(differences[0].what, "only in B");

    const std::vector<Difference> reverse = diff(extra, meshModel());
    ASSERT_EQ(reverse.size(), 1u) << describe(reverse);
    EXPECT_EQ(reverse[0].what, "only in A");
}

TEST(Diff, NamesMaterialsNotTheirPositions)
{
    // The sail drawn first: the file lists its material first, nothing else changes.
    Json reordered = meshModel();
    std::swap(reordered["render_nodes"][0], reordered["render_nodes"][1]);
    EXPECT_TRUE(diff(meshModel(), reordered).empty()) << describe(diff(meshModel(), reordered));

    Json other = meshModel();
    other["render_nodes"][0]["material"] = 1;
    // The hull material is no longer used, so the file drops it.
    const std::vector<Difference> differences = diff(meshModel(), other);
    ASSERT_EQ(differences.size(), 2u) << describe(differences);
    EXPECT_EQ(differences[0].where, "materials['hull']");
    EXPECT_EQ(differences[0].what, "only in A");
    EXPECT_EQ(differences[1].where, "render_nodes['hull'].material");
    EXPECT_EQ(differences[1].what, "\"hull\" != \"sail\"");
}

} // namespace
} // namespace zym::test
