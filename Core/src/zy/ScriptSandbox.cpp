#include "zy/FileSystem.h"
#include "zy/Log.h"
#include "zy/ScriptInternal.h"
#include "zy/ScriptState.h"
#include "zy/Settings.h"

namespace zy::script::detail {

const char* nameOr(lua_State* L, const char* fallback)
{
    const char* name = stateName(L);
    return name ? name : fallback;
}

std::optional<zy::string> sandboxedPath(lua_State* L, const char* path)
{
    const int level = sandboxLevel(L);
    if (level == 0)
        return zy::string(path);
    const bool allowed = level == 1 ? fs::isPathUnder(path, settings::currentDirectory()) ||
                                          fs::isPathUnder(path, settings::writeDirectory()) ||
                                          fs::isPathUnder(path, settings::tempDirectory())
                                    : fs::isPathUnder(path, settings::currentDirectory());
    if (!allowed)
        return std::nullopt;
    // The system would resolve ".." after following links, possibly out of
    // the root: use the path exactly as it was checked.
    return fs::absolutePath(path);
}

void logSandboxRefusal(lua_State* L, const char* message)
{
    log::writef("ZYCORESTATIC", log::ERROR, "%s -> %s", nameOr(L, "?"), message);
}

int raiseSandboxRefusal(lua_State* L, const char* function, const char* reason)
{
    const char* message = lua_pushfstring(L, "sanbox('%s'): %s", function, reason);
    logSandboxRefusal(L, message);
    return luaL_error(L, "%s", message);
}

void refuseInSandbox(lua_State* L, const char* function)
{
    const int level = sandboxLevel(L);
    if (level == 0)
        return;
    lua_pushfstring(L, "not allowed at sandbox level %d", level);
    raiseSandboxRefusal(L, function, lua_tostring(L, -1));
}

} // namespace zy::script::detail
