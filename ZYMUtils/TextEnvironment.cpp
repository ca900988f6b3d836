#include "TextEnvironment.h"

#include <algorithm>
#include <array>

namespace lu {

namespace {

// Files, processes, the runtime log, the debug interface, every way to load
// code (which would run with the full globals) or to reach the globals table,
// and the collector switch (stopping it would starve every later evaluation).
// Error handlers of xpcall and finalizers of newproxy objects run with Lua's
// hooks off, out of reach of the instruction budget.
constexpr std::array<std::string_view, 17> kHidden = {
    "_G", "collectgarbage", "debug", "dofile", "getfenv", "io", "load", "loadfile", "loadstring",
    "log", "module", "newproxy", "os", "package", "require", "setfenv", "xpcall",
};

const char kMetatableKey[] = "lu.TextEnvironment";

// __index(environment, key)
int lookUpGlobal(lua_State* L)
{
    size_t length = 0;
    if (lua_type(L, 2) == LUA_TSTRING) {
        const char* key = lua_tolstring(L, 2, &length);
        if (isHiddenFromText(std::string_view(key, length))) {
            lua_pushnil(L);
            return 1;
        }
    }
    lua_pushvalue(L, 2);
    lua_rawget(L, LUA_GLOBALSINDEX);
    return 1;
}

} // namespace

bool isHiddenFromText(std::string_view name)
{
    return std::find(kHidden.begin(), kHidden.end(), name) != kHidden.end();
}

void pushTextEnvironment(lua_State* L)
{
    lua_newtable(L);
    lua_getfield(L, LUA_REGISTRYINDEX, kMetatableKey);
    if (lua_isnil(L, -1)) {
        lua_pop(L, 1);
        lua_createtable(L, 0, 2);
        lua_pushcfunction(L, &lookUpGlobal);
        lua_setfield(L, -2, "__index");
        // Keeps getmetatable() from handing the table out.
        lua_pushboolean(L, 0);
        lua_setfield(L, -2, "__metatable");
        lua_pushvalue(L, -1);
        lua_setfield(L, LUA_REGISTRYINDEX, kMetatableKey);
    }
    lua_setmetatable(L, -2);
}

} // namespace lu
