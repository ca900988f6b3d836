#pragma once
// A summary of a finished model for the statistics window: a tree of items,
// each a key, a value and child items.
#include <vector>

#include "zy/String.h"

namespace model {

class RootNode;

struct StatisticsItem {
    zy::string key;
    zy::string value;
    std::vector<StatisticsItem> children;
};

// One root item (empty key and value) with these children, values in
// decimal: "nTransformNodes", "nRenderNodes" (with one child per node class
// and blending, such as "model::RenderNode(Opaque)", in order of first
// appearance), "nFaces", "nMaterials", "nShellNodes", "nConnectors",
// "nLights", "nArguments".
StatisticsItem buildStatistics(const RootNode& root);

} // namespace model
