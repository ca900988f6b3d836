#include "io/MemBinaryFileW.h"

#include <algorithm>
#include <cstring>

#include "zy/ExtException.h"

namespace io {

namespace {
constexpr size_t kFirstChunkSize = 4096;
}

MemBinaryFileW::MemBinaryFileW()
{
    chunks_.push_back(makeChunk(kFirstChunkSize));
    starts_.push_back(0);
}

MemBinaryFileW::Chunk MemBinaryFileW::makeChunk(size_t capacity)
{
    Chunk c;
    c.capacity = capacity;
    c.data = std::make_unique_for_overwrite<uint8_t[]>(capacity);
    return c;
}

void MemBinaryFileW::write(const void* data, size_t n)
{
    if (n == 0)
        return;
    const auto* bytes = static_cast<const uint8_t*>(data);
    if (cursor_ == size_)
        append(bytes, n);
    else
        insert(bytes, n);
    cursor_ += n;
    size_ += n;
}

void MemBinaryFileW::append(const uint8_t* data, size_t n)
{
    Chunk& last = chunks_.back();
    const size_t fits = std::min(n, last.capacity - last.size);
    std::memcpy(last.data.get() + last.size, data, fits);
    last.size += fits;
    if (fits == n)
        return;
    const size_t rest = n - fits;
    Chunk next = makeChunk(std::max(rest, kChunkSize));
    std::memcpy(next.data.get(), data + fits, rest);
    next.size = rest;
    starts_.push_back(size_ + fits);
    chunks_.push_back(std::move(next));
}

void MemBinaryFileW::insert(const uint8_t* data, size_t n)
{
    const size_t c = chunkAt(cursor_);
    const size_t offset = cursor_ - starts_[c];

    if (offset == 0 && c > 0 && chunks_[c - 1].capacity - chunks_[c - 1].size >= n) {
        // At a chunk boundary: the end of the previous chunk is the same place.
        Chunk& prev = chunks_[c - 1];
        std::memcpy(prev.data.get() + prev.size, data, n);
        prev.size += n;
    } else if (chunks_[c].capacity - chunks_[c].size >= n) {
        Chunk& chunk = chunks_[c];
        std::memmove(chunk.data.get() + offset + n, chunk.data.get() + offset, chunk.size - offset);
        std::memcpy(chunk.data.get() + offset, data, n);
        chunk.size += n;
    } else {
        // Give the inserted bytes a chunk of their own; the bytes behind them
        // in this chunk move to another one.
        Chunk inserted = makeChunk(n);
        std::memcpy(inserted.data.get(), data, n);
        inserted.size = n;
        auto at = chunks_.begin() + static_cast<std::ptrdiff_t>(c);
        if (offset == 0) {
            chunks_.insert(at, std::move(inserted));
        } else {
            Chunk& chunk = chunks_[c];
            const size_t tailSize = chunk.size - offset;
            Chunk tail = makeChunk(std::max(tailSize, kFirstChunkSize));
            std::memcpy(tail.data.get(), chunk.data.get() + offset, tailSize);
            tail.size = tailSize;
            chunk.size = offset;
            at = chunks_.insert(at + 1, std::move(inserted));
            chunks_.insert(at + 1, std::move(tail));
        }
    }

    // Recompute the start offsets from the first chunk that changed.
    const size_t from = c > 0 ? c - 1 : 0;
    starts_.resize(chunks_.size());
    size_t start = starts_[from];
    for (size_t i = from; i < chunks_.size(); ++i) {
        starts_[i] = start;
        start += chunks_[i].size;
    }
}

size_t MemBinaryFileW::chunkAt(size_t position) const
{
    if (position >= size_)
        return chunks_.size() - 1;
    const auto it = std::upper_bound(starts_.begin(), starts_.end(), position);
    return static_cast<size_t>(it - starts_.begin()) - 1;
}

void MemBinaryFileW::seek(size_t position)
{
    if (position > size_)
        ZY_THROWF("Seek to %zu beyond the end of the buffer (%zu bytes).", position, size_);
    cursor_ = position;
}

void MemBinaryFileW::writeString(const zy::string& text)
{
    writeU32(pool_.addIndex(text));
}

std::vector<uint8_t> MemBinaryFileW::buffer() const
{
    std::vector<uint8_t> out;
    out.reserve(size_);
    forEachPiece([&](const uint8_t* data, size_t n) {
        out.insert(out.end(), data, data + n);
        return true;
    });
    return out;
}

} // namespace io
