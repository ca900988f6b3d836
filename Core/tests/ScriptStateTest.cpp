#include "zy/ScriptState.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <regex>
#include <sstream>
#include <sys/utsname.h>
#include <unistd.h>

#include "TempDir.h"
#include "zy/ExtException.h"
#include "zy/Log.h"
#include "zy/Settings.h"

namespace {

namespace log = zy::log;
using zy::test::readAll;
using zy::test::TempDir;
using zy::test::writeAll;

std::string pointerText(const void* p)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%p", p);
    return buffer;
}

// Every test runs with the log captured in a file ("LEVEL source: text"
// lines) and with the sandbox roots restored afterwards.
class Script : public ::testing::Test {
protected:
    void SetUp() override
    {
        log::setDirectory(logDir.path().string());
        ASSERT_TRUE(log::setOutput("capture", "", log::ALL_LEVELS, log::LEVEL | log::MODULE));
    }

    void TearDown() override
    {
        log::closeOutputs();
        log::setDirectory("");
        zy::settings::setCurrentDirectory("./");
        zy::settings::setWriteDirectory("./");
        zy::settings::setTempDirectory("./Temp/");
    }

    // The captured lines so far, without the opening line.
    std::vector<std::string> logLines()
    {
        log::flush();
        std::vector<std::string> lines;
        std::istringstream in(readAll(logDir / "capture.log"));
        for (std::string line; std::getline(in, line);)
            if (line.rfind("=== ", 0) != 0)
                lines.push_back(line);
        return lines;
    }

    bool logged(const std::string& line)
    {
        const auto lines = logLines();
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }

    // Runs a chunk; returns "" or the error message.
    static std::string run(lua_State* L, const std::string& code)
    {
        if (luaL_dostring(L, code.c_str()) == 0)
            return "";
        std::string message = lua_tostring(L, -1);
        lua_pop(L, 1);
        return message;
    }

    // Runs a chunk that returns one value, converted with tostring.
    static std::string eval(lua_State* L, const std::string& expression)
    {
        const std::string error = run(L, "__result = tostring(" + expression + ")");
        if (!error.empty())
            return "error: " + error;
        lua_getglobal(L, "__result");
        std::string value = lua_tostring(L, -1);
        lua_pop(L, 1);
        return value;
    }

    static std::string quoted(const std::string& path) { return "[[" + path + "]]"; }

    TempDir logDir;
    TempDir files;
};

TEST_F(Script, CreateAndDestroyAreLoggedAndRegistered)
{
    lua_State* L = zy::script::createState("X");
    ASSERT_NE(L, nullptr);
    EXPECT_STREQ(zy::script::stateName(L), "X");
    EXPECT_EQ(zy::script::registeredName(L), "X");
    lua_getfield(L, LUA_REGISTRYINDEX, "ZY.id");
    EXPECT_STREQ(lua_tostring(L, -1), "X");
    lua_pop(L, 1);
    const std::string address = pointerText(L);
    zy::script::destroyState(L);
    EXPECT_EQ(zy::script::registeredName(L), "");
    EXPECT_TRUE(logged("TRACE   Lua: Created state \"X\" - " + address));
    EXPECT_TRUE(logged("TRACE   Lua: Deleted state \"X\" - " + address));

    lua_State* anonymous = zy::script::createState("Y");
    lua_pushnil(anonymous);
    lua_setfield(anonymous, LUA_REGISTRYINDEX, "ZY.id");
    const std::string anonymousAddress = pointerText(anonymous);
    zy::script::destroyState(anonymous);
    EXPECT_TRUE(logged("TRACE   Lua: Deleted state \"!!!missing ZY.id!!!\" - " + anonymousAddress));
}

