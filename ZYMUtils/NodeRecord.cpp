#include "NodeRecord.h"

#include <cstring>

#include "lua_util.h"
#include "zy/ExtException.h"

namespace lu {

namespace {
const char* sourceUnit()
{
    const char* slash = std::strrchr(__FILE__, '/');
    return slash ? slash + 1 : __FILE__;
}
} // namespace

HandlerList nodeRecordHandlers(NodeRecord& record, SmoothNormalsMode mode)
{
    return {
        zy::makeRef<PropertiesHandler>(&record.properties),
        zy::makeRef<AnimatedPropertiesHandler>(&record.animatedProperties),
        zy::makeRef<ArrayHandler>(&record.arrays),
        zy::makeRef<NodeFlagHandler>(&record.flags),
        zy::makeRef<NormalSmoothFlagHandler>(&record.smoothNormals, mode),
        zy::makeRef<NoConnectorFlagHandler>(&record.noConnector),
        zy::makeRef<DamageHandler>(&record.damageArgument),
    };
}

NodeRecord buildNodeRecord(const NodeTextSource& node, const NodeRecordOptions& options,
                           const ErrorReporter& reportError)
{
    NodeRecord record(options.smoothNormals);
    // No separator: a material text must end with its own ";" or ",".
    const zy::string text = node.materialUserDefines() + node.userPropertyText();
    if (text.empty())
        return record;
    try {
        parse(text, nodeRecordHandlers(record, options.smoothNormals), options.configDirectory);
    } catch (const zy::ExtException& e) {
        if (options.errorOnInvalidUserDefs && reportError)
            reportError(zy::format("%s. Node: %s.\tFile: %s:%d.", e.what(), node.nodeName().c_str(),
                                   sourceUnit(), __LINE__));
        record = NodeRecord(options.smoothNormals);
    }
    return record;
}

} // namespace lu
