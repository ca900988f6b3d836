#pragma once
// Key reduction of argument animation tracks: a run of consecutive keys whose
// values all lie within the tolerance (per component) of the run's first key
// is reduced to the run's first and last key. Key times are not compared.
#include <cmath>
#include <vector>

#include "transforms/AnimationTracks.h"

namespace model {

namespace detail {
inline bool componentsWithin(const osg::Vec3d& a, const osg::Vec3d& b, double tolerance)
{
    for (int i = 0; i < 3; ++i)
        if (!(std::fabs(a[i] - b[i]) <= tolerance))
            return false;
    return true;
}
inline bool componentsWithin(const osg::Quatd& a, const osg::Quatd& b, double tolerance)
{
    for (int i = 0; i < 4; ++i)
        if (!(std::fabs(a[i] - b[i]) <= tolerance))
            return false;
    return true;
}
} // namespace detail

// Returns true when keys were removed.
template <class T>
bool reduceKeys(std::vector<Key<T>>& keys, double tolerance)
{
    std::vector<Key<T>> kept;
    kept.reserve(keys.size());
    for (size_t first = 0; first < keys.size();) {
        size_t last = first;
        while (last + 1 < keys.size() && detail::componentsWithin(keys[last + 1].value, keys[first].value, tolerance))
            ++last;
        kept.push_back(keys[first]);
        if (last != first)
            kept.push_back(keys[last]);
        first = last + 1;
    }
    if (kept.size() == keys.size())
        return false;
    keys = std::move(kept);
    return true;
}

} // namespace model
