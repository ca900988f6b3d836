#pragma once
// Start and stop of this copy of the runtime services, for the plug-in that
// holds it: start() when the library is loaded, stop() when it is unloaded.

namespace zy::runtime {

// Starts the log's clock (relative times count from here). Everything else
// (task pools, script states) starts on first use.
void start();

// Writes out and closes the log's files, stops its writer thread and the
// task pools' threads, so that no thread runs code of an unloaded library.
// Script states belong to their owners and must be destroyed before. The
// services start again on their next use.
void stop();

} // namespace zy::runtime
