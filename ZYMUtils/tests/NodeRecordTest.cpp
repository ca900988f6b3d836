// Building a node's record from its material's default text and its own text.
#include "NodeRecord.h"
#include "Property.h"
#include "TestSupport.h"

namespace {

using lu::SmoothNormalsMode;
using testing::ElementsAre;
using testing::MatchesRegex;

struct FakeNode : lu::NodeTextSource {
    FakeNode(zy::string materialText, zy::string ownText)
        : material(std::move(materialText)), own(std::move(ownText))
    {
    }
    zy::string nodeName() const override { return "Door_L"; }
    zy::string materialUserDefines() const override { return material; }
    zy::string userPropertyText() const override { return own; }

    zy::string material;
    zy::string own;
};

class NodeRecordTest : public testing::Test {
protected:
    lu::NodeRecord build(const FakeNode& node, SmoothNormalsMode mode = SmoothNormalsMode::Off,
                         bool reportErrors = true)
    {
        lu::NodeRecordOptions options{mode, reportErrors, ZY_PLUGCFG_DIR};
        return lu::buildNodeRecord(node, options, [this](const zy::string& m) { errors.push_back(m); });
    }

    std::vector<zy::string> errors;
};

void expectInitial(const lu::NodeRecord& record, bool smoothNormals)
{
    EXPECT_TRUE(record.properties.empty());
    EXPECT_TRUE(record.animatedProperties.empty());
    EXPECT_TRUE(record.arrays.empty());
    EXPECT_EQ(record.flags, 0u);
    EXPECT_EQ(record.smoothNormals, smoothNormals);
    EXPECT_FALSE(record.noConnector);
    EXPECT_EQ(record.damageArgument, -1);
}

TEST_F(NodeRecordTest, EmptyTextGivesTheInitialRecord)
{
    expectInitial(build(FakeNode("", ""), SmoothNormalsMode::MarkedDefaultOn), true);
    expectInitial(build(FakeNode("", ""), SmoothNormalsMode::MarkedDefaultOff), false);
    EXPECT_TRUE(errors.empty());
}

TEST_F(NodeRecordTest, EveryHandlerFillsItsField)
{
    const auto record = build(FakeNode("", "TYPE = 'renderable|collision_shell', SMOOTH_NORMALS = 1, "
                                           "NO_CONNECTOR = 1, DAMAGE_ARGUMENT = 3.9, speed = 2, "
                                           "door = argument(4), weights = array(1, 2)"),
                              SmoothNormalsMode::MarkedDefaultOff);
    EXPECT_EQ(record.flags, lu::kRenderable | lu::kCollisionShell);
    EXPECT_TRUE(record.hasFlag(lu::kCollisionShell));
    EXPECT_TRUE(record.smoothNormals);
    EXPECT_TRUE(record.noConnector);
    EXPECT_EQ(record.damageArgument, 3);
    ASSERT_EQ(record.properties.size(), 1u);
    EXPECT_EQ(record.properties[0]->name(), "speed");
    ASSERT_EQ(record.animatedProperties.size(), 1u);
    EXPECT_EQ(record.animatedProperties[0]->argument(), 4);
    EXPECT_THAT(record.arrays.at("weights"), ElementsAre(1.0f, 2.0f));
    EXPECT_TRUE(errors.empty());
}

TEST_F(NodeRecordTest, MaterialTextComesFirstWithoutSeparator)
{
    const auto joined = build(FakeNode("TYPE = 'fake_lights';", "SMOOTH_NORMALS = 0"), SmoothNormalsMode::MarkedDefaultOn);
    EXPECT_EQ(joined.flags, lu::kFakeLights);
    EXPECT_FALSE(joined.smoothNormals);
    EXPECT_TRUE(errors.empty());

    // Without the trailing separator the joined text is a syntax error.
    const auto broken = build(FakeNode("TYPE = 'fake_lights'", "SMOOTH_NORMALS = 0"), SmoothNormalsMode::MarkedDefaultOn);
    expectInitial(broken, true);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_THAT(errors[0], MatchesRegex("Parser error:.*\\.\\. Node: Door_L\\.\tFile: NodeRecord\\.cpp:[0-9]+\\."));
}

TEST_F(NodeRecordTest, ErrorsResetTheRecordAndAreReportedOnlyWhenAskedFor)
{
    const FakeNode node("", "speed = 2, TYPE = 'Renderable', NO_CONNECTOR = 1");
    expectInitial(build(node, SmoothNormalsMode::On, false), true);
    EXPECT_TRUE(errors.empty());

    expectInitial(build(node, SmoothNormalsMode::On, true), true);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_THAT(errors[0], MatchesRegex("Unknown node type: Renderable\\.\\. Node: Door_L\\.\tFile: NodeRecord\\.cpp:[0-9]+\\."));
}

TEST_F(NodeRecordTest, ReservedNamesOfTheWrongTypeAreIgnored)
{
    const auto record = build(FakeNode("", "TYPE = 1, NO_CONNECTOR = 'yes', DAMAGE_ARGUMENT = vec2(1, 2), "
                                           "SMOOTH_NORMALS = 0"),
                              SmoothNormalsMode::On);
    expectInitial(record, true);
    EXPECT_TRUE(errors.empty());
}

} // namespace
