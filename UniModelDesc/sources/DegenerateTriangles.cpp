#include "DegenerateTriangles.h"

#include <cmath>

namespace model {

namespace {

bool agreeOnAxis(const float* a, const float* b, const float* c, int axis)
{
    return std::fabs(a[axis] - b[axis]) <= kDegenerateTolerance &&
           std::fabs(a[axis] - c[axis]) <= kDegenerateTolerance &&
           std::fabs(b[axis] - c[axis]) <= kDegenerateTolerance;
}

} // namespace

std::vector<uint32_t> removeDegenerateTriangles(const Vertices& vertices, uint32_t stride, bool hasPositions,
                                                Indices& indices)
{
    std::vector<uint32_t>& values = indices.values();
    const size_t n = values.size();
    std::vector<uint32_t> keptBefore(n + 1);
    for (size_t p = 0; p <= n; ++p)
        keptBefore[p] = uint32_t(p);
    if (indices.primitiveType() != PrimitiveTriangles)
        return keptBefore;

    const bool testPositions = hasPositions && stride >= 3 && vertices.fits(stride);
    size_t kept = 0;
    size_t p = 0;
    for (; p + 3 <= n; p += 3) {
        const uint32_t a = values[p], b = values[p + 1], c = values[p + 2];
        bool degenerate = a == b || b == c || a == c || a >= vertices.count() || b >= vertices.count() ||
                          c >= vertices.count();
        if (!degenerate && testPositions) {
            const float* pa = vertices.vertex(a, stride);
            const float* pb = vertices.vertex(b, stride);
            const float* pc = vertices.vertex(c, stride);
            const int axes = agreeOnAxis(pa, pb, pc, 0) + agreeOnAxis(pa, pb, pc, 1) + agreeOnAxis(pa, pb, pc, 2);
            degenerate = axes >= 2;
        }
        for (size_t k = 0; k < 3; ++k)
            keptBefore[p + k] = uint32_t(kept + (degenerate ? 0 : k));
        if (!degenerate) {
            values[kept++] = a;
            values[kept++] = b;
            values[kept++] = c;
        }
    }
    // A trailing incomplete triangle is kept as it is.
    for (; p < n; ++p) {
        keptBefore[p] = uint32_t(kept);
        values[kept++] = values[p];
    }
    keptBefore[n] = uint32_t(kept);
    values.resize(kept);
    return keptBefore;
}

} // namespace model
