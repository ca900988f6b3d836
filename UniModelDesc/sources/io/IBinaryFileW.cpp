#include "io/IBinaryFileW.h"

#include <bit>
#include <cstring>

namespace io {

namespace {

template <class U>
void encode(uint8_t* out, U v) noexcept
{
    for (size_t i = 0; i < sizeof(U); ++i)
        out[i] = static_cast<uint8_t>(v >> (8 * i));
}

// Unsigned integer with the same bits as T.
template <class T>
using BitsOf = std::conditional_t<sizeof(T) == 2, uint16_t, std::conditional_t<sizeof(T) == 4, uint32_t, uint64_t>>;

} // namespace

void IBinaryFileW::writeString(const zy::string& text)
{
    writeLString(text);
}

void IBinaryFileW::writeLString(const zy::string& text)
{
    writeU32(static_cast<uint32_t>(text.size()));
    write(text.data(), text.size());
}

void IBinaryFileW::writeU16(uint16_t v)
{
    uint8_t b[2];
    encode(b, v);
    write(b, sizeof b);
}

void IBinaryFileW::writeU32(uint32_t v)
{
    uint8_t b[4];
    encode(b, v);
    write(b, sizeof b);
}

void IBinaryFileW::writeU64(uint64_t v)
{
    uint8_t b[8];
    encode(b, v);
    write(b, sizeof b);
}

void IBinaryFileW::writeF32(float v)
{
    writeU32(std::bit_cast<uint32_t>(v));
}

void IBinaryFileW::writeF64(double v)
{
    writeU64(std::bit_cast<uint64_t>(v));
}

void IBinaryFileW::writeQuatd(const osg::Quatd& q)
{
    const double v[4] = {q.x, q.y, q.z, q.w};
    writeF64Array(v, 4);
}

template <class T>
void IBinaryFileW::writeLittleEndianArray(const T* values, size_t count)
{
    if constexpr (std::endian::native == std::endian::little) {
        // The in-memory bytes already are the encoding.
        write(values, count * sizeof(T));
    } else {
        // Encode through a small stack buffer to keep the number of writes low.
        constexpr size_t kBatch = 512;
        uint8_t buffer[kBatch * sizeof(T)];
        while (count) {
            const size_t n = count < kBatch ? count : kBatch;
            for (size_t i = 0; i < n; ++i)
                encode(buffer + i * sizeof(T), std::bit_cast<BitsOf<T>>(values[i]));
            write(buffer, n * sizeof(T));
            values += n;
            count -= n;
        }
    }
}

void IBinaryFileW::writeF32Array(const float* values, size_t count)
{
    writeLittleEndianArray(values, count);
}

void IBinaryFileW::writeF64Array(const double* values, size_t count)
{
    writeLittleEndianArray(values, count);
}

void IBinaryFileW::writeU16Array(const uint16_t* values, size_t count)
{
    writeLittleEndianArray(values, count);
}

void IBinaryFileW::writeU32Array(const uint32_t* values, size_t count)
{
    writeLittleEndianArray(values, count);
}

} // namespace io
