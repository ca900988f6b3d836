#include "io/StringPool.h"

#include <cstring>

namespace io {

namespace {
std::string_view untilNul(std::string_view text) noexcept
{
    const size_t nul = text.find('\0');
    return nul == std::string_view::npos ? text : text.substr(0, nul);
}
} // namespace

StringPool::StringPool(size_t blockSize) : blockSize_(blockSize ? blockSize : 1)
{
    Block first;
    first.capacity = blockSize_;
    first.data = std::make_unique<char[]>(first.capacity);
    blocks_.push_back(std::move(first));
}

const char* StringPool::add(std::string_view text)
{
    return strings_[addIndex(text)];
}

uint32_t StringPool::addIndex(std::string_view text)
{
    text = untilNul(text);
    if (const auto it = index_.find(text); it != index_.end())
        return it->second;

    const size_t need = text.size() + 1;
    if (blocks_.back().capacity - blocks_.back().used < need) {
        // New strings only go to the last block or a fresh one, so the pool
        // bytes list the strings in index order.
        Block block;
        block.capacity = need > blockSize_ ? need : blockSize_;
        block.data = std::make_unique<char[]>(block.capacity);
        blocks_.push_back(std::move(block));
    }
    Block& block = blocks_.back();
    char* stored = block.data.get() + block.used;
    std::memcpy(stored, text.data(), text.size());
    stored[text.size()] = '\0';
    block.used += need;
    ++block.count;
    byteSize_ += need;

    const auto index = static_cast<uint32_t>(strings_.size());
    strings_.push_back(stored);
    index_.emplace(std::string_view(stored, text.size()), index);
    return index;
}

int32_t StringPool::indexOf(std::string_view text) const
{
    const auto it = index_.find(untilNul(text));
    return it == index_.end() ? -1 : static_cast<int32_t>(it->second);
}

std::vector<uint8_t> StringPool::serialize() const
{
    std::vector<uint8_t> out;
    out.reserve(byteSize_);
    for (const Block& b : blocks_)
        out.insert(out.end(), b.data.get(), b.data.get() + b.used);
    return out;
}

} // namespace io
