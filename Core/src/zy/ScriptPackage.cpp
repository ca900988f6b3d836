// require() under the runtime's rules: Lua modules are found along
// package.path and loaded with the state's Load file (file layer and
// sandbox), and native modules are refused when the state has a sandbox level.
#include "zy/FileSystem.h"
#include "zy/ScriptInternal.h"
#include "zy/ScriptState.h"

namespace zy::script::detail {

namespace {

void replaceAll(zy::string& text, const zy::string& from, const zy::string& to)
{
    for (size_t pos = text.find(from); pos != zy::string::npos; pos = text.find(from, pos + to.size()))
        text.replace(pos, from.size(), to);
}

bool readable(lua_State* L, const zy::string& candidate)
{
    const auto allowed = sandboxedPath(L, candidate.c_str());
    return allowed && fs::open(*allowed, fs::Mode::Read) != nullptr;
}

// package.loaders[2]; upvalue 1 is the package table.
int searchLuaModule(lua_State* L)
{
    const char* name = luaL_checkstring(L, 1);
    lua_getfield(L, lua_upvalueindex(1), "path");
    const char* templates = lua_tostring(L, -1);
    if (!templates)
        return luaL_error(L, "'package.path' must be a string");
    zy::string fileName = name;
    replaceAll(fileName, ".", "/");
    zy::string tried;
    const zy::string all = templates;
    size_t start = 0;
    while (start <= all.size()) {
        size_t end = all.find(';', start);
        if (end == zy::string::npos)
            end = all.size();
        zy::string candidate = all.substr(start, end - start);
        start = end + 1;
        if (candidate.empty())
            continue;
        replaceAll(candidate, "?", fileName);
        if (readable(L, candidate)) {
            if (loadFile(L, candidate.c_str()) != 0)
                return luaL_error(L, "error loading module '%s' from file '%s':\n\t%s", name,
                                  candidate.c_str(), lua_tostring(L, -1));
            return 1;
        }
        tried += "\n\tno file '" + candidate + "'";
    }
    lua_pushstring(L, tried.c_str());
    return 1;
}

// Wraps a native-module searcher; upvalue 1 is Lua's searcher.
int searchNativeModule(lua_State* L)
{
    if (sandboxLevel(L) > 0) {
        lua_pushliteral(L, "\n\tno native modules in the sandbox");
        return 1;
    }
    lua_pushvalue(L, lua_upvalueindex(1));
    lua_insert(L, 1);
    lua_call(L, lua_gettop(L) - 1, 1);
    return 1;
}

} // namespace

void installModuleSearchers(lua_State* L)
{
    lua_getglobal(L, "package");
    const int package = lua_gettop(L);
    lua_getfield(L, package, "loaders");
    const int loaders = lua_gettop(L);
    if (lua_istable(L, loaders)) {
        lua_pushvalue(L, package);
        lua_pushcclosure(L, guarded<searchLuaModule>, 1);
        lua_rawseti(L, loaders, 2);
        const int count = static_cast<int>(lua_objlen(L, loaders));
        for (int i = 3; i <= count; ++i) {
            lua_rawgeti(L, loaders, i);
            lua_pushcclosure(L, guarded<searchNativeModule>, 1);
            lua_rawseti(L, loaders, i);
        }
    }
    lua_settop(L, package - 1);
}

} // namespace zy::script::detail
