#pragma once
// Writes a whole model file of one format version into a memory sink.
#include <cstdint>
#include <memory>

namespace io {
class MemBinaryFileW;
}

namespace model {

class RootNode;

class IClassWriter {
public:
    virtual ~IClassWriter() = default;
    // Appends the whole file for root to the writer's sink.
    virtual void write(RootNode& root) = 0;
    // The number written into the header.
    virtual uint16_t version() const = 0;
};

// 10 yields a ClassWriter10, 11 a ClassWriter11, any other version null.
std::unique_ptr<IClassWriter> createClassWriter(uint16_t version, io::MemBinaryFileW& out);

} // namespace model
