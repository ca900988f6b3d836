#pragma once
// Lines of the diagnostic log: one message formatted for one output.
#include <chrono>
#include <cstddef>

#include "zy/String.h"

namespace zy::log {

struct Message {
    zy::string source;
    unsigned level = 0;
    zy::string text;
    double secondsSinceStart = 0.0;
    std::chrono::system_clock::time_point time;
};

// Cuts `text` to at most `maxBytes`, backing off to the start of a UTF-8 sequence.
void cutUtf8(zy::string& text, size_t maxBytes);

// "[time ][level ][source]: text\n" by the format flags of Log.h. The line is
// at most kMaxTextBytes long and ends with exactly one line feed added (none
// when the text already ends with one; a line cut to length always ends with one).
zy::string formatLine(const Message& message, unsigned flags);

} // namespace zy::log
