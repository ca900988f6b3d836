#include "utils/MergeRules.h"

#include <limits>
#include <vector>

#include "Node.h"
#include "RenderNode.h"

namespace model {
namespace {

bool movedByBillboard(const Node* control)
{
    for (const Node* n = control; n; n = n->parent())
        if (n->kind() == NodeKind::BillboardNode)
            return true;
    return false;
}

bool anyPartMovedByBillboard(const BaseRenderNode& node)
{
    for (uint32_t i = 0; i < node.partCount(); ++i)
        if (movedByBillboard(node.partControl(i)))
            return true;
    return false;
}

bool mergeablePrimitives(int32_t type) { return type == PrimitiveLines || type == PrimitiveTriangles; }

// The part number a vertex stores; UINT32_MAX for a value that names no part
// (negative, too large or NaN), so that such a vertex fails the merge.
uint32_t partNumberOf(const float* vertex)
{
    const float number = vertex[3] + 0.5f;
    return number >= 0.0f && number < 4294967296.0f ? uint32_t(number) : std::numeric_limits<uint32_t>::max();
}

} // namespace

bool canMergeRenderNodes(const RenderNode& node, const BaseNode& otherBase)
{
    if (&node == &otherBase || node.kind() != otherBase.kind() || node.kind() != NodeKind::RenderNode)
        return false;
    const auto& other = static_cast<const RenderNode&>(otherBase);
    if (node.category() != other.category())
        return false;
    if ((node.category() & CATEGORY_SHELL) && node.name() != other.name())
        return false;
    const PropertiesSet* material = node.material();
    if (!material || material != other.material() || material->blending() == 1)
        return false;
    if (!equalPropertySets(node.properties(), other.properties()))
        return false;
    const int32_t type = node.indices().primitiveType();
    if (!mergeablePrimitives(type) || type != other.indices().primitiveType())
        return false;
    return !anyPartMovedByBillboard(node) && !anyPartMovedByBillboard(other);
}

bool mergeRenderNodes(RenderNode& node, const RenderNode& other)
{
    if (!canMergeRenderNodes(node, other))
        return false;
    const uint32_t stride = node.stride();
    const VertexFormat& format = node.material()->vertexFormat();
    const bool hasPartNumbers = format.count(ChannelPosition) >= 4;
    if (stride == 0 || !node.vertices().fits(stride) || !other.vertices().fits(stride))
        return false;
    const uint64_t vertexTotal = uint64_t(node.vertices().count()) + other.vertices().count();
    if (vertexTotal > std::numeric_limits<uint32_t>::max())
        return false;

    // Where each part of other goes: a matching part of node, or a new one.
    std::vector<RenderPart> parts = node.parts();
    const size_t ownParts = parts.size();
    std::vector<uint32_t> target(other.partCount());
    for (uint32_t j = 0; j < other.partCount(); ++j) {
        const RenderPart& part = other.parts()[j];
        if (part.start > part.end || part.end > other.indices().size())
            return false;
        size_t t = 0;
        while (t < parts.size() && !(parts[t].control == part.control && parts[t].argument == part.argument))
            ++t;
        if (t == parts.size())
            parts.push_back({part.control, 0, 0, part.argument});
        target[j] = uint32_t(t);
    }
    // Vertices store their part number; without room for it only part 0 exists.
    for (uint32_t t : target)
        if (t != 0 && !hasPartNumbers)
            return false;
    if (hasPartNumbers)
        for (uint32_t v = 0; v < other.vertices().count(); ++v)
            if (partNumberOf(other.vertices().vertex(v, stride)) >= other.partCount())
                return false;

    // Nothing can fail from here on.
    const uint32_t offset = node.vertices().count();
    std::vector<uint32_t>& indices = node.indices().values();
    parts.resize(ownParts);
    for (uint32_t j = 0; j < other.partCount(); ++j) {
        const RenderPart& from = other.parts()[j];
        std::vector<uint32_t> moved(other.indices().values().begin() + from.start,
                                    other.indices().values().begin() + from.end);
        for (uint32_t& index : moved)
            index += offset;
        const uint32_t length = uint32_t(moved.size());
        if (target[j] < parts.size()) {
            RenderPart& into = parts[target[j]];
            indices.insert(indices.begin() + into.end, moved.begin(), moved.end());
            into.end += length;
            for (size_t later = target[j] + 1; later < parts.size(); ++later) {
                parts[later].start += length;
                parts[later].end += length;
            }
        } else {
            const uint32_t start = uint32_t(indices.size());
            indices.insert(indices.end(), moved.begin(), moved.end());
            parts.push_back({from.control, start, start + length, from.argument});
        }
    }
    std::vector<float>& data = node.vertices().data();
    const size_t appendedAt = data.size();
    data.insert(data.end(), other.vertices().data().begin(), other.vertices().data().end());
    if (hasPartNumbers)
        for (size_t at = appendedAt; at < data.size(); at += stride)
            data[at + 3] = float(target[partNumberOf(&data[at])]);
    node.vertices().assign(uint32_t(vertexTotal), std::move(data));
    node.parts() = std::move(parts);
    return true;
}

bool canMergeGeometry(const BaseNode& node, const BaseNode& other)
{
    switch (node.kind()) {
    case NodeKind::RenderNode:
        return canMergeRenderNodes(static_cast<const RenderNode&>(node), other);
    case NodeKind::NumberNode:
        return false;
    default:
        return node.canMerge(other);
    }
}

bool mergeGeometry(BaseNode& into, BaseNode& other)
{
    switch (into.kind()) {
    case NodeKind::RenderNode:
        return other.kind() == NodeKind::RenderNode &&
               mergeRenderNodes(static_cast<RenderNode&>(into), static_cast<const RenderNode&>(other));
    case NodeKind::NumberNode:
        return false;
    default:
        return into.merge(other);
    }
}

} // namespace model
