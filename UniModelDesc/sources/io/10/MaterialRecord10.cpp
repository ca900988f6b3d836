// The material record of format version 10: a count of keyed entries, then
// each entry as a pooled key followed by its value.
#include "PropertiesSet.h"
#include "io/10/GeometryBlocks10.h"
#include "io/IBinaryFileW.h"

namespace model {

void PropertiesSet::write(io::IBinaryFileW& out)
{
    // The count goes in front of the entries; it only depends on the two
    // optional entries, so it is known before they are written.
    out.writeU32(10 + (billboard_ ? 1 : 0) + (decal_ != 0 ? 1 : 0));

    out.writeString("BLENDING");
    out.writeU8(uint8_t(blending_));
    out.writeString("DEPTH_BIAS");
    out.writeU32(depthBias_ ? 1 : 0);
    out.writeString("VERTEX_FORMAT");
    writeVertexFormat(out, vertexFormat_);
    out.writeString("TEXTURE_COORDINATES_CHANNELS");
    out.writeU32(kCoordinateSlotCount);
    for (int32_t channel : texCoordChannels_)
        out.writeI32(channel);
    out.writeString("MATERIAL_NAME");
    out.writeString(materialName_);
    out.writeString("NAME");
    out.writeString(name_);
    out.writeString("SHADOWS");
    out.writeU8(uint8_t((shadowFlag1_ ? 1 : 0) | (shadowFlag2_ ? 4 : 0)));

    if (textures_[TextureSpecular].inUse() && textures_[TextureMetRoughMap].inUse())
        textures_[TextureSpecular].setName({});
    out.writeString("TEXTURES");
    uint32_t used = 0;
    for (const TextureSlot& t : textures_)
        used += t.inUse() ? 1 : 0;
    out.writeU32(used);
    for (uint32_t slot = 0; slot < textures_.size(); ++slot) {
        if (!textures_[slot].inUse())
            continue;
        out.writeU32(slot);
        textures_[slot].write(out);
    }

    out.writeString("UNIFORMS");
    writePropertyList(out, uniforms_);
    out.writeString("ANIMATED_UNIFORMS");
    writePropertyList(out, animatedUniforms_);
    if (billboard_) {
        out.writeString("BILLBOARD");
        out.writeU8(billboardMode_);
        out.writeU8(billboardValue_);
    }
    if (decal_ != 0) {
        out.writeString("DECAL");
        out.writeU8(decal_);
    }
}

} // namespace model
