#pragma once
// A material: how the engine draws the geometry of rendering nodes. Shader
// name, blending, shadows, 17 texture slots with their coordinate sets,
// uniforms, animated uniforms and the vertex layout the geometry must have.
#include <array>
#include <cstdint>

#include "BaseMaterial.h"
#include "IAnimation.h"
#include "PropertyList.h"
#include "TextureSlot.h"
#include "VertexFormat.h"

namespace model {

// Texture slots, by the names the exporter assigns them.
enum TextureSlotId : int {
    TextureDiffuse = 0,
    TextureNormalMap = 1,
    TextureSpecular = 2,
    TextureDecal = 3,
    TextureDirt = 4,
    TextureDamage = 5,
    TexturePuddlesMap = 6,
    TextureSnowMap = 7,
    TextureSelfIllumination = 8,
    TextureAmbientOcclusion = 9,
    TextureDamageNormalMap = 10,
    TextureSpecularColor = 11,
    TextureReflection = 12,
    TextureMetRoughMap = 13,
    TextureGlassColorMap = 14,
    TextureDamageMask = 15,
    TextureFLIRMap = 16,
};

class PropertiesSet : public BaseMaterial, public IAnimation {
public:
    static constexpr int kTextureSlotCount = 17;
    // Coordinate slots: texture slots 0 to 11, then slot 13 (MetRoughMap).
    static constexpr int kCoordinateSlotCount = 13;

    PropertiesSet() { texCoordChannels_.fill(-1); }
    // Copies every field; uniform lists share their properties.
    PropertiesSet(const PropertiesSet&) = default;

    // "Diffuse", "NormalMap", … for slots 0 to 16; null outside.
    static const char* textureSlotName(int slot) noexcept;
    // The texture slot read through coordinate slot k (0 to 11, then 13).
    static int textureSlotOfCoordinateSlot(int k) noexcept { return k < 12 ? k : TextureMetRoughMap; }

    const zy::string& name() const { return name_; }
    void setName(zy::string name) { name_ = std::move(name); }
    const zy::string& materialName() const { return materialName_; }
    void setMaterialName(zy::string name) { materialName_ = std::move(name); }

    int32_t blending() const { return blending_; }
    void setBlending(int32_t blending) { blending_ = blending; }
    bool depthBias() const { return depthBias_; }
    void setDepthBias(bool on) { depthBias_ = on; }
    // Bit 0 of the shadow byte ("casts shadows") and bit 2.
    bool shadowFlag1() const { return shadowFlag1_; }
    void setShadowFlag1(bool on) { shadowFlag1_ = on; }
    bool shadowFlag2() const { return shadowFlag2_; }
    void setShadowFlag2(bool on) { shadowFlag2_ = on; }
    // 0 makes the exporter add back faces; not written and not compared.
    int32_t singleSided() const { return singleSided_; }
    void setSingleSided(int32_t value) { singleSided_ = value; }

    uint8_t decal() const { return decal_; }
    void setDecal(uint8_t decal) { decal_ = decal; }
    bool billboard() const { return billboard_; }
    void setBillboard(bool on) { billboard_ = on; }
    uint8_t billboardMode() const { return billboardMode_; }
    void setBillboardMode(uint8_t mode) { billboardMode_ = mode; }
    uint8_t billboardValue() const { return billboardValue_; }
    void setBillboardValue(uint8_t value) { billboardValue_ = value; }

    PropertyList& uniforms() { return uniforms_; }
    const PropertyList& uniforms() const { return uniforms_; }
    AnimatedPropertyList& animatedUniforms() { return animatedUniforms_; }
    const AnimatedPropertyList& animatedUniforms() const { return animatedUniforms_; }

    const TextureSlot& texture(int slot) const { return textures_.at(slot); }
    TextureSlot& texture(int slot) { return textures_.at(slot); }
    void setTexture(int slot, const TextureSlot& texture) { textures_.at(slot) = texture; }

    const VertexFormat& vertexFormat() const { return vertexFormat_; }
    VertexFormat& vertexFormat() { return vertexFormat_; }
    void setVertexFormat(const VertexFormat& format) { vertexFormat_ = format; }

    // For coordinate slot k, the vertex texture-coordinate channel it reads (-1: none).
    int32_t texCoordChannel(int k) const { return texCoordChannels_.at(k); }
    void setTexCoordChannel(int k, int32_t channel) { texCoordChannels_.at(k) = channel; }
    const std::array<int32_t, kCoordinateSlotCount>& texCoordChannels() const { return texCoordChannels_; }

    // Equal fields; unused texture slots and the single-sided value are ignored;
    // uniforms compared as sets (Property equality).
    bool equals(const PropertiesSet& other) const;

    // Arguments of the animated uniforms (those that have one).
    void collectArguments(ArgumentSet& arguments) const override;

    // The material record. A material that has both a Specular and a
    // MetRoughMap texture loses its Specular texture here (the two are never
    // written together); the slot stays empty afterwards.
    void write(io::IBinaryFileW& out) override;

private:
    zy::string name_;
    int32_t blending_ = 0;
    PropertyList uniforms_;
    AnimatedPropertyList animatedUniforms_;
    bool depthBias_ = false;
    bool shadowFlag1_ = true;
    bool shadowFlag2_ = false;
    int32_t singleSided_ = 1;
    std::array<TextureSlot, kTextureSlotCount> textures_;
    VertexFormat vertexFormat_;
    std::array<int32_t, kCoordinateSlotCount> texCoordChannels_;
    zy::string materialName_;
    uint8_t decal_ = 0;
    bool billboard_ = false;
    uint8_t billboardMode_ = 0;
    uint8_t billboardValue_ = 6;
};

} // namespace model
