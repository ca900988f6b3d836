// Evaluation of property text: value lists, failures and the bounds that keep
// untrusted text from hurting the host.
#include "TestSupport.h"

namespace {

using lu::ValueList;
using lu::test::RecordingHandler;
using lu::test::throwsMessage;
using lu::test::throwsMessageStartingWith;
using testing::ElementsAre;
using testing::UnorderedElementsAre;

class ParseTest : public testing::Test {
protected:
    // Parses `text` into the recorder and returns the recorded fields.
    const std::map<zy::string, ValueList>& fieldsOf(const zy::string& text)
    {
        script->parse(text, {recorder});
        return recorder->fields;
    }

    void expectParseThrows(const zy::string& text, const std::string& message)
    {
        EXPECT_THAT([&] { script->parse(text, {recorder}); }, throwsMessage(message)) << text;
    }

    std::unique_ptr<lu::PropertyScript> script = lu::test::loadedScript();
    zy::Ref<RecordingHandler> recorder = zy::makeRef<RecordingHandler>();
};

TEST_F(ParseTest, EmptyTextEvaluatesNothing)
{
    EXPECT_TRUE(fieldsOf("").empty());
    // Not even the chunk runs: an empty text is not "p={};".
    EXPECT_EQ(lua_gettop(script->state()), 0);
}

TEST_F(ParseTest, PlainValuesBecomeValueLists)
{
    const auto& fields = fieldsOf(
        "a = 1.5, b = true; c = false, d = \"2\", e = 'text', f = 1/3, g = 1e20, h = 0x10, i = \" 7 \", j = ''");
    EXPECT_THAT(fields.at("a"), ElementsAre("float", "1.5"));
    EXPECT_THAT(fields.at("b"), ElementsAre("float", "1.0"));
    EXPECT_THAT(fields.at("c"), ElementsAre("float", "0.0"));
    // Lua reads "2" as a number.
    EXPECT_THAT(fields.at("d"), ElementsAre("float", "2"));
    EXPECT_THAT(fields.at("e"), ElementsAre("string", "text"));
    // Numbers are written with 14 significant digits.
    EXPECT_THAT(fields.at("f"), ElementsAre("float", "0.33333333333333"));
    EXPECT_THAT(fields.at("g"), ElementsAre("float", "1e+20"));
    EXPECT_THAT(fields.at("h"), ElementsAre("float", "16"));
    // A numeric string is written as the number Lua reads from it.
    EXPECT_THAT(fields.at("i"), ElementsAre("float", "7"));
    EXPECT_THAT(fields.at("j"), ElementsAre("string", ""));
}

TEST_F(ParseTest, TablesAreFlattenedDepthFirst)
{
    const auto& fields = fieldsOf(
        "a = {'x', {1, {2, 'y'}, 3}, 4}, b = animation_vec2(0, 1, vec2(2, 3)), c = {1, true, print, 2}");
    EXPECT_THAT(fields.at("a"), ElementsAre("x", "1", "2", "y", "3", "4"));
    EXPECT_THAT(fields.at("b"), ElementsAre("animation_vec2", "0", "1", "vec2", "2", "3"));
    // Entries that are neither strings, numbers nor tables are skipped.
    EXPECT_THAT(fields.at("c"), ElementsAre("1", "2"));
}

TEST_F(ParseTest, ValueFunctionsAndLuaExpressionsAreAvailable)
{
    const auto& fields = fieldsOf("a = vec3(1, 2 * 3, math.floor(2.5)), b = string('s'), "
                                  "c = string.format('%d', 5), d = ('ab'):rep(2)");
    EXPECT_THAT(fields.at("a"), ElementsAre("vec3", "1", "6", "2"));
    EXPECT_THAT(fields.at("b"), ElementsAre("string", "s"));
    EXPECT_THAT(fields.at("c"), ElementsAre("float", "5"));
    EXPECT_THAT(fields.at("d"), ElementsAre("string", "abab"));
}

TEST_F(ParseTest, ReachesEveryFieldWhateverTheirOrderInTheText)
{
    fieldsOf("z = 1, a = 2, m = 3, [\"with space\"] = 4");
    EXPECT_THAT(recorder->order, UnorderedElementsAre("z", "a", "m", "with space"));
    // The later of two assignments of one name wins.
    EXPECT_THAT(fieldsOf("k = 1, k = 2").at("k"), ElementsAre("float", "2"));
}

TEST_F(ParseTest, NumericKeysAreNamedByTheirNumber)
{
    // Many numeric keys force the array part and the hash part; the iteration
    // must survive naming each of them.
    const auto& fields = fieldsOf("5, 'six', [20] = 7, [2.5] = 8, name = 9, 11, 12, 13, 14, 15, 16, 17, 18");
    EXPECT_EQ(fields.size(), 13u);
    EXPECT_THAT(fields.at("1"), ElementsAre("float", "5"));
    EXPECT_THAT(fields.at("2"), ElementsAre("string", "six"));
    EXPECT_THAT(fields.at("20"), ElementsAre("float", "7"));
    EXPECT_THAT(fields.at("2.5"), ElementsAre("float", "8"));
    EXPECT_THAT(fields.at("name"), ElementsAre("float", "9"));
    EXPECT_THAT(fields.at("10"), ElementsAre("float", "18"));
}

TEST_F(ParseTest, KeysWithoutTextAreRejected)
{
    expectParseThrows("[true] = 1", "Invalid variable name: a key of type 'boolean'.");
    expectParseThrows("[{}] = 1", "Invalid variable name: a key of type 'table'.");
}

TEST_F(ParseTest, ValuesWithoutAValueListAreRejected)
{
    for (const char* text : {"x = {}", "x = {{}}", "x = print", "x = {true}", "x = coroutine.create(function() end)"})
        expectParseThrows(text, "Invalid right side of expression for variable: 'x'.");
    // A table constructor drops a nil value: there is no field x to complain about.
    EXPECT_TRUE(fieldsOf("x = nil").empty());
}

TEST_F(ParseTest, LuaErrorsBecomeParserErrors)
{
    expectParseThrows("a = 1 b = 2", "Parser error:[string \"p={a = 1 b = 2};\"]:1: '}' expected near 'b'.");
    expectParseThrows("a = undefined_function(1)",
                      "Parser error:[string \"p={a = undefined_function(1)};\"]:1: "
                      "attempt to call global 'undefined_function' (a nil value).");
    expectParseThrows("a = error({})", "Parser error:(error object is a table value).");
    // The chunk can replace p with something that is not a table.
    expectParseThrows("} p = 5 q = {", "Parser error.");
    EXPECT_EQ(lua_gettop(script->state()), 0);
}

TEST_F(ParseTest, FieldsBeforeAFailureAreKept)
{
    // Lua visits the array part (the positional fields) before named fields.
    EXPECT_THAT([&] { fieldsOf("10, 20, bad = {}"); },
                throwsMessage("Invalid right side of expression for variable: 'bad'."));
    EXPECT_THAT(recorder->order, ElementsAre("1", "2"));
    EXPECT_EQ(lua_gettop(script->state()), 0);
}

TEST_F(ParseTest, FirstAcceptingHandlerTakesTheField)
{
    struct OnlyName : lu::FuncHandler {
        explicit OnlyName(std::string n) : name(std::move(n)) {}
        bool canHandle(const zy::string& field, const ValueList&) const override { return field == name; }
        void handle(const zy::string& field, const ValueList&) override { taken.push_back(field); }
        std::string name;
        std::vector<std::string> taken;
    };
    auto onlyA = zy::makeRef<OnlyName>("a");
    auto alsoA = zy::makeRef<OnlyName>("a");
    script->parse("a = 1, b = 2", {onlyA, alsoA});
    EXPECT_THAT(onlyA->taken, ElementsAre("a"));
    EXPECT_TRUE(alsoA->taken.empty());
}

TEST_F(ParseTest, HandlerErrorsPropagateAndLeaveTheStackEmpty)
{
    struct Throwing : lu::FuncHandler {
        bool canHandle(const zy::string&, const ValueList&) const override { return true; }
        void handle(const zy::string& name, const ValueList&) override { ZY_THROW("refused " + name); }
    };
    EXPECT_THAT([&] { script->parse("a = 1", {zy::makeRef<Throwing>()}); }, throwsMessage("refused a"));
    EXPECT_EQ(lua_gettop(script->state()), 0);
}

TEST_F(ParseTest, TextCannotReachFilesProcessesOrTheGlobals)
{
    for (const char* text : {"x = os.time()", "x = io.open('f')", "x = loadstring('return 1')()",
                             "x = require('os')", "x = _G.os", "x = getfenv(0)", "x = debug.getinfo(1)",
                             "x = dofile('f')", "x = package.loaded.os",
                             "x = collectgarbage('stop')", "x = xpcall(print, print)", "x = newproxy(true)"}) {
        EXPECT_THAT([&] { fieldsOf(text); }, throwsMessageStartingWith("Parser error:")) << text;
    }
}

TEST_F(ParseTest, AssignmentsToGlobalsStayInTheirOwnEvaluation)
{
    // One node's text must not break the value functions for the next node.
    fieldsOf("x = (function() vec2 = nil; leaked = 1; return 1 end)()");
    EXPECT_THAT(fieldsOf("y = vec2(1, 2), z = leaked or 'absent'").at("z"), ElementsAre("string", "absent"));
    EXPECT_THAT(recorder->fields.at("y"), ElementsAre("vec2", "1", "2"));
}

TEST_F(ParseTest, EndlessLoopsAreStopped)
{
    const char* loops[] = {
        "x = (function() while true do end end)()",
        // A pcall in the text cannot swallow the stop.
        "x = (function() while true do pcall(function() while true do end end) end end)()",
        "x = (function() while true do pcall(function() while true do pcall(function() while true do end end) end end) end end)()",
        "x = (function() while true do coroutine.resume(coroutine.create(function() while true do end end)) end end)()",
    };
    for (const char* text : loops)
        EXPECT_THAT([&] { fieldsOf(text); },
                    throwsMessageStartingWith("Parser error:evaluation stopped after"))
            << text;
    // The state is fine afterwards.
    EXPECT_THAT(fieldsOf("a = vec2(1, 2)").at("a"), ElementsAre("vec2", "1", "2"));
}

TEST_F(ParseTest, MemoryHungryTextFailsInsteadOfExhaustingTheHost)
{
    EXPECT_THAT([&] { fieldsOf("x = ('x'):rep(2^30)"); }, throwsMessage("Parser error:not enough memory."));
    // Repeating an empty string costs nothing, however often.
    EXPECT_THAT(fieldsOf("e = string.rep('', 2^50)").at("e"), ElementsAre("string", ""));
    EXPECT_THAT([&] { fieldsOf("x = (function() local t = {} for i = 1, 2^30 do t[i] = i end return t end)()"); },
                throwsMessageStartingWith("Parser error:"));
    EXPECT_THAT(fieldsOf("a = 1").at("a"), ElementsAre("float", "1"));
}

TEST_F(ParseTest, PatternsThatWouldExhaustTheStackAreRefused)
{
    EXPECT_THAT([&] { fieldsOf("x = ('a'):rep(100):find(('a?'):rep(100000))"); },
                testing::ThrowsMessage<zy::ExtException>(testing::EndsWith("pattern too complex.")));
    // Ordinary patterns, through the library and through string methods.
    const auto& fields = fieldsOf("a = ('abc'):find('b'), b = string.match('x=12', '%d+'), "
                                  "c = ('a-b'):gsub('%-', '+'), d = ('%%%%'):find('%%%%', 1, true)");
    EXPECT_THAT(fields.at("a"), ElementsAre("float", "2"));
    EXPECT_THAT(fields.at("b"), ElementsAre("float", "12"));
    EXPECT_THAT(fields.at("c"), ElementsAre("string", "a+b"));
    EXPECT_THAT(fields.at("d"), ElementsAre("float", "1"));
}

TEST_F(ParseTest, SelfReferencingAndHugeSharedTablesAreRejected)
{
    expectParseThrows("x = (function() local t = {} t[1] = t return t end)()",
                      "Right side of expression for variable 'x' is nested too deeply.");
    // 2^40 leaves through shared sub-tables: cheap to build, impossible to flatten.
    expectParseThrows("x = (function() local t = {1} for i = 1, 40 do t = {t, t} end return t end)()",
                      "Right side of expression for variable 'x' has too many values.");
}

} // namespace
