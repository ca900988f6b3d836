#pragma once
// Welds the vertices and removes the degenerate triangles of every mesh
// rendering node and every shell mesh, one task per node on the "ZYMUTILS"
// task pool, then drops the nodes left without geometry.
#include <cstdint>

namespace model {

class RootNode;

struct GeometryCleanupCounts {
    uint64_t removedVertices = 0;  // unused plus welded vertices
    uint64_t removedTriangles = 0; // degenerate triangles
};

// Rendering nodes with vertex and index data (render, skin and number nodes)
// and shell meshes are welded with the tolerance (see VertexWelder.h), then
// lose their degenerate triangles. Afterwards rendering nodes without
// primitives and empty shell nodes leave the root's lists. A node whose
// vertex array does not match its format is left alone.
GeometryCleanupCounts cleanGeometry(RootNode& root, double tolerance);

} // namespace model
