#pragma once
// The memory sink the ZYM file is built in. Writing inserts at the cursor:
// bytes behind the cursor move back. Strings become indices into the sink's
// string pool.
//
// The image is kept as a list of chunks rather than one vector, so that
// appending never copies what is already written and an insertion near the
// start (the string pool, placed last) moves only one chunk.
#include <memory>
#include <vector>

#include "io/IBinaryFileW.h"
#include "io/StringPool.h"

namespace io {

class MemBinaryFileW : public IBinaryFileW {
public:
    MemBinaryFileW();

    bool isOpen() const override { return true; }
    void write(const void* data, size_t n) override;
    void seek(size_t position) override;
    size_t tell() const override { return cursor_; }
    const char* name() const override { return "buffer"; }
    // sidx: the string's index in the pool (added when new).
    void writeString(const zy::string& text) override;

    StringPool& pool() noexcept { return pool_; }
    const StringPool& pool() const noexcept { return pool_; }

    size_t size() const noexcept { return size_; }
    // The finished image as one byte vector.
    std::vector<uint8_t> buffer() const;
    // Hands the image over piece by piece, in order; stops at the first
    // piece the sink refuses (returns false) and answers false then.
    template <class Sink>
    bool forEachPiece(Sink&& sink) const
    {
        for (const Chunk& c : chunks_)
            if (c.size && !sink(c.data.get(), c.size))
                return false;
        return true;
    }

    static constexpr size_t kChunkSize = 64 * 1024;

private:
    struct Chunk {
        std::unique_ptr<uint8_t[]> data;
        size_t size = 0;
        size_t capacity = 0;
    };

    void append(const uint8_t* data, size_t n);
    void insert(const uint8_t* data, size_t n);
    // Chunk holding the cursor: the one with start <= cursor < start + size,
    // or the last chunk when the cursor is at the end.
    size_t chunkAt(size_t position) const;
    static Chunk makeChunk(size_t capacity);

    std::vector<Chunk> chunks_;
    std::vector<size_t> starts_; // byte offset of each chunk
    size_t size_ = 0;
    size_t cursor_ = 0;
    StringPool pool_;
};

} // namespace io
