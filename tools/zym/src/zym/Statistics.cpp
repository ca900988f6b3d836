#include "zym/Statistics.h"

#include <algorithm>

#include "zym/Names.h"

namespace zym {
namespace {

const char* blendingLabel(std::uint8_t blending)
{
    switch (blending) {
    case 0: return "(Opaque)";
    case 1: return "(Transparent)";
    case 2: return "(Alpha test)";
    case 3: return "(Sum. transparent)";
    default: return nullptr;
    }
}

std::uint64_t primitiveCount(const Indices& ix)
{
    const std::uint64_t n = ix.values.size();
    switch (ix.primitive) {
    case 0: return n;
    case 1: return n / 2;
    case 2: return n == 0 ? 0 : n - 1;
    case 5: return n / 3;
    case 6:
    case 7: return n < 2 ? 0 : n - 2;
    default: return 0;
    }
}

StatItem item(const char* key, std::uint64_t value) { return {key, std::to_string(value), {}}; }

} // namespace

StatItem buildStatistics(const Description& d)
{
    StatItem rendering = item("nRenderNodes", d.renderNodes.size());
    std::uint64_t faces = 0;
    for (const RenderItem& r : d.renderNodes) {
        // Fake-light nodes draw one sprite per light.
        faces += isFakeLightKind(r.kind) ? r.lights.size() : primitiveCount(r.indices);
        if (r.material >= d.root.materials.size())
            continue;
        const char* label = blendingLabel(d.root.materials[r.material].blending);
        if (!label)
            continue;
        const std::string key = std::string(className(r.kind)) + label;
        auto it = std::find_if(rendering.children.begin(), rendering.children.end(),
                               [&](const StatItem& s) { return s.key == key; });
        if (it == rendering.children.end())
            rendering.children.push_back({key, "1", {}});
        else
            it->value = std::to_string(std::stoull(it->value) + 1);
    }
    StatItem root{d.root.name.empty() ? std::string("(root)") : d.root.name, "", {}};
    root.children.push_back(item("nTransformNodes", d.nodes.size()));
    root.children.push_back(std::move(rendering));
    root.children.push_back(item("nFaces", faces));
    root.children.push_back(item("nMaterials", d.root.materials.size()));
    root.children.push_back(item("nShellNodes", d.shells.size()));
    root.children.push_back(item("nConnectors", d.connectors.size()));
    root.children.push_back(item("nLights", d.lights.size()));
    root.children.push_back(item("nArguments", d.root.argumentCount));
    return root;
}

void printStatistics(const StatItem& item, std::ostream& out, int depth)
{
    out << std::string(std::size_t(depth) * 2, ' ') << item.key;
    if (!item.value.empty())
        out << ": " << item.value;
    out << '\n';
    for (const StatItem& child : item.children)
        printStatistics(child, out, depth + 1);
}

} // namespace zym
