#include "lua_util.h"

#include <exception>
#include <memory>
#include <utility>

#include "BoundedStringLibrary.h"
#include "TextEnvironment.h"
#include "zy/ExtException.h"

namespace lu {

namespace {

// Value lists are flattened from nested tables; these bound the walk so that
// self-referencing or exponentially shared tables cannot hang the exporter.
constexpr int kMaxNesting = 64;
constexpr size_t kMaxValues = size_t(1) << 20;

struct Field {
    zy::string name;
    ValueList values;
};

// What the protected part of an evaluation found.
struct Evaluation {
    enum class Failure { None, Lua, NotTable, Field };

    const zy::string* chunk = nullptr;
    std::vector<Field> fields;
    Failure failure = Failure::None;
    zy::string message;          // Lua error text or the failing field's message
    std::exception_ptr cxxError; // a C++ error that must not cross Lua frames
    size_t valuesLeft = kMaxValues;
};

// Text of an error object without raising (no in-place conversion).
zy::string errorText(lua_State* L, int index)
{
    switch (lua_type(L, index)) {
    case LUA_TSTRING: {
        size_t length = 0;
        const char* text = lua_tolstring(L, index, &length);
        return zy::string(text, length);
    }
    case LUA_TNUMBER:
        return zy::format(LUA_NUMBER_FMT, lua_tonumber(L, index));
    default:
        return zy::format("(error object is a %s value)", luaL_typename(L, index));
    }
}

// Lua's text of the string or number at `index` ("%.14g" for numbers),
// converted on a copy so that a key under `next` stays untouched.
zy::string luaText(lua_State* L, int index)
{
    lua_pushvalue(L, index);
    size_t length = 0;
    const char* text = lua_tolstring(L, -1, &length);
    zy::string result(text, length);
    lua_pop(L, 1);
    return result;
}

bool fail(Evaluation& ev, Evaluation::Failure failure, zy::string message)
{
    ev.failure = failure;
    ev.message = std::move(message);
    return false;
}

// Appends the array part of the table at `index`, depth first.
bool flattenTable(lua_State* L, int index, const zy::string& name, int depth, Evaluation& ev, ValueList& out)
{
    if (depth > kMaxNesting)
        return fail(ev, Evaluation::Failure::Field,
                    "Right side of expression for variable '" + name + "' is nested too deeply.");
    luaL_checkstack(L, 2, "value nested too deeply");
    const int count = static_cast<int>(lua_objlen(L, index));
    for (int i = 1; i <= count; ++i) {
        if (ev.valuesLeft == 0)
            return fail(ev, Evaluation::Failure::Field,
                        "Right side of expression for variable '" + name + "' has too many values.");
        --ev.valuesLeft;
        lua_rawgeti(L, index, i);
        const int type = lua_type(L, -1);
        bool ok = true;
        if (type == LUA_TTABLE)
            ok = flattenTable(L, lua_gettop(L), name, depth + 1, ev, out);
        else if (type == LUA_TSTRING || type == LUA_TNUMBER)
            out.push_back(luaText(L, -1));
        lua_pop(L, 1);
        if (!ok)
            return false;
    }
    return true;
}

// The value list of the field value at `index`; empty for values that have none.
bool valueList(lua_State* L, int index, const zy::string& name, Evaluation& ev, ValueList& out)
{
    switch (lua_type(L, index)) {
    case LUA_TNUMBER:
        out = {"float", luaText(L, index)};
        return true;
    case LUA_TBOOLEAN:
        out = {"float", lua_toboolean(L, index) ? "1.0" : "0.0"};
        return true;
    case LUA_TSTRING:
        if (lua_isnumber(L, index)) {
            // The number Lua reads ("0x10", " 2 "), in Lua's own text.
            lua_pushnumber(L, lua_tonumber(L, index));
            out = {"float", luaText(L, -1)};
            lua_pop(L, 1);
        } else {
            out = {"string", luaText(L, index)};
        }
        return true;
    case LUA_TTABLE:
        return flattenTable(L, index, name, 0, ev, out);
    default:
        return true;
    }
}

// Fields are meant to be named; a positional or [number] key is named by the
// number's text. Keys of other types (booleans, tables...) have no text.
bool fieldName(lua_State* L, int index, Evaluation& ev, zy::string& name)
{
    const int type = lua_type(L, index);
    if (type != LUA_TSTRING && type != LUA_TNUMBER)
        return fail(ev, Evaluation::Failure::Field,
                    zy::format("Invalid variable name: a key of type '%s'.", lua_typename(L, type)));
    name = luaText(L, index);
    return true;
}

void collectFields(lua_State* L, Evaluation& ev)
{
    const zy::string& chunk = *ev.chunk;
    if (luaL_loadbuffer(L, chunk.data(), chunk.size(), chunk.c_str()) != 0) {
        fail(ev, Evaluation::Failure::Lua, errorText(L, -1));
        return;
    }
    pushTextEnvironment(L); // chunk, env
    lua_pushvalue(L, -1);
    lua_setfenv(L, -3);
    lua_insert(L, 1); // env, chunk
    if (lua_pcall(L, 0, LUA_MULTRET, 0) != 0) {
        fail(ev, Evaluation::Failure::Lua, errorText(L, -1));
        return;
    }
    lua_settop(L, 1);
    lua_pushliteral(L, "p");
    lua_rawget(L, 1); // env, p
    if (!lua_istable(L, 2)) {
        fail(ev, Evaluation::Failure::NotTable, {});
        return;
    }
    lua_pushnil(L);
    while (lua_next(L, 2) != 0) { // env, p, key, value
        Field field;
        if (!fieldName(L, 3, ev, field.name) || !valueList(L, 4, field.name, ev, field.values))
            return;
        if (field.values.empty()) {
            fail(ev, Evaluation::Failure::Field,
                 "Invalid right side of expression for variable: '" + field.name + "'.");
            return;
        }
        ev.fields.push_back(std::move(field));
        lua_pop(L, 1);
    }
}

// Runs under lua_cpcall, so that every Lua error (memory included) is caught.
// C++ exceptions are kept for the caller instead of crossing Lua frames.
int collectFieldsProtected(lua_State* L)
{
    auto& ev = *static_cast<Evaluation*>(lua_touserdata(L, 1));
    lua_settop(L, 0);
    try {
        collectFields(L, ev);
    } catch (const std::exception&) {
        ev.cxxError = std::current_exception();
    }
    return 0;
}

void dispatch(const HandlerList& handlers, const Field& field)
{
    for (const auto& handler : handlers) {
        if (handler->canHandle(field.name, field.values)) {
            handler->handle(field.name, field.values);
            return;
        }
    }
}

std::unique_ptr<PropertyScript>& sharedSlot()
{
    static std::unique_ptr<PropertyScript> script;
    return script;
}

} // namespace

PropertyScript::PropertyScript() : state_(kPropertyStateName), limits_(state_.get())
{
    boundStringLibrary(state_.get());
}

void PropertyScript::loadValueFunctions(const zy::string& configDirectory)
{
    lua_State* L = state_.get();
    const zy::string path = configDirectory + kValueFunctionScript;
    int status = 0;
    {
        ScriptLimits::Run run(limits_);
        status = zy::script::loadFile(L, path.c_str());
        if (status == 0)
            status = lua_pcall(L, 0, 0, 0);
    }
    if (status != 0) {
        const zy::string reason = errorText(L, -1);
        lua_settop(L, 0);
        ZY_THROW("Can't load file: " + path + ". Reason: " + reason);
    }
    lua_settop(L, 0);
}

void PropertyScript::parse(const zy::string& text, const HandlerList& handlers)
{
    if (text.empty())
        return;
    lua_State* L = state_.get();
    const zy::string chunk = "p={" + text + "};";
    Evaluation ev;
    ev.chunk = &chunk;
    int status = 0;
    {
        ScriptLimits::Run run(limits_);
        status = lua_cpcall(L, &collectFieldsProtected, &ev);
    }
    if (status != 0) {
        ev.failure = Evaluation::Failure::Lua;
        ev.message = errorText(L, -1);
    }
    lua_settop(L, 0);

    if (ev.cxxError)
        std::rethrow_exception(ev.cxxError);
    if (ev.failure == Evaluation::Failure::Lua)
        ZY_THROW("Parser error:" + ev.message + ".");
    if (ev.failure == Evaluation::Failure::NotTable)
        ZY_THROW("Parser error.");
    for (const Field& field : ev.fields)
        dispatch(handlers, field);
    if (ev.failure == Evaluation::Failure::Field)
        ZY_THROW(ev.message);
}

PropertyScript& sharedPropertyScript(const zy::string& configDirectory)
{
    auto& script = sharedSlot();
    if (!script) {
        script = std::make_unique<PropertyScript>();
        script->loadValueFunctions(configDirectory);
    }
    return *script;
}

void releaseSharedPropertyScript()
{
    sharedSlot().reset();
}

void parse(const zy::string& text, const HandlerList& handlers, const zy::string& configDirectory)
{
    if (text.empty())
        return;
    sharedPropertyScript(configDirectory).parse(text, handlers);
}

} // namespace lu
