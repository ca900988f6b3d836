// Chunked save and load over byte buffers.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "mem/ChunkStreams.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

void WriteInt(ISave& s, std::int32_t v) {
    ULONG n;
    s.Write(&v, 4, &n);
}

TEST(ChunkStreams, LayoutOfDataAndContainerChunks) {
    MemSave s;
    s.BeginChunk(0x1000);
    WriteInt(s, 5);
    s.EndChunk();
    s.BeginChunk(0x0001);
    s.BeginChunk(0x0002);
    s.EndChunk();
    s.EndChunk();
    ASSERT_TRUE(s.Ok());
    // id, length (header included, top bit = holds chunks), body; little-endian.
    const Bytes expected = {0x00, 0x10, 0x0A, 0x00, 0x00, 0x00, 0x05, 0x00, 0x00, 0x00,
                            0x01, 0x00, 0x0C, 0x00, 0x00, 0x80, 0x02, 0x00, 0x06, 0x00, 0x00, 0x00};
    EXPECT_EQ(s.Bytes(), expected);
}

TEST(ChunkStreams, WhatIsSavedLoadsBack) {
    const MSTR text = L"Grüße \U0001F600 ok";
    MemSave s;
    s.BeginChunk(0x1010);
    WriteInt(s, 3);
    s.EndChunk();
    s.BeginChunk(0x2000); // nested: a byte chunk and a string chunk
    s.BeginChunk(0x2010);
    BYTE bytes[3] = {1, 0, 1};
    ULONG n;
    s.Write(bytes, 3, &n);
    s.EndChunk();
    s.BeginChunk(0x2020);
    s.WriteWString(text);
    s.EndChunk();
    s.EndChunk();
    s.BeginChunk(0x1040); // empty
    s.EndChunk();
    ASSERT_TRUE(s.Ok());

    MemLoad l(s.Bytes());
    ASSERT_EQ(l.OpenChunk(), IO_OK);
    EXPECT_EQ(l.CurChunkID(), 0x1010);
    std::int32_t v = 0;
    ASSERT_EQ(l.Read(&v, 4, &n), IO_OK);
    EXPECT_EQ(v, 3);
    EXPECT_EQ(l.CloseChunk(), IO_OK);

    ASSERT_EQ(l.OpenChunk(), IO_OK);
    EXPECT_EQ(l.CurChunkID(), 0x2000);
    ASSERT_EQ(l.OpenChunk(), IO_OK);
    EXPECT_EQ(l.CurChunkID(), 0x2010);
    EXPECT_EQ(l.CurChunkLength(), 3u);
    BYTE got[3] = {};
    ASSERT_EQ(l.Read(got, 3, &n), IO_OK);
    EXPECT_EQ(got[0], 1);
    EXPECT_EQ(got[2], 1);
    l.CloseChunk();
    ASSERT_EQ(l.OpenChunk(), IO_OK);
    MSTR back;
    ASSERT_EQ(l.ReadWStringChunk(back), IO_OK);
    EXPECT_EQ(back, text);
    l.CloseChunk();
    EXPECT_EQ(l.OpenChunk(), IO_END);
    l.CloseChunk();

    ASSERT_EQ(l.OpenChunk(), IO_OK);
    EXPECT_EQ(l.CurChunkID(), 0x1040);
    EXPECT_EQ(l.CurChunkLength(), 0u);
    l.CloseChunk();
    EXPECT_EQ(l.OpenChunk(), IO_END);
}

TEST(ChunkStreams, UnreadRestIsSkippedOnClose) {
    MemSave s;
    s.BeginChunk(1);
    WriteInt(s, 7);
    WriteInt(s, 8);
    s.EndChunk();
    s.BeginChunk(2);
    s.EndChunk();
    MemLoad l(s.Bytes());
    ASSERT_EQ(l.OpenChunk(), IO_OK);
    l.CloseChunk();
    ASSERT_EQ(l.OpenChunk(), IO_OK);
    EXPECT_EQ(l.CurChunkID(), 2);
}

TEST(ChunkStreams, MalformedDataIsAnErrorNeverACrash) {
    struct Case {
        const char* what;
        Bytes bytes;
    };
    const std::vector<Case> cases = {
        {"header cut short", {0x00, 0x10, 0x0A}},
        {"length below the header size", {0x00, 0x10, 0x04, 0x00, 0x00, 0x00}},
        {"length past the end", {0x00, 0x10, 0x20, 0x00, 0x00, 0x00, 0x05}},
        {"huge length", {0x00, 0x10, 0xFF, 0xFF, 0xFF, 0x7F, 0x05}},
        {"child longer than its parent",
         {0x01, 0x00, 0x0C, 0x00, 0x00, 0x80, 0x02, 0x00, 0x10, 0x00, 0x00, 0x00}},
        {"child header cut by its parent", {0x01, 0x00, 0x09, 0x00, 0x00, 0x80, 0x02, 0x00, 0x06}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MemLoad l(c.bytes);
        IOResult r = l.OpenChunk();
        if (r == IO_OK) r = l.OpenChunk(); // the defect is in the child
        EXPECT_EQ(r, IO_ERROR);
    }

    // Reading past the body, or a string of an odd byte count.
    const Bytes body = {0x00, 0x10, 0x09, 0x00, 0x00, 0x00, 0x41, 0x00, 0x42};
    MemLoad l(body);
    ASSERT_EQ(l.OpenChunk(), IO_OK);
    std::int32_t v;
    ULONG n = 99;
    EXPECT_EQ(l.Read(&v, 4, &n), IO_ERROR);
    EXPECT_EQ(n, 3u);
    MSTR str;
    EXPECT_EQ(l.ReadWStringChunk(str), IO_ERROR);
    l.CloseChunk();
    EXPECT_EQ(l.CloseChunk(), IO_ERROR); // nothing open
    EXPECT_EQ(l.Read(&v, 1, &n), IO_ERROR);

    // An unpaired surrogate becomes the replacement character.
    const Bytes lone = {0x05, 0x00, 0x0A, 0x00, 0x00, 0x00, 0x00, 0xD8, 0x41, 0x00};
    MemLoad l2(lone);
    ASSERT_EQ(l2.OpenChunk(), IO_OK);
    ASSERT_EQ(l2.ReadWStringChunk(str), IO_OK);
    EXPECT_EQ(str, MSTR(L"\uFFFDA"));
}

TEST(ChunkStreams, SaveRefusesMisuse) {
    MemSave outside;
    ULONG n;
    std::int32_t v = 1;
    EXPECT_EQ(outside.Write(&v, 4, &n), IO_ERROR);
    EXPECT_FALSE(outside.Ok());

    MemSave mixed;
    mixed.BeginChunk(1);
    mixed.BeginChunk(2);
    mixed.EndChunk();
    EXPECT_EQ(mixed.Write(&v, 4, &n), IO_ERROR);
    mixed.EndChunk();
    EXPECT_FALSE(mixed.Ok());

    MemSave open;
    open.BeginChunk(1);
    EXPECT_FALSE(open.Ok());
}

} // namespace
