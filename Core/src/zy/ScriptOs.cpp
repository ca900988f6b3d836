// The scripts' os library: clock, date, time and difftime as in Lua; getenv,
// setlocale, execute, run_process and open_uri only outside the sandbox;
// remove and tmpname within the sandbox's directories; rename is refused
// (files are written through the file layer). There is no os.exit: a script
// must not end the host.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "zy/ScriptInternal.h"
#include "zy/Settings.h"

extern char** environ;

namespace zy::script::detail {

namespace {

// Upvalue 1 of the wrapped functions: Lua's own implementation.
int callOriginal(lua_State* L)
{
    lua_pushvalue(L, lua_upvalueindex(1));
    lua_insert(L, 1);
    lua_call(L, lua_gettop(L) - 1, LUA_MULTRET);
    return lua_gettop(L);
}

// Lua's function refused when the state has a sandbox level; upvalue 2 is its name.
int sandboxedOriginal(lua_State* L)
{
    refuseInSandbox(L, lua_tostring(L, lua_upvalueindex(2)));
    return callOriginal(L);
}

int osRemove(lua_State* L)
{
    const char* path = lua_tostring(L, 1);
    if (!path)
        return luaL_error(L, "path is required");
    const std::optional<zy::string> allowed = sandboxedPath(L, path);
    if (!allowed) {
        lua_pushfstring(L, "can't delete '%s': sandbox violation", path);
        return raiseSandboxRefusal(L, "remove", lua_tostring(L, -1));
    }
    if (std::remove(allowed->c_str()) != 0) {
        lua_pushnil(L);
        lua_pushfstring(L, "deleting %s failed", path);
        return 2;
    }
    lua_pushboolean(L, true);
    return 1;
}

int osRename(lua_State* L)
{
    return luaL_error(L, "os.rename() is not supported on VFS");
}

int osGetpid(lua_State* L)
{
    lua_pushinteger(L, static_cast<lua_Integer>(::getpid()));
    return 1;
}

// Starts a program found on PATH with the given arguments, without waiting
// for it. A short-lived shell starts it in the background and ends at once,
// so the program belongs to init and needs no reaping by the host. False when
// the program cannot be found or the shell cannot start.
bool startDetached(const std::vector<zy::string>& arguments)
{
    static const char* const script =
        "command -v \"$0\" >/dev/null 2>&1 || exit 127; \"$0\" \"$@\" </dev/null & exit 0";
    std::vector<char*> argv{const_cast<char*>("/bin/sh"), const_cast<char*>("-c"),
                            const_cast<char*>(script)};
    for (const zy::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    pid_t shell = 0;
    if (::posix_spawn(&shell, "/bin/sh", nullptr, nullptr, argv.data(), environ) != 0)
        return false;
    int status = 0;
    while (::waitpid(shell, &status, 0) < 0) {
        if (errno != EINTR)
            return false;
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// os.run_process(program, arg...) -> true | nil, message
int osRunProcess(lua_State* L)
{
    refuseInSandbox(L, "run_process");
    std::vector<zy::string> arguments;
    arguments.emplace_back(luaL_checkstring(L, 1));
    for (int i = 2; i <= lua_gettop(L); ++i)
        arguments.emplace_back(luaL_checkstring(L, i));
    if (!startDetached(arguments)) {
        lua_pushnil(L);
        lua_pushfstring(L, "can't run '%s'", arguments[0].c_str());
        return 2;
    }
    lua_pushboolean(L, true);
    return 1;
}

// os.open_uri(uri) -> true | nil, message: hands the address to the desktop's opener.
int osOpenUri(lua_State* L)
{
    refuseInSandbox(L, "open_uri");
    const char* uri = luaL_checkstring(L, 1);
    if (!startDetached({"xdg-open", uri})) {
        lua_pushnil(L);
        lua_pushfstring(L, "can't open '%s'", uri);
        return 2;
    }
    lua_pushboolean(L, true);
    return 1;
}

// os.tmpname(): creates an empty file with a unique name in the temporary
// directory and returns its name.
int osTmpname(lua_State* L)
{
    const zy::string directory = settings::tempDirectory();
    zy::string pattern = directory;
    if (!pattern.empty() && pattern.back() != '/')
        pattern += '/';
    pattern += "lua_XXXXXX";
    if (!sandboxedPath(L, pattern.c_str())) {
        lua_pushfstring(L, "can't create in '%s': sandbox violation", directory.c_str());
        return raiseSandboxRefusal(L, "tmpname", lua_tostring(L, -1));
    }
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = ::mkstemp(name.data());
    if (fd < 0)
        return luaL_error(L, "unable to generate a unique filename");
    ::close(fd);
    lua_pushstring(L, name.data());
    return 1;
}

const luaL_Reg kOwnFunctions[] = {
    {"remove", guarded<osRemove>},
    {"rename", guarded<osRename>},
    {"getpid", guarded<osGetpid>},
    {"run_process", guarded<osRunProcess>},
    {"open_uri", guarded<osOpenUri>},
    {"tmpname", guarded<osTmpname>},
    {nullptr, nullptr},
};

const char* const kPlainFunctions[] = {"clock", "date", "time", "difftime"};
const char* const kSandboxedFunctions[] = {"getenv", "setlocale", "execute"};

} // namespace

int openOs(lua_State* L)
{
    const char* name = luaL_optstring(L, 1, "os");

    // Lua's own os table, for the functions taken over from it.
    lua_pushcfunction(L, luaopen_os);
    lua_pushstring(L, name);
    lua_call(L, 1, 1);
    const int original = lua_gettop(L);

    lua_newtable(L);
    for (const char* function : kPlainFunctions) {
        lua_getfield(L, original, function);
        lua_setfield(L, -2, function);
    }
    for (const char* function : kSandboxedFunctions) {
        lua_getfield(L, original, function);
        lua_pushstring(L, function);
        lua_pushcclosure(L, guarded<sandboxedOriginal>, 2);
        lua_setfield(L, -2, function);
    }
    luaL_register(L, nullptr, kOwnFunctions);

    // Replace Lua's table as the global and as the loaded module.
    lua_pushvalue(L, -1);
    lua_setglobal(L, name);
    lua_getfield(L, LUA_REGISTRYINDEX, "_LOADED");
    lua_pushvalue(L, -2);
    lua_setfield(L, -2, name);
    lua_pop(L, 1);
    return 1;
}

} // namespace zy::script::detail
