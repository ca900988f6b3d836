#pragma once
// The runtime's file layer: UTF-8 paths, whole reads and writes.
#include <cstddef>
#include <memory>

#include "zy/String.h"

namespace zy::fs {

class File {
public:
    virtual ~File() = default;
    // Reads up to n bytes; returns the count read (0 at the end or on error).
    virtual size_t read(void* data, size_t n) = 0;
    // Writes n bytes; returns the count written.
    virtual size_t write(const void* data, size_t n) = 0;
    // Flushes and closes; returns false when the data could not be stored.
    virtual bool close() = 0;
};

enum class Mode { Read, Write };

// Opens a path; null when that fails.
std::unique_ptr<File> open(const zy::string& path, Mode mode);

} // namespace zy::fs
