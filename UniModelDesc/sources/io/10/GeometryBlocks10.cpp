// Vertex, index, vertex-format and texture blocks of format version 10.
#include "io/10/GeometryBlocks10.h"

#include <algorithm>

#include "TextureSlot.h"
#include "VertexFormat.h"
#include "Vertices.h"
#include "io/IBinaryFileW.h"

namespace model {

void writeVertexFormat(io::IBinaryFileW& out, const VertexFormat& format)
{
    out.writeU32(VertexFormat::kChannelCount);
    out.write(format.counts().data(), format.counts().size());
}

void Vertices::write(io::IBinaryFileW& out, uint32_t stride) const
{
    out.writeU32(count_);
    out.writeU32(count_ == 0 ? 0 : stride);
    out.writeF32Array(data_.data(), size_t(count_) * stride);
}

void Indices::write(io::IBinaryFileW& out) const
{
    const uint32_t largest = values_.empty() ? 0 : *std::max_element(values_.begin(), values_.end());
    const uint8_t width = largest < 256 ? 0 : largest < 65536 ? 1 : 2;
    out.writeU8(width);
    out.writeU32(size());
    out.writeI32(type_);
    switch (width) {
    case 0: {
        const std::vector<uint8_t> narrow(values_.begin(), values_.end());
        out.write(narrow.data(), narrow.size());
        break;
    }
    case 1: {
        const std::vector<uint16_t> narrow(values_.begin(), values_.end());
        out.writeU16Array(narrow.data(), narrow.size());
        break;
    }
    default:
        out.writeU32Array(values_.data(), values_.size());
    }
}

void TextureSlot::write(io::IBinaryFileW& out) const
{
    out.writeI32(codeA_);
    out.writeString(name_);
    out.writeI32(addressU_);
    out.writeI32(addressV_);
    out.writeI32(codeB_);
    out.writeI32(codeC_);
    out.writeF32Array(matrix_.data(), matrix_.size());
}

} // namespace model
