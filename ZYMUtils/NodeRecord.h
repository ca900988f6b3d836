#pragma once
// A scene node's record: everything its user-defined text (preceded by its
// material's default text) says about the node.
#include <cstdint>
#include <functional>

#include "FuncHandler.h"
#include "NodeFlagHandlers.h"
#include "PropertyList.h"
#include "luaFuncHandlers.h"

namespace lu {

struct NodeRecord {
    explicit NodeRecord(SmoothNormalsMode mode = SmoothNormalsMode::Off)
        : smoothNormals(smoothNormalsByDefault(mode))
    {
    }

    bool hasFlag(NodeFlag flag) const noexcept { return (flags & flag) != 0; }

    model::PropertyList properties;
    model::AnimatedPropertyList animatedProperties;
    ArrayMap arrays;
    uint32_t flags = 0;
    bool smoothNormals;
    bool noConnector = false;
    int32_t damageArgument = -1; // none
};

// The seven handlers that fill a record, in the order they are asked:
// properties, animated properties, arrays, TYPE, SMOOTH_NORMALS, NO_CONNECTOR,
// DAMAGE_ARGUMENT.
HandlerList nodeRecordHandlers(NodeRecord& record, SmoothNormalsMode mode);

// What building a record reads from a scene node.
class NodeTextSource {
public:
    virtual ~NodeTextSource() = default;
    // The node's name (UTF-8), for messages.
    virtual zy::string nodeName() const = 0;
    // The default user defines of the engine-material description attached to
    // the node's material; empty when the node has no material or the material
    // carries no such description.
    virtual zy::string materialUserDefines() const = 0;
    // The node's own user-defined property text (UTF-8).
    virtual zy::string userPropertyText() const = 0;
};

struct NodeRecordOptions {
    SmoothNormalsMode smoothNormals = SmoothNormalsMode::Off;
    // Report text errors instead of silently dropping the node's text.
    bool errorOnInvalidUserDefs = false;
    // Where the value-function script lies (used on the first evaluation).
    zy::string configDirectory;
};

// Receives one error-list message.
using ErrorReporter = std::function<void(const zy::string& message)>;

// Evaluates the material's default text followed directly by the node's own
// text. When that fails, the record goes back to its initial values and, with
// errorOnInvalidUserDefs, "<error>. Node: <name>.\tFile: <unit>:<line>." is reported.
NodeRecord buildNodeRecord(const NodeTextSource& node, const NodeRecordOptions& options,
                           const ErrorReporter& reportError);

} // namespace lu
