#include "VertexTransform.h"

#include <cmath>

namespace model {

osg::Mat4d normalMatrix(const osg::Mat4d& m)
{
    const double a = m(0, 0), b = m(0, 1), c = m(0, 2);
    const double d = m(1, 0), e = m(1, 1), f = m(1, 2);
    const double g = m(2, 0), h = m(2, 1), i = m(2, 2);
    const double det = a * (e * i - f * h) - b * (d * i - f * g) + c * (d * h - e * g);
    osg::Mat4d n = osg::Mat4d::zero();
    if (std::fabs(det) < 1e-5)
        return n;
    const double k = 1.0 / det;
    // The cofactors of the 3×3 block over its determinant: its inverse, transposed.
    n(0, 0) = (e * i - f * h) * k;
    n(1, 0) = (c * h - b * i) * k;
    n(2, 0) = (b * f - c * e) * k;
    n(0, 1) = (f * g - d * i) * k;
    n(1, 1) = (a * i - c * g) * k;
    n(2, 1) = (c * d - a * f) * k;
    n(0, 2) = (d * h - e * g) * k;
    n(1, 2) = (b * g - a * h) * k;
    n(2, 2) = (a * e - b * d) * k;
    n(3, 3) = 1;
    return n;
}

void transformPointAt(float* p, const osg::Mat4d& m)
{
    const osg::Vec3d r = m.transformPoint({p[0], p[1], p[2]});
    p[0] = float(r[0]);
    p[1] = float(r[1]);
    p[2] = float(r[2]);
}

void transformNormalAt(float* p, const osg::Mat4d& n)
{
    osg::Vec3d r = n.transformVector({p[0], p[1], p[2]});
    const double length = r.length();
    if (length > 0)
        r = r * (1.0 / length);
    p[0] = float(r[0]);
    p[1] = float(r[1]);
    p[2] = float(r[2]);
}

VertexTransform::VertexTransform(const VertexFormat& format, bool allNormalChannels)
{
    // Channels with fewer than three components cannot hold a point or a direction.
    auto usable = [&](int channel) { return format.count(channel) >= 3; };
    for (int channel : {int(ChannelPosition), int(ChannelMorphPosition)})
        if (usable(channel) && (allNormalChannels || channel == ChannelPosition))
            points_[pointCount_++] = format.offset(channel);
    for (int channel : {int(ChannelNormal), int(ChannelTangent), int(ChannelBinormal), int(ChannelMorphNormal)})
        if (usable(channel) && (allNormalChannels || channel == ChannelNormal))
            normals_[normalCount_++] = format.offset(channel);
}

void VertexTransform::apply(float* vertex, const osg::Mat4d& m, const osg::Mat4d& normals) const
{
    for (int k = 0; k < pointCount_; ++k)
        transformPointAt(vertex + points_[k], m);
    for (int k = 0; k < normalCount_; ++k)
        transformNormalAt(vertex + normals_[k], normals);
}

} // namespace model
