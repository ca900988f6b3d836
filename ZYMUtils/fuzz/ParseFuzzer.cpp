// Runs arbitrary property text through the node record's full handler set.
// Any outcome but a zy::ExtException or success is a finding: crashes, hangs,
// leaks and other exception types.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "NodeRecord.h"
#include "lua_util.h"
#include "zy/ExtException.h"

namespace {

lu::PropertyScript& script()
{
    static const std::unique_ptr<lu::PropertyScript> instance = [] {
        auto s = std::make_unique<lu::PropertyScript>();
        s->loadValueFunctions(ZY_PLUGCFG_DIR);
        return s;
    }();
    return *instance;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const zy::string text(reinterpret_cast<const char*>(data), size);
    lu::NodeRecord record(lu::SmoothNormalsMode::MarkedDefaultOn);
    try {
        script().parse(text, lu::nodeRecordHandlers(record, lu::SmoothNormalsMode::MarkedDefaultOn));
    } catch (const zy::ExtException&) {
    }
    // Collect the evaluation's garbage now, so that what one input allocates
    // is freed by the same input and libFuzzer's leak check stays on.
    lua_gc(script().state(), LUA_GCCOLLECT, 0);
    return 0;
}
