// zym stats: the figures of a file equal those the model library computes
// for the model the file was saved from.
#include <gtest/gtest.h>

#include <sstream>

#include "ModelFixtures.h"
#include "ZymTestSupport.h"
#include "utils/Statistics.h"
#include "zym/FileReader.h"
#include "zym/ModelBuilder.h"
#include "zym/Statistics.h"

namespace zym::test {
namespace {

std::string text(const model::StatisticsItem& item, int depth = 0)
{
    std::string s = std::string(std::size_t(depth) * 2, ' ') + item.key + "=" + item.value + "\n";
    for (const auto& child : item.children)
        s += text(child, depth + 1);
    return s;
}

std::string text(const StatItem& item, int depth = 0)
{
    std::string s = std::string(std::size_t(depth) * 2, ' ') + item.key + "=" + item.value + "\n";
    for (const auto& child : item.children)
        s += text(child, depth + 1);
    return s;
}

TEST(Statistics, FileFiguresMatchTheModelLibrary)
{
    Json m = meshModel();
    // A second opaque render node and a line node: counted per class and blending.
    Json copy = m["render_nodes"][0];
    copy["name"] = "keel";
    copy["indices"] = {{"primitive", 1}, {"values", {0, 1, 2, 3}}};
    m["render_nodes"].push_back(copy);

    const Description d = fromJson(m);
    const zy::Ref<model::RootNode> root = buildModel(d);
    model::StatisticsItem expected = model::buildStatistics(*root);
    expected.key = "boat";

    const std::string path = tempPath("stats.zym");
    root->save(path, 10);
    const StatItem actual = buildStatistics(readDescription(readFileBytes(path)));
    EXPECT_EQ(text(actual), text(expected));
    EXPECT_NE(text(actual).find("model::RenderNode(Opaque)=2"), std::string::npos) << text(actual);
    EXPECT_NE(text(actual).find("nFaces=5"), std::string::npos) << text(actual);

    std::ostringstream printed;
    printStatistics(actual, printed);
    EXPECT_NE(printed.str().find("\n  nRenderNodes: 3\n    model::RenderNode(Opaque): 2\n"), std::string::npos)
        << printed.str();
}

} // namespace
} // namespace zym::test
