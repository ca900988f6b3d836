#include "zy/FileSystem.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include "TempDir.h"

namespace {

using zy::fs::Mode;
using zy::test::readAll;
using zy::test::TempDir;
using zy::test::writeAll;

bool writeString(zy::fs::File& file, const std::string& bytes)
{
    return file.write(bytes.data(), bytes.size()) == bytes.size();
}

TEST(FileSystem, WriteStoresBytesAndLeavesOnlyTheTarget)
{
    TempDir dir;
    auto file = zy::fs::open(dir / "out.bin", Mode::Write);
    ASSERT_TRUE(file);
    const std::string bytes("abc\0def\n", 8);
    EXPECT_TRUE(writeString(*file, bytes));
    EXPECT_FALSE(std::filesystem::exists(dir / "out.bin")) << "target visible before close";
    EXPECT_TRUE(file->close());
    EXPECT_FALSE(file->close()) << "a second close stores nothing";
    EXPECT_EQ(readAll(dir / "out.bin"), bytes);
    EXPECT_EQ(dir.listing(), "out.bin;");
}

TEST(FileSystem, ReplacedTargetKeepsOldBytesUntilCloseAndKeepsItsPermissions)
{
    TempDir dir;
    writeAll(dir / "t.txt", "old");
    ::chmod((dir / "t.txt").c_str(), 0640);
    auto file = zy::fs::open(dir / "t.txt", Mode::Write);
    ASSERT_TRUE(file);
    ASSERT_TRUE(writeString(*file, "new contents"));
    EXPECT_EQ(readAll(dir / "t.txt"), "old");
    ASSERT_TRUE(file->close());
    EXPECT_EQ(readAll(dir / "t.txt"), "new contents");
    struct stat info {};
    ASSERT_EQ(::stat((dir / "t.txt").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    EXPECT_EQ(dir.listing(), "t.txt;");
}

TEST(FileSystem, WriteThroughSymbolicLinkKeepsTheLink)
{
    TempDir dir;
    std::filesystem::create_directory(dir.path() / "real");
    writeAll(dir / "real/model.zym", "old");
    std::filesystem::create_symlink(dir.path() / "real/model.zym", dir.path() / "link.zym");
    auto file = zy::fs::open(dir / "link.zym", Mode::Write);
    ASSERT_TRUE(file);
    ASSERT_TRUE(writeString(*file, "new"));
    ASSERT_TRUE(file->close());
    EXPECT_TRUE(std::filesystem::is_symlink(dir.path() / "link.zym"));
    EXPECT_EQ(readAll(dir / "real/model.zym"), "new");
    EXPECT_EQ(dir.listing(), "link.zym;real;");
}

TEST(FileSystem, LongestFileNameCanBeWritten)
{
    TempDir dir;
    const std::string name(255, 'n'); // the usual limit of one name
    auto file = zy::fs::open(dir / name, Mode::Write);
    ASSERT_TRUE(file);
    ASSERT_TRUE(writeString(*file, "x"));
    ASSERT_TRUE(file->close());
    EXPECT_EQ(readAll(dir / name), "x");
}

TEST(FileSystem, AbandonedWriteLeavesOldTargetAndNoTemporary)
{
    TempDir dir;
    writeAll(dir / "t.txt", "old");
    {
        auto file = zy::fs::open(dir / "t.txt", Mode::Write);
        ASSERT_TRUE(file);
        ASSERT_TRUE(writeString(*file, "half"));
    } // destroyed without close()
    EXPECT_EQ(readAll(dir / "t.txt"), "old");
    EXPECT_EQ(dir.listing(), "t.txt;");
}

TEST(FileSystem, FailedWriteIsNotStored)
{
    TempDir dir;
    writeAll(dir / "t.txt", "old");
    auto file = zy::fs::open(dir / "t.txt", Mode::Write);
    ASSERT_TRUE(file);

    // A file size limit makes the write fail part way (EFBIG instead of SIGXFSZ).
    struct rlimit saved {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto oldHandler = ::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 16;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const size_t written = file->write(std::string(100, 'x').data(), 100);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    ::signal(SIGXFSZ, oldHandler);

    EXPECT_LT(written, 100u);
    EXPECT_EQ(file->write("more", 4), 0u) << "a failed file takes no more bytes";
    EXPECT_FALSE(file->close());
    EXPECT_EQ(readAll(dir / "t.txt"), "old");
    EXPECT_EQ(dir.listing(), "t.txt;");
}

TEST(FileSystem, FailedRenameOnCloseIsReportedAndCleansUp)
{
    TempDir dir;
    auto file = zy::fs::open(dir / "t", Mode::Write);
    ASSERT_TRUE(file);
    ASSERT_TRUE(writeString(*file, "data"));
    std::filesystem::create_directories(dir.path() / "t" / "inner"); // target turns into a directory
    EXPECT_FALSE(file->close());
    EXPECT_EQ(dir.listing(), "t;");
    EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "t"));
}

TEST(FileSystem, UnopenablePathsYieldNullAndCreateNothing)
{
    TempDir dir;
    std::filesystem::create_directory(dir.path() / "sub");
    for (const std::string& path : {dir / "missing/out.txt", dir / "sub", dir / "sub/", std::string()}) {
        SCOPED_TRACE(path);
        EXPECT_FALSE(zy::fs::open(path, Mode::Write));
    }
    EXPECT_EQ(dir.listing(), "sub;");
    EXPECT_TRUE(std::filesystem::is_empty(dir.path() / "sub"));
    EXPECT_FALSE(zy::fs::open(dir / "missing.txt", Mode::Read));
    EXPECT_FALSE(zy::fs::open(dir / "sub", Mode::Read));
}

TEST(FileSystem, ReadsInPieces)
{
    TempDir dir;
    writeAll(dir / "in.txt", "0123456789");
    auto file = zy::fs::open(dir / "in.txt", Mode::Read);
    ASSERT_TRUE(file);
    char buffer[4];
    EXPECT_EQ(file->read(buffer, 4), 4u);
    EXPECT_EQ(std::string(buffer, 4), "0123");
    EXPECT_EQ(file->read(buffer, 4), 4u);
    EXPECT_EQ(file->read(buffer, 4), 2u);
    EXPECT_EQ(std::string(buffer, 2), "89");
    EXPECT_EQ(file->read(buffer, 4), 0u);
    EXPECT_EQ(file->write("x", 1), 0u);
    EXPECT_TRUE(file->close());
    EXPECT_EQ(file->read(buffer, 4), 0u);
}

TEST(FileSystem, NormalizePath)
{
    const std::pair<const char*, const char*> cases[] = {
        {"", "."},
        {".", "."},
        {"./", "."},
        {"a/b/../c", "a/c"},
        {"a\\b\\\\c\\", "a/b/c"},
        {"./a/./b/.", "a/b"},
        {"../../a", "../../a"},
        {"a/../../b", "../b"},
        {"a/..", "."},
        {"/", "/"},
        {"/..", "/"},
        {"/../x/", "/x"},
        {"//srv//share/./f", "/srv/share/f"},
        {"./Temp/", "Temp"},
    };
    for (const auto& [in, expected] : cases)
        EXPECT_EQ(zy::fs::normalizePath(in), expected) << "input: " << in;
}

TEST(FileSystem, PathUnderRootIgnoresCaseAndRespectsSegments)
{
    struct Case {
        const char* path;
        const char* root;
        bool under;
    };
    const Case cases[] = {
        {"/a/b/c.lua", "/a/b", true},
        {"/A/B/C.lua", "/a/b/", true},
        {"/a/b", "/a/b", true},
        {"/a/bc/d", "/a/b", false},
        {"/a/b/../../etc/passwd", "/a/b", false},
        {"/a/x/../b/f", "/a/b", true},
        {"script.lua", "./", true},
        {"Temp/x", "./temp/", true},
        {"../outside.lua", "./", false},
        {"/", "/", true},
        {"/etc", "/", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(zy::fs::isPathUnder(c.path, c.root), c.under) << c.path << " under " << c.root;
}

} // namespace
