#pragma once
// The host's scripting language: a plain Lua 5.1 state. Every global primitive a
// plug-in registered is a Lua global of the same name. Script values convert to
// the host's values: numbers to integers (or floats when fractional), strings,
// booleans to 1/0, nil to undefined, and scene objects (nodes, materials,
// controllers) to and from userdata. A primitive's error (such as the argument-
// count error) stops the script with the host's message.
//
// Host functions: getNodeByName(name), getMaterialByName(name) -> object or nil;
// getController(node, part), setController(node, part, controller) with part one
// of "transform", "position", "rotation", "scale", "visibility". Objects have the
// fields name, class and, for nodes, parent, material and userProps (settable).
// A variable keeps watching its object without keeping it alive: once the scene
// deletes the object, using it stops the script with "the node was deleted"
// (or material, controller).
#include <string>

struct lua_State;
class Interface;

namespace zyhost {

class ScriptHost {
public:
    explicit ScriptHost(Interface& host);
    ~ScriptHost();
    ScriptHost(const ScriptHost&) = delete;
    ScriptHost& operator=(const ScriptHost&) = delete;

    // Runs a script; empty on success, otherwise the error message.
    std::string RunFile(const std::string& path);
    std::string RunString(const std::string& code, const std::string& chunkName = "=script");
    lua_State* State() { return L_; }

private:
    lua_State* L_;
};

} // namespace zyhost
