#pragma once
// The statistics tree of a model (the figures the exporter's statistics
// window shows), computed from a file's description.
#include <ostream>
#include <string>
#include <vector>

#include "zym/Description.h"

namespace zym {

struct StatItem {
    std::string key;
    std::string value;
    std::vector<StatItem> children;
};

// One root item, named after the model's root, with the figures as children.
StatItem buildStatistics(const Description& d);

// "key: value" lines, children indented by two spaces.
void printStatistics(const StatItem& item, std::ostream& out, int depth = 0);

} // namespace zym
