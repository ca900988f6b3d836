#include "zy/TaskPool.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <exception>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "zy/ExtException.h"

namespace zy {

namespace {

class ThreadPool final : public TaskPool {
public:
    explicit ThreadPool(unsigned threads)
    {
        workers_.reserve(threads);
        for (unsigned i = 0; i < threads; ++i)
            workers_.emplace_back([this] { work(); });
    }

    ~ThreadPool() override
    {
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        hasWork_.notify_all();
        for (auto& worker : workers_)
            worker.join();
    }

    void submit(std::function<void()> task) override
    {
        if (!task)
            return;
        {
            std::lock_guard lock(mutex_);
            queue_.push_back(std::move(task));
        }
        hasWork_.notify_one();
    }

    void waitAll() override
    {
        if (currentPool() == this)
            ZY_THROW("TaskPool::waitAll called from a task of the same pool");
        std::exception_ptr error;
        {
            std::unique_lock lock(mutex_);
            idle_.wait(lock, [this] { return queue_.empty() && running_ == 0; });
            error = std::exchange(firstError_, nullptr);
        }
        if (error)
            std::rethrow_exception(error);
    }

    unsigned threadCount() const override { return static_cast<unsigned>(workers_.size()); }

private:
    static ThreadPool*& currentPool()
    {
        thread_local ThreadPool* pool = nullptr;
        return pool;
    }

    void work()
    {
        currentPool() = this;
        std::unique_lock lock(mutex_);
        for (;;) {
            // Remaining tasks are still run when the pool stops.
            hasWork_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
            if (queue_.empty())
                return;
            std::function<void()> task = std::move(queue_.front());
            queue_.pop_front();
            ++running_;
            lock.unlock();
            std::exception_ptr error;
            try {
                task();
            } catch (...) {
                error = std::current_exception();
            }
            task = nullptr; // release what the task captured before reporting it done
            lock.lock();
            if (error && !firstError_)
                firstError_ = error;
            if (--running_ == 0 && queue_.empty())
                idle_.notify_all();
        }
    }

    std::mutex mutex_;
    std::condition_variable hasWork_;
    std::condition_variable idle_;
    std::deque<std::function<void()>> queue_;
    unsigned running_ = 0;
    bool stopping_ = false;
    std::exception_ptr firstError_;
    std::vector<std::thread> workers_;
};

} // namespace

namespace {

struct PoolRegistry {
    std::mutex mutex;
    std::map<zy::string, std::unique_ptr<ThreadPool>, std::less<>> pools;
};

PoolRegistry& poolRegistry()
{
    static PoolRegistry registry;
    return registry;
}

} // namespace

TaskPool& TaskPool::named(const char* name)
{
    PoolRegistry& registry = poolRegistry();
    std::lock_guard lock(registry.mutex);
    auto& pool = registry.pools[name ? name : ""];
    if (!pool)
        pool = std::make_unique<ThreadPool>(std::max(1u, std::thread::hardware_concurrency()));
    return *pool;
}

void TaskPool::stopAll()
{
    std::map<zy::string, std::unique_ptr<ThreadPool>, std::less<>> stopping;
    {
        PoolRegistry& registry = poolRegistry();
        std::lock_guard lock(registry.mutex);
        stopping.swap(registry.pools);
    }
    stopping.clear(); // joins the threads outside the lock
}

} // namespace zy
