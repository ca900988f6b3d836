#include "PropertiesSet.h"

namespace model {

const char* PropertiesSet::textureSlotName(int slot) noexcept
{
    static const char* const names[kTextureSlotCount] = {
        "Diffuse", "NormalMap", "Specular", "Decal", "Dirt", "Damage",
        "PuddlesMap", "SnowMap", "SelfIllumination", "AmbientOcclusion",
        "DamageNormalMap", "SpecularColor", "Reflection", "MetRoughMap",
        "GlassColorMap", "DamageMask", "FLIRMap",
    };
    return slot >= 0 && slot < kTextureSlotCount ? names[slot] : nullptr;
}

bool PropertiesSet::equals(const PropertiesSet& other) const
{
    if (this == &other)
        return true;
    if (name_ != other.name_ || blending_ != other.blending_ || !(vertexFormat_ == other.vertexFormat_) ||
        texCoordChannels_ != other.texCoordChannels_ || materialName_ != other.materialName_ ||
        depthBias_ != other.depthBias_ || shadowFlag1_ != other.shadowFlag1_ ||
        shadowFlag2_ != other.shadowFlag2_ || decal_ != other.decal_ || billboard_ != other.billboard_ ||
        billboardMode_ != other.billboardMode_ || billboardValue_ != other.billboardValue_)
        return false;
    for (int slot = 0; slot < kTextureSlotCount; ++slot) {
        const TextureSlot& a = textures_[slot];
        const TextureSlot& b = other.textures_[slot];
        if ((a.inUse() || b.inUse()) && !a.equals(b))
            return false;
    }
    return equalPropertySets(uniforms_, other.uniforms_) &&
           equalPropertySets(animatedUniforms_, other.animatedUniforms_);
}

void PropertiesSet::collectArguments(ArgumentSet& arguments) const
{
    for (const auto& uniform : animatedUniforms_)
        if (uniform->argument() != -1)
            arguments.insert(uniform->argument());
}

} // namespace model
