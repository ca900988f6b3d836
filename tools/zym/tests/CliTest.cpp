// The command line: exit statuses and what each command prints.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "ModelFixtures.h"
#include "ZymTestSupport.h"
#include "zym/Cli.h"
#include "zym/FileReader.h"

namespace zym::test {
namespace {

struct CliRun {
    int status;
    std::string out;
    std::string err;
};

CliRun run(const std::vector<std::string>& args)
{
    std::ostringstream out, err;
    const int status = runCli(args, out, err);
    return {status, out.str(), err.str()};
}

std::string writeJson(const Json& j)
{
    const std::string path = tempPath("model.json");
    std::ofstream(path) << j.dump();
    return path;
}

TEST(Cli, BuildDumpCheckStatsAndDiff)
{
    const std::string model = writeJson(meshModel());
    const std::string a = tempPath("a.zym"), b = tempPath("b.zym"), dumped = tempPath("a.json");
    ASSERT_EQ(run({"build", model, "-o", a}).status, 0);
    ASSERT_EQ(run({"build", model, "-o", b, "--version", "11"}).status, 0);
    EXPECT_EQ(readFileBytes(a), readFileBytes(b));

    EXPECT_EQ(run({"check", a}).out, "ok\n");
    EXPECT_EQ(run({"check", a}).status, 0);
    EXPECT_NE(run({"stats", a}).out.find("nRenderNodes: 2"), std::string::npos);
    EXPECT_EQ(run({"diff", a, b}).status, 0);

    ASSERT_EQ(run({"dump", a, "-o", dumped}).status, 0);
    ASSERT_EQ(run({"build", dumped, "-o", b}).status, 0);
    EXPECT_EQ(readFileBytes(a), readFileBytes(b));
    EXPECT_NE(run({"dump", a, "--summary"}).out.find("\"hull\""), std::string::npos);

    Json changed = meshModel();
    changed["root"]["name"] = "ship";
    ASSERT_EQ(run({"build", writeJson(changed), "-o", b}).status, 0);
    const CliRun difference = run({"diff", a, b});
    EXPECT_EQ(difference.status, 1);
    EXPECT_EQ(difference.out, "root.name: \"boat\" != \"ship\"\n");
}

TEST(Cli, ProblemsAndMistakes)
{
    const std::string a = tempPath("bad.zym");
    std::vector<std::uint8_t> bytes = buildBytes(meshModel());
    bytes.push_back(7);
    writeBytes(a, bytes);
    const CliRun check = run({"check", a});
    EXPECT_EQ(check.status, 1);
    EXPECT_EQ(check.out, "byte " + std::to_string(bytes.size() - 1) + ": 1 bytes follow the last section\n");
    EXPECT_EQ(run({"dump", a}).status, 1);

    EXPECT_EQ(run({}).status, 2);
    EXPECT_EQ(run({"explode", a}).status, 2);
    EXPECT_EQ(run({"build", writeJson(meshModel())}).status, 2); // no -o
    EXPECT_EQ(run({"build", writeJson(meshModel()), "-o", a, "--version", "9"}).status, 2);
    EXPECT_EQ(run({"diff", a, a, "--tolerance", "-1"}).status, 2);
    EXPECT_EQ(run({"check", tempPath("missing.zym")}).status, 1);
    EXPECT_NE(run({"check", tempPath("missing.zym")}).err.find("Can't open"), std::string::npos);
}

} // namespace
} // namespace zym::test
