#include "zy/Log.h"

#include <gtest/gtest.h>

#include <ctime>
#include <map>
#include <regex>
#include <sstream>
#include <thread>
#include <vector>

#include "TempDir.h"
#include "zy/LogFormat.h"

namespace {

namespace log = zy::log;
using zy::test::readAll;
using zy::test::TempDir;
using zy::test::writeAll;

std::vector<std::string> splitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// Lines of a log file without its opening and closing lines (which are checked once).
std::vector<std::string> bodyLines(const std::string& path)
{
    auto lines = splitLines(readAll(path));
    if (!lines.empty() && lines.front().rfind("=== Log opened UTC ", 0) == 0)
        lines.erase(lines.begin());
    if (!lines.empty() && lines.back() == "=== Log closed.")
        lines.pop_back();
    return lines;
}

// Each test gets a fresh log directory; outputs are closed and the log is
// back in immediate mode afterwards.
class LogFiles : public ::testing::Test {
protected:
    void SetUp() override { log::setDirectory(dir.path().string()); }
    void TearDown() override
    {
        log::closeOutputs();
        log::setAsynchronous(false);
        log::setDirectory("");
    }
    std::string logPath(const std::string& name) const { return dir / (name + ".log"); }

    TempDir dir;
};

log::Message message(const char* source, unsigned level, std::string text)
{
    log::Message m;
    m.source = source;
    m.level = level;
    m.text = std::move(text);
    return m;
}

TEST(LogFormat, PrefixesFollowTheFlags)
{
    std::tm parts {};
    parts.tm_year = 2021 - 1900;
    parts.tm_mon = 2;
    parts.tm_mday = 4;
    parts.tm_hour = 5;
    parts.tm_min = 6;
    parts.tm_sec = 7;
    auto m = message("Src", log::WARNING, "text");
    m.time = std::chrono::system_clock::from_time_t(timegm(&parts)) + std::chrono::milliseconds(89);
    m.secondsSinceStart = 12.3456;

    const std::pair<unsigned, const char*> cases[] = {
        {log::MESSAGE, "text\n"},
        {log::LEVEL, "WARNING: text\n"},
        {log::MODULE, "Src: text\n"},
        {log::LEVEL | log::MODULE, "WARNING Src: text\n"},
        {log::UTC_TIME, "2021-03-04 05:06:07.089: text\n"},
        {log::FULL, "2021-03-04 05:06:07.089 WARNING Src: text\n"},
        {log::TIME_RELATIVE | log::MODULE, "00012.346 Src: text\n"},
        {log::TIME_RELATIVE | log::UTC_TIME, "00012.346: text\n"},
    };
    for (const auto& [flags, expected] : cases)
        EXPECT_EQ(log::formatLine(m, flags), expected) << "flags " << flags;
}

TEST(LogFormat, LevelNames)
{
    const std::pair<unsigned, const char*> cases[] = {
        {log::ALERT, "ALERT  "},      {log::ERROR, "ERROR  "}, {log::WARNING, "WARNING"},
        {log::ERROR_ONCE, "ERROR_ONCE"}, {log::INFO, "INFO   "},  {log::DEBUG, "DEBUG  "},
        {log::TRACE, "TRACE  "},      {log::DEBUG | log::SCRIPT_OUTPUT, "DEBUG  "},
        {0, "UNKNOWN"},               {log::ERROR | log::INFO, "UNKNOWN"},
    };
    for (const auto& [level, name] : cases)
        EXPECT_STREQ(log::levelName(level), name) << "level " << level;
}

TEST(LogFormat, LineFeedIsAddedOnceAndLongLinesAreCut)
{
    EXPECT_EQ(log::formatLine(message("s", log::INFO, "ends\n"), 0), "ends\n");
    EXPECT_EQ(log::formatLine(message("s", log::INFO, ""), 0), "\n");

    const std::string cut = log::formatLine(message("s", log::INFO, std::string(5000, 'a')), 0);
    EXPECT_EQ(cut, std::string(4095, 'a') + "\n");

    // The prefix counts against the line length too.
    const std::string prefixed =
        log::formatLine(message("s", log::INFO, std::string(4096, 'b')), log::MODULE);
    EXPECT_EQ(prefixed, "s: " + std::string(4092, 'b') + "\n");

    // A cut never leaves two line feeds at the end, nor half a UTF-8 sequence.
    EXPECT_EQ(log::formatLine(message("s", log::INFO, std::string(4094, 'c') + "\n\n\n"), 0),
              std::string(4094, 'c') + "\n");
    const std::string euro = "\xE2\x82\xAC";
    EXPECT_EQ(log::formatLine(message("s", log::INFO, std::string(4093, 'd') + euro), 0),
              std::string(4093, 'd') + "\n");
}

TEST_F(LogFiles, OutputHasOpeningAndClosingLinesAndHonoursMaskAndSource)
{
    ASSERT_TRUE(log::setOutput("all", "", log::ALL_LEVELS, log::LEVEL | log::MODULE));
    ASSERT_TRUE(log::setOutput("errors_of_a", "A", log::ERROR, log::MODULE));
    log::write("A", log::ERROR, "first");
    log::write("B", log::ERROR, "second");
    log::write("A", log::INFO, "third");
    log::write("A", log::TRACE | log::SCRIPT_OUTPUT, "fourth");
    log::writef("A", log::ERROR, "%s=%d", "x", 42);
    log::closeOutputs();

    const auto all = splitLines(readAll(logPath("all")));
    ASSERT_EQ(all.size(), 7u);
    EXPECT_TRUE(std::regex_match(all[0], std::regex(R"(=== Log opened UTC \d{4}-\d\d-\d\d \d\d:\d\d:\d\d)")))
        << all[0];
    EXPECT_EQ(all[1], "ERROR   A: first");
    EXPECT_EQ(all[2], "ERROR   B: second");
    EXPECT_EQ(all[3], "INFO    A: third");
    EXPECT_EQ(all[4], "TRACE   A: fourth");
    EXPECT_EQ(all[5], "ERROR   A: x=42");
    EXPECT_EQ(all[6], "=== Log closed.");

    EXPECT_EQ(bodyLines(logPath("errors_of_a")), (std::vector<std::string>{"A: first", "A: x=42"}));
}

TEST_F(LogFiles, NullTextAndSourceAndLongSource)
{
    ASSERT_TRUE(log::setOutput("t", nullptr, log::ALL_LEVELS, log::MODULE));
    log::write(nullptr, log::INFO, nullptr);
    log::write(std::string(100, 's').c_str(), log::INFO, "long source");
    log::closeOutputs();
    EXPECT_EQ(bodyLines(logPath("t")),
              (std::vector<std::string>{"<NULL>: <NULL>", std::string(64, 's') + ": long source"}));
}

TEST_F(LogFiles, FiveThousandByteTextIsCutTo4096BytesWithOneLineFeed)
{
    ASSERT_TRUE(log::setOutput("t", "", log::ALL_LEVELS, 0));
    log::write("s", log::INFO, std::string(5000, 'z').c_str());
    log::closeOutputs();
    const std::string text = readAll(logPath("t"));
    const std::string expected = std::string(4095, 'z') + "\n";
    EXPECT_NE(text.find("\n" + expected + "=== Log closed.\n"), std::string::npos);
}

TEST_F(LogFiles, ExistingLogIsRotatedToOld)
{
    writeAll(logPath("t"), "previous run\n");
    writeAll(logPath("t") + ".old", "older run\n");
    ASSERT_TRUE(log::setOutput("t", "", log::ALL_LEVELS, 0));
    log::write("s", log::INFO, "now");
    log::closeOutputs();
    EXPECT_EQ(readAll(logPath("t") + ".old"), "previous run\n");
    EXPECT_EQ(bodyLines(logPath("t")), std::vector<std::string>{"now"});

    // Setting the same output again closes the open one before rotating it.
    ASSERT_TRUE(log::setOutput("t", "", log::ALL_LEVELS, 0));
    log::write("s", log::INFO, "one");
    ASSERT_TRUE(log::setOutput("t", "", log::ALL_LEVELS, 0));
    log::write("s", log::INFO, "two");
    log::closeOutputs();
    EXPECT_EQ(bodyLines(logPath("t") + ".old"), std::vector<std::string>{"one"});
    EXPECT_EQ(bodyLines(logPath("t")), std::vector<std::string>{"two"});
}

TEST_F(LogFiles, UnopenableOutputIsRefused)
{
    log::setDirectory((dir.path() / "missing").string());
    EXPECT_FALSE(log::setOutput("t", "", log::ALL_LEVELS, 0));
    EXPECT_FALSE(log::setOutput(nullptr, "", log::ALL_LEVELS, 0));
    // With no output the log stays on the console.
    testing::internal::CaptureStderr();
    log::write("s", log::INFO, "still here");
    EXPECT_NE(testing::internal::GetCapturedStderr().find("INFO    s: still here\n"), std::string::npos);
}

TEST_F(LogFiles, RepeatedTextsAreCollapsed)
{
    ASSERT_TRUE(log::setOutput("t", "", log::ALL_LEVELS, log::LEVEL | log::MODULE | log::COLLAPSE));
    ASSERT_TRUE(log::setOutput("plain", "", log::ALL_LEVELS, 0));
    for (int i = 0; i < 3; ++i)
        log::write("s", log::INFO, "same");
    log::write("s", log::INFO, "other");
    log::write("s", log::INFO, "last");
    log::write("s", log::INFO, "last");
    log::closeOutputs();
    EXPECT_EQ(bodyLines(logPath("t")), (std::vector<std::string>{
                                           "INFO    s: same",
                                           "WARNING LOG: 2 duplicate message(s) skipped.",
                                           "INFO    s: other",
                                           "INFO    s: last",
                                           "WARNING LOG: 1 duplicate message(s) skipped.",
                                       }));
    EXPECT_EQ(bodyLines(logPath("plain")).size(), 6u) << "outputs without the flag keep every line";
}

TEST_F(LogFiles, AsynchronousModeDeliversEverythingInOrder)
{
    ASSERT_TRUE(log::setOutput("t", "", log::ALL_LEVELS, log::MODULE | log::ASYNC | log::RELIABLE));
    constexpr int kThreads = 3;
    constexpr int kMessages = 2000; // more than the queue holds: RELIABLE makes writers wait
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([t] {
            const std::string source = "T" + std::to_string(t);
            for (int i = 0; i < kMessages; ++i)
                log::writef(source.c_str(), log::INFO, "%d", i);
        });
    for (auto& thread : threads)
        thread.join();
    log::flush();
    log::closeOutputs();

    std::map<std::string, int> next;
    for (const auto& line : bodyLines(logPath("t"))) {
        const auto colon = line.find(": ");
        ASSERT_NE(colon, std::string::npos) << line;
        const std::string source = line.substr(0, colon);
        EXPECT_EQ(std::stoi(line.substr(colon + 2)), next[source]++) << "out of order for " << source;
    }
    for (int t = 0; t < kThreads; ++t)
        EXPECT_EQ(next["T" + std::to_string(t)], kMessages);
}

TEST_F(LogFiles, AsynchronousOverflowCountsEveryLostMessage)
{
    ASSERT_TRUE(log::setOutput("t", "", log::ALL_LEVELS, 0));
    log::setAsynchronous(true);
    constexpr int kMessages = 20000;
    for (int i = 0; i < kMessages; ++i)
        log::write("s", log::INFO, "m");
    log::flush();
    log::closeOutputs();

    int written = 0;
    int lost = 0;
    for (const auto& line : bodyLines(logPath("t"))) {
        int n = 0;
        if (line == "m")
            ++written;
        else if (std::sscanf(line.c_str(), "%d messages lost", &n) == 1)
            lost += n;
        else
            ADD_FAILURE() << "unexpected line " << line;
    }
    EXPECT_EQ(written + lost, kMessages);
    EXPECT_GE(written, static_cast<int>(log::kQueueCapacity));
}

TEST(LogConsole, WithoutOutputsEverythingButTraceGoesToStandardError)
{
    testing::internal::CaptureStderr();
    log::write("Lua", log::TRACE, "hidden");
    log::write("Lua", log::TRACE | log::SCRIPT_OUTPUT, "hidden too");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");

    testing::internal::CaptureStderr();
    log::write("Lua", log::ERROR, "shown");
    log::write("X", log::DEBUG | log::SCRIPT_OUTPUT, "printed");
    const std::string out = testing::internal::GetCapturedStderr();
    const std::regex line(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3} ERROR   Lua: shown\n)"
                          R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3} DEBUG   X: printed\n)");
    EXPECT_TRUE(std::regex_match(out, line)) << out;
}

TEST(LogAlert, HookSeesAlertLevelsUntilIgnored)
{
    if (log::alertsSuppressed())
        GTEST_SKIP() << "Ignore was already chosen in this process";
    std::vector<std::string> shown;
    bool ignore = false;
    log::setAlertHook([&](const char* caption, const char* text) {
        shown.push_back(std::string(caption) + "|" + text);
        return ignore;
    });
    testing::internal::CaptureStderr();
    log::write("s", log::ERROR, "not an alert");
    log::write("s", log::ALERT, "first");
    log::setAlertMask(log::ALERT | log::ERROR);
    log::write("s", log::ERROR, "second");
    ignore = true;
    log::write("s", log::ALERT, "third"); // the user chooses Ignore here
    log::write("s", log::ALERT, "fourth");
    testing::internal::GetCapturedStderr();
    log::setAlertMask(log::ALERT);
    log::setAlertHook(nullptr);
    EXPECT_EQ(shown, (std::vector<std::string>{"ALERT|first", "ERROR|second", "ALERT|third"}));
    EXPECT_TRUE(log::alertsSuppressed());
}

} // namespace
