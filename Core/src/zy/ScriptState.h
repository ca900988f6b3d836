#pragma once
// Named Lua 5.1 script states with the runtime's libraries: a print that goes
// to the diagnostic log, loadfile/dofile through the file layer, the runtime's
// own io, os and log libraries, version globals and a path sandbox.
#include <lua.hpp>

#include "zy/String.h"

namespace zy::script {

// Creates a state named `name` (stored in its registry under "ZY.id") and
// enters it into the process-wide state registry. Libraries are not opened yet.
// An error raised outside any protected call of the state does not end the
// process: it is logged and thrown as zy::ExtException to the C++ caller, and
// the state should then be destroyed.
lua_State* createState(const char* name);

// Opens base (with the runtime's print/loadfile/dofile), package, table, io,
// os, string, math, debug and log, with the version globals set after base.
// Throws zy::ExtException when that fails.
void openLibraries(lua_State* L);

// Removes the state from the registry, logs its deletion and closes it.
void destroyState(lua_State* L);

// Compiles the file at `path` (UTF-8). Returns a Lua status; on success the
// chunk is on the stack, otherwise the error message. Never raises.
// A null path yields LUA_ERRFILE and "no filename given". A function stored
// in the registry under "ZY.loadfile" is asked first (called with the path in
// protected mode); an answer other than nil, a boolean or a string is taken
// as the chunk. Then the sandbox is checked ("can't open '<path>': sandbox
// violation") and the file is read through the file layer ("can't open
// '<path>'" when that fails) with the chunk name "@<path>".
int loadFile(lua_State* L, const char* path);

// The state's name, or nullptr when it has none.
const char* stateName(lua_State* L);

// Name of a state from the process-wide registry ("" when unknown).
zy::string registeredName(lua_State* L);

// Sandbox level of a state: 0 allows every path, 1 the current, write and
// temporary directories, 2 only the current directory. Levels above 0 also
// refuse os.getenv, setlocale, execute, run_process and open_uri, and loading
// native modules through require. Values outside 0..2 are clamped.
void setSandboxLevel(lua_State* L, int level);
int sandboxLevel(lua_State* L);

// Runtime settings: the three sandbox roots ("./", "./" and "./Temp/" initially;
// see zy/Settings.h). Relative roots and paths are taken against the process's
// current working directory, and compared after normalisation without regard
// to ASCII case.
void setCurrentDirectory(const zy::string& path);
void setWriteDirectory(const zy::string& path);
void setTempDirectory(const zy::string& path);

// RAII owner of a created state with its libraries opened.
class State {
public:
    explicit State(const char* name) : L_(createState(name))
    {
        try {
            openLibraries(L_);
        } catch (...) {
            destroyState(L_);
            throw;
        }
    }
    ~State() { destroyState(L_); }
    State(const State&) = delete;
    State& operator=(const State&) = delete;
    lua_State* get() const noexcept { return L_; }
    operator lua_State*() const noexcept { return L_; }

private:
    lua_State* L_;
};

} // namespace zy::script
