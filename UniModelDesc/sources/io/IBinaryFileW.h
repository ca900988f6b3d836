#pragma once
// The byte sink the ZYM writers write through. Every multi-byte value is
// encoded little-endian byte by byte, so the output does not depend on the
// host; there is no alignment or padding.
#include <cstddef>
#include <cstdint>

#include "Math.h"
#include "zy/String.h"

namespace io {

class IBinaryFileW {
public:
    virtual ~IBinaryFileW() = default;

    virtual bool isOpen() const = 0;
    // Puts n raw bytes at the cursor; the cursor advances by n.
    virtual void write(const void* data, size_t n) = 0;
    // Sets the cursor (absolute byte offset).
    virtual void seek(size_t position) = 0;
    virtual size_t tell() const = 0;
    // A text naming the sink.
    virtual const char* name() const = 0;
    // A string of the file body; by default lstr (u32 byte count, then the bytes).
    virtual void writeString(const zy::string& text);

    void writeU8(uint8_t v) { write(&v, 1); }
    void writeBool(bool v) { writeU8(v ? 1 : 0); }
    void writeU16(uint16_t v);
    void writeU32(uint32_t v);
    // Signed values as their two's-complement bit pattern: -1 is FF FF FF FF.
    void writeI32(int32_t v) { writeU32(static_cast<uint32_t>(v)); }
    void writeU64(uint64_t v);
    void writeF32(float v);
    void writeF64(double v);

    void writeVec2f(const osg::Vec2f& v) { writeF32Array(v.data(), 2); }
    void writeVec3f(const osg::Vec3f& v) { writeF32Array(v.data(), 3); }
    void writeVec4f(const osg::Vec4f& v) { writeF32Array(v.data(), 4); }
    void writeVec3d(const osg::Vec3d& v) { writeF64Array(v.data(), 3); }
    void writeQuatd(const osg::Quatd& q);
    void writeMat4d(const osg::Mat4d& m) { writeF64Array(m.data(), 16); }

    // lstr, whatever writeString does in this sink (node names are never pooled).
    void writeLString(const zy::string& text);

    // Consecutive values, each encoded as above (vertex and index blocks).
    void writeF32Array(const float* values, size_t count);
    void writeF64Array(const double* values, size_t count);
    void writeU16Array(const uint16_t* values, size_t count);
    void writeU32Array(const uint32_t* values, size_t count);

private:
    template <class T>
    void writeLittleEndianArray(const T* values, size_t count);
};

} // namespace io
