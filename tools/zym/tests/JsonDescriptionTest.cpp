// The JSON description: references by path or index, defaults, summaries and
// the errors that name the wrong place.
#include <gtest/gtest.h>

#include "ZymTestSupport.h"
#include "zym/FileReader.h"
#include "zym/Checker.h"
#include "zym/JsonText.h"

#include <fstream>
#include <iterator>

namespace zym::test {
namespace {

Json model(const std::string& control, const std::string& slot)
{
    return Json::parse(R"({
        "root": {"name": "r"},
        "materials": [{"id": "m", "name": "m", "textures": [{"slot": )" + slot + R"(, "name": "n.dds"}],
            "vertex_format": [3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0]}],
        "tree": {"class": "Node", "name": "top", "children": [
            {"class": "Node", "name": "twin"}, {"class": "Node", "name": "twin", "children": [{"class": "Node", "name": "x"}]},
            {"class": "Node", "name": "solo"}]},
        "render_nodes": [{"name": "mesh", "material": "m", "parts": [{"control": )" + control + R"(}],
            "vertices": [[0, 0, 0], [1, 0, 0], [0, 1, 0]], "indices": {"values": [0, 1, 2]}}]})");
}

TEST(JsonDescription, PathsAndIndicesNameTheSameNode)
{
    EXPECT_EQ(buildBytes(model("\"/solo\"", "\"NormalMap\"")), buildBytes(model("4", "1")));

    // Siblings of the same name have no path: the dump refers to them, and to
    // everything below them, by index.
    const std::vector<std::uint8_t> twin = buildBytes(model("3", "1"));
    const Json dumped = dumpBytes(twin);
    EXPECT_EQ(dumped["render_nodes"][0]["parts"][0]["control"], 3);
    EXPECT_EQ(buildBytes(dumped), twin);
    EXPECT_EQ(dumpBytes(buildBytes(model("\"/solo\"", "1")))["render_nodes"][0]["parts"][0]["control"], "/solo");
}

TEST(JsonDescription, ErrorsNameThePlace)
{
    struct Case {
        const char* control;
        const char* slot;
        const char* expected;
    };
    const Case cases[] = {
        {"\"/twin\"", "1", "render_nodes[0].parts[0].control: no node has the path \"/twin\""},
        {"\"/nowhere\"", "1", "no node has the path \"/nowhere\""},
        {"-1", "1", "render_nodes[0].parts[0].control: the integer is out of range"},
        {"1", "17", "materials[0].textures[0].slot: texture slots are numbered 0 to 16"},
        {"1", "\"Shiny\"", "unknown texture slot \"Shiny\""},
    };
    for (const Case& c : cases) {
        try {
            fromJson(model(c.control, c.slot));
            ADD_FAILURE() << "no error for " << c.control << " / " << c.slot;
        } catch (const zy::ExtException& e) {
            EXPECT_NE(e.message().find(c.expected), std::string::npos) << e.message();
        }
    }
    // A reference past the tree is caught when building.
    EXPECT_THROW(buildBytes(model("9", "1")), zy::ExtException);
}

TEST(JsonDescription, SummaryShortensLongArraysAndCannotBeBuilt)
{
    Json big = model("1", "1");
    Json& mesh = big["render_nodes"][0];
    mesh["vertices"] = Json::array();
    mesh["indices"]["values"] = Json::array();
    for (int i = 0; i < 30; ++i) {
        mesh["vertices"].push_back({i, 0, 0});
        mesh["indices"]["values"].push_back(i);
    }
    const Description d = readDescription(buildBytes(big));
    DumpOptions summary;
    summary.summary = true;
    const Json shortened = toJson(d, summary);
    const Json& vertices = shortened["render_nodes"][0]["vertices"];
    EXPECT_EQ(vertices["count"], 30);
    EXPECT_EQ(vertices["components"], 3);
    EXPECT_EQ(shortened["render_nodes"][0]["indices"]["values"]["count"], 30);

    // The checksum follows the data: one changed value changes it.
    Description moved = d;
    moved.renderNodes[0].vertices.values[4] = 0.5f;
    EXPECT_NE(toJson(moved, summary)["render_nodes"][0]["vertices"]["checksum"], vertices["checksum"]);

    try {
        fromJson(shortened);
        ADD_FAILURE() << "a summary was accepted";
    } catch (const zy::ExtException& e) {
        EXPECT_NE(e.message().find("summarised"), std::string::npos) << e.message();
    }
}

TEST(JsonDescription, TextKeepsFloatsShortAndExact)
{
    Json j = Json::parse(R"({"root": {"name": "r", "properties": [{"name": "f", "type": "float", "value": 0.1}]},
                             "tree": {"name": "top"}})");
    const Json dumped = dumpBytes(buildBytes(j));
    const std::string text = jsonText(dumped);
    EXPECT_NE(text.find("\"value\":0.1}"), std::string::npos) << text;
    EXPECT_EQ(Json::parse(text), dumped);
}

} // namespace
} // namespace zym::test

namespace zym::test {
namespace {

// The example of the README builds, passes the check and survives a round trip.
TEST(JsonDescription, ReadmeExampleBuilds)
{
    std::ifstream in(ZYM_README);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::size_t start = text.find("```json\n");
    ASSERT_NE(start, std::string::npos);
    const std::size_t end = text.find("```\n", start + 8);
    const Json example = Json::parse(text.substr(start + 8, end - start - 8));

    const std::vector<std::uint8_t> bytes = buildBytes(example);
    const std::vector<Problem> problems = checkFile(bytes);
    EXPECT_TRUE(problems.empty()) << problems[0].offset << ": " << problems[0].message;
    EXPECT_EQ(buildBytes(dumpBytes(bytes)), bytes);
    EXPECT_EQ(readDescription(bytes).renderNodes.size(), 5u);
}

} // namespace
} // namespace zym::test

namespace zym::test {
namespace {

// A chain deeper than the JSON description allows is refused with a message,
// while the checker still reads it.
TEST(JsonDescription, TooDeepATreeIsRefusedNotOverflowed)
{
    Json top = {{"class", "Node"}, {"name", "n"}};
    for (int depth = 0; depth < 1100; ++depth)
        top = {{"class", "Node"}, {"name", "n"}, {"children", Json::array({std::move(top)})}};
    const std::vector<std::uint8_t> bytes = buildBytes(Json{{"root", {{"name", "deep"}}}, {"tree", std::move(top)}});
    EXPECT_TRUE(checkFile(bytes).empty());
    try {
        dumpBytes(bytes);
        ADD_FAILURE() << "a 1101-level tree was described";
    } catch (const zy::ExtException& e) {
        EXPECT_NE(e.message().find("deeper than 1000 levels"), std::string::npos) << e.message();
    }
}

} // namespace
} // namespace zym::test
