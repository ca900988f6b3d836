#pragma once
// An axis-aligned box of single-precision corners.
#include <algorithm>

#include "Math.h"

namespace model {

struct Box {
    static constexpr float kEmptyMin = 3.4028235e38f;

    osg::Vec3f min{kEmptyMin, kEmptyMin, kEmptyMin};
    osg::Vec3f max{-kEmptyMin, -kEmptyMin, -kEmptyMin};

    // Empty while any minimum exceeds its maximum.
    bool isEmpty() const noexcept { return min[0] > max[0] || min[1] > max[1] || min[2] > max[2]; }

    void expand(const osg::Vec3f& p) noexcept
    {
        for (int i = 0; i < 3; ++i) {
            min[i] = std::min(min[i], p[i]);
            max[i] = std::max(max[i], p[i]);
        }
    }
    void expand(const Box& b) noexcept
    {
        if (b.isEmpty())
            return;
        expand(b.min);
        expand(b.max);
    }
    friend bool operator==(const Box&, const Box&) = default;
};

} // namespace model
