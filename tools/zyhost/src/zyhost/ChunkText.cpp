#include "zyhost/ChunkText.h"

namespace zyhost {

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

constexpr std::uint32_t kContainerBit = 0x80000000u;
constexpr std::size_t kHeader = 6;
constexpr int kMaxDepth = 64;

std::string CheckLevel(const std::vector<std::uint8_t>& b, std::size_t pos, std::size_t end, int depth) {
    if (depth > kMaxDepth) return "chunks nested deeper than " + std::to_string(kMaxDepth) + " levels at byte " + std::to_string(pos);
    while (pos < end) {
        if (end - pos < kHeader) return "truncated chunk header at byte " + std::to_string(pos);
        std::uint32_t raw = std::uint32_t(b[pos + 2]) | (std::uint32_t(b[pos + 3]) << 8) |
                            (std::uint32_t(b[pos + 4]) << 16) | (std::uint32_t(b[pos + 5]) << 24);
        bool container = (raw & kContainerBit) != 0;
        std::size_t length = raw & ~kContainerBit;
        if (length < kHeader) return "chunk length " + std::to_string(length) + " too small at byte " + std::to_string(pos);
        if (length > end - pos) return "chunk at byte " + std::to_string(pos) + " is truncated (" + std::to_string(length) +
                                       " bytes declared, " + std::to_string(end - pos) + " present)";
        if (container) {
            std::string inner = CheckLevel(b, pos + kHeader, pos + length, depth + 1);
            if (!inner.empty()) return inner;
        }
        pos += length;
    }
    return {};
}

} // namespace

std::string ToHex(const std::vector<std::uint8_t>& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    out.reserve(bytes.size() * 2);
    for (std::uint8_t v : bytes) {
        out += digits[v >> 4];
        out += digits[v & 15];
    }
    return out;
}

std::optional<std::vector<std::uint8_t>> FromHex(std::string_view text) {
    if (text.size() % 2 != 0) return std::nullopt;
    std::vector<std::uint8_t> out;
    out.reserve(text.size() / 2);
    for (std::size_t i = 0; i < text.size(); i += 2) {
        int hi = HexDigit(text[i]), lo = HexDigit(text[i + 1]);
        if (hi < 0 || lo < 0) return std::nullopt;
        out.push_back(std::uint8_t(hi * 16 + lo));
    }
    return out;
}

std::string CheckChunks(const std::vector<std::uint8_t>& bytes) { return CheckLevel(bytes, 0, bytes.size(), 0); }

} // namespace zyhost
