#include "utils/Statistics.h"

#include <algorithm>
#include <string>
#include <unordered_set>
#include <utility>

#include "BaseRenderNode.h"
#include "RootNode.h"

namespace model {
namespace {

const char* blendingLabel(int32_t blending)
{
    switch (blending) {
    case 0:
        return "(Opaque)";
    case 1:
        return "(Transparent)";
    case 2:
        return "(Alpha test)";
    case 3:
        return "(Sum. transparent)";
    default:
        return nullptr;
    }
}

template <class N>
StatisticsItem count(const char* key, N n)
{
    return {key, std::to_string(n), {}};
}

StatisticsItem renderNodeCounts(const RootNode& root)
{
    StatisticsItem item = count("nRenderNodes", root.renderNodes().size());
    std::vector<std::pair<zy::string, size_t>> counts; // in order of first appearance
    for (size_t i = 0; i < root.renderNodes().size(); ++i) {
        const BaseRenderNode* node = root.renderNodes()[i];
        const char* label = node->material() ? blendingLabel(node->material()->blending()) : nullptr;
        if (!label)
            continue;
        const zy::string key = zy::string(nodeClassName(node->effectiveKind())) + label;
        auto found = std::find_if(counts.begin(), counts.end(), [&](const auto& c) { return c.first == key; });
        if (found == counts.end())
            counts.push_back({key, 1});
        else
            ++found->second;
    }
    for (const auto& [key, n] : counts)
        item.children.push_back({key, std::to_string(n), {}});
    return item;
}

} // namespace

StatisticsItem buildStatistics(const RootNode& root)
{
    uint64_t faces = 0;
    std::unordered_set<const BaseMaterial*> materials;
    for (size_t i = 0; i < root.renderNodes().size(); ++i) {
        const BaseRenderNode* node = root.renderNodes()[i];
        faces += node->primitiveCount();
        if (const BaseMaterial* material = node->renderMaterial())
            materials.insert(material);
    }
    StatisticsItem item;
    item.children.push_back(count("nTransformNodes", root.nodeCount()));
    item.children.push_back(renderNodeCounts(root));
    item.children.push_back(count("nFaces", faces));
    item.children.push_back(count("nMaterials", materials.size()));
    item.children.push_back(count("nShellNodes", root.shellNodes().size()));
    item.children.push_back(count("nConnectors", root.connectors().size()));
    item.children.push_back(count("nLights", root.lights().size()));
    item.children.push_back(count("nArguments", root.argumentCount()));
    return item;
}

} // namespace model
