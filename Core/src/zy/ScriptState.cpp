#include "zy/ScriptState.h"

#include <cstdlib>
#include <mutex>
#include <unordered_map>

#include "zy/ExtException.h"
#include "zy/FileSystem.h"
#include "zy/Log.h"
#include "zy/ScriptInternal.h"
#include "zy/Settings.h"

namespace zy::script {

namespace {

constexpr const char* kIdKey = "ZY.id";
constexpr const char* kLoadFileHookKey = "ZY.loadfile";
constexpr size_t kReadPiece = 4096;

// The process-wide table from state to its name and sandbox level. Never
// destroyed, so states closed while the process ends can still remove
// themselves. The sandbox level lives here rather than in the Lua registry,
// which scripts can reach (and change) through debug.getregistry().
struct StateEntry {
    zy::string name;
    int sandboxLevel = 0;
};

struct StateRegistry {
    std::mutex mutex;
    std::unordered_map<lua_State*, StateEntry> states;
};

StateRegistry& stateRegistry()
{
    static StateRegistry* registry = new StateRegistry;
    return *registry;
}

void* allocate(void*, void* block, size_t, size_t size)
{
    if (size == 0) {
        std::free(block);
        return nullptr;
    }
    return std::realloc(block, size);
}

// An error outside any protected call would make Lua end the process; the
// host must survive it, so the error is raised to the C++ caller instead.
// The state should be destroyed afterwards.
int panic(lua_State* L)
{
    const char* message = lua_tostring(L, -1);
    log::writef("Lua", log::ERROR, "Unprotected error in state \"%s\": %s",
                detail::nameOr(L, "?"), message ? message : "<no message>");
    ZY_THROWF("Unprotected Lua error: %s", message ? message : "<no message>");
}

// --- base library replacements ---

int print(lua_State* L)
{
    const int count = lua_gettop(L);
    lua_getglobal(L, "tostring");
    zy::string text;
    for (int i = 1; i <= count; ++i) {
        lua_pushvalue(L, -1);
        lua_pushvalue(L, i);
        lua_call(L, 1, 1);
        size_t length = 0;
        const char* piece = lua_tolstring(L, -1, &length);
        if (!piece)
            return luaL_error(L, "'tostring' must return a string to 'print'");
        if (i > 1)
            text += '\t';
        text.append(piece, length);
        lua_pop(L, 1);
    }
    log::write(detail::nameOr(L, "LUA"), log::DEBUG | log::SCRIPT_OUTPUT, text.c_str());
    return 0;
}

// The path argument of loadfile/dofile: null when absent or nil.
const char* optionalPath(lua_State* L)
{
    return lua_isnoneornil(L, 1) ? nullptr : luaL_checkstring(L, 1);
}

int loadfile(lua_State* L)
{
    if (loadFile(L, optionalPath(L)) == 0)
        return 1;
    lua_pushnil(L);
    lua_insert(L, -2);
    return 2;
}

int dofile(lua_State* L)
{
    const char* path = optionalPath(L);
    const int base = lua_gettop(L);
    if (loadFile(L, path) != 0)
        return lua_error(L);
    lua_call(L, 0, LUA_MULTRET);
    return lua_gettop(L) - base;
}

void setGlobalFunction(lua_State* L, const char* name, lua_CFunction function)
{
    lua_pushcfunction(L, function);
    lua_setglobal(L, name);
}

void setVersionGlobals(lua_State* L)
{
    lua_pushstring(L, detail::versionString().c_str());
    lua_setglobal(L, "_ZY_VERSION");
    lua_pushliteral(L, "x86_64");
    lua_setglobal(L, "_ARCHITECTURE");
    lua_pushboolean(L, false);
    lua_setglobal(L, "ZY_FINAL_VERSION");
    lua_pushboolean(L, false);
    lua_setglobal(L, "ZY_PUBLIC_AVAILABLE");
}

void openLibrary(lua_State* L, const char* name, lua_CFunction opener)
{
    lua_pushcfunction(L, opener);
    lua_pushstring(L, name);
    lua_call(L, 1, 0);
}

// Runs under lua_cpcall so that a failure becomes a status, not a panic.
int openAll(lua_State* L)
{
    openLibrary(L, "", luaopen_base);
    setGlobalFunction(L, "print", detail::guarded<print>);
    setGlobalFunction(L, "loadfile", detail::guarded<loadfile>);
    setGlobalFunction(L, "dofile", detail::guarded<dofile>);
    setVersionGlobals(L);
    openLibrary(L, LUA_LOADLIBNAME, luaopen_package);
    detail::installModuleSearchers(L);
    openLibrary(L, LUA_TABLIBNAME, luaopen_table);
    openLibrary(L, LUA_IOLIBNAME, detail::guarded<detail::openIo>);
    openLibrary(L, LUA_OSLIBNAME, detail::guarded<detail::openOs>);
    openLibrary(L, LUA_STRLIBNAME, luaopen_string);
    openLibrary(L, LUA_MATHLIBNAME, luaopen_math);
    openLibrary(L, LUA_DBLIBNAME, luaopen_debug);
    openLibrary(L, "log", detail::guarded<detail::openLog>);
    return 0;
}

struct PieceReader {
    fs::File* file;
    char piece[kReadPiece];
};

const char* readPiece(lua_State*, void* data, size_t* size)
{
    auto* reader = static_cast<PieceReader*>(data);
    *size = reader->file->read(reader->piece, sizeof reader->piece);
    return *size ? reader->piece : nullptr;
}

// Step 4 of loading: a function registered under "ZY.loadfile" may supply the
// chunk. It has answered when it succeeds with a value that is neither nil,
// a boolean nor a string; that value is then left on the stack.
bool loadThroughHook(lua_State* L, const char* path)
{
    lua_getfield(L, LUA_REGISTRYINDEX, kLoadFileHookKey);
    if (!lua_isfunction(L, -1)) {
        lua_pop(L, 1);
        return false;
    }
    lua_pushstring(L, path);
    if (lua_pcall(L, 1, 1, 0) == 0) {
        const int type = lua_type(L, -1);
        if (type != LUA_TNIL && type != LUA_TBOOLEAN && type != LUA_TSTRING)
            return true;
    }
    lua_pop(L, 1); // the unusable answer or the hook's error
    return false;
}

int loadFromFileLayer(lua_State* L, const char* path)
{
    const std::optional<zy::string> allowed = detail::sandboxedPath(L, path);
    if (!allowed) {
        lua_pushfstring(L, "can't open '%s': sandbox violation", path);
        detail::logSandboxRefusal(L, lua_tostring(L, -1));
        return LUA_ERRFILE;
    }
    std::unique_ptr<fs::File> file = fs::open(*allowed, fs::Mode::Read);
    if (!file) {
        lua_pushfstring(L, "can't open '%s'", path);
        return LUA_ERRFILE;
    }
    PieceReader reader{file.get(), {}};
    // "@" marks the chunk name as a file name, so messages read "path:line: ...".
    const zy::string chunkName = zy::string("@") + path;
    return lua_load(L, readPiece, &reader, chunkName.c_str());
}

} // namespace

lua_State* createState(const char* name)
{
    lua_State* L = lua_newstate(allocate, nullptr);
    if (!L)
        ZY_THROW("Can't create a Lua state: out of memory");
    lua_atpanic(L, panic);
    if (name) {
        lua_pushstring(L, name);
        lua_setfield(L, LUA_REGISTRYINDEX, kIdKey);
    }
    {
        StateRegistry& registry = stateRegistry();
        std::lock_guard lock(registry.mutex);
        registry.states[L] = StateEntry{name ? name : "", 0};
    }
    log::writef("Lua", log::TRACE, "Created state \"%s\" - %p", name ? name : "", static_cast<void*>(L));
    return L;
}

void openLibraries(lua_State* L)
{
    if (lua_cpcall(L, detail::guarded<openAll>, nullptr) != 0) {
        zy::string message = lua_isstring(L, -1) ? lua_tostring(L, -1) : "unknown error";
        lua_pop(L, 1);
        ZY_THROWF("Can't open the libraries of Lua state \"%s\": %s", detail::nameOr(L, "?"),
                  message.c_str());
    }
}

void destroyState(lua_State* L)
{
    if (!L)
        return;
    const char* id = stateName(L);
    const zy::string name = id ? id : "!!!missing ZY.id!!!";
    {
        StateRegistry& registry = stateRegistry();
        std::lock_guard lock(registry.mutex);
        registry.states.erase(L);
    }
    log::writef("Lua", log::TRACE, "Deleted state \"%s\" - %p", name.c_str(), static_cast<void*>(L));
    lua_close(L);
}

int loadFile(lua_State* L, const char* path)
{
    if (!path) {
        lua_pushliteral(L, "no filename given");
        return LUA_ERRFILE;
    }
    if (const char* name = stateName(L))
        log::writef("lua_loadfile", log::TRACE, "%s: %s", name, path);
    else
        log::writef("lua_loadfile", log::TRACE, "%p: %s", static_cast<void*>(L), path);
    // (There is no file cache in this runtime: loading goes on with the hook.)
    if (loadThroughHook(L, path))
        return 0;
    return loadFromFileLayer(L, path);
}

const char* stateName(lua_State* L)
{
    lua_getfield(L, LUA_REGISTRYINDEX, kIdKey);
    // The registry keeps the string alive after the pop.
    const char* name = lua_type(L, -1) == LUA_TSTRING ? lua_tostring(L, -1) : nullptr;
    lua_pop(L, 1);
    return name;
}

zy::string registeredName(lua_State* L)
{
    StateRegistry& registry = stateRegistry();
    std::lock_guard lock(registry.mutex);
    auto it = registry.states.find(L);
    return it == registry.states.end() ? zy::string() : it->second.name;
}

void setSandboxLevel(lua_State* L, int level)
{
    StateRegistry& registry = stateRegistry();
    std::lock_guard lock(registry.mutex);
    auto it = registry.states.find(L);
    if (it != registry.states.end())
        it->second.sandboxLevel = level < 0 ? 0 : level > 2 ? 2 : level;
}

int sandboxLevel(lua_State* L)
{
    StateRegistry& registry = stateRegistry();
    std::lock_guard lock(registry.mutex);
    auto it = registry.states.find(L);
    return it == registry.states.end() ? 0 : it->second.sandboxLevel;
}

void setCurrentDirectory(const zy::string& path) { settings::setCurrentDirectory(path); }
void setWriteDirectory(const zy::string& path) { settings::setWriteDirectory(path); }
void setTempDirectory(const zy::string& path) { settings::setTempDirectory(path); }

} // namespace zy::script
