#pragma once
// The engine-material description the material tool attaches to host materials;
// all text is UTF-8.
#include <cstdint>
#include <string>

// One texture of an engine material.
struct MaterialTextureSlot {
    std::string slotName;    // the engine's name for the texture
    std::string mapSlotName; // the host material's map slot that supplies it
    std::int32_t layer = 0;  // sub-map 2 x layer of a map with sub-maps
    std::string uniforms;    // "name=value\r\n" lines
};

class IMaterialDesc {
public:
    virtual ~IMaterialDesc() = default;
    virtual const char* name() = 0;
    virtual const char* shaderName() = 0;
    virtual bool depthBias() = 0;
    virtual void setDepthBias(bool on) = 0;
    virtual std::uint8_t decal() = 0;
    // Stores the low 8 bits.
    virtual void setDecal(int value) = 0;
    virtual const char* defaultUniforms() = 0;
    virtual void setUserUniforms(const char* text) = 0;
    virtual const char* userUniforms() = 0;
    virtual const char* defaultUserDefines() = 0;
    virtual int textureCount() = 0;
    // Copies texture index into out; an index out of range throws std::out_of_range.
    virtual void texture(int index, MaterialTextureSlot& out) = 0;
    virtual bool hasNormals() = 0;
    virtual void setOpacity(std::int32_t opacity) = 0;
    virtual std::int32_t opacity() = 0;
    virtual void setShadowCaster(bool on) = 0;
    virtual bool shadowCaster() = 0;
    virtual void setOnlyShadowCaster(bool on) = 0;
    virtual bool onlyShadowCaster() = 0;
};
