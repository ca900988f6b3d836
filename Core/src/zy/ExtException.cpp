#include "zy/ExtException.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace zy {

namespace {
const char* baseName(const char* path)
{
    if (!path)
        return "";
    const char* slash = std::strrchr(path, '/');
    return slash ? slash + 1 : path;
}
} // namespace

ExtException::ExtException(zy::string message, const char* file, int line)
    : message_(std::move(message)), file_(baseName(file)), line_(line)
{
}

zy::string format(const char* fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    va_list copy;
    va_copy(copy, args);
    const int n = std::vsnprintf(nullptr, 0, fmt, copy);
    va_end(copy);
    zy::string out;
    if (n > 0) {
        out.resize(static_cast<size_t>(n));
        std::vsnprintf(out.data(), out.size() + 1, fmt, args);
    }
    va_end(args);
    return out;
}

} // namespace zy
