#pragma once
// A collision mesh with its own vertex format. Shells are never merged.
#include "BaseShellNode.h"
#include "VertexFormat.h"
#include "Vertices.h"

namespace model {

class ShellNode : public BaseShellNode {
public:
    ShellNode() = default;
    ShellNode(const ShellNode&) = default;

    NodeKind kind() const override { return NodeKind::ShellNode; }
    void accept(INodeWriter& writer) override;

    // Copies format and geometry when the vertex array holds count × stride
    // values of the format; otherwise leaves the node unchanged (false).
    bool setGeometry(const VertexFormat& format, const Vertices& vertices, const Indices& indices);

    const VertexFormat& vertexFormat() const { return format_; }
    const Vertices& vertices() const { return vertices_; }
    Vertices& vertices() { return vertices_; }
    const Indices& indices() const { return indices_; }
    Indices& indices() { return indices_; }
    uint32_t stride() const { return format_.stride(); }

    bool canMerge(const BaseNode&) const override { return false; }
    bool merge(BaseNode&) override { return false; }

    // Positions as points and, when present, normals by the normal matrix.
    void transform(const osg::Mat4d& m) override;
    Box boundingBox() const override;
    // No indices.
    bool isEmpty() const override { return indices_.empty(); }
    // Degenerate triangles (see DegenerateTriangles.h).
    uint32_t removeDegenerates() override;

private:
    VertexFormat format_;
    Vertices vertices_;
    Indices indices_;
};

} // namespace model
