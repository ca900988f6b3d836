#include "utils/TextureChannels.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <set>
#include <vector>

#include "BaseMeshRenderNode.h"
#include "RootNode.h"
#include "zy/ExtException.h"

namespace model {
namespace {

constexpr int kTexCoordChannels = VertexFormat::kTexCoordChannelCount;

int vertexChannel(int texCoordChannel) { return ChannelTexCoord0 + texCoordChannel; }

bool isTexCoordChannel(int32_t channel) { return channel >= 0 && channel < kTexCoordChannels; }

// Raised without a source location: the renumbering checks its own result.
[[noreturn]] void raiseCheck(const char* message)
{
    throw zy::ExtException(message, "", 0);
}

// One node's geometry and material while the three steps work on them.
struct Layout {
    PropertiesSet material;
    std::vector<float> data;
    uint32_t count;

    VertexFormat& format() { return material.vertexFormat(); }
    uint32_t stride() const { return material.vertexFormat().stride(); }

    // Distinct texture-coordinate channels named by the coordinate slots.
    std::vector<int32_t> namedChannels(bool inSlotOrder) const
    {
        std::vector<int32_t> channels;
        for (int k = 0; k < PropertiesSet::kCoordinateSlotCount; ++k) {
            const int32_t c = material.texCoordChannel(k);
            if (isTexCoordChannel(c) && std::find(channels.begin(), channels.end(), c) == channels.end())
                channels.push_back(c);
        }
        if (!inSlotOrder)
            std::sort(channels.begin(), channels.end());
        return channels;
    }

    void renameSlots(int32_t from, int32_t to)
    {
        for (int k = 0; k < PropertiesSet::kCoordinateSlotCount; ++k)
            if (material.texCoordChannel(k) == from)
                material.setTexCoordChannel(k, to);
    }

