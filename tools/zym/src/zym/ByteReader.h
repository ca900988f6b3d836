#pragma once
// Bounded little-endian reader over the bytes of one file. Every read checks
// the bytes left first, and every count is checked against the bytes left
// before anything is allocated for it, so a damaged file can neither make it
// read out of bounds nor allocate more than its own size allows.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "zy/ExtException.h"

namespace zym {

class ByteReader {
public:
    explicit ByteReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    std::size_t tell() const { return pos_; }
    std::size_t size() const { return bytes_.size(); }
    std::size_t left() const { return bytes_.size() - pos_; }
    bool atEnd() const { return pos_ == bytes_.size(); }
    // Moves back to an offset already read.
    void seek(std::size_t offset) { pos_ = offset < pos_ ? offset : pos_; }

    // The offset of the last failure, for callers that report positions.
    std::size_t failureOffset() const { return failureOffset_; }
    // The last failure without its offset.
    const std::string& failureMessage() const { return failureMessage_; }

    std::uint8_t u8();
    std::uint16_t u16();
    std::uint32_t u32();
    std::int32_t i32() { return static_cast<std::int32_t>(u32()); }
    std::uint64_t u64();
    float f32();
    double f64();
    std::string_view bytes(std::size_t n);

    // A u32 element count, checked against the bytes left: each element needs
    // at least minElementSize bytes.
    std::uint32_t count(std::size_t minElementSize, const char* what);

    // Raises the error for a problem at the given offset.
    [[noreturn]] void fail(std::size_t offset, const std::string& message);

private:
    void need(std::size_t n);

    std::span<const std::uint8_t> bytes_;
    std::size_t pos_ = 0;
    std::size_t failureOffset_ = 0;
    std::string failureMessage_;
};

} // namespace zym
