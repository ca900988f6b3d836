#pragma once
// The host's chunked scene streams. A chunk is a 16-bit id and a body; bodies hold
// plain bytes or further chunks. Objects write their data inside the chunk the host
// opened for them and read it back chunk by chunk.
#include <cstddef>

#include "maxsdk/BaseTypes.h"
#include "maxsdk/Strings.h"

enum IOResult { IO_OK = 0, IO_END = 1, IO_ERROR = 2 };

class ZYHOST_API ISave {
public:
    virtual ~ISave() = default;
    virtual void BeginChunk(USHORT id) = 0;
    virtual void EndChunk() = 0;
    virtual IOResult Write(const void* buf, ULONG nbytes, ULONG* nwrit) = 0;
    // Writes the text as UTF-16 code units with a terminating zero.
    virtual IOResult WriteWString(const MCHAR* str) = 0;
    IOResult WriteWString(const MSTR& str) { return WriteWString(str.c_str()); }
    // Writes 8-bit text with a terminating zero.
    virtual IOResult WriteCString(const char* str) = 0;
};

class ZYHOST_API ILoad {
public:
    virtual ~ILoad() = default;
    // Enters the next chunk of the current level: IO_OK, IO_END when the level has no
    // more chunks, IO_ERROR when the chunk header is malformed.
    virtual IOResult OpenChunk() = 0;
    // Leaves the current chunk, skipping what was not read.
    virtual IOResult CloseChunk() = 0;
    virtual USHORT CurChunkID() = 0;
    // Body length in bytes of the current chunk.
    virtual ULONG CurChunkLength() = 0;
    // Reads exactly nbytes of the current chunk's body, or fails with IO_ERROR
    // (nread tells how many bytes were available).
    virtual IOResult Read(void* buf, ULONG nbytes, ULONG* nread) = 0;
    // Reads the rest of the current chunk as a wide string written by WriteWString.
    // The pointer stays valid until the next read.
    virtual IOResult ReadWStringChunk(MCHAR*& str) = 0;
    virtual IOResult ReadWStringChunk(MSTR& str) = 0;
    virtual IOResult ReadCStringChunk(char*& str) = 0;
};