TEST_F(Script, LibrariesAndGlobals)
{
    zy::script::State L("X");
    for (const char* table : {"coroutine", "package", "table", "io", "os", "string", "math", "debug", "log"})
        EXPECT_EQ(eval(L, "type(" + std::string(table) + ")"), "table") << table;
    EXPECT_EQ(eval(L, "package.loaded.os == os and package.loaded.io == io"), "true");
    EXPECT_EQ(eval(L, "os.exit"), "nil") << "a script must not end the host";
    EXPECT_EQ(eval(L, "_ARCHITECTURE"), "x86_64");
    EXPECT_EQ(eval(L, "ZY_FINAL_VERSION"), "false");
    EXPECT_EQ(eval(L, "ZY_PUBLIC_AVAILABLE"), "false");

    struct utsname info {};
    ASSERT_EQ(::uname(&info), 0);
    std::smatch kernel;
    const std::string release = info.release;
    ASSERT_TRUE(std::regex_search(release, kernel, std::regex(R"(^(\d+)\.(\d+)\.(\d+))")));
    EXPECT_EQ(eval(L, "_ZY_VERSION"),
              "Tarn/0.0.0.0 (x86_64; Windows NT " + kernel[1].str() + "." + kernel[2].str() + "." +
                  kernel[3].str() + ")");
}

TEST_F(Script, PrintJoinsWithTabsAndLogsUnderTheStateName)
{
    {
        zy::script::State L("X");
        EXPECT_EQ(run(L, "print(1, nil, 'a')"), "");
        EXPECT_EQ(run(L, "print()"), "");
        EXPECT_THAT(run(L, "tostring = function() return {} end; print(1)"),
                    testing::EndsWith(":1: 'tostring' must return a string to 'print'"));
    }
    zy::script::State unnamed(nullptr);
    EXPECT_EQ(run(unnamed, "print('anon')"), "");

    const auto lines = logLines();
    EXPECT_NE(std::find(lines.begin(), lines.end(), "DEBUG   X: 1\tnil\ta"), lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "DEBUG   X: "), lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "DEBUG   LUA: anon"), lines.end());
}

TEST_F(Script, LoadfileAndDofile)
{
    zy::script::State L("X");
    const std::string good = files / "good.lua";
    writeAll(good, "local a, b = ... return 1, 'two', a");
    const std::string broken = files / "broken.lua";
    writeAll(broken, "return +");
    const std::string missing = files / "missing.lua";

    EXPECT_EQ(run(L, "r1, r2 = loadfile(nil)"), "");
    EXPECT_EQ(eval(L, "r1"), "nil");
    EXPECT_EQ(eval(L, "r2"), "no filename given");
    EXPECT_EQ(run(L, "r1, r2 = loadfile(" + quoted(missing) + ")"), "");
    EXPECT_EQ(eval(L, "r1"), "nil");
    EXPECT_EQ(eval(L, "r2"), "can't open '" + missing + "'");
    EXPECT_EQ(run(L, "r1, r2 = loadfile(" + quoted(broken) + ")"), "");
    EXPECT_EQ(eval(L, "r2:sub(1, " + std::to_string(broken.size() + 3) + ")"), broken + ":1:");

    EXPECT_EQ(eval(L, "select('#', loadfile(" + quoted(good) + ")())"), "3");
    EXPECT_EQ(run(L, "d1, d2, d3 = dofile(" + quoted(good) + ")"), "");
    EXPECT_EQ(eval(L, "d1 .. d2 .. tostring(d3)"), "1twonil");
    EXPECT_EQ(run(L, "dofile(" + quoted(missing) + ")"), "can't open '" + missing + "'");
    EXPECT_EQ(run(L, "dofile()"), "no filename given");

    EXPECT_TRUE(logged("TRACE   lua_loadfile: X: " + good));

    // Straight from C++: the chunk or the message is left on the stack.
    const int top = lua_gettop(L);
    EXPECT_EQ(zy::script::loadFile(L, nullptr), LUA_ERRFILE);
    EXPECT_STREQ(lua_tostring(L, -1), "no filename given");
    EXPECT_EQ(zy::script::loadFile(L, good.c_str()), 0);
    EXPECT_TRUE(lua_isfunction(L, -1));
    lua_settop(L, top);
}

TEST_F(Script, LoadFileAsksTheRegistryHookFirst)
{
    zy::script::State L("X");
    const std::string missing = files / "virtual.lua";
    // The hook answers with a chunk for paths ending in "virtual.lua", with a
    // string for "text.lua", and fails for the rest.
    ASSERT_EQ(run(L, R"(
        debug.getregistry()["ZY.loadfile"] = function(path)
            if path:find("virtual.lua$") then return function() return "from hook" end end
            if path:find("text.lua$") then return "not a chunk" end
            error("hook failed")
        end)"),
              "");
    EXPECT_EQ(eval(L, "dofile(" + quoted(missing) + ")"), "from hook");
    const std::string text = files / "text.lua";
    EXPECT_EQ(run(L, "dofile(" + quoted(text) + ")"), "can't open '" + text + "'");
    const std::string real = files / "real.lua";
    writeAll(real, "return 'from file'");
    EXPECT_EQ(eval(L, "dofile(" + quoted(real) + ")"), "from file");
}

