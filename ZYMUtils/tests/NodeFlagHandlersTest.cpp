// TYPE keywords and the numeric node switches.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "NodeFlagHandlers.h"
#include "zy/ExtException.h"

namespace {

using testing::ElementsAre;

TEST(NodeType, KeywordsSetTheirBits)
{
    const std::pair<const char*, uint32_t> cases[] = {
        {"renderable", 0x1},
        {"connector", 0x2},
        {"light", 0x4},
        {"fake_lights", 0x8},
        {"collision_shell", 0x10},
        {"collision_line", 0x20},
        {"bounding_box", 0x40},
        {"lod_root", 0x100},
        {"user_box", 0x200},
        {"ik_bone", 0x800},
        {"number_root", 0x1000},
        {"renderable|collision_shell", 0x11},
        {"renderable|", 0x1},
        {"lod_root|user_box|bounding_box", 0x340},
        {"", 0},
    };
    for (const auto& [text, flags] : cases)
        EXPECT_EQ(lu::nodeFlagsOf(text), flags) << text;
}

TEST(NodeType, SplitKeepsEmptyPartsExceptAfterAFinalBar)
{
    EXPECT_THAT(lu::splitNodeType(""), ElementsAre());
    EXPECT_THAT(lu::splitNodeType("a"), ElementsAre("a"));
    EXPECT_THAT(lu::splitNodeType("a|"), ElementsAre("a"));
    EXPECT_THAT(lu::splitNodeType("|a"), ElementsAre("", "a"));
    EXPECT_THAT(lu::splitNodeType("a||b"), ElementsAre("a", "", "b"));
    EXPECT_THAT(lu::splitNodeType("|"), ElementsAre(""));
    EXPECT_THAT(lu::splitNodeType("a||"), ElementsAre("a", ""));
}

TEST(NodeType, UnknownPartsAreErrors)
{
    const std::pair<const char*, const char*> cases[] = {
        {"Renderable", "Unknown node type: Renderable."},
        {"|renderable", "Unknown node type: ."},
        {"renderable||collision_shell", "Unknown node type: ."},
        {"renderable | collision_shell", "Unknown node type: renderable ."},
        {"renderable|mesh", "Unknown node type: mesh."},
    };
    for (const auto& c : cases)
        EXPECT_THAT([&] { lu::nodeFlagsOf(c.first); },
                    testing::ThrowsMessage<zy::ExtException>(testing::StrEq(c.second)))
            << c.first;
}

TEST(NodeFlagHandler, ReplacesTheFlagsFromAStringTypeOnly)
{
    uint32_t flags = 0x1000;
    lu::NodeFlagHandler handler(&flags);
    EXPECT_FALSE(handler.canHandle("TYPE", {"float", "1"}));
    EXPECT_FALSE(handler.canHandle("type", {"string", "renderable"}));
    ASSERT_TRUE(handler.canHandle("TYPE", {"string", "renderable"}));
    handler.handle("TYPE", {"string", "renderable|collision_shell"});
    EXPECT_EQ(flags, 0x11u);
    // A malformed list (not exactly tag and text) is ignored.
    handler.handle("TYPE", {"string", "ik_bone", "extra"});
    EXPECT_EQ(flags, 0x11u);
}

TEST(NormalSmoothFlagHandler, HonouredOnlyInTheMarkedModes)
{
    using Mode = lu::SmoothNormalsMode;
    struct Case {
        Mode mode;
        const char* value;
        bool accepted;
        bool result;
    };
    const Case cases[] = {
        {Mode::Off, "1", false, false},
        {Mode::On, "0", false, true},
        {Mode::MarkedDefaultOff, "1", true, true},
        {Mode::MarkedDefaultOff, "0.4", true, false},
        {Mode::MarkedDefaultOn, "0", true, false},
        {Mode::MarkedDefaultOn, "0.5", true, true},
        {Mode::MarkedDefaultOn, "-0.6", true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "mode " << int(c.mode) << " value " << c.value);
        bool smooth = lu::smoothNormalsByDefault(c.mode);
        lu::NormalSmoothFlagHandler handler(&smooth, c.mode);
        const lu::ValueList values = {"float", c.value};
        ASSERT_EQ(handler.canHandle("SMOOTH_NORMALS", values), c.accepted);
        if (c.accepted)
            handler.handle("SMOOTH_NORMALS", values);
        EXPECT_EQ(smooth, c.result);
    }
    EXPECT_FALSE(lu::smoothNormalsByDefault(Mode::Off));
    EXPECT_TRUE(lu::smoothNormalsByDefault(Mode::On));
    EXPECT_FALSE(lu::smoothNormalsByDefault(Mode::MarkedDefaultOff));
    EXPECT_TRUE(lu::smoothNormalsByDefault(Mode::MarkedDefaultOn));
}

TEST(NoConnectorFlagHandler, RoundsHalfUp)
{
    const std::pair<const char*, bool> cases[] = {{"0.4", false}, {"0.5", true}, {"2", true}, {"0", false}};
    for (const auto& [value, expected] : cases) {
        bool noConnector = !expected;
        lu::NoConnectorFlagHandler handler(&noConnector);
        ASSERT_TRUE(handler.canHandle("NO_CONNECTOR", {"float", value}));
        handler.handle("NO_CONNECTOR", {"float", value});
        EXPECT_EQ(noConnector, expected) << value;
    }
    bool noConnector = false;
    EXPECT_FALSE(lu::NoConnectorFlagHandler(&noConnector).canHandle("NO_CONNECTOR", {"string", "yes"}));
}

TEST(DamageHandler, TruncatesTowardZero)
{
    const std::pair<const char*, int32_t> cases[] = {
        {"3.9", 3}, {"-0.5", 0}, {"-2.7", -2}, {"7", 7}, {"1e20", INT32_MAX}};
    for (const auto& [value, expected] : cases) {
        int32_t argument = -1;
        lu::DamageHandler handler(&argument);
        ASSERT_TRUE(handler.canHandle("DAMAGE_ARGUMENT", {"float", value}));
        handler.handle("DAMAGE_ARGUMENT", {"float", value});
        EXPECT_EQ(argument, expected) << value;
    }
    int32_t argument = -1;
    EXPECT_FALSE(lu::DamageHandler(&argument).canHandle("DAMAGE_ARGUMENT", {"string", "1"}));
}

} // namespace
