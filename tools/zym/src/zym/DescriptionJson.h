#pragma once
// The JSON description of a model tree (documented in tools/zym/README.md)
// and its conversion from and to the file description. Tree references
// (control nodes, bones) are written as node paths when a path names the
// node unambiguously, else as pre-order indices; both are read.
#include <nlohmann/json.hpp>

#include "zy/ExtException.h"

#include "zym/Description.h"

namespace zym {

using Json = nlohmann::ordered_json;

struct DumpOptions {
    // Replaces long arrays (vertices, indices, samples, segments) by their
    // length and a checksum. The result can no longer be built.
    bool summary = false;
};

Json toJson(const Description& d, const DumpOptions& options = {});

// Raises zy::ExtException naming the place in the JSON text that is wrong.
Description fromJson(const Json& j);

// Arrays longer than this are shortened by DumpOptions::summary.
constexpr std::size_t kSummaryThreshold = 16;

} // namespace zym
