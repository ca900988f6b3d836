#pragma once
// The process-wide diagnostic log: levels, outputs to files, console fallback.
#include <cstdarg>
#include <functional>

#include "zy/String.h"

namespace zy::log {

enum Level : unsigned {
    ALERT = 2,
    ERROR = 8,
    WARNING = 16,
    ERROR_ONCE = 32,
    INFO = 64,
    DEBUG = 128,
    TRACE = 256,
    SCRIPT_OUTPUT = 0x8000, // extra mark carried by script output
};

// Output format flags.
enum Flags : unsigned {
    TIME_UTC = 0x1,       // prefix with the UTC date and time
    LEVEL = 0x2,          // add the level name
    MODULE = 0x4,         // add the source name
    TIME_RELATIVE = 0x80, // prefix with the seconds since the log started
    COLLAPSE = 0x100,     // collapse repeated identical texts
};

// Records one message. Any thread may call it.
void write(const char* source, unsigned level, const char* text);
void writef(const char* source, unsigned level, const char* format, ...)
    __attribute__((format(printf, 3, 4)));

// Opens "<log directory>/<logname>.log" as an output for the given source
// filter (empty = every source), level mask and format flags.
void setOutput(const char* logname, const char* source, unsigned levels, unsigned flags);

// The hook that shows alert message boxes. Outside the host it prints to
// standard error. Returns true when the user chose "Ignore".
using AlertHook = std::function<bool(const char* caption, const char* text)>;
void setAlertHook(AlertHook hook);

} // namespace zy::log
