#pragma once
// The runtime's file layer: UTF-8 paths, whole reads and writes.
//
// A file opened for writing never leaves a partial target behind: the bytes go
// to a temporary file beside the target, which replaces the target only when
// close() succeeds. A failed write, a failed close or a File destroyed without
// close() removes the temporary and leaves any existing target untouched.
#include <cstddef>
#include <memory>
#include <string_view>

#include "zy/String.h"

namespace zy::fs {

class File {
public:
    virtual ~File() = default;
    // Reads up to n bytes; returns the count read (0 at the end or on error).
    virtual size_t read(void* data, size_t n) = 0;
    // Writes n bytes; returns the count written (less than n on error; a file
    // with a failed write can no longer be stored).
    virtual size_t write(const void* data, size_t n) = 0;
    // Flushes and closes; returns false when the data could not be stored.
    // Later calls do nothing and return false.
    virtual bool close() = 0;
};

enum class Mode { Read, Write };

// Opens a path; null when that fails. Opening for writing creates nothing
// visible until close(): an unopenable path (a missing directory, a directory
// as target, no permission) yields null and leaves no file behind.
std::unique_ptr<File> open(const zy::string& path, Mode mode);

// Lexical normal form of a path: backslashes become '/', repeated separators
// and "." segments go, ".." removes the segment before it (never above the
// root of an absolute path; kept at the start of a relative one), and no
// trailing separator remains except for the root itself. An empty or fully
// cancelled relative path is ".". Symbolic links are not resolved.
zy::string normalizePath(std::string_view path);

// The normal form of `path` made absolute against the current working directory.
zy::string absolutePath(std::string_view path);

// True when `path` is `root` or lies below it, both taken as absolute normal
// forms and compared without regard to ASCII case.
bool isPathUnder(std::string_view path, std::string_view root);

} // namespace zy::fs
