#pragma once
// 4 rows of 3 floats, row-vector convention: a point p maps to p * M, the
// translation is the fourth row, and A * B applies A first, then B.
#include "maxsdk/HostExport.h"
#include "maxsdk/Point.h"

class Quat;

class ZYHOST_API Matrix3 {
public:
    // The identity.
    Matrix3();
    Matrix3(const Point3& r0, const Point3& r1, const Point3& r2, const Point3& r3);

    Point3& operator[](int i) { return rows_[i]; }
    const Point3& operator[](int i) const { return rows_[i]; }
    Point3 GetRow(int i) const { return rows_[i]; }
    void SetRow(int i, const Point3& p) { rows_[i] = p; }
    Point3 GetTrans() const { return rows_[3]; }
    void SetTrans(const Point3& p) { rows_[3] = p; }

    void IdentityMatrix();
    void NoTrans() { rows_[3] = Point3(0.f, 0.f, 0.f); }
    // Removes scale and shear, keeping rotation and translation.
    void NoScale();
    bool IsIdentity() const;
    bool Equals(const Matrix3& m, float eps = 1e-6f) const;
    bool operator==(const Matrix3& m) const;

    Matrix3 operator*(const Matrix3& m) const;
    Matrix3& operator*=(const Matrix3& m) { return *this = *this * m; }

    // Post-operations (this = this * X) and pre-operations (this = X * this).
    void Translate(const Point3& p);
    void PreTranslate(const Point3& p);
    void RotateX(float angle);
    void RotateY(float angle);
    void RotateZ(float angle);
    void PreRotateX(float angle);
    void PreRotateY(float angle);
    void PreRotateZ(float angle);
    void Scale(const Point3& s);
    void PreScale(const Point3& s);
    void SetRotate(const Quat& q);

    void Invert();
    // True when the matrix mirrors: (r0 x r1) . r2 < 0.
    bool Parity() const;
    float Determinant3() const;

private:
    Point3 rows_[4];
};

ZYHOST_API Matrix3 Inverse(const Matrix3& m);
ZYHOST_API Matrix3 TransMatrix(const Point3& p);
ZYHOST_API Matrix3 ScaleMatrix(const Point3& s);
// Counter-clockwise rotations (looking down the axis towards the origin).
ZYHOST_API Matrix3 RotateXMatrix(float angle);
ZYHOST_API Matrix3 RotateYMatrix(float angle);
ZYHOST_API Matrix3 RotateZMatrix(float angle);
// The point p transformed by m, translation included.
ZYHOST_API Point3 operator*(const Point3& p, const Matrix3& m);
// The vector v transformed by the 3 x 3 part of m only.
ZYHOST_API Point3 VectorTransform(const Matrix3& m, const Point3& v);
ZYHOST_API Point3 VectorTransform(const Point3& v, const Matrix3& m);
// m = TransMatrix/rotation * m: used by relative controller evaluation.
ZYHOST_API void PreRotateMatrix(Matrix3& m, const Quat& q);
ZYHOST_API void RotateMatrix(Matrix3& m, const Quat& q);
