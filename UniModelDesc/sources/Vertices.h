#pragma once
// Vertex and index containers of the geometry nodes. The vertex stride is not
// stored here: it comes from the vertex format of the owner.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace io {
class IBinaryFileW;
}

namespace model {

class Vertices {
public:
    Vertices() = default;
    Vertices(uint32_t count, std::vector<float> data) : count_(count), data_(std::move(data)) {}

    uint32_t count() const { return count_; }
    const std::vector<float>& data() const { return data_; }
    std::vector<float>& data() { return data_; }
    bool empty() const { return count_ == 0; }

    // True when the array holds exactly count × stride values.
    bool fits(uint32_t stride) const { return uint64_t(count_) * stride == data_.size(); }

    float* vertex(uint32_t i, uint32_t stride) { return data_.data() + size_t(i) * stride; }
    const float* vertex(uint32_t i, uint32_t stride) const { return data_.data() + size_t(i) * stride; }

    // Replaces the contents (used by passes that rebuild the array).
    void assign(uint32_t count, std::vector<float> data)
    {
        count_ = count;
        data_ = std::move(data);
    }

    // Vertex block: u32 count, u32 components per vertex (0 when empty), the values.
    void write(io::IBinaryFileW& out, uint32_t stride) const;

private:
    uint32_t count_ = 0;
    std::vector<float> data_;
};

enum PrimitiveType : int32_t {
    PrimitivePoints = 0,
    PrimitiveLines = 1,
    PrimitiveLineStrip = 2,
    PrimitiveTriangles = 5,
    PrimitiveTriangleStrip = 6,
    PrimitiveTriangleFan = 7,
};

class Indices {
public:
    Indices() = default;
    explicit Indices(std::vector<uint32_t> values, int32_t type = PrimitiveTriangles)
        : type_(type), values_(std::move(values))
    {
    }

    int32_t primitiveType() const { return type_; }
    void setPrimitiveType(int32_t type) { type_ = type; }

    const std::vector<uint32_t>& values() const { return values_; }
    std::vector<uint32_t>& values() { return values_; }
    uint32_t size() const { return uint32_t(values_.size()); }
    bool empty() const { return values_.empty(); }

    // Number of primitives the indices describe for the primitive type.
    uint32_t primitiveCount() const;

    // Index block: u8 width code, u32 count, u32 primitive type, the indices at that width.
    void write(io::IBinaryFileW& out) const;

private:
    int32_t type_ = PrimitiveTriangles;
    std::vector<uint32_t> values_;
};

} // namespace model
