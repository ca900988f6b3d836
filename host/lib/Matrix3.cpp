// Row-vector 4 x 3 matrices.
#include "maxsdk/Matrix3.h"

#include <cmath>

#include "maxsdk/Quat.h"

Matrix3::Matrix3() { IdentityMatrix(); }

Matrix3::Matrix3(const Point3& r0, const Point3& r1, const Point3& r2, const Point3& r3) : rows_{r0, r1, r2, r3} {}

void Matrix3::IdentityMatrix() {
    rows_[0] = Point3(1.f, 0.f, 0.f);
    rows_[1] = Point3(0.f, 1.f, 0.f);
    rows_[2] = Point3(0.f, 0.f, 1.f);
    rows_[3] = Point3(0.f, 0.f, 0.f);
}

void Matrix3::NoScale() {
    Quat q(*this);
    Point3 t = rows_[3];
    q.MakeMatrix(*this);
    rows_[3] = t;
}

bool Matrix3::IsIdentity() const { return *this == Matrix3(); }

bool Matrix3::Equals(const Matrix3& m, float eps) const {
    for (int i = 0; i < 4; ++i)
        if (!rows_[i].Equals(m.rows_[i], eps)) return false;
    return true;
}

bool Matrix3::operator==(const Matrix3& m) const {
    for (int i = 0; i < 4; ++i)
        if (rows_[i] != m.rows_[i]) return false;
    return true;
}

Matrix3 Matrix3::operator*(const Matrix3& m) const {
    Matrix3 r;
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 3; ++j) {
            float v = rows_[i][0] * m.rows_[0][j] + rows_[i][1] * m.rows_[1][j] + rows_[i][2] * m.rows_[2][j];
            if (i == 3) v += m.rows_[3][j];
            r.rows_[i][j] = v;
        }
    }
    return r;
}

void Matrix3::Translate(const Point3& p) { *this = *this * TransMatrix(p); }
void Matrix3::PreTranslate(const Point3& p) { *this = TransMatrix(p) * *this; }
void Matrix3::RotateX(float a) { *this = *this * RotateXMatrix(a); }
void Matrix3::RotateY(float a) { *this = *this * RotateYMatrix(a); }
void Matrix3::RotateZ(float a) { *this = *this * RotateZMatrix(a); }
void Matrix3::PreRotateX(float a) { *this = RotateXMatrix(a) * *this; }
void Matrix3::PreRotateY(float a) { *this = RotateYMatrix(a) * *this; }
void Matrix3::PreRotateZ(float a) { *this = RotateZMatrix(a) * *this; }
void Matrix3::Scale(const Point3& s) { *this = *this * ScaleMatrix(s); }
void Matrix3::PreScale(const Point3& s) { *this = ScaleMatrix(s) * *this; }

void Matrix3::SetRotate(const Quat& q) {
    Point3 t = rows_[3];
    q.MakeMatrix(*this);
    rows_[3] = t;
}

float Matrix3::Determinant3() const { return DotProd(CrossProd(rows_[0], rows_[1]), rows_[2]); }

bool Matrix3::Parity() const { return Determinant3() < 0.f; }

void Matrix3::Invert() { *this = ::Inverse(*this); }

Matrix3 Inverse(const Matrix3& m) {
    // Adjugate of the 3 x 3 part in double precision, then the translation.
    double a[3][3];
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) a[i][j] = m[i][j];
    double c00 = a[1][1] * a[2][2] - a[1][2] * a[2][1];
    double c01 = a[1][2] * a[2][0] - a[1][0] * a[2][2];
    double c02 = a[1][0] * a[2][1] - a[1][1] * a[2][0];
    double det = a[0][0] * c00 + a[0][1] * c01 + a[0][2] * c02;
    Matrix3 r;
    if (det == 0.0) return r; // singular: the identity, as a harmless stand-in
    double inv[3][3] = {
        {c00, a[0][2] * a[2][1] - a[0][1] * a[2][2], a[0][1] * a[1][2] - a[0][2] * a[1][1]},
        {c01, a[0][0] * a[2][2] - a[0][2] * a[2][0], a[0][2] * a[1][0] - a[0][0] * a[1][2]},
        {c02, a[0][1] * a[2][0] - a[0][0] * a[2][1], a[0][0] * a[1][1] - a[0][1] * a[1][0]},
    };
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) r[i][j] = float(inv[i][j] / det);
    Point3 t = m[3];
    for (int j = 0; j < 3; ++j) {
        double v = -(t.x * inv[0][j] + t.y * inv[1][j] + t.z * inv[2][j]) / det;
        r[3][j] = float(v);
    }
    return r;
}

Matrix3 TransMatrix(const Point3& p) {
    Matrix3 m;
    m.SetTrans(p);
    return m;
}

Matrix3 ScaleMatrix(const Point3& s) {
    Matrix3 m;
    m[0][0] = s.x;
    m[1][1] = s.y;
    m[2][2] = s.z;
    return m;
}

Matrix3 RotateXMatrix(float angle) {
    float c = std::cos(angle), s = std::sin(angle);
    return Matrix3(Point3(1.f, 0.f, 0.f), Point3(0.f, c, s), Point3(0.f, -s, c), Point3());
}

Matrix3 RotateYMatrix(float angle) {
    float c = std::cos(angle), s = std::sin(angle);
    return Matrix3(Point3(c, 0.f, -s), Point3(0.f, 1.f, 0.f), Point3(s, 0.f, c), Point3());
}

Matrix3 RotateZMatrix(float angle) {
    float c = std::cos(angle), s = std::sin(angle);
    return Matrix3(Point3(c, s, 0.f), Point3(-s, c, 0.f), Point3(0.f, 0.f, 1.f), Point3());
}

Point3 operator*(const Point3& p, const Matrix3& m) { return VectorTransform(m, p) + m[3]; }

Point3 VectorTransform(const Matrix3& m, const Point3& v) { return m[0] * v.x + m[1] * v.y + m[2] * v.z; }

Point3 VectorTransform(const Point3& v, const Matrix3& m) { return VectorTransform(m, v); }

void PreRotateMatrix(Matrix3& m, const Quat& q) {
    Matrix3 r;
    q.MakeMatrix(r);
    m = r * m;
}

void RotateMatrix(Matrix3& m, const Quat& q) {
    Matrix3 r;
    q.MakeMatrix(r);
    m = m * r;
}
