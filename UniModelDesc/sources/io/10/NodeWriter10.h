#pragma once
// The records of format version 10.
#include "io/INodeWriter.h"

namespace io {
class IBinaryFileW;
}

namespace model {

class NodeWriter10 : public INodeWriter {
public:
    explicit NodeWriter10(io::IBinaryFileW& out) : out_(out) {}

    // Tree and root records: NodeWriter10.cpp
    void visitRootNode(RootNode& node) override;
    void visitTransformNode(TransformNode& node) override;
    void visitNode(Node& node) override;
    void visitBaseNode(BaseNode& node) override;

    // Geometry, material, animation and special records: NodeWriter10Geometry.cpp, NodeWriter10Special.cpp
    // (their overrides are declared in this block)

protected:
    io::IBinaryFileW& out_;
};

} // namespace model