TEST_F(Script, SandboxRefusesPathsOutsideItsRoots)
{
    TempDir current, write, temp;
    zy::settings::setCurrentDirectory(current.path().string());
    zy::settings::setWriteDirectory(write.path().string() + "/");
    zy::settings::setTempDirectory(temp.path().string());
    for (const TempDir* dir : {&current, &write, &temp, &files})
        writeAll(*dir / "f.lua", "return 'ok'");
    const std::string upperCurrent = [&] {
        std::string path = current / "f.lua";
        for (char& c : path)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        return path;
    }();

    zy::script::State L("X");
    EXPECT_EQ(zy::script::sandboxLevel(L), 0);
    EXPECT_EQ(eval(L, "dofile(" + quoted(files / "f.lua") + ")"), "ok");

    zy::script::setSandboxLevel(L, 2);
    EXPECT_EQ(eval(L, "dofile(" + quoted(current / "f.lua") + ")"), "ok");
    EXPECT_EQ(eval(L, "dofile(" + quoted(current / "sub/../f.lua") + ")"), "ok");
    for (const std::string& path : {files / "f.lua", write / "f.lua", current / "../" + files.path().filename().string() + "/f.lua"}) {
        const std::string message = "can't open '" + path + "': sandbox violation";
        EXPECT_EQ(run(L, "dofile(" + quoted(path) + ")"), message);
        EXPECT_TRUE(logged("ERROR   ZYCORESTATIC: X -> " + message));
    }
    // Comparison ignores case; the upper-case path names no existing file here.
    EXPECT_EQ(run(L, "dofile(" + quoted(upperCurrent) + ")"), "can't open '" + upperCurrent + "'");

    zy::script::setSandboxLevel(L, 1);
    EXPECT_EQ(eval(L, "dofile(" + quoted(write / "f.lua") + ")"), "ok");
    EXPECT_EQ(eval(L, "dofile(" + quoted(temp / "f.lua") + ")"), "ok");
    EXPECT_EQ(run(L, "dofile(" + quoted(files / "f.lua") + ")"),
              "can't open '" + (files / "f.lua") + "': sandbox violation");
}

TEST_F(Script, RequireLoadsModulesThroughLoadFileAndTheSandbox)
{
    TempDir current;
    zy::settings::setCurrentDirectory(current.path().string());
    zy::settings::setWriteDirectory(current.path().string());
    zy::settings::setTempDirectory(current.path().string());
    std::filesystem::create_directory(current.path() / "mod");
    writeAll(current / "mod/inside.lua", "return 'inside'");
    writeAll(files / "outside.lua", "return 'outside'");

    zy::script::State L("X");
    ASSERT_EQ(run(L, "package.path = " + quoted(current / "?.lua;" + (files / "?.lua"))), "");
    EXPECT_EQ(eval(L, "require('mod.inside')"), "inside");
    EXPECT_TRUE(logged("TRACE   lua_loadfile: X: " + (current / "mod/inside.lua")));

    zy::script::setSandboxLevel(L, 2);
    // A script cannot lift its sandbox through the registry.
    ASSERT_EQ(run(L, "local r = debug.getregistry() "
                     "for k in pairs(r) do if type(k) == 'userdata' then r[k] = 0 end end"),
              "");
    EXPECT_THAT(run(L, "require('outside')"),
                testing::HasSubstr("no file '" + (files / "outside.lua") + "'"));
    EXPECT_THAT(run(L, "require('nativemod')"), testing::HasSubstr("no native modules in the sandbox"));
}

