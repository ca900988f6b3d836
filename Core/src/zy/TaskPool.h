#pragma once
// Named pools of worker threads.
#include <functional>

#include "zy/String.h"

namespace zy {

class TaskPool {
public:
    virtual ~TaskPool() = default;
    // Queues a task for a worker thread.
    virtual void submit(std::function<void()> task) = 0;
    // Blocks until every submitted task has finished. An exception thrown by a
    // task does not stop the worker or the other tasks: the first one thrown
    // since the previous waitAll is kept and rethrown here, once all tasks are
    // done; later ones of the same round are dropped. Calling waitAll from a
    // task of the same pool would wait for itself: it throws zy::ExtException.
    virtual void waitAll() = 0;
    virtual unsigned threadCount() const = 0;

    // The process-wide pool of that name, created on first use with one
    // thread per hardware thread. Pools live until the process (or the
    // library holding this runtime) ends.
    static TaskPool& named(const char* name);

    // Runs the queued tasks, stops the threads and removes every pool (when
    // the library holding this runtime is unloaded). References obtained from
    // named() before are invalid afterwards; the next named() creates anew.
    static void stopAll();
};

} // namespace zy
