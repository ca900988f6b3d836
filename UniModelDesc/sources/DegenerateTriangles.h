#pragma once
// Degenerate triangles of a triangle list: two equal indices, or all three
// positions agreeing on at least two axes (a line parallel to an axis, or a
// point) within 9.9999997e-05.
#include <cstdint>
#include <vector>

#include "Vertices.h"

namespace model {

// The single-precision value with bits 0x38D1B717.
inline constexpr float kDegenerateTolerance = 9.9999997e-05f;

// Removes the degenerate triangles of a triangle list (other primitive types
// are left alone). Positions are the first three components of each vertex
// of the given stride; hasPositions false (a position channel of fewer than
// three components) disables the position test. A triangle that refers to a vertex beyond the array is
// removed too. Returns, for every old index position p (0 to n), the number
// of indices kept before p; its last entry is the new index count.
std::vector<uint32_t> removeDegenerateTriangles(const Vertices& vertices, uint32_t stride, bool hasPositions,
                                                Indices& indices);

// The number of triangles removed, from the result above and the old count.
inline uint32_t removedTriangles(const std::vector<uint32_t>& keptBefore)
{
    return uint32_t((keptBefore.size() - 1 - keptBefore.back()) / 3);
}

} // namespace model
