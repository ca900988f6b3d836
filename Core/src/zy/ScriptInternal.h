#pragma once
// Pieces shared by the script state and its runtime libraries (io, os, log).
#include <exception>
#include <lua.hpp>
#include <optional>

#include "zy/String.h"

namespace zy::script::detail {

// Wraps a Lua C function so that no C++ exception crosses into Lua: a
// std::exception becomes a Lua error with its message. (Lua's own errors
// are not std::exceptions and pass through untouched.)
template <lua_CFunction F>
int guarded(lua_State* L)
{
    zy::string message;
    try {
        return F(L);
    } catch (const std::exception& e) {
        message = e.what();
    }
    return luaL_error(L, "%s", message.c_str());
}

// The state's name, or `fallback` when it has none.
const char* nameOr(lua_State* L, const char* fallback);

// The path to open for `path` under the state's sandbox level: `path` itself
// at level 0, its absolute normal form when the level allows it, nothing when
// the level refuses it.
std::optional<zy::string> sandboxedPath(lua_State* L, const char* path);

// Logs a sandbox refusal at ERROR with source "ZYCORESTATIC".
void logSandboxRefusal(lua_State* L, const char* message);

// Logs and raises "sanbox('<function>'): <reason>" (does not return).
int raiseSandboxRefusal(lua_State* L, const char* function, const char* reason);

// Raises the refusal of `function` when the state has any sandbox level.
void refuseInSandbox(lua_State* L, const char* function);

// Replaces require()'s file searchers (after the package library is open).
void installModuleSearchers(lua_State* L);

// Library openers, called with the library name as their argument.
int openIo(lua_State* L);
int openOs(lua_State* L);
int openLog(lua_State* L);

// "Tarn/<host version> (x86_64; Windows NT <os version>)", built once per process.
const zy::string& versionString();

} // namespace zy::script::detail
