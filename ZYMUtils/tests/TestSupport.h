#pragma once
// Shared helpers of the property-language tests.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <memory>

#include "lua_util.h"
#include "zy/ExtException.h"

namespace lu::test {

// Takes every field and keeps its value list by name, plus the arrival order.
class RecordingHandler : public FuncHandler {
public:
    bool canHandle(const zy::string&, const ValueList&) const override { return true; }
    void handle(const zy::string& name, const ValueList& values) override
    {
        fields[name] = values;
        order.push_back(name);
    }

    std::map<zy::string, ValueList> fields;
    std::vector<zy::string> order;
};

// A property state loaded with the repository's value-function script.
inline std::unique_ptr<PropertyScript> loadedScript()
{
    auto script = std::make_unique<PropertyScript>();
    script->loadValueFunctions(ZY_PLUGCFG_DIR);
    return script;
}

// Matches a zy::ExtException whose message is exactly `text`.
inline auto throwsMessage(const std::string& text)
{
    return testing::ThrowsMessage<zy::ExtException>(testing::StrEq(text));
}

// Matches a zy::ExtException whose message starts with `prefix`.
inline auto throwsMessageStartingWith(const std::string& prefix)
{
    return testing::ThrowsMessage<zy::ExtException>(testing::StartsWith(prefix));
}

} // namespace lu::test