    // Rebuilds every vertex in a new format: channel c of the new layout takes
    // the components of channel source[c] of the old one.
    void rearrange(const VertexFormat& newFormat, const std::array<int, VertexFormat::kChannelCount>& source)
    {
        const VertexFormat old = material.vertexFormat();
        const uint32_t oldStride = old.stride();
        std::vector<float> rebuilt;
        rebuilt.reserve(size_t(count) * newFormat.stride());
        for (uint32_t v = 0; v < count; ++v) {
            const float* vertex = data.data() + size_t(v) * oldStride;
            for (int c = 0; c < VertexFormat::kChannelCount; ++c) {
                if (!newFormat.has(c))
                    continue;
                const float* from = vertex + old.offset(source[c]);
                rebuilt.insert(rebuilt.end(), from, from + newFormat.count(c));
            }
        }
        data = std::move(rebuilt);
        material.setVertexFormat(newFormat);
    }
};

std::array<int, VertexFormat::kChannelCount> identitySource()
{
    std::array<int, VertexFormat::kChannelCount> source;
    for (int c = 0; c < VertexFormat::kChannelCount; ++c)
        source[c] = c;
    return source;
}

bool sameChannelData(const Layout& layout, int32_t a, int32_t b, double tolerance)
{
    const VertexFormat& format = layout.material.vertexFormat();
    const uint32_t stride = format.stride();
    const uint32_t offsetA = format.offset(vertexChannel(a)), offsetB = format.offset(vertexChannel(b));
    const uint32_t components = format.count(vertexChannel(a));
    for (uint32_t v = 0; v < layout.count; ++v) {
        const float* vertex = layout.data.data() + size_t(v) * stride;
        for (uint32_t i = 0; i < components; ++i)
            if (!(std::fabs(double(vertex[offsetB + i]) - double(vertex[offsetA + i])) <= tolerance))
                return false;
    }
    return true;
}

// 1. A channel that repeats a lower one is dropped; its slots read the lower one.
uint32_t dropDuplicateChannels(Layout& layout, double tolerance)
{
    const std::vector<int32_t> channels = layout.namedChannels(false);
    std::vector<int32_t> kept, dropped;
    for (int32_t b : channels) {
        const uint8_t components = layout.format().count(vertexChannel(b));
        const auto original = std::find_if(kept.begin(), kept.end(), [&](int32_t a) {
            return components != 0 && layout.format().count(vertexChannel(a)) == components &&
                   sameChannelData(layout, a, b, tolerance);
        });
        if (original == kept.end()) {
            kept.push_back(b);
            continue;
        }
        layout.renameSlots(b, *original);
        dropped.push_back(b);
    }
    if (dropped.empty())
        return 0;
    VertexFormat format = layout.format();
    for (int32_t b : dropped)
        format.setCount(vertexChannel(b), 0);
    layout.rearrange(format, identitySource());
    return uint32_t(dropped.size());
}

// Confirms that the renumbered vertices hold the same data as before.
void checkRenumbering(const Layout& before, const Layout& after,
                      const std::array<int, VertexFormat::kChannelCount>& destination)
{
    const VertexFormat& oldFormat = before.material.vertexFormat();
    const VertexFormat& newFormat = after.material.vertexFormat();
    if (oldFormat.stride() != newFormat.stride() || before.data.size() != after.data.size())
        raiseCheck("Wrong vertex size.");
    for (int c = 0; c < VertexFormat::kChannelCount; ++c) {
        const bool texture = c >= vertexChannel(0) && c < vertexChannel(kTexCoordChannels);
        if (!texture && oldFormat.count(c) != newFormat.count(c))
            raiseCheck("Invalid vertex attribute size.");
    }
    for (int32_t t = 0; t < kTexCoordChannels; ++t) {
        const int c = vertexChannel(t);
        if (!oldFormat.has(c))
            continue;
        const int to = destination[c];
        if (to < 0 || to >= VertexFormat::kChannelCount)
            raiseCheck("Can't find dest channel.");
        if (newFormat.count(to) != oldFormat.count(c))
            raiseCheck("Invalid texture channel size.");
        const uint32_t from = oldFormat.offset(c), into = newFormat.offset(to), stride = oldFormat.stride();
        for (uint32_t v = 0; v < before.count; ++v)
            for (uint32_t i = 0; i < oldFormat.count(c); ++i)
                if (std::memcmp(&before.data[size_t(v) * stride + from + i], &after.data[size_t(v) * stride + into + i],
                                sizeof(float)) != 0)
                    raiseCheck("Invalid texture channel");
    }
}

// 2. The k-th channel in slot order becomes the k-th smallest named channel.
bool orderChannels(Layout& layout)
{
    const std::vector<int32_t> inSlotOrder = layout.namedChannels(true);
    if (std::is_sorted(inSlotOrder.begin(), inSlotOrder.end()))
        return false;
    std::vector<int32_t> ascending = inSlotOrder;
    std::sort(ascending.begin(), ascending.end());

    std::array<int, VertexFormat::kChannelCount> destination = identitySource(), source = identitySource();
    for (size_t k = 0; k < inSlotOrder.size(); ++k) {
        destination[vertexChannel(inSlotOrder[k])] = vertexChannel(ascending[k]);
        source[vertexChannel(ascending[k])] = vertexChannel(inSlotOrder[k]);
    }
    VertexFormat format;
    for (int c = 0; c < VertexFormat::kChannelCount; ++c)
        format.setCount(c, layout.format().count(source[c]));

    const Layout before = layout;
    layout.rearrange(format, source);
    std::array<int32_t, PropertiesSet::kCoordinateSlotCount> slots = layout.material.texCoordChannels();
    for (int k = 0; k < PropertiesSet::kCoordinateSlotCount; ++k)
        if (isTexCoordChannel(slots[k]))
            layout.material.setTexCoordChannel(k, destination[vertexChannel(slots[k])] - vertexChannel(0));
    checkRenumbering(before, layout, destination);
    return true;
}

// 3. Present channels move down to consecutive numbers; absent channels take
// no room in a vertex, so only the material changes.
bool packChannels(Layout& layout)
{
    std::array<int32_t, kTexCoordChannels> packed;
    packed.fill(-1);
    VertexFormat format = layout.format();
    int32_t next = 0;
    bool moved = false;
    for (int32_t t = 0; t < kTexCoordChannels; ++t) {
        const uint8_t components = layout.format().count(vertexChannel(t));
        if (!components)
            continue;
        packed[t] = next;
        moved |= next != t;
        format.setCount(vertexChannel(t), 0);
        format.setCount(vertexChannel(next), components);
        ++next;
    }
    if (!moved)
        return false;
    layout.material.setVertexFormat(format);
    for (int k = 0; k < PropertiesSet::kCoordinateSlotCount; ++k) {
        const int32_t c = layout.material.texCoordChannel(k);
        if (isTexCoordChannel(c) && packed[c] >= 0)
            layout.material.setTexCoordChannel(k, packed[c]);
    }
    return true;
}

} // namespace

bool cleanTextureChannels(RootNode& root, double tolerance, uint32_t& count)
{
    bool changed = false;
    for (size_t i = 0; i < root.renderNodes().size(); ++i) {
        auto* node = dynamic_cast<BaseMeshRenderNode*>(root.renderNodes()[i]);
        if (!node || !node->material() || !node->vertices().fits(node->stride()))
            continue;
        Layout layout{*node->material(), node->vertices().data(), node->vertices().count()};
        const uint32_t dropped = dropDuplicateChannels(layout, tolerance);
        const bool ordered = orderChannels(layout);
        const bool packed = packChannels(layout);
        if (!dropped && !ordered && !packed)
            continue;
        count += dropped;
        node->setMaterial(zy::makeRef<PropertiesSet>(layout.material));
        node->vertices().assign(layout.count, std::move(layout.data));
        changed = true;
    }
    return changed;
}

} // namespace model
