#include "BoundedStringLibrary.h"

#include <cmath>
#include <initializer_list>

namespace lu {

namespace {

// Lua 5.2 stops the matcher at the same depth.
constexpr int kMaxPatternDepth = 200;

// string.rep(s, n), as the library's but free for an empty string.
int repeatString(lua_State* L)
{
    size_t length = 0;
    const char* text = luaL_checklstring(L, 1, &length);
    const double count = std::trunc(luaL_checknumber(L, 2));
    luaL_Buffer buffer;
    luaL_buffinit(L, &buffer);
    if (length != 0)
        for (double i = 0; i < count; ++i)
            luaL_addlstring(&buffer, text, length);
    luaL_pushresult(&buffer);
    return 1;
}

// Upper bound of the matcher's recursion depth: every quantifier and every
// capture opening (escaped characters excluded).
int patternDepth(const char* pattern, size_t length)
{
    int depth = 0;
    for (size_t i = 0; i < length; ++i) {
        switch (pattern[i]) {
        case '%':
            ++i;
            break;
        case '*':
        case '+':
        case '-':
        case '?':
        case '(':
            ++depth;
            break;
        default:
            break;
        }
    }
    return depth;
}

// Closure around the library function (upvalue 1) that checks argument 2.
int checkPatternThenCall(lua_State* L)
{
    if (lua_type(L, 2) == LUA_TSTRING) {
        size_t length = 0;
        const char* pattern = lua_tolstring(L, 2, &length);
        if (patternDepth(pattern, length) > kMaxPatternDepth)
            return luaL_error(L, "pattern too complex");
    }
    lua_pushvalue(L, lua_upvalueindex(1));
    lua_insert(L, 1);
    lua_call(L, lua_gettop(L) - 1, LUA_MULTRET);
    return lua_gettop(L);
}

void wrapPatternFunction(lua_State* L, int library, const char* name)
{
    lua_getfield(L, library, name);
    if (lua_isfunction(L, -1)) {
        lua_pushcclosure(L, &checkPatternThenCall, 1);
        lua_setfield(L, library, name);
    } else {
        lua_pop(L, 1);
    }
}

} // namespace

void boundStringLibrary(lua_State* L)
{
    lua_getglobal(L, "string");
    if (lua_istable(L, -1)) {
        const int library = lua_gettop(L);
        lua_pushcfunction(L, &repeatString);
        lua_setfield(L, library, "rep");
        for (const char* name : {"find", "match", "gmatch", "gsub"})
            wrapPatternFunction(L, library, name);
    }
    lua_pop(L, 1);
}

} // namespace lu
