#pragma once
// Builds expected ZYM bytes by hand: little-endian primitives, strings as
// indices into a pool kept in first-use order, and whole files around a body.
#include <bit>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace testing_bytes {

class ByteBuilder {
public:
    ByteBuilder& u8(uint8_t v)
    {
        bytes_.push_back(v);
        return *this;
    }
    ByteBuilder& u16(uint16_t v) { return le(v, 2); }
    ByteBuilder& u32(uint32_t v) { return le(v, 4); }
    ByteBuilder& i32(int32_t v) { return le(static_cast<uint32_t>(v), 4); }
    ByteBuilder& u64(uint64_t v) { return le(v, 8); }
    ByteBuilder& f32(float v) { return le(std::bit_cast<uint32_t>(v), 4); }
    ByteBuilder& f64(double v) { return le(std::bit_cast<uint64_t>(v), 8); }
    ByteBuilder& f32s(std::initializer_list<float> vs)
    {
        for (float v : vs)
            f32(v);
        return *this;
    }
    ByteBuilder& f64s(std::initializer_list<double> vs)
    {
        for (double v : vs)
            f64(v);
        return *this;
    }
    ByteBuilder& identity4x4()
    {
        for (int i = 0; i < 16; ++i)
            f64(i % 5 == 0 ? 1.0 : 0.0);
        return *this;
    }
    // Raw bytes, no length, no terminator.
    ByteBuilder& raw(std::string_view s)
    {
        bytes_.insert(bytes_.end(), s.begin(), s.end());
        return *this;
    }
    ByteBuilder& raw(const std::vector<uint8_t>& b)
    {
        bytes_.insert(bytes_.end(), b.begin(), b.end());
        return *this;
    }
    // u32 byte count, then the bytes.
    ByteBuilder& lstr(std::string_view s)
    {
        u32(static_cast<uint32_t>(s.size()));
        return raw(s);
    }
    // The pool index of s; s joins the pool when first used.
    ByteBuilder& sidx(std::string_view s)
    {
        for (size_t i = 0; i < pool_.size(); ++i)
            if (pool_[i] == s)
                return u32(static_cast<uint32_t>(i));
        pool_.emplace_back(s);
        return u32(static_cast<uint32_t>(pool_.size() - 1));
    }

    const std::vector<uint8_t>& bytes() const { return bytes_; }
    const std::vector<std::string>& pool() const { return pool_; }

    // The pool bytes: every string with its NUL, in index order.
    std::vector<uint8_t> poolBytes() const
    {
        std::vector<uint8_t> out;
        for (const std::string& s : pool_) {
            out.insert(out.end(), s.begin(), s.end());
            out.push_back(0);
        }
        return out;
    }

    // A whole file: "ZYM", u16 version, u32 pool length, the pool, then this
    // builder's bytes as the body (which starts with the u64 0).
    std::vector<uint8_t> file(uint16_t version) const
    {
        const std::vector<uint8_t> pool = poolBytes();
        ByteBuilder f;
        f.raw("ZYM").u16(version).u32(static_cast<uint32_t>(pool.size())).raw(pool).raw(bytes_);
        return f.bytes_;
    }

private:
    ByteBuilder& le(uint64_t v, int n)
    {
        for (int i = 0; i < n; ++i)
            bytes_.push_back(static_cast<uint8_t>(v >> (8 * i)));
        return *this;
    }

    std::vector<uint8_t> bytes_;
    std::vector<std::string> pool_;
};

} // namespace testing_bytes
