#pragma once
// Named pools of worker threads.
#include <functional>

#include "zy/String.h"

namespace zy {

class TaskPool {
public:
    virtual ~TaskPool() = default;
    virtual void submit(std::function<void()> task) = 0;
    // Blocks until every submitted task has finished.
    virtual void waitAll() = 0;
    virtual unsigned threadCount() const = 0;

    // The process-wide pool of that name, created on first use.
    static TaskPool& named(const char* name);
};

} // namespace zy
