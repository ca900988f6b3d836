#pragma once
// The runtime's exception: a message plus the source unit and line that raised it.
#include <exception>

#include "zy/String.h"

namespace zy {

class ExtException : public std::exception {
public:
    ExtException(zy::string message, const char* file, int line);

    const char* what() const noexcept override { return message_.c_str(); }
    const zy::string& message() const noexcept { return message_; }
    // Source unit: the file name without its directories.
    const char* file() const noexcept { return file_; }
    int line() const noexcept { return line_; }

private:
    zy::string message_;
    const char* file_;
    int line_;
};

// printf-style formatting into a zy::string.
zy::string format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

} // namespace zy

// Raises zy::ExtException with the given message and the current source location.
#define ZY_THROW(message) throw ::zy::ExtException((message), __FILE__, __LINE__)
// Same, with a printf-style message.
#define ZY_THROWF(...) throw ::zy::ExtException(::zy::format(__VA_ARGS__), __FILE__, __LINE__)
