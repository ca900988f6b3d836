#include "zy/Log.h"

#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <ctime>
#include <deque>
#include <mutex>
#include <semaphore>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

#include "zy/LogFormat.h"
#include "zy/Settings.h"

namespace zy::log {

namespace {

struct Output {
    zy::string path;
    std::FILE* file = nullptr;
    unsigned levels = 0;
    zy::string source; // empty: every source
    unsigned flags = 0;
    // Repeat collapsing (COLLAPSE): the last text written and how often it came again since.
    bool hasLast = false;
    zy::string lastText;
    unsigned repeats = 0;
};

bool printAlert(const char* caption, const char* text)
{
    std::fprintf(stderr, "*** %s *** %s\n", caption, text);
    std::fflush(stderr);
    return false;
}

const char* consoleColour(unsigned level)
{
    switch (level) {
    case ALERT: return "\033[35m";      // magenta
    case ERROR: return "\033[91m";      // bright red
    case WARNING: return "\033[93m";    // bright yellow
    case ERROR_ONCE: return "\033[95m"; // bright magenta
    case DEBUG: return "\033[37m";      // white
    default: return "\033[97m";         // bright white
    }
}

zy::string trimmedLevelName(unsigned level)
{
    zy::string name = levelName(level);
    while (!name.empty() && name.back() == ' ')
        name.pop_back();
    return name;
}

zy::string logFilePath(const char* logname)
{
    zy::string dir = directory();
    while (dir.size() > 1 && dir.back() == '/')
        dir.pop_back();
    if (dir.empty())
        dir = ".";
    return (dir == "/" ? zy::string() : dir) + "/" + logname + ".log";
}

zy::string utcNow()
{
    std::time_t now = std::time(nullptr);
    std::tm parts {};
    gmtime_r(&now, &parts);
    char buffer[64];
    std::strftime(buffer, sizeof buffer, "%F %T", &parts);
    return buffer;
}

class Logger {
public:
    // Never destroyed, so that messages written while the process ends stay
    // safe; shutdown() closes the files and stops the writer thread.
    static Logger& instance()
    {
        static Logger* logger = new Logger;
        return *logger;
    }

    void write(const char* source, unsigned level, const char* text)
    {
        const unsigned plainLevel = level & ~SCRIPT_OUTPUT;
        const bool alert = (plainLevel & alertMask_.load()) && !alertsIgnored_.load();
        if (plainLevel == TRACE && !alert && !hasOutputs_.load())
            return; // the console never shows TRACE: skip building the message
        Message message = makeMessage(source, level, text);
        zy::string alertText = alert ? message.text : zy::string();

        if (!hasOutputs_.load()) {
            if (plainLevel != TRACE)
                writeConsole(message);
        } else if (async_.load()) {
            enqueue(std::move(message));
        } else {
            std::lock_guard lock(outputsMutex_);
            writeToOutputs(message);
        }
        if (alert)
            showAlert(plainLevel, alertText);
    }

    bool setOutput(const char* logname, const char* source, unsigned levels, unsigned flags)
    {
        if (!logname || !*logname)
            return false;
        flush();
        const zy::string path = logFilePath(logname);
        {
            std::lock_guard lock(outputsMutex_);
            for (auto it = outputs_.begin(); it != outputs_.end();) {
                if (it->path == path) {
                    closeOutput(*it);
                    it = outputs_.erase(it);
                } else {
                    ++it;
                }
            }
            std::rename(path.c_str(), (path + ".old").c_str()); // no old file is fine
            std::FILE* file = std::fopen(path.c_str(), "we");
            if (!file) {
                updateOutputState();
                return false;
            }
            Output output;
            output.path = path;
            output.file = file;
            output.levels = levels;
            output.source = source ? source : "";
            cutUtf8(output.source, kMaxSourceBytes);
            output.flags = flags;
            put(output, "=== Log opened UTC " + utcNow() + "\n");
            outputs_.push_back(std::move(output));
            updateOutputState();
        }
        if (flags & ASYNC)
            setAsynchronous(true);
        else if (flags & IMMEDIATE)
            setAsynchronous(false);
        return true;
    }

    void closeOutputs()
    {
        flush();
        std::lock_guard lock(outputsMutex_);
        for (Output& output : outputs_)
            closeOutput(output);
        outputs_.clear();
        updateOutputState();
    }

