#include "zy/LogFormat.h"

#include <cstdio>
#include <ctime>

#include "zy/Log.h"

namespace zy::log {

namespace {

void appendWallTime(zy::string& line, std::chrono::system_clock::time_point time, bool local)
{
    using namespace std::chrono;
    const auto since = time.time_since_epoch();
    const std::time_t seconds = duration_cast<std::chrono::seconds>(since).count();
    const auto millis = static_cast<unsigned>(duration_cast<milliseconds>(since).count() % 1000);
    std::tm parts {};
    if (local)
        localtime_r(&seconds, &parts);
    else
        gmtime_r(&seconds, &parts);
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d.%03u", parts.tm_year + 1900,
                  parts.tm_mon + 1, parts.tm_mday, parts.tm_hour, parts.tm_min, parts.tm_sec, millis);
    line += buffer;
}

void separate(zy::string& line)
{
    if (!line.empty())
        line += ' ';
}

} // namespace

void cutUtf8(zy::string& text, size_t maxBytes)
{
    if (text.size() <= maxBytes)
        return;
    size_t end = maxBytes;
    // Continuation bytes are 10xxxxxx; back off to the byte that starts the sequence.
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        --end;
    text.resize(end);
}

zy::string formatLine(const Message& message, unsigned flags)
{
    zy::string line;
    if (flags & TIME_RELATIVE) {
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "%09.3f", message.secondsSinceStart);
        line += buffer;
    } else if (flags & (UTC_TIME | TIME_LOCAL)) {
        appendWallTime(line, message.time, (flags & TIME_LOCAL) != 0);
    }
    if (flags & LEVEL) {
        separate(line);
        line += levelName(message.level);
    }
    if (flags & MODULE) {
        separate(line);
        line += message.source;
    }
    if (!line.empty())
        line += ": ";
    line += message.text;
    if (line.size() >= kMaxTextBytes && !(line.size() == kMaxTextBytes && line.back() == '\n')) {
        cutUtf8(line, kMaxTextBytes - 1);
        while (!line.empty() && line.back() == '\n')
            line.pop_back();
        line += '\n';
    } else if (line.empty() || line.back() != '\n') {
        line += '\n';
    }
    return line;
}

} // namespace zy::log
