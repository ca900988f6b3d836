#pragma once
// A problem in a scene file: what is wrong and where (a JSON pointer, or a line and
// column for syntax errors), plus the source line that raised it for diagnosis.
#include <stdexcept>
#include <string>

namespace zyhost {

// The source line that raised an error.
struct SourcePlace {
    const char* file = "";
    int line = 0;
};

class SceneError : public std::runtime_error {
public:
    SceneError(std::string where, const std::string& message, const char* file = __builtin_FILE(),
               int line = __builtin_LINE())
        : SceneError(std::move(where), message, SourcePlace{file, line}) {}
    SceneError(std::string where, const std::string& message, SourcePlace raisedAt)
        : std::runtime_error((where.empty() ? std::string("/") : where) + ": " + message),
          where_(std::move(where)), message_(message), raisedAt_(raisedAt) {}
    // The place in the file: a JSON pointer ("/nodes/0/object") or "line L, column C".
    const std::string& Where() const { return where_; }
    const std::string& Message() const { return message_; }
    const SourcePlace& RaisedAt() const { return raisedAt_; }

private:
    std::string where_;
    std::string message_;
    SourcePlace raisedAt_;
};

} // namespace zyhost
