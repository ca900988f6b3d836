// Chunked save and load over byte buffers.
#include "mem/ChunkStreams.h"

#include <cstring>

namespace {

constexpr std::size_t kHeaderSize = 6;
constexpr std::uint32_t kContainerBit = 0x80000000u;

void PutU16(std::vector<std::uint8_t>& out, std::size_t at, std::uint16_t v) {
    out[at] = std::uint8_t(v);
    out[at + 1] = std::uint8_t(v >> 8);
}

void PutU32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out[at + std::size_t(i)] = std::uint8_t(v >> (8 * i));
}

} // namespace

void MemSave::BeginChunk(USHORT id) {
    if (!open_.empty()) {
        if (open_.back().hasData) failed_ = true;
        open_.back().hasChunks = true;
    }
    open_.push_back(Open{bytes_.size()});
    bytes_.resize(bytes_.size() + kHeaderSize);
    PutU16(bytes_, open_.back().start, id);
}

void MemSave::EndChunk() {
    if (open_.empty()) {
        failed_ = true;
        return;
    }
    Open chunk = open_.back();
    open_.pop_back();
    std::size_t length = bytes_.size() - chunk.start;
    if (length >= kContainerBit) {
        failed_ = true;
        length = kContainerBit - 1;
    }
    PutU32(bytes_, chunk.start + 2, std::uint32_t(length) | (chunk.hasChunks ? kContainerBit : 0));
}

IOResult MemSave::Write(const void* buf, ULONG nbytes, ULONG* nwrit) {
    if (nwrit) *nwrit = 0;
    if (open_.empty() || open_.back().hasChunks) {
        failed_ = true;
        return IO_ERROR;
    }
    open_.back().hasData = true;
    const auto* p = static_cast<const std::uint8_t*>(buf);
    bytes_.insert(bytes_.end(), p, p + nbytes);
    if (nwrit) *nwrit = nbytes;
    return IO_OK;
}

IOResult MemSave::WriteWString(const MCHAR* str) {
    std::u16string units = ToUTF16(str ? str : _M(""));
    units.push_back(u'\0');
    std::vector<std::uint8_t> raw(units.size() * 2);
    for (std::size_t i = 0; i < units.size(); ++i) {
        raw[2 * i] = std::uint8_t(units[i]);
        raw[2 * i + 1] = std::uint8_t(units[i] >> 8);
    }
    ULONG n;
    return Write(raw.data(), ULONG(raw.size()), &n);
}

IOResult MemSave::WriteCString(const char* str) {
    const char* s = str ? str : "";
    ULONG n;
    return Write(s, ULONG(std::strlen(s) + 1), &n);
}

IOResult MemLoad::OpenChunk() {
    std::size_t levelEnd = bytes_.size();
    if (!open_.empty()) {
        if (!open_.back().container) return IO_END; // a data chunk has no sub-chunks
        levelEnd = open_.back().end;
    }
    if (pos_ >= levelEnd) return IO_END;
    if (levelEnd - pos_ < kHeaderSize) return IO_ERROR;
    const std::uint8_t* h = bytes_.data() + pos_;
    USHORT id = USHORT(h[0] | (h[1] << 8));
    std::uint32_t raw = std::uint32_t(h[2]) | (std::uint32_t(h[3]) << 8) | (std::uint32_t(h[4]) << 16) |
                        (std::uint32_t(h[5]) << 24);
    std::size_t length = raw & ~kContainerBit;
    if (length < kHeaderSize || length > levelEnd - pos_) return IO_ERROR;
    open_.push_back(Open{id, pos_ + kHeaderSize, pos_ + length, (raw & kContainerBit) != 0});
    pos_ += kHeaderSize;
    return IO_OK;
}

IOResult MemLoad::CloseChunk() {
    if (open_.empty()) return IO_ERROR;
    pos_ = open_.back().end;
    open_.pop_back();
    return IO_OK;
}

USHORT MemLoad::CurChunkID() { return open_.empty() ? 0 : open_.back().id; }

ULONG MemLoad::CurChunkLength() { return open_.empty() ? 0 : ULONG(open_.back().end - open_.back().body); }

IOResult MemLoad::Read(void* buf, ULONG nbytes, ULONG* nread) {
    if (nread) *nread = 0;
    if (open_.empty() || open_.back().container) return IO_ERROR;
    std::size_t available = open_.back().end - pos_;
    if (nbytes > available) {
        if (nread) *nread = ULONG(available);
        return IO_ERROR;
    }
    if (nbytes) std::memcpy(buf, bytes_.data() + pos_, nbytes);
    pos_ += nbytes;
    if (nread) *nread = nbytes;
    return IO_OK;
}

IOResult MemLoad::ReadWStringChunk(MSTR& str) {
    str.clear();
    if (open_.empty() || open_.back().container) return IO_ERROR;
    std::size_t n = open_.back().end - pos_;
    if (n % 2 != 0) return IO_ERROR;
    std::u16string units;
    units.reserve(n / 2);
    for (std::size_t i = 0; i < n / 2; ++i) {
        char16_t u = char16_t(bytes_[pos_ + 2 * i] | (bytes_[pos_ + 2 * i + 1] << 8));
        if (u == 0) break;
        units.push_back(u);
    }
    pos_ = open_.back().end;
    str = FromUTF16(units);
    return IO_OK;
}

IOResult MemLoad::ReadWStringChunk(MCHAR*& str) {
    IOResult r = ReadWStringChunk(wstring_);
    str = wstring_.data();
    return r;
}

IOResult MemLoad::ReadCStringChunk(char*& str) {
    cstring_.clear();
    str = cstring_.data();
    if (open_.empty() || open_.back().container) return IO_ERROR;
    for (std::size_t i = pos_; i < open_.back().end && bytes_[i] != 0; ++i) cstring_.push_back(char(bytes_[i]));
    pos_ = open_.back().end;
    str = cstring_.data();
    return IO_OK;
}