TEST_F(Script, IoWritesAndReadsThroughTheFileLayer)
{
    zy::script::State L("X");
    const std::string path = files / "data.txt";
    ASSERT_EQ(run(L, "f = io.open(" + quoted(path) + ", 'w')"), "");
    EXPECT_EQ(eval(L, "getmetatable(f) == debug.getregistry()['ZY.io']"), "true");
    EXPECT_EQ(eval(L, "io.type(f)"), "file");
    EXPECT_EQ(eval(L, "f:write('line one\\n', 2, '\\n', 'last')"), "true");
    EXPECT_FALSE(std::filesystem::exists(path)) << "visible before close";
    EXPECT_EQ(eval(L, "f:close()"), "true");
    EXPECT_EQ(eval(L, "io.type(f)"), "closed file");
    EXPECT_EQ(readAll(path), "line one\n2\nlast");
    EXPECT_EQ(run(L, "f:write('x')"), "[string \"f:write('x')\"]:1: attempt to use a closed file");

    ASSERT_EQ(run(L, "f = io.open(" + quoted(path) + ")"), "");
    EXPECT_EQ(eval(L, "table.concat({f:read('*l', 4)}, '|')"), "line one|2\nla");
    EXPECT_EQ(eval(L, "f:read('*a')"), "st");
    EXPECT_EQ(eval(L, "f:read('*a')"), "");
    EXPECT_EQ(eval(L, "f:read()"), "nil");
    EXPECT_EQ(eval(L, "f:read(0)"), "nil");
    EXPECT_EQ(run(L, "f:read('*n')"), "[string \"f:read('*n')\"]:1: io.read('*n') is not supported");
    ASSERT_EQ(run(L, "f:close()"), "");

    EXPECT_EQ(run(L, "t = {} for l in io.lines(" + quoted(path) + ") do t[#t+1] = l end"), "");
    EXPECT_EQ(eval(L, "table.concat(t, '|')"), "line one|2|last");
    EXPECT_EQ(run(L, "f = io.open(" + quoted(path) + ") t = {} for l in f:lines() do t[#t+1] = l end"), "");
    EXPECT_EQ(eval(L, "table.concat(t, '|') .. io.type(f)"), "line one|2|lastfile");

    // A 10000-byte line spans several pieces of the file.
    writeAll(path, std::string(10000, 'q') + "\nz");
    ASSERT_EQ(run(L, "f = io.open(" + quoted(path) + ")"), "");
    EXPECT_EQ(eval(L, "#f:read() .. f:read()"), "10000z");

    const std::string missing = files / "none/x.txt";
    EXPECT_EQ(run(L, "r1, r2 = io.open(" + quoted(missing) + ")"), "");
    EXPECT_EQ(eval(L, "r2"), "can't open \"" + missing + "\" for 'r'");
    EXPECT_EQ(run(L, "r1, r2 = io.open(" + quoted(path) + ", 'a')"), "");
    EXPECT_EQ(eval(L, "tostring(r1) .. r2"), "nilio.open(a): only 'r' and 'w' are supported on VFS");
}

TEST_F(Script, UnclosedScriptFileIsStoredWhenCollected)
{
    const std::string path = files / "gc.txt";
    {
        zy::script::State L("X");
        ASSERT_EQ(run(L, "io.open(" + quoted(path) + ", 'w'):write('kept')"), "");
        // Collecting by hand leaves a closed file, not a destroyed object in use.
        writeAll(files / "other.txt", "x");
        ASSERT_EQ(run(L, "g = io.open(" + quoted(files / "other.txt") + ") getmetatable(g).__gc(g)"), "");
        EXPECT_EQ(eval(L, "io.type(g)"), "closed file");
        EXPECT_THAT(run(L, "g:read()"), testing::EndsWith("attempt to use a closed file"));
    }
    EXPECT_EQ(readAll(path), "kept");
}

