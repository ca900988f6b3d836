#pragma once
// The file writer of format version 10: header, string pool, root record,
// numbered tree, parent indices and the sections of non-tree nodes.
#include "io/10/NodeWriter10.h"
#include "io/IClassWriter.h"

namespace model {

class ClassWriter10 : public IClassWriter {
public:
    explicit ClassWriter10(io::MemBinaryFileW& out);
    ~ClassWriter10() override = default;

    void write(RootNode& root) override;
    uint16_t version() const override { return 10; }

private:
    io::MemBinaryFileW& out_;
    NodeWriter10 nodeWriter_;
};

// Version 11 writes exactly what version 10 writes, header included.
class ClassWriter11 : public ClassWriter10 {
public:
    using ClassWriter10::ClassWriter10;
    ~ClassWriter11() override = default;
};

} // namespace model
