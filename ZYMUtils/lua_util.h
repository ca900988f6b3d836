#pragma once
// Evaluation of user-defined property text: the text is the body of a Lua
// table constructor, and every field of the resulting table is handed, as a
// name and a value list, to the first handler that accepts it.
#include <lua.hpp>

#include "FuncHandler.h"
#include "ScriptLimits.h"
#include "zy/ScriptState.h"
#include "zy/String.h"

namespace lu {

// Name of the script state that evaluates property text.
inline constexpr char kPropertyStateName[] = "ParamsLuaWrapper::operator ()";

// File name of the value-function script inside the configuration directory.
inline constexpr char kValueFunctionScript[] = "/aux_func.lua";

// A script state for property text: the runtime's libraries, bounds on memory
// and instructions, and (once loaded) the value functions.
class PropertyScript {
public:
    PropertyScript();
    ~PropertyScript() = default;
    PropertyScript(const PropertyScript&) = delete;
    PropertyScript& operator=(const PropertyScript&) = delete;

    // Runs <configDirectory>/aux_func.lua. Raises "Can't load file: <path>.
    // Reason: <Lua error>" when it cannot be loaded or run; the state stays usable.
    void loadValueFunctions(const zy::string& configDirectory);

    // Evaluates `text` and feeds its fields, in table order, to `handlers`.
    // Raises zy::ExtException on any error; what the handlers stored before
    // the failing field stays. The Lua stack is empty afterwards.
    void parse(const zy::string& text, const HandlerList& handlers);

    lua_State* state() const noexcept { return state_.get(); }

private:
    zy::script::State state_; // declared first: the limits go before the state closes
    ScriptLimits limits_;
};

// The process-wide property state. The first call creates it and loads the
// value functions from `configDirectory` (raising the load error once); later
// calls return it as it is, whatever directory they name.
PropertyScript& sharedPropertyScript(const zy::string& configDirectory);

// Destroys the process-wide state (plug-in unload). The next use creates it anew.
void releaseSharedPropertyScript();

// Evaluates `text` in the process-wide state. Empty text evaluates nothing,
// and does not even create the state.
void parse(const zy::string& text, const HandlerList& handlers, const zy::string& configDirectory);

} // namespace lu
