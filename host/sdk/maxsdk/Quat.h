#pragma once
// Rotations. A host quaternion is the conjugate of the standard (right-handed)
// quaternion of the same rotation: Quat(AngAxis(axis, a)) turns points by -a about
// axis. With that convention the host's product is the plain Hamilton product and
// composes in the order of application, like row-vector matrices:
// (p * q).MakeMatrix() == p.MakeMatrix() * q.MakeMatrix().
#include "maxsdk/HostExport.h"
#include "maxsdk/Point.h"

class Matrix3;
class AngAxis;

class ZYHOST_API Quat {
public:
    float x = 0, y = 0, z = 0, w = 1;

    constexpr Quat() = default;
    constexpr Quat(float x_, float y_, float z_, float w_) : x(x_), y(y_), z(z_), w(w_) {}
    explicit Quat(const AngAxis& aa);
    // The rotation of a matrix; the rows are normalised first, so scale is ignored.
    explicit Quat(const Matrix3& m);

    float& operator[](int i) { return i == 0 ? x : (i == 1 ? y : (i == 2 ? z : w)); }
    float operator[](int i) const { return i == 0 ? x : (i == 1 ? y : (i == 2 ? z : w)); }

    Quat operator*(const Quat& q) const;
    Quat& operator*=(const Quat& q) { return *this = *this * q; }
    constexpr Quat operator-() const { return {-x, -y, -z, -w}; }
    constexpr bool operator==(const Quat& q) const { return x == q.x && y == q.y && z == q.z && w == q.w; }
    constexpr bool operator!=(const Quat& q) const { return !(*this == q); }

    void Identity() { x = y = z = 0; w = 1; }
    bool IsIdentity() const { return x == 0 && y == 0 && z == 0 && (w == 1 || w == -1); }
    constexpr Quat Conjugate() const { return {-x, -y, -z, w}; }
    Quat Inverse() const;
    Quat& Invert() { return *this = Inverse(); }
    Quat& Normalize();
    float Length() const;
    // Negates this quaternion when it lies on the other side of the hypersphere from
    // qto (negative dot product), so that interpolating between them takes the short way.
    Quat& MakeClosest(const Quat& qto);
    void MakeMatrix(Matrix3& m) const;
    bool Equals(const Quat& q, float eps = 1e-6f) const;
};

ZYHOST_API float QDot(const Quat& a, const Quat& b);
ZYHOST_API Quat Inverse(const Quat& q);
ZYHOST_API Quat Conjugate(const Quat& q);
ZYHOST_API Quat QFromAngAxis(float angle, const Point3& axis);
ZYHOST_API void AngAxisFromQ(const Quat& q, float* angle, Point3& axis);
// Spherical interpolation from a (u = 0) to b (u = 1) along the shorter arc.
ZYHOST_API Quat Slerp(const Quat& a, const Quat& b, float u);
// Rotates a point or vector by q (the same as the matrix of q).
ZYHOST_API Point3 RotatePoint(const Point3& p, const Quat& q);

class ZYHOST_API AngAxis {
public:
    Point3 axis{0, 0, 1};
    float angle = 0;
    AngAxis() = default;
    AngAxis(const Point3& axis_, float angle_) : axis(axis_), angle(angle_) {}
    explicit AngAxis(const Quat& q);
};
