#include "zy/Runtime.h"

#include "zy/Log.h"
#include "zy/TaskPool.h"

namespace zy::runtime {

void start()
{
    log::flush(); // creates the log, and with it the clock of relative times
}

void stop()
{
    TaskPool::stopAll();
    log::shutdown();
}

} // namespace zy::runtime
