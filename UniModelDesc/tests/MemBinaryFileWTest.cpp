// The memory sink (insertion at a movable cursor, little-endian encoders)
// and the string pool.
#include <gtest/gtest.h>

#include <random>

#include "ByteBuilder.h"
#include "io/MemBinaryFileW.h"
#include "io/StringPool.h"
#include "zy/ExtException.h"

using testing_bytes::ByteBuilder;

TEST(MemBinaryFileW, EncodersAreLittleEndianWithoutPadding)
{
    io::MemBinaryFileW out;
    out.writeU8(0x01);
    out.writeU16(0x0203);
    out.writeU32(0x04050607);
    out.writeI32(-1);
    out.writeU64(0x08090A0B0C0D0E0Full);
    out.writeF32(1.0f);  // 0x3F800000
    out.writeF64(-2.0);  // 0xC000000000000000
    out.writeQuatd(osg::Quatd(1, 2, 3, 4));
    out.writeLString("ab");

    const std::vector<uint8_t> expected = {
        0x01, 0x03, 0x02, 0x07, 0x06, 0x05, 0x04, 0xFF, 0xFF, 0xFF, 0xFF,             // u8 u16 u32 i32
        0x0F, 0x0E, 0x0D, 0x0C, 0x0B, 0x0A, 0x09, 0x08,                               // u64
        0x00, 0x00, 0x80, 0x3F, 0, 0, 0, 0, 0, 0, 0x00, 0xC0,                         // f32 f64
    };
    std::vector<uint8_t> bytes = out.buffer();
    ASSERT_EQ(expected.size(), 31u);
    ASSERT_EQ(bytes.size(), expected.size() + 32 + 6);
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 31), expected);
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 31, bytes.end()),
              ByteBuilder().f64s({1, 2, 3, 4}).u32(2).raw("ab").bytes());
    EXPECT_STREQ(out.name(), "buffer");
    EXPECT_TRUE(out.isOpen());
}

TEST(MemBinaryFileW, WritesInsertAtTheCursor)
{
    io::MemBinaryFileW out;
    out.write("ace", 3);
    out.seek(1);
    out.write("b", 1); // "abce", cursor 2
    out.seek(3);
    out.write("d", 1); // "abcde"
    EXPECT_EQ(out.tell(), 4u);
    out.seek(0);
    out.write(">", 1);
    out.seek(out.size());
    out.write("<", 1);
    const std::vector<uint8_t> b = out.buffer();
    EXPECT_EQ(std::string(b.begin(), b.end()), ">abcde<");
    EXPECT_THROW(out.seek(100), zy::ExtException);
}

// Random appends, seeks and insertions of every size, including blocks far
// larger than a chunk, against a plain vector doing the same insertions.
TEST(MemBinaryFileW, MatchesPlainVectorUnderRandomInsertions)
{
    std::mt19937 random(1234);
    io::MemBinaryFileW out;
    std::vector<uint8_t> model;
    size_t cursor = 0;
    uint8_t next = 0;
    for (int step = 0; step < 3000; ++step) {
        const int what = random() % 10;
        if (what < 3 && !model.empty()) {
            cursor = random() % (model.size() + 1);
            out.seek(cursor);
        } else if (what == 3) {
            cursor = model.size();
            out.seek(cursor);
        }
        const size_t sizes[] = {1, 4, 13, 4096, io::MemBinaryFileW::kChunkSize + 7, 200000};
        const size_t n = sizes[random() % (step % 50 == 0 ? 6 : 4)];
        std::vector<uint8_t> data(n);
        for (uint8_t& b : data)
            b = next++;
        out.write(data.data(), n);
        model.insert(model.begin() + static_cast<std::ptrdiff_t>(cursor), data.begin(), data.end());
        cursor += n;
        ASSERT_EQ(out.tell(), cursor);
        ASSERT_EQ(out.size(), model.size());
    }
    EXPECT_EQ(out.buffer(), model);
}

TEST(MemBinaryFileW, StringsBecomePoolIndices)
{
    io::MemBinaryFileW out;
    out.writeString("alpha");
    out.writeString("");
    out.writeString("alpha");
    out.writeString("beta");
    EXPECT_EQ(out.buffer(), ByteBuilder().u32(0).u32(1).u32(0).u32(2).bytes());
    const std::vector<uint8_t> pool = out.pool().serialize();
    EXPECT_EQ(std::string(pool.begin(), pool.end()), std::string("alpha\0\0beta\0", 12));
}

TEST(StringPool, IndicesFollowFirstAdditionAcrossBlocks)
{
    io::StringPool pool(16);
    std::string expectedBytes;
    std::vector<std::string> strings;
    // Strings that fill blocks unevenly, one longer than a block, and repeats.
    for (int i = 0; i < 40; ++i) {
        std::string s = "s" + std::to_string(i) + std::string(static_cast<size_t>(i % 7), 'x');
        if (i == 20)
            s = std::string(50, 'L');
        strings.push_back(s);
        EXPECT_EQ(pool.addIndex(s), static_cast<uint32_t>(i));
        EXPECT_EQ(pool.addIndex(strings[static_cast<size_t>(i) / 2]), static_cast<uint32_t>(i / 2));
        expectedBytes += s + '\0';
    }
    EXPECT_EQ(pool.count(), 40u);
    EXPECT_EQ(pool.indexOf("s3xxx"), 3);
    EXPECT_EQ(pool.indexOf("absent"), -1);
    EXPECT_STREQ(pool.add(strings[20]), strings[20].c_str());
    const std::vector<uint8_t> bytes = pool.serialize();
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), expectedBytes);
    EXPECT_EQ(pool.byteSize(), expectedBytes.size());
}

TEST(StringPool, TextIsComparedUpToItsFirstNul)
{
    io::StringPool pool;
    EXPECT_EQ(pool.addIndex(std::string("ab\0cd", 5)), 0u);
    EXPECT_EQ(pool.addIndex("ab"), 0u);
    EXPECT_EQ(pool.byteSize(), 3u);
}
