// The process-wide property state and its value-function script.
#include <filesystem>
#include <fstream>

#include "TestSupport.h"

namespace {

namespace fs = std::filesystem;
using lu::test::RecordingHandler;
using lu::test::throwsMessageStartingWith;
using testing::ElementsAre;

// A configuration directory holding the given aux_func.lua.
class ScriptDirectory {
public:
    explicit ScriptDirectory(const std::string& name, const std::string& script)
        : path_(fs::path(ZY_TEST_BINARY_DIR) / name)
    {
        fs::create_directories(path_);
        std::ofstream(path_ / "aux_func.lua") << script;
    }
    ~ScriptDirectory() { fs::remove_all(path_); }
    std::string path() const { return path_.string(); }

private:
    fs::path path_;
};

class SharedScriptTest : public testing::Test {
protected:
    SharedScriptTest() { lu::releaseSharedPropertyScript(); }
    ~SharedScriptTest() override { lu::releaseSharedPropertyScript(); }

    zy::Ref<RecordingHandler> recorder = zy::makeRef<RecordingHandler>();
};

TEST_F(SharedScriptTest, AMissingScriptIsReportedOnceThenTextRunsWithoutValueFunctions)
{
    const std::string missing = std::string(ZY_TEST_BINARY_DIR) + "/no-such-directory";
    EXPECT_THAT([&] { lu::parse("a = vec2(1, 2)", {recorder}, missing); },
                throwsMessageStartingWith("Can't load file: " + missing + "/aux_func.lua. Reason: "));
    EXPECT_THAT([&] { lu::parse("a = vec2(1, 2)", {recorder}, missing); },
                throwsMessageStartingWith("Parser error:"));
    // Plain values need no value function.
    lu::parse("b = 1", {recorder}, missing);
    EXPECT_THAT(recorder->fields.at("b"), ElementsAre("float", "1"));
}

TEST_F(SharedScriptTest, AFailingScriptReportsLuaReason)
{
    ScriptDirectory broken("broken-aux", "vec2 = function() end\nerror('boom')\n");
    // The chunk name in the reason is the (possibly shortened) path.
    EXPECT_THAT([&] { lu::parse("a = 1", {recorder}, broken.path()); },
                testing::ThrowsMessage<zy::ExtException>(
                    testing::AllOf(testing::StartsWith("Can't load file: " + broken.path() + "/aux_func.lua. Reason: "),
                                   testing::EndsWith(":2: boom"))));
}

TEST_F(SharedScriptTest, AScriptThatNeverEndsIsStopped)
{
    ScriptDirectory endless("endless-aux", "while true do end\n");
    EXPECT_THAT([&] { lu::parse("a = 1", {recorder}, endless.path()); },
                throwsMessageStartingWith("Can't load file: " + endless.path() +
                                          "/aux_func.lua. Reason: evaluation stopped after"));
}

TEST_F(SharedScriptTest, TheStateIsCreatedOnceAndKeepsItsFirstDirectory)
{
    // Empty text does not create the state, so the later directory still counts.
    lu::parse("", {recorder}, "/nowhere");
    lu::parse("a = vec2(1, 2)", {recorder}, ZY_PLUGCFG_DIR);
    EXPECT_EQ(&lu::sharedPropertyScript("/nowhere"), &lu::sharedPropertyScript(ZY_PLUGCFG_DIR));
    lu::parse("b = vec3(1, 2, 3)", {recorder}, "/nowhere");
    EXPECT_THAT(recorder->fields.at("b"), ElementsAre("vec3", "1", "2", "3"));
    EXPECT_STREQ(zy::script::stateName(lu::sharedPropertyScript("").state()), "ParamsLuaWrapper::operator ()");
}

TEST(ValueFunctionScript, EveryFunctionReturnsItsNameAndArguments)
{
    auto script = lu::test::loadedScript();
    auto recorder = zy::makeRef<RecordingHandler>();
    const char* functions[] = {"float", "uint", "string", "vec2", "vec3", "vec4", "argument", "animation",
                               "anim", "animation_vec2", "animation_vec3", "animation_vec4", "array"};
    for (const char* function : functions) {
        recorder->fields.clear();
        script->parse(zy::string("x = ") + function + "(1, 'a', 2.5)", {recorder});
        EXPECT_THAT(recorder->fields.at("x"), ElementsAre(function, "1", "a", "2.5")) << function;
    }
}

} // namespace
