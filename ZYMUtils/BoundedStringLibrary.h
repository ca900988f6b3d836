#pragma once
// Lua 5.1's string library runs some loops in C, where the instruction budget
// of ScriptLimits never looks. This replaces the functions whose cost
// untrusted text could make unbounded without using VM instructions:
// - string.rep of an empty string returns at once instead of looping `n`
//   times (a long result is stopped by the memory ceiling);
// - find, match, gmatch and gsub refuse patterns with more than 200
//   quantifiers and captures ("pattern too complex"), each of which costs the
//   matcher one level of C recursion, so that a long pattern cannot overflow
//   the stack.
// Patterns with a few quantifiers can still backtrack for a long time.
#include <lua.hpp>

namespace lu {

// Replaces the functions in the state's string library table. Allocates: call
// on a fresh state or in protected mode.
void boundStringLibrary(lua_State* L);

} // namespace lu
