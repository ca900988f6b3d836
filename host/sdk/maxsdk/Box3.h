#pragma once
// Axis-aligned box; empty while any minimum exceeds its maximum.
#include <cfloat>

#include "maxsdk/Matrix3.h"

class Box3 {
public:
    Point3 pmin{FLT_MAX, FLT_MAX, FLT_MAX};
    Point3 pmax{-FLT_MAX, -FLT_MAX, -FLT_MAX};
    Box3() = default;
    Box3(const Point3& lo, const Point3& hi) : pmin(lo), pmax(hi) {}
    void Init() { *this = Box3(); }
    bool IsEmpty() const { return pmin.x > pmax.x || pmin.y > pmax.y || pmin.z > pmax.z; }
    Point3 Min() const { return pmin; }
    Point3 Max() const { return pmax; }
    Point3 Center() const { return (pmin + pmax) * 0.5f; }
    Point3 Width() const { return pmax - pmin; }
    // Corner i: bit 0 picks x, bit 1 y, bit 2 z (0 = min, 1 = max).
    Point3 operator[](int i) const {
        return {(i & 1) ? pmax.x : pmin.x, (i & 2) ? pmax.y : pmin.y, (i & 4) ? pmax.z : pmin.z};
    }
    Box3& operator+=(const Point3& p) {
        for (int a = 0; a < 3; ++a) {
            if (p[a] < pmin[a]) pmin[a] = p[a];
            if (p[a] > pmax[a]) pmax[a] = p[a];
        }
        return *this;
    }
    bool Contains(const Point3& p) const {
        return p.x >= pmin.x && p.x <= pmax.x && p.y >= pmin.y && p.y <= pmax.y && p.z >= pmin.z && p.z <= pmax.z;
    }
    // The box around the eight corners transformed by m.
    Box3 operator*(const Matrix3& m) const {
        Box3 out;
        if (IsEmpty()) return out;
        for (int i = 0; i < 8; ++i) out += (*this)[i] * m;
        return out;
    }
};
