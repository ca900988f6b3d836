#pragma once
// ISave and ILoad over byte buffers.
//
// Chunk layout (little-endian): 16-bit id, 32-bit length, body. The length counts
// the 6 header bytes and the body; its top bit marks a chunk whose body is a
// sequence of chunks. Wide strings are UTF-16 code units ending in a zero unit.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "maxsdk/SaveLoad.h"

class ZYHOST_API MemSave : public ISave {
public:
    void BeginChunk(USHORT id) override;
    void EndChunk() override;
    IOResult Write(const void* buf, ULONG nbytes, ULONG* nwrit) override;
    IOResult WriteWString(const MCHAR* str) override;
    using ISave::WriteWString;
    IOResult WriteCString(const char* str) override;

    // False after a misuse (data outside a chunk, data and chunks mixed in one
    // chunk, unbalanced EndChunk) or while chunks are still open.
    bool Ok() const { return !failed_ && open_.empty(); }
    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }

private:
    struct Open {
        std::size_t start;
        bool hasData = false;
        bool hasChunks = false;
    };
    std::vector<std::uint8_t> bytes_;
    std::vector<Open> open_;
    bool failed_ = false;
};

class ZYHOST_API MemLoad : public ILoad {
public:
    // The bytes must outlive the loader.
    explicit MemLoad(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    IOResult OpenChunk() override;
    IOResult CloseChunk() override;
    USHORT CurChunkID() override;
    ULONG CurChunkLength() override;
    IOResult Read(void* buf, ULONG nbytes, ULONG* nread) override;
    IOResult ReadWStringChunk(MCHAR*& str) override;
    IOResult ReadWStringChunk(MSTR& str) override;
    IOResult ReadCStringChunk(char*& str) override;

private:
    struct Open {
        USHORT id;
        std::size_t body;
        std::size_t end;
        bool container;
    };
    std::span<const std::uint8_t> bytes_;
    std::size_t pos_ = 0;
    std::vector<Open> open_;
    MSTR wstring_;
    std::string cstring_;
};