    void setAsynchronous(bool async)
    {
        async_.store(async);
        if (!async)
            flush();
    }

    void flush()
    {
        unsigned lost = 0;
        {
            std::unique_lock lock(queueMutex_);
            queueChanged_.wait(lock, [this] { return queue_.empty() && !writing_; });
            lost = std::exchange(lost_, 0);
        }
        if (lost) {
            std::lock_guard lock(outputsMutex_);
            reportLost(lost);
        }
    }

    void stopWriter()
    {
        {
            std::lock_guard lock(queueMutex_);
            if (!writer_.joinable())
                return;
            stopWriter_ = true;
        }
        pending_.release();
        writer_.join();
    }

    void setAlertHook(AlertHook hook)
    {
        std::lock_guard lock(hookMutex_);
        alertHook_ = hook ? std::move(hook) : AlertHook(printAlert);
    }

    void setAlertMask(unsigned levels) { alertMask_.store(levels); }
    bool alertsSuppressed() const { return alertsIgnored_.load(); }

private:
    Logger() = default;

    Message makeMessage(const char* source, unsigned level, const char* text) const
    {
        Message message;
        message.source = source ? source : "<NULL>";
        cutUtf8(message.source, kMaxSourceBytes);
        message.level = level;
        message.text = text ? text : "<NULL>";
        cutUtf8(message.text, kMaxTextBytes);
        message.time = std::chrono::system_clock::now();
        message.secondsSinceStart =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
        return message;
    }

    void writeConsole(const Message& message)
    {
        zy::string line = formatLine(message, FULL);
        std::lock_guard lock(consoleMutex_);
        if (::isatty(STDERR_FILENO)) {
            line.pop_back(); // the colour ends before the line feed
            line = consoleColour(message.level & ~SCRIPT_OUTPUT) + line + "\033[0m\n";
        }
        std::fwrite(line.data(), 1, line.size(), stderr);
        std::fflush(stderr);
    }

    void showAlert(unsigned level, const zy::string& text)
    {
        AlertHook hook;
        {
            std::lock_guard lock(hookMutex_);
            hook = alertHook_;
        }
        try {
            if (hook(trimmedLevelName(level).c_str(), text.c_str()))
                alertsIgnored_.store(true);
        } catch (...) {
            // A failing user interface must not take the caller down with it.
        }
    }

    // --- outputs (outputsMutex_ held) ---

    static void put(Output& output, const zy::string& line)
    {
        std::fwrite(line.data(), 1, line.size(), output.file);
        std::fflush(output.file);
    }

    // A line of the log about itself, at the time of `at` or now.
    Message logNotice(zy::string text, const Message* at) const
    {
        Message notice = at ? *at : makeMessage(nullptr, 0, nullptr);
        notice.source = "LOG";
        notice.level = WARNING;
        notice.text = std::move(text);
        return notice;
    }

    void flushRepeats(Output& output, const Message* at) const
    {
        if (output.repeats == 0)
            return;
        char text[64];
        std::snprintf(text, sizeof text, "%u duplicate message(s) skipped.", output.repeats);
        output.repeats = 0;
        put(output, formatLine(logNotice(text, at), output.flags));
    }

    void writeToOutputs(const Message& message)
    {
        const unsigned level = message.level & ~SCRIPT_OUTPUT;
        for (Output& output : outputs_) {
            if (!(output.levels & level))
                continue;
            if (!output.source.empty() && output.source != message.source)
                continue;
            if (output.flags & COLLAPSE) {
                if (output.hasLast && output.lastText == message.text) {
                    ++output.repeats;
                    continue;
                }
                flushRepeats(output, &message);
                output.hasLast = true;
                output.lastText = message.text;
            }
            put(output, formatLine(message, output.flags));
        }
    }

    void reportLost(unsigned lost)
    {
        char text[64];
        std::snprintf(text, sizeof text, "%u messages lost", lost);
        const Message notice = logNotice(text, nullptr);
        for (Output& output : outputs_)
            put(output, formatLine(notice, output.flags));
    }

    void closeOutput(Output& output) const
    {
        flushRepeats(output, nullptr);
        put(output, "=== Log closed.\n");
        std::fclose(output.file);
        output.file = nullptr;
    }

