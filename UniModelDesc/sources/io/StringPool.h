#pragma once
// The file's string pool: every distinct string once, NUL-terminated, in the
// order first added; a string's position in that order is its index (sidx).
#include <cstdint>
#include <memory>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "zy/String.h"

namespace io {

class StringPool {
public:
    explicit StringPool(size_t blockSize = 4096);
    StringPool(const StringPool&) = delete;
    StringPool& operator=(const StringPool&) = delete;

    // The stored copy of text (up to its first NUL), added when no equal
    // string is stored yet.
    const char* add(std::string_view text);
    // Adds text when needed and answers its index.
    uint32_t addIndex(std::string_view text);
    // Index of the string equal to text (up to its first NUL), -1 if absent.
    int32_t indexOf(std::string_view text) const;

    size_t count() const noexcept { return strings_.size(); }
    const char* at(size_t index) const noexcept { return strings_[index]; }
    // Byte length of the serialized pool (every string with its NUL).
    size_t byteSize() const noexcept { return byteSize_; }
    // The used part of every block, in block order: sidx k is the k-th string.
    std::vector<uint8_t> serialize() const;

private:
    struct Block {
        std::unique_ptr<char[]> data;
        size_t capacity = 0;
        size_t used = 0;
        size_t count = 0;
    };

    const size_t blockSize_;
    std::vector<Block> blocks_;
    std::vector<const char*> strings_;
    // Keys view the stored copies, which never move.
    std::unordered_map<std::string_view, uint32_t> index_;
    size_t byteSize_ = 0;
};

} // namespace io
