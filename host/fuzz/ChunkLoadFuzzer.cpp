// Feeds arbitrary bytes to the chunk loader and to a controller's Load: every
// outcome must be a result code, never a crash or an out-of-bounds read.
#include <cstddef>
#include <cstdint>

#include "mem/ChunkStreams.h"
#include "mem/Controllers.h"

namespace {

void Walk(ILoad& l, int depth) {
    if (depth > 64) return;
    while (l.OpenChunk() == IO_OK) {
        std::uint8_t buf[8];
        ULONG n;
        switch (l.CurChunkID() & 3) {
        case 0: l.Read(buf, sizeof buf, &n); break;
        case 1: {
            MSTR s;
            l.ReadWStringChunk(s);
            break;
        }
        case 2: {
            char* s;
            l.ReadCStringChunk(s);
            break;
        }
        default: Walk(l, depth + 1); break;
        }
        l.CloseChunk();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::span<const std::uint8_t> bytes(data, size);
    MemLoad walker(bytes);
    Walk(walker, 0);

    Control* c = NewLinearScaleControl();
    MemLoad load(bytes);
    c->Load(&load);
    c->DeleteMe();
    return 0;
}
