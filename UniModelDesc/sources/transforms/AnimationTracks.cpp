#include "transforms/AnimationTracks.h"

#include <cmath>

namespace model {

osg::Vec3d interpolate(const osg::Vec3d& a, const osg::Vec3d& b, double s)
{
    return a * (1.0 - s) + b * s;
}

osg::Quatd slerp(const osg::Quatd& a, const osg::Quatd& b, double s)
{
    osg::Quatd to = b;
    double cosTheta = a.x * b.x + a.y * b.y + a.z * b.z + a.w * b.w;
    if (cosTheta < 0) {
        to = {-b.x, -b.y, -b.z, -b.w};
        cosTheta = -cosTheta;
    }
    double wa = 1.0 - s, wb = s;
    if (1.0 - cosTheta > 1e-5) {
        const double theta = std::acos(cosTheta);
        const double sinTheta = std::sin(theta);
        wa = std::sin((1.0 - s) * theta) / sinTheta;
        wb = std::sin(s * theta) / sinTheta;
    }
    return {wa * a.x + wb * to.x, wa * a.y + wb * to.y, wa * a.z + wb * to.z, wa * a.w + wb * to.w};
}

} // namespace model
