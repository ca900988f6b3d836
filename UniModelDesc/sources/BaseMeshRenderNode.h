#pragma once
// A rendering node with its own vertex and index arrays, laid out by its
// material's vertex format.
#include "BaseRenderNode.h"
#include "Vertices.h"

namespace model {

class BaseMeshRenderNode : public BaseRenderNode {
public:
    BaseMeshRenderNode() = default;
    BaseMeshRenderNode(const BaseMeshRenderNode&) = default;

    // Copies the geometry when the vertex array holds count × stride values of
    // the material's format; otherwise (or without a material) leaves the node
    // unchanged and answers false.
    virtual bool setGeometry(const Vertices& vertices, const Indices& indices);

    const Vertices& vertices() const { return vertices_; }
    Vertices& vertices() { return vertices_; }
    const Indices& indices() const { return indices_; }
    Indices& indices() { return indices_; }

    // Vertex size in f32 from the material's format; 0 without a material.
    uint32_t stride() const;
    uint32_t primitiveCount() const override { return indices_.primitiveCount(); }

    // Removes the degenerate triangles (see DegenerateTriangles.h); returns
    // how many were removed.
    virtual uint32_t removeDegenerateTriangles();

protected:
    // The length check of setGeometry.
    bool fitsFormat(const Vertices& vertices) const;
    static constexpr int64_t kAllParts = -1;
    // The part number a vertex stores in its fourth position component
    // (0 when the position has fewer than four components).
    static uint32_t partOf(const float* vertex, const VertexFormat& format);
    // Applies m to the vertices of one part (or of all, kAllParts).
    void transformVertices(const osg::Mat4d& m, int64_t part);
    // Bounds of the positions of one part's vertices (or of all, kAllParts).
    Box boundsOf(int64_t part) const;

    Vertices vertices_;
    Indices indices_;
};

} // namespace model
