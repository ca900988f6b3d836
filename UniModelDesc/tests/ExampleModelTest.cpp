// The bundled example model saves, and saves the same bytes every time.
#include <gtest/gtest.h>

#include "ExampleModel.h"
#include "TestFiles.h"

using testing_files::readBytes;
using testing_files::ScratchDir;

TEST(ExampleModel, SavesDeterministicallyAsVersion10)
{
    ScratchDir dir;
    example::buildExampleModel()->save(dir.file("a.zym"), 10);
    example::buildExampleModel()->save(dir.file("b.zym"), 10);
    const std::vector<uint8_t> a = readBytes(dir.file("a.zym"));
    ASSERT_GT(a.size(), 17u);
    EXPECT_EQ(std::string(a.begin(), a.begin() + 5), std::string("ZYM\x0a\x00", 5));
    EXPECT_EQ(readBytes(dir.file("b.zym")), a);
}
