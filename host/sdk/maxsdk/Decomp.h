#pragma once
// Scale values and the affine decomposition of a matrix.
#include "maxsdk/HostExport.h"
#include "maxsdk/Matrix3.h"
#include "maxsdk/Quat.h"

// A scale: factors s along the axes of the rotation q (the scale axis rotation).
class ZYHOST_API ScaleValue {
public:
    Point3 s{1.f, 1.f, 1.f};
    Quat q;
    ScaleValue() = default;
    explicit ScaleValue(const Point3& s_) : s(s_) {}
    ScaleValue(const Point3& s_, const Quat& q_) : s(s_), q(q_) {}
    bool operator==(const ScaleValue& o) const { return s == o.s && q == o.q; }
    // The scale as a matrix: Inverse(q) * diag(s) * q (row vectors).
    Matrix3 ToMatrix() const;
};

// M = f * Inverse(u) * diag(k) * u * q, then translation t (row vectors):
// the stretch k along the axes of u is applied first, then the rotation q, then t.
// f is -1 when M mirrors (negative determinant), else 1; k is never negative.
// Among the equivalent stretch rotations, u is the one closest to the identity.
struct AffineParts {
    Point3 t;
    Quat q;
    Quat u;
    Point3 k{1.f, 1.f, 1.f};
    float f = 1.f;
};

ZYHOST_API void decomp_affine(const Matrix3& m, AffineParts* parts);
// Rebuilds the matrix of the parts.
ZYHOST_API Matrix3 ComposeAffine(const AffineParts& parts);
// m = scale * m (relative evaluation of a scale controller).
ZYHOST_API void ApplyScaling(Matrix3& m, const ScaleValue& v);
