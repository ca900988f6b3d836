// zym check: each planted fault is found at the offset where it lies.
#include <gtest/gtest.h>

#include <cstring>

#include "ModelFixtures.h"
#include "ZymTestSupport.h"
#include "zym/Checker.h"
#include "zym/FileReader.h"

namespace zym::test {
namespace {

// top -> A -> B, top -> C -> D: parents -1, 0, 1, 0, 3.
const char* kTree = R"({
    "root": {"name": "r", "properties": [{"name": "note", "type": "string", "value": "x"}]},
    "tree": {"class": "Node", "name": "top", "children": [
        {"class": "TransformNode", "name": "A", "children": [{"class": "Node", "name": "B"}]},
        {"class": "Node", "name": "C", "children": [
            {"class": "Node", "name": "D", "properties": [{"name": "p", "type": "float", "value": 1}]}]}]}})";

void putU32(std::vector<std::uint8_t>& bytes, std::uint64_t offset, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes.at(offset + i) = static_cast<std::uint8_t>(value >> (8 * i));
}

class Check : public ::testing::Test {
protected:
    void SetUp() override
    {
        bytes_ = buildBytes(Json::parse(kTree));
        d_ = readDescription(bytes_);
        ASSERT_TRUE(checkFile(bytes_).empty());
    }

    // The first problem of the damaged file.
    Problem first(const std::vector<std::uint8_t>& damaged) const
    {
        const std::vector<Problem> problems = checkFile(damaged);
        if (problems.empty())
            return Problem{~0ull, "no problem found"};
        return problems.front();
    }

    std::vector<std::uint8_t> bytes_;
    Description d_;
};

TEST_F(Check, FindsTruncation)
{
    // The file ends with the u32 section count; cut two of its bytes.
    std::vector<std::uint8_t> damaged(bytes_.begin(), bytes_.end() - 2);
    const Problem p = first(damaged);
    EXPECT_EQ(p.offset, bytes_.size() - 4) << p.message;
    EXPECT_NE(p.message.find("needed"), std::string::npos) << p.message;

    // Cut inside a node record: the read that runs out names its own offset.
    damaged.assign(bytes_.begin(), bytes_.begin() + d_.nodes[3].offset + 2);
    EXPECT_EQ(first(damaged).offset, d_.nodes[3].offset);
}

TEST_F(Check, FindsTrailingBytes)
{
    std::vector<std::uint8_t> damaged = bytes_;
    damaged.insert(damaged.end(), {0, 0, 0});
    const Problem p = first(damaged);
    EXPECT_EQ(p.offset, bytes_.size());
    EXPECT_NE(p.message.find("3 bytes follow"), std::string::npos) << p.message;
}

TEST_F(Check, FindsStringIndexPastThePool)
{
    std::vector<std::uint8_t> damaged = bytes_;
    const std::uint64_t nameAt = d_.nodes[4].properties[0].offset + 4;
    putU32(damaged, nameAt, 9999);
    const Problem p = first(damaged);
    EXPECT_EQ(p.offset, nameAt);
    EXPECT_NE(p.message.find("string index 9999"), std::string::npos) << p.message;
}

TEST_F(Check, FindsParentsOutOfPreOrder)
{
    // D made a child of A after C has closed A's subtree.
    std::vector<std::uint8_t> damaged = bytes_;
    putU32(damaged, d_.nodes[4].parentOffset, 1);
    Problem p = first(damaged);
    EXPECT_EQ(p.offset, d_.nodes[4].parentOffset);
    EXPECT_NE(p.message.find("pre-order"), std::string::npos) << p.message;

    // B pointing forward at C.
    damaged = bytes_;
    putU32(damaged, d_.nodes[2].parentOffset, 3);
    EXPECT_EQ(first(damaged).offset, d_.nodes[2].parentOffset);

    // A top node with a parent.
    damaged = bytes_;
    putU32(damaged, d_.nodes[0].parentOffset, 0);
    EXPECT_EQ(first(damaged).offset, d_.nodes[0].parentOffset);
}

TEST_F(Check, FindsCountsTheFileCannotHold)
{
    // A node count far beyond the file size fails before anything is allocated.
    std::vector<std::uint8_t> damaged = bytes_;
    putU32(damaged, d_.nodeCountOffset, 0xFFFFFFF0u);
    Problem p = first(damaged);
    EXPECT_EQ(p.offset, d_.nodeCountOffset);
    EXPECT_NE(p.message.find("node count"), std::string::npos) << p.message;

    damaged = bytes_;
    putU32(damaged, 5, 0x7FFFFFFFu); // string pool length
    EXPECT_EQ(first(damaged).offset, 5u);
}

TEST_F(Check, FindsAWrongArgumentCountAndCategory)
{
    std::vector<std::uint8_t> damaged = bytes_;
    putU32(damaged, d_.root.argumentCountOffset, 4);
    Problem p = first(damaged);
    EXPECT_EQ(p.offset, d_.root.argumentCountOffset);
    EXPECT_NE(p.message.find("argument count 4"), std::string::npos) << p.message;

    damaged = bytes_;
    const TreeNode& b = d_.nodes[2];
    const std::uint64_t categoryAt = b.offset + 8 + b.name.size();
    putU32(damaged, categoryAt, 1);
    EXPECT_EQ(first(damaged).offset, categoryAt);
}

