#include "zy/TaskPool.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <set>
#include <stdexcept>
#include <mutex>
#include <thread>
#include <vector>

#include "zy/ExtException.h"

namespace {

TEST(TaskPool, NamedPoolsAreCreatedOnceAndHaveThreads)
{
    zy::TaskPool& pool = zy::TaskPool::named("ZYMUTILS");
    EXPECT_EQ(&pool, &zy::TaskPool::named("ZYMUTILS"));
    EXPECT_NE(&pool, &zy::TaskPool::named("OTHER"));
    EXPECT_GE(pool.threadCount(), 1u);
}

TEST(TaskPool, WaitAllReturnsOnlyAfterEveryTaskRan)
{
    zy::TaskPool& pool = zy::TaskPool::named("test-all");
    constexpr int kTasks = 200;
    std::atomic<int> done{0};
    std::vector<int> seen(kTasks, 0);
    for (int i = 0; i < kTasks; ++i)
        pool.submit([&, i] {
            if (i % 50 == 0)
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            seen[i] += 1;
            done.fetch_add(1);
        });
    pool.waitAll();
    EXPECT_EQ(done.load(), kTasks);
    EXPECT_EQ(std::count(seen.begin(), seen.end(), 1), kTasks) << "each task runs exactly once";
}

TEST(TaskPool, TasksRunOnWorkerThreads)
{
    zy::TaskPool& pool = zy::TaskPool::named("test-threads");
    std::mutex mutex;
    std::set<std::thread::id> ids;
    for (int i = 0; i < 8; ++i)
        pool.submit([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            std::lock_guard lock(mutex);
            ids.insert(std::this_thread::get_id());
        });
    pool.waitAll();
    EXPECT_EQ(ids.count(std::this_thread::get_id()), 0u);
    EXPECT_LE(ids.size(), pool.threadCount());
}

TEST(TaskPool, TaskExceptionIsRethrownByWaitAllAfterTheOthersFinish)
{
    zy::TaskPool& pool = zy::TaskPool::named("test-errors");
    std::atomic<int> done{0};
    pool.submit([] { ZY_THROW("task failed"); });
    for (int i = 0; i < 20; ++i)
        pool.submit([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            done.fetch_add(1);
        });
    try {
        pool.waitAll();
        FAIL() << "the task's exception was swallowed";
    } catch (const zy::ExtException& e) {
        EXPECT_STREQ(e.what(), "task failed");
    }
    EXPECT_EQ(done.load(), 20);

    // The error was reported once; the pool keeps working.
    pool.submit([&] { done.fetch_add(1); });
    EXPECT_NO_THROW(pool.waitAll());
    EXPECT_EQ(done.load(), 21);

    // Exceptions that are not std::exception are carried too.
    pool.submit([] { throw 42; });
    EXPECT_THROW(pool.waitAll(), int);
}

TEST(TaskPool, WaitAllFromOwnTaskThrowsInsteadOfDeadlocking)
{
    zy::TaskPool& pool = zy::TaskPool::named("test-reentry");
    std::atomic<bool> refused{false};
    pool.submit([&] {
        try {
            zy::TaskPool::named("test-reentry").waitAll();
        } catch (const zy::ExtException&) {
            refused = true;
        }
    });
    pool.waitAll();
    EXPECT_TRUE(refused.load());
}

} // namespace
