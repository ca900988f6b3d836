#include "zy/Runtime.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "TempDir.h"
#include "zy/Log.h"
#include "zy/TaskPool.h"

namespace {

TEST(Runtime, StopFinishesQueuedTasksAndClosesTheLog)
{
    zy::test::TempDir dir;
    zy::runtime::start();
    zy::log::setDirectory(dir.path().string());
    ASSERT_TRUE(zy::log::setOutput("runtime", "", zy::log::ALL_LEVELS, zy::log::ASYNC));
    std::atomic<int> done{0};
    zy::TaskPool& pool = zy::TaskPool::named("runtime-stop");
    for (int i = 0; i < 10; ++i)
        pool.submit([&done] {
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
            zy::log::write("task", zy::log::INFO, "ran");
            done.fetch_add(1);
        });

    zy::runtime::stop();
    EXPECT_EQ(done.load(), 10);
    const std::string text = zy::test::readAll(dir / "runtime.log");
    size_t lines = 0;
    for (size_t pos = text.find("ran\n"); pos != std::string::npos; pos = text.find("ran\n", pos + 1))
        ++lines;
    EXPECT_EQ(lines, 10u);
    EXPECT_EQ(text.substr(text.size() - 16), "=== Log closed.\n");

    // The services come back on next use.
    zy::TaskPool& again = zy::TaskPool::named("runtime-stop");
    again.submit([&done] { done.fetch_add(1); });
    again.waitAll();
    EXPECT_EQ(done.load(), 11);
    zy::log::setDirectory("");
}

} // namespace
