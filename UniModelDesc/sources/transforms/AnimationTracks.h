#pragma once
// Argument-keyed tracks of ArgAnimationNode and their evaluation. Key "times"
// are argument values; keys are sorted by time.
#include <cstdint>
#include <type_traits>
#include <vector>

#include "Math.h"
#include "Property.h"

namespace model {

// Keys are model::Key<T> (Property.h): a time and a value.
using PositionKey = Key<osg::Vec3d>;
using RotationKey = Key<osg::Quatd>;
using ScaleKey = Key<osg::Vec3d>;

struct PositionTrack {
    int32_t argument = -1;
    std::vector<PositionKey> keys;
};

struct RotationTrack {
    int32_t argument = -1;
    std::vector<RotationKey> keys;
};

// A scale track evaluates both of its key lists at the same argument value.
struct ScaleTrack {
    int32_t argument = -1;
    std::vector<RotationKey> orientationKeys;
    std::vector<ScaleKey> scaleKeys;
};

// (1 − s)·a + s·b.
osg::Vec3d interpolate(const osg::Vec3d& a, const osg::Vec3d& b, double s);

// Spherical interpolation along the shorter arc; linear weights when the two
// are closer than 1e-5 (1 − dot). The result is not renormalised.
osg::Quatd slerp(const osg::Quatd& a, const osg::Quatd& b, double s);

// Value of a key list at argument value v: clamped to the first and last keys,
// otherwise interpolated between the neighbours found by bisection.
template <class T>
T evaluateKeys(const std::vector<Key<T>>& keys, double v, const T& none)
{
    if (keys.empty())
        return none;
    if (v <= keys.front().time)
        return keys.front().value;
    if (v >= keys.back().time)
        return keys.back().value;
    // Invariant: keys[lo].time <= v < keys[hi].time, so the interval is never empty.
    size_t lo = 0, hi = keys.size() - 1;
    while (hi - lo > 1) {
        const size_t mid = lo + (hi - lo) / 2;
        if (keys[mid].time <= v)
            lo = mid;
        else
            hi = mid;
    }
    const double s = (v - keys[lo].time) / (keys[hi].time - keys[lo].time);
    if constexpr (std::is_same_v<T, osg::Quatd>)
        return slerp(keys[lo].value, keys[hi].value, s);
    else
        return interpolate(keys[lo].value, keys[hi].value, s);
}

} // namespace model