TEST_F(Check, FindsAnInvalidBox)
{
    // The bounding box minimum x raised above its maximum, not the empty value.
    std::vector<std::uint8_t> damaged = bytes_;
    const double two = 2.0, minusOne = -1.0;
    std::memcpy(&damaged[d_.root.boxesOffset], &two, 8);
    std::memcpy(&damaged[d_.root.boxesOffset + 24], &minusOne, 8);
    const Problem p = first(damaged);
    EXPECT_EQ(p.offset, d_.root.boxesOffset);
    EXPECT_NE(p.message.find("bounding box"), std::string::npos) << p.message;
}

class CheckMesh : public Check {
protected:
    void SetUp() override
    {
        bytes_ = buildBytes(meshModel());
        d_ = readDescription(bytes_);
        ASSERT_TRUE(checkFile(bytes_).empty());
    }
};

TEST_F(CheckMesh, FindsAWrongMaterialKeyCount)
{
    // One key too many and one too few: both are blamed on the count itself.
    for (std::uint32_t wrong : {11u, 9u, 12u}) {
        std::vector<std::uint8_t> damaged = bytes_;
        putU32(damaged, d_.root.materials[0].offset, wrong);
        const Problem p = first(damaged);
        EXPECT_EQ(p.offset, d_.root.materials[0].offset) << wrong;
        EXPECT_NE(p.message.find("material key count " + std::to_string(wrong)), std::string::npos) << p.message;
    }
    // The second material has a decal: 11 keys, and 10 is one too few.
    std::vector<std::uint8_t> damaged = bytes_;
    putU32(damaged, d_.root.materials[1].offset, 10);
    EXPECT_EQ(first(damaged).offset, d_.root.materials[1].offset);
}

TEST_F(CheckMesh, FindsAnIndexPastTheVertices)
{
    const RenderItem& sail = d_.renderNodes[1];
    std::vector<std::uint8_t> damaged = bytes_;
    const std::uint64_t thirdIndex = sail.indices.offset + 9 + 2; // u8 indices
    damaged.at(thirdIndex) = 3;
    const Problem p = first(damaged);
    EXPECT_EQ(p.offset, thirdIndex);
    EXPECT_NE(p.message.find("index 2 is 3, past the 3 vertices"), std::string::npos) << p.message;
}

TEST_F(CheckMesh, FindsReferencesOutOfRange)
{
    const RenderItem& hull = d_.renderNodes[0];
    std::vector<std::uint8_t> damaged = bytes_;
    putU32(damaged, hull.materialOffset, 2);
    EXPECT_EQ(first(damaged).offset, hull.materialOffset);

    damaged = bytes_;
    putU32(damaged, hull.parts[0].control.offset, 3);
    const Problem p = first(damaged);
    EXPECT_EQ(p.offset, hull.parts[0].control.offset);
    EXPECT_NE(p.message.find("past the 3 tree nodes"), std::string::npos) << p.message;
}

TEST_F(CheckMesh, FindsAStrideThatDoesNotMatchTheFormat)
{
    // The hull's material loses its position channel: 4 components per vertex, 0 expected.
    std::vector<std::uint8_t> damaged = bytes_;
    const Description& d = d_;
    // VERTEX_FORMAT follows K, the BLENDING entry (4 + 1) and the DEPTH_BIAS entry (4 + 4).
    const std::uint64_t firstChannel = d.root.materials[0].offset + 4 + 5 + 8 + 4 + 4;
    ASSERT_EQ(damaged.at(firstChannel), 4);
    damaged.at(firstChannel) = 3;
    const Problem p = first(damaged);
    EXPECT_EQ(p.offset, d.renderNodes[0].vertices.offset + 4);
    EXPECT_NE(p.message.find("4 components per vertex, its vertex format has 3"), std::string::npos) << p.message;
}

TEST_F(CheckMesh, FindsAnIndexWidthWiderThanNeeded)
{
    // Rewrite the last index block (it ends the file) with two bytes per index.
    const Indices& ix = d_.renderNodes[1].indices;
    std::vector<std::uint8_t> damaged(bytes_.begin(), bytes_.begin() + ix.offset);
    damaged.push_back(1);
    damaged.insert(damaged.end(), bytes_.begin() + ix.offset + 1, bytes_.begin() + ix.offset + 9);
    for (std::uint32_t v : ix.values)
        damaged.insert(damaged.end(), {static_cast<std::uint8_t>(v), 0});
    const Problem p = first(damaged);
    EXPECT_EQ(p.offset, ix.offset);
    EXPECT_NE(p.message.find("index width code 1, its largest index needs 0"), std::string::npos) << p.message;
}

TEST(CheckIndexWidth, WideIndicesAreReadAtTheirWidth)
{
    // 300 and 70000 vertices: two- and four-byte indices, read back exactly.
    for (std::uint32_t count : {300u, 70000u}) {
        Json m = meshModel();
        Json& hull = m["render_nodes"][0];
        hull["vertices"] = Json::array();
        for (std::uint32_t i = 0; i < count; ++i)
            hull["vertices"].push_back({float(i), 0, 0, 0});
        hull["indices"]["values"] = {0, count - 1, count / 2};
        const std::vector<std::uint8_t> bytes = buildBytes(m);
        EXPECT_TRUE(checkFile(bytes).empty());
        const Description d = readDescription(bytes);
        EXPECT_EQ(d.renderNodes[0].indices.widthCode, count < 65536 ? 1 : 2);
        EXPECT_EQ(d.renderNodes[0].indices.values, (std::vector<std::uint32_t>{0, count - 1, count / 2}));
    }
}

} // namespace
} // namespace zym::test
