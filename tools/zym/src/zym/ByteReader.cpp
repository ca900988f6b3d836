#include "zym/ByteReader.h"

#include <bit>
#include <cstring>

namespace zym {

void ByteReader::fail(std::size_t offset, const std::string& message)
{
    failureOffset_ = offset;
    failureMessage_ = message;
    ZY_THROWF("byte %zu: %s", offset, message.c_str());
}

void ByteReader::need(std::size_t n)
{
    if (n > left())
        fail(pos_, zy::format("%zu bytes needed, %zu left in the file", n, left()));
}

std::uint8_t ByteReader::u8()
{
    need(1);
    return bytes_[pos_++];
}

std::uint16_t ByteReader::u16()
{
    need(2);
    std::uint16_t v = static_cast<std::uint16_t>(bytes_[pos_] | (bytes_[pos_ + 1] << 8));
    pos_ += 2;
    return v;
}

std::uint32_t ByteReader::u32()
{
    need(4);
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | bytes_[pos_ + i];
    pos_ += 4;
    return v;
}

std::uint64_t ByteReader::u64()
{
    need(8);
    std::uint64_t v = 0;
    for (int i = 7; i >= 0; --i)
        v = (v << 8) | bytes_[pos_ + i];
    pos_ += 8;
    return v;
}

float ByteReader::f32() { return std::bit_cast<float>(u32()); }

double ByteReader::f64() { return std::bit_cast<double>(u64()); }

std::string_view ByteReader::bytes(std::size_t n)
{
    need(n);
    std::string_view v(reinterpret_cast<const char*>(bytes_.data() + pos_), n);
    pos_ += n;
    return v;
}

std::uint32_t ByteReader::count(std::size_t minElementSize, const char* what)
{
    const std::size_t at = pos_;
    const std::uint32_t n = u32();
    if (minElementSize > 0 && n > left() / minElementSize)
        fail(at, zy::format("%s count %u needs at least %llu bytes, %zu left in the file", what, n,
                            static_cast<unsigned long long>(n) * minElementSize, left()));
    return n;
}

} // namespace zym
