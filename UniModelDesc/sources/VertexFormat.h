#pragma once
// Vertex layout: for each of the 26 vertex channels, the number of f32
// components it has in every vertex (0 = channel absent). Channels are stored
// in channel order inside a vertex.
#include <array>
#include <cstdint>

namespace model {

enum VertexChannel : int {
    ChannelPosition = 0,       // x, y, z and the part number of the vertex
    ChannelNormal = 1,
    ChannelTangent = 2,
    ChannelBinormal = 3,
    ChannelTexCoord0 = 4,      // texture-coordinate channels 0 to 15: 4 to 19
    ChannelColor = 20,
    ChannelWeights = 21,       // bone weights (skin) or digit number (number node)
    ChannelMorphPosition = 22,
    ChannelMorphNormal = 23,
    ChannelDamageTangent = 24,
    ChannelDamageBinormal = 25,
};

class VertexFormat {
public:
    static constexpr int kChannelCount = 26;
    static constexpr int kTexCoordChannelCount = 16;

    VertexFormat() { counts_.fill(0); }

    uint8_t count(int channel) const { return counts_.at(channel); }
    void setCount(int channel, uint8_t components) { counts_.at(channel) = components; }
    bool has(int channel) const { return count(channel) != 0; }

    // Position of the channel's first component inside a vertex, in f32.
    uint32_t offset(int channel) const
    {
        uint32_t sum = 0;
        for (int c = 0; c < channel; ++c)
            sum += counts_[c];
        return sum;
    }

    // Vertex size in f32 (multiply by 4 for bytes).
    uint32_t stride() const { return offset(kChannelCount); }

    const std::array<uint8_t, kChannelCount>& counts() const { return counts_; }

    friend bool operator==(const VertexFormat&, const VertexFormat&) = default;

private:
    std::array<uint8_t, kChannelCount> counts_;
};

} // namespace model
