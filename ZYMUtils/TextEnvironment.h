#pragma once
// The environment property text runs in. Node text comes from scene files that
// travel between people, so it must not reach files, processes or the loader:
// it sees every global of the script state (the value functions and whatever
// else the value-function script defines) except the names below, and its own
// assignments to globals (`p` among them) stay in a fresh table per evaluation.
#include <string_view>

#include <lua.hpp>

namespace lu {

// Globals property text cannot see.
bool isHiddenFromText(std::string_view name);

// Pushes a new, empty environment table whose missing names are looked up in
// the globals, minus the hidden ones. Allocates: call in protected mode.
void pushTextEnvironment(lua_State* L);

} // namespace lu
