#pragma once
// Differences between two models in model terms: which node, which field.
// Both sides are compared as JSON descriptions; lists of named things (tree
// children, properties, section records, materials) are matched by name, so
// one extra node is one difference, not a shift of everything behind it.
#include <string>
#include <vector>

#include "zym/Description.h"

namespace zym {

struct DiffOptions {
    double tolerance = 0;        // absolute, for every number except vertex data
    double vertexTolerance = 0;  // absolute, for vertex components
};

struct Difference {
    std::string where;  // e.g. "tree/Body/Door.properties['Color'].value[1]"
    std::string what;   // e.g. "0.5 != 0.7", "only in B"
};

std::vector<Difference> diffDescriptions(const Description& a, const Description& b, const DiffOptions& options = {});

} // namespace zym
