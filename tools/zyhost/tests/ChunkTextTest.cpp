// Chunk bytes as text and the well-formedness check that guards plug-ins' Load.
#include <gtest/gtest.h>

#include "mem/ChunkStreams.h"
#include "zyhost/ChunkText.h"

namespace {

TEST(ChunkText, HexRoundTripAndRejects) {
    std::vector<std::uint8_t> bytes{0x00, 0x7f, 0x80, 0xff, 0x10};
    EXPECT_EQ(zyhost::ToHex(bytes), "007f80ff10");
    EXPECT_EQ(zyhost::FromHex("007F80ff10"), bytes);
    EXPECT_FALSE(zyhost::FromHex("abc"));
    EXPECT_FALSE(zyhost::FromHex("zz"));
    EXPECT_EQ(zyhost::FromHex("")->size(), 0u);
}

TEST(ChunkText, AcceptsWhatTheSaveStreamWrites) {
    MemSave save;
    ULONG n;
    int v = 5;
    save.BeginChunk(0x10);
    save.BeginChunk(0x11);
    save.Write(&v, 4, &n);
    save.EndChunk();
    save.BeginChunk(0x12);
    save.EndChunk();
    save.EndChunk();
    save.BeginChunk(0x20);
    save.WriteWString(_M("name"));
    save.EndChunk();
    ASSERT_TRUE(save.Ok());
    EXPECT_EQ(zyhost::CheckChunks(save.Bytes()), "");

    std::vector<std::uint8_t> cut(save.Bytes().begin(), save.Bytes().end() - 1);
    EXPECT_NE(zyhost::CheckChunks(cut).find("truncated"), std::string::npos);
    // An inner chunk running past its container.
    std::vector<std::uint8_t> inner = save.Bytes();
    inner[8] = 0x40;
    EXPECT_NE(zyhost::CheckChunks(inner), "");
}

TEST(ChunkText, RejectsHeadersShorterThanThemselves) {
    EXPECT_NE(zyhost::CheckChunks({0x01, 0x00, 0x03, 0x00, 0x00, 0x00}).find("too small"), std::string::npos);
    EXPECT_NE(zyhost::CheckChunks({0x01, 0x00, 0x06}).find("truncated chunk header"), std::string::npos);
}

} // namespace