TEST_F(Script, OsLibrary)
{
    zy::script::State L("X");
    const std::string victim = files / "victim.txt";
    writeAll(victim, "x");
    EXPECT_EQ(eval(L, "os.remove(" + quoted(victim) + ")"), "true");
    EXPECT_FALSE(std::filesystem::exists(victim));
    EXPECT_EQ(run(L, "r1, r2 = os.remove(" + quoted(victim) + ")"), "");
    EXPECT_EQ(eval(L, "r2"), "deleting " + victim + " failed");
    EXPECT_EQ(run(L, "os.remove()"), "[string \"os.remove()\"]:1: path is required");
    EXPECT_EQ(run(L, "os.rename('a', 'b')"), "[string \"os.rename('a', 'b')\"]:1: os.rename() is not supported on VFS");
    EXPECT_EQ(eval(L, "os.getpid()"), std::to_string(::getpid()));
    EXPECT_EQ(eval(L, "os.difftime(os.time{year=2020, month=1, day=2, hour=0}, os.time{year=2020, month=1, day=1, hour=0})"),
              "86400");
    EXPECT_EQ(eval(L, "os.date('!%Y', 0)"), "1970");
    EXPECT_EQ(eval(L, "type(os.clock())"), "number");

    zy::settings::setTempDirectory(files.path().string());
    ASSERT_EQ(run(L, "name = os.tmpname()"), "");
    const std::string name = eval(L, "name");
    EXPECT_EQ(name.rfind(files.path().string() + "/", 0), 0u) << name;
    EXPECT_TRUE(std::filesystem::exists(name));
}

TEST_F(Script, OsRefusesProcessFunctionsAndOutsidePathsInTheSandbox)
{
    zy::settings::setCurrentDirectory(files.path().string());
    zy::settings::setWriteDirectory(files.path().string());
    zy::settings::setTempDirectory(files.path().string());
    TempDir outside;
    const std::string victim = outside / "victim.txt";
    writeAll(victim, "x");

    zy::script::State L("X");
    zy::script::setSandboxLevel(L, 1);
    for (const char* function : {"getenv", "setlocale", "execute", "run_process", "open_uri"}) {
        const std::string message = "sanbox('" + std::string(function) + "'): not allowed at sandbox level 1";
        EXPECT_EQ(run(L, "os." + std::string(function) + "('x')"), "[string \"os." + std::string(function) + "('x')\"]:1: " + message);
        EXPECT_TRUE(logged("ERROR   ZYCORESTATIC: X -> " + message));
    }
    const std::string code = "os.remove(" + quoted(victim) + ")";
    EXPECT_THAT(run(L, code),
                testing::EndsWith(":1: sanbox('remove'): can't delete '" + victim + "': sandbox violation"));
    EXPECT_TRUE(std::filesystem::exists(victim));
    EXPECT_EQ(eval(L, "io.open(" + quoted(victim) + ")"), "nil");
    EXPECT_EQ(eval(L, "os.time() > 0"), "true");
}

TEST_F(Script, LogLibrary)
{
    zy::script::State L("X");
    const std::pair<const char*, unsigned> constants[] = {
        {"ALERT", 2}, {"ERROR", 8}, {"WARNING", 16}, {"INFO", 64}, {"DEBUG", 128}, {"TRACE", 256},
        {"TIME_UTC", 1}, {"LEVEL", 2}, {"MODULE", 4}, {"TIME_RELATIVE", 0x80}, {"FULL", 7},
    };
    for (const auto& [name, value] : constants)
        EXPECT_EQ(eval(L, std::string("log.") + name), std::to_string(value)) << name;

    EXPECT_EQ(run(L, "log.error('%d-%s', 5, 'x') log.warning('plain %d') log.info(12)"), "");
    EXPECT_TRUE(logged("ERROR   X: 5-x"));
    EXPECT_TRUE(logged("WARNING X: plain %d"));
    EXPECT_TRUE(logged("INFO    X: 12"));

    EXPECT_EQ(run(L, "log.set_output()"), "[string \"log.set_output()\"]:1: logname should be provided");
    EXPECT_EQ(eval(L, "log.set_output('fromscript', 'X', log.ERROR, log.MODULE)"), "true");
    EXPECT_EQ(run(L, "log.error('to both') log.info('only capture')"), "");
    log::closeOutputs();
    const std::string text = readAll(logDir / "fromscript.log");
    EXPECT_NE(text.find("\nX: to both\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("only capture"), std::string::npos) << text;
}

TEST_F(Script, UnprotectedErrorIsThrownInsteadOfEndingTheProcess)
{
    lua_State* L = zy::script::createState("X");
    lua_pushnil(L);
    EXPECT_THROW(lua_getfield(L, -1, "field"), zy::ExtException);
    zy::script::destroyState(L);
}

} // namespace
