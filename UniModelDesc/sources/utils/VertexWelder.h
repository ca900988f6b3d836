#pragma once
// Vertex welding: merges vertices that agree within a tolerance and drops
// vertices no index uses.
//
// The result is the one of the classic in-order search: each vertex v, in
// order, that is not yet a copy itself claims every later vertex w that
//  - has a bit-identical part number (fourth position component, when the
//    position channel has one), and
//  - differs from v by at most the tolerance in every other component;
// a vertex claimed by several earlier vertices is a copy of the last of them.
// Survivors keep their order; indices are rewritten to them.
//
// The search runs over a hash grid of the positions whose cells are twice the
// tolerance wide, so each query looks at two cells per axis instead of the
// whole array.
#include <cstdint>
#include <vector>

namespace model {

struct WeldLayout {
    uint32_t stride = 0;             // f32 per vertex
    uint32_t positionComponents = 0; // components of channel 0 (x, y, z, part number)
};

struct WeldResult {
    uint32_t unusedRemoved = 0; // vertices no index referred to
    uint32_t copiesRemoved = 0; // vertices welded onto an earlier one
    uint32_t removed() const { return unusedRemoved + copiesRemoved; }
};

// Welds count vertices of data (count × stride values) in place and rewrites
// indices. A negative or NaN tolerance welds nothing (unused vertices are
// still dropped). Raises when an index is outside the vertex array or the
// array length does not match count × stride.
WeldResult weldVertices(std::vector<float>& data, uint32_t& count, std::vector<uint32_t>& indices,
                        const WeldLayout& layout, double tolerance);

} // namespace model
