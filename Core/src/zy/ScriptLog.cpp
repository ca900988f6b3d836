// The scripts' log library: the level numbers and output flags of the
// diagnostic log, alert/error/warning/info, and set_output.
#include "zy/FileSystem.h"
#include "zy/Log.h"
#include "zy/ScriptInternal.h"

namespace zy::script::detail {

namespace {

struct NamedValue {
    const char* name;
    unsigned value;
};

const NamedValue kConstants[] = {
    {"ALERT", log::ALERT},
    {"ERROR", log::ERROR},
    {"WARNING", log::WARNING},
    {"INFO", log::INFO},
    {"DEBUG", log::DEBUG},
    {"TRACE", log::TRACE},
    {"RELIABLE", log::RELIABLE},
    {"MESSAGE", log::MESSAGE},
    {"TIME", log::TIME},
    {"TIME_UTC", log::UTC_TIME},
    {"TIME_RELATIVE", log::TIME_RELATIVE},
    {"TIME_LOCAL", log::TIME_LOCAL},
    {"MODULE", log::MODULE},
    {"LEVEL", log::LEVEL},
    {"FULL", log::FULL},
    {"ASYNC", log::ASYNC},
    {"IMMEDIATE", log::IMMEDIATE},
    {"COLLAPSE", log::COLLAPSE},
};

// Upvalue 1: string.format; upvalue 2: the level.
int logAtLevel(lua_State* L)
{
    const int count = lua_gettop(L);
    luaL_checkany(L, 1);
    if (count > 1) {
        lua_pushvalue(L, lua_upvalueindex(1));
        lua_insert(L, 1);
        lua_call(L, count, 1);
    } else if (!lua_isstring(L, 1)) {
        lua_getglobal(L, "tostring");
        lua_insert(L, 1);
        lua_call(L, 1, 1);
    }
    const char* text = lua_tostring(L, -1);
    const auto level = static_cast<unsigned>(lua_tointeger(L, lua_upvalueindex(2)));
    log::write(nameOr(L, "LUA"), level, text);
    return 0;
}

// log.set_output(logname [, source [, levels [, flags]]]) -> true | false
int setOutput(lua_State* L)
{
    const char* logname = lua_tostring(L, 1);
    if (!logname)
        return luaL_error(L, "logname should be provided");
    const char* source = luaL_optstring(L, 2, "");
    const auto levels = static_cast<unsigned>(luaL_optinteger(L, 3, log::ALL_LEVELS & ~log::TRACE));
    const auto flags = static_cast<unsigned>(luaL_optinteger(L, 4, log::FULL));
    const zy::string path = log::directory() + "/" + logname + ".log";
    if (!sandboxedPath(L, path.c_str())) {
        lua_pushfstring(L, "can't open '%s': sandbox violation", path.c_str());
        return raiseSandboxRefusal(L, "set_output", lua_tostring(L, -1));
    }
    lua_pushboolean(L, log::setOutput(logname, source, levels, flags));
    return 1;
}

} // namespace

int openLog(lua_State* L)
{
    const char* name = luaL_optstring(L, 1, "log");
    const luaL_Reg none[] = {{nullptr, nullptr}};
    luaL_register(L, name, none);
    const int table = lua_gettop(L);
    for (const NamedValue& constant : kConstants) {
        lua_pushinteger(L, constant.value);
        lua_setfield(L, table, constant.name);
    }

    lua_getglobal(L, "string");
    lua_getfield(L, -1, "format");
    const int format = lua_gettop(L);
    const NamedValue functions[] = {
        {"alert", log::ALERT}, {"error", log::ERROR}, {"warning", log::WARNING}, {"info", log::INFO}};
    for (const NamedValue& function : functions) {
        lua_pushvalue(L, format);
        lua_pushinteger(L, function.value);
        lua_pushcclosure(L, guarded<logAtLevel>, 2);
        lua_setfield(L, table, function.name);
    }
    lua_settop(L, table);

    lua_pushcfunction(L, guarded<setOutput>);
    lua_setfield(L, table, "set_output");
    return 1;
}

} // namespace zy::script::detail
