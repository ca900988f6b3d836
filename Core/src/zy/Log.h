#pragma once
// The process-wide diagnostic log: levels, outputs to files, console fallback.
//
// A message has a source (at most 64 bytes kept, "<NULL>" when null), a level
// and a text (at most 4096 bytes kept, "<NULL>" when null). Cuts never split
// a UTF-8 sequence.
//
// Without outputs, every message except TRACE goes to standard error as
// "<UTC time> <level> <source>: <text>", in the level's ANSI colour when
// standard error is a terminal. (There is no debugger output channel on
// Linux; standard error is the only console line.)
//
// With outputs, a message goes to every output whose level mask holds its
// level and whose source filter, when not empty, equals its source; each line
// is flushed. In immediate mode (the default) lines are written on the calling
// thread under one lock; in asynchronous mode a writer thread, woken by a
// semaphore, writes them from a queue of kQueueCapacity messages. A full queue
// drops new messages and the next written line reports "<n> messages lost",
// unless an output is RELIABLE: then writers wait for room.
#include <cstdarg>
#include <cstddef>
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

// Every level.
constexpr unsigned ALL_LEVELS = ALERT | ERROR | WARNING | ERROR_ONCE | INFO | DEBUG | TRACE;

// Output format flags. (The UTC time flag is UTC_TIME in C++ because <ctime>
// defines TIME_UTC as a macro; scripts see it as log.TIME_UTC.)
enum Flags : unsigned {
    MESSAGE = 0x0,        // the text alone
    UTC_TIME = 0x1,       // prefix with the UTC date and time
    TIME = UTC_TIME,
    LEVEL = 0x2,          // add the level name
    MODULE = 0x4,         // add the source name
    FULL = UTC_TIME | LEVEL | MODULE,
    TIME_LOCAL = 0x40,    // prefix with the local date and time instead of UTC
    TIME_RELATIVE = 0x80, // prefix with the seconds since the log started (wins over the others)
    COLLAPSE = 0x100,     // collapse repeated identical texts
    RELIABLE = 0x200,     // in asynchronous mode, wait for room instead of dropping messages
    ASYNC = 0x1000,       // given to setOutput: switch the log to asynchronous mode
    IMMEDIATE = 0x2000,   // given to setOutput: switch the log to immediate mode
};

constexpr size_t kMaxTextBytes = 4096;   // text kept, and longest line written
constexpr size_t kMaxSourceBytes = 64;   // source name kept
constexpr size_t kQueueCapacity = 1024;  // messages waiting in asynchronous mode

// Name of a level as printed in lines ("ALERT  ", "ERROR  ", "WARNING",
// "ERROR_ONCE", "INFO   ", "DEBUG  ", "TRACE  ", else "UNKNOWN"); the script
// output mark is ignored.
const char* levelName(unsigned level);

// Records one message. Any thread may call it.
void write(const char* source, unsigned level, const char* text);
void writef(const char* source, unsigned level, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
void vwritef(const char* source, unsigned level, const char* format, va_list args);

// Opens "<log directory>/<logname>.log" as an output for the given source
// filter (null or empty = every source), level mask and format flags. An
// existing file of that name is first renamed with ".old" appended; an output
// already open on the same file is closed first. The file starts with
// "=== Log opened UTC <%F %T>". Returns false (and adds no output) when the
// file cannot be opened.
bool setOutput(const char* logname, const char* source, unsigned levels, unsigned flags);

// Closes every output ("=== Log closed." after any pending duplicate count);
// later messages go to the console again.
void closeOutputs();

// Switches between immediate and asynchronous mode (also done by the ASYNC
// and IMMEDIATE flags of setOutput).
void setAsynchronous(bool async);

// Waits until every queued message has been written.
void flush();

// Directory of the log files (default: the write directory, see zy/Settings.h).
zy::string directory();
void setDirectory(const zy::string& path);

// The hook that shows alert message boxes, called on the writing thread with
// the level name as caption. Outside the host it prints to standard error.
// Returns true when the user chose "Ignore": no further boxes are shown for
// the rest of the process. A null hook restores the default.
using AlertHook = std::function<bool(const char* caption, const char* text)>;
void setAlertHook(AlertHook hook);
// True once the user has chosen "Ignore".
bool alertsSuppressed();

// Levels that raise an alert box (ALERT by default).
void setAlertMask(unsigned levels);

// Flushes the queue and closes every output; called automatically when the
// process (or the library holding this runtime) ends.
void shutdown();

} // namespace zy::log