    void updateOutputState()
    {
        bool reliable = false;
        for (const Output& output : outputs_)
            reliable = reliable || (output.flags & RELIABLE);
        reliable_.store(reliable);
        hasOutputs_.store(!outputs_.empty());
    }

    // --- asynchronous mode ---

    void enqueue(Message message)
    {
        {
            std::unique_lock lock(queueMutex_);
            if (!writer_.joinable()) {
                stopWriter_ = false;
                writer_ = std::thread([this] { writerLoop(); });
            }
            if (queue_.size() >= kQueueCapacity) {
                if (!reliable_.load()) {
                    ++lost_;
                    return;
                }
                queueChanged_.wait(lock, [this] { return queue_.size() < kQueueCapacity; });
            }
            queue_.push_back(std::move(message));
        }
        pending_.release();
    }

    void writerLoop()
    {
        for (;;) {
            pending_.acquire();
            std::unique_lock lock(queueMutex_);
            if (queue_.empty()) {
                if (stopWriter_)
                    return;
                continue;
            }
            Message message = std::move(queue_.front());
            queue_.pop_front();
            const unsigned lost = std::exchange(lost_, 0);
            writing_ = true;
            lock.unlock();
            queueChanged_.notify_all(); // room for a waiting RELIABLE writer
            {
                std::lock_guard outputsLock(outputsMutex_);
                if (lost)
                    reportLost(lost);
                writeToOutputs(message);
            }
            lock.lock();
            writing_ = false;
            if (queue_.empty())
                queueChanged_.notify_all();
        }
    }

    const std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();

    std::mutex consoleMutex_;

    std::mutex outputsMutex_;
    std::vector<Output> outputs_;
    std::atomic<bool> hasOutputs_{false};
    std::atomic<bool> reliable_{false};

    std::atomic<bool> async_{false};
    std::mutex queueMutex_;
    std::condition_variable queueChanged_; // room made, or queue drained
    std::deque<Message> queue_;
    std::counting_semaphore<> pending_{0};
    std::thread writer_;
    bool writing_ = false;
    bool stopWriter_ = false;
    unsigned lost_ = 0;

    std::mutex hookMutex_;
    AlertHook alertHook_ = printAlert;
    std::atomic<unsigned> alertMask_{ALERT};
    std::atomic<bool> alertsIgnored_{false};
};

// Closes the files and stops the writer thread when the process (or the
// library holding this copy of the runtime) ends.
struct ShutdownAtExit {
    ~ShutdownAtExit() { shutdown(); }
} shutdownAtExit;

} // namespace

const char* levelName(unsigned level)
{
    switch (level & ~SCRIPT_OUTPUT) {
    case ALERT: return "ALERT  ";
    case ERROR: return "ERROR  ";
    case WARNING: return "WARNING";
    case ERROR_ONCE: return "ERROR_ONCE";
    case INFO: return "INFO   ";
    case DEBUG: return "DEBUG  ";
    case TRACE: return "TRACE  ";
    default: return "UNKNOWN";
    }
}

void write(const char* source, unsigned level, const char* text)
{
    Logger::instance().write(source, level, text);
}

void vwritef(const char* source, unsigned level, const char* format, va_list args)
{
    if (!format) {
        write(source, level, nullptr);
        return;
    }
    char buffer[kMaxTextBytes];
    std::vsnprintf(buffer, sizeof buffer, format, args);
    write(source, level, buffer);
}

void writef(const char* source, unsigned level, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    vwritef(source, level, format, args);
    va_end(args);
}

bool setOutput(const char* logname, const char* source, unsigned levels, unsigned flags)
{
    return Logger::instance().setOutput(logname, source, levels, flags);
}

void closeOutputs() { Logger::instance().closeOutputs(); }

void setAsynchronous(bool async) { Logger::instance().setAsynchronous(async); }

void flush() { Logger::instance().flush(); }

zy::string directory() { return settings::logDirectory(); }

void setDirectory(const zy::string& path) { settings::setLogDirectory(path); }

void setAlertHook(AlertHook hook) { Logger::instance().setAlertHook(std::move(hook)); }

void setAlertMask(unsigned levels) { Logger::instance().setAlertMask(levels); }

bool alertsSuppressed() { return Logger::instance().alertsSuppressed(); }

void shutdown()
{
    Logger& logger = Logger::instance();
    logger.setAsynchronous(false);
    logger.stopWriter();
    logger.closeOutputs();
}

} // namespace zy::log
