#pragma once
// Applying a matrix to vertex data: positions and morph positions as points,
// normals (also tangents, binormals and morph normals) by the normal matrix.
#include <cstdint>

#include "Math.h"
#include "VertexFormat.h"

namespace model {

// The inverse transpose of the upper-left 3×3 block of m, in a Mat4d without
// translation; all zero when that block's determinant is below 1e-5 in magnitude.
osg::Mat4d normalMatrix(const osg::Mat4d& m);

// Transforms the first three components at p as a point.
void transformPointAt(float* p, const osg::Mat4d& m);

// Multiplies the three components at p by the normal matrix n and renormalises
// the result when its length is positive.
void transformNormalAt(float* p, const osg::Mat4d& n);

// The channels a full vertex transform touches: which ones, and how.
struct VertexTransform {
    explicit VertexTransform(const VertexFormat& format, bool allNormalChannels = true);

    // Transforms one vertex in place: position (channel 0) and morph position
    // (22) as points, the normal-like channels by the normal matrix.
    void apply(float* vertex, const osg::Mat4d& m, const osg::Mat4d& normals) const;

private:
    int pointCount_ = 0;
    uint32_t points_[2] = {};
    int normalCount_ = 0;
    uint32_t normals_[4] = {};
};

} // namespace model
