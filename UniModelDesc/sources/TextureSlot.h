#pragma once
// One texture of a material (or of a light): texture name, texture matrix,
// addressing along u and v and the engine's three texture codes.
#include <array>
#include <cstdint>

#include "zy/String.h"

namespace io {
class IBinaryFileW;
}

namespace model {

class TextureSlot {
public:
    static constexpr int32_t kDefaultAddressing = 2;
    static constexpr int32_t kMirroredAddressing = 4;

    TextureSlot();

    // A slot is in use when it names a texture.
    bool inUse() const { return !name_.empty(); }

    const zy::string& name() const { return name_; }
    void setName(zy::string name) { name_ = std::move(name); }

    // 4×4 row-vector matrix, elements in row order (translation in 12 to 14).
    const std::array<float, 16>& matrix() const { return matrix_; }
    void setMatrix(const std::array<float, 16>& m) { matrix_ = m; }

    int32_t addressU() const { return addressU_; }
    int32_t addressV() const { return addressV_; }
    void setAddressing(int32_t u, int32_t v)
    {
        addressU_ = u;
        addressV_ = v;
    }

    int32_t codeA() const { return codeA_; }
    int32_t codeB() const { return codeB_; }
    int32_t codeC() const { return codeC_; }
    void setCodes(int32_t a, int32_t b, int32_t c)
    {
        codeA_ = a;
        codeB_ = b;
        codeC_ = c;
    }

    // Same name, addressing and codes, matrix elements within 1e-5.
    bool equals(const TextureSlot& other) const;

    // Texture record: u32 code A, sidx name, u32 u, u32 v, u32 code B, u32 code C, 16 f32.
    void write(io::IBinaryFileW& out) const;

private:
    zy::string name_;
    std::array<float, 16> matrix_;
    int32_t addressU_ = kDefaultAddressing;
    int32_t addressV_ = kDefaultAddressing;
    int32_t codeB_ = 10;
    int32_t codeC_ = 6;
    int32_t codeA_ = -1;
};

} // namespace model
