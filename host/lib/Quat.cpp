// Host quaternions: see Quat.h for the handedness convention.
#include "maxsdk/Quat.h"

#include <cmath>

#include "maxsdk/Matrix3.h"

Quat::Quat(const AngAxis& aa) { *this = QFromAngAxis(aa.angle, aa.axis); }

Quat::Quat(const Matrix3& src) {
    // Rows normalised so that a scaled matrix yields its rotation.
    double m[3][3];
    for (int i = 0; i < 3; ++i) {
        Point3 r = src[i];
        double l = std::sqrt(double(r.x) * r.x + double(r.y) * r.y + double(r.z) * r.z);
        if (l == 0) l = 1;
        m[i][0] = r.x / l;
        m[i][1] = r.y / l;
        m[i][2] = r.z / l;
    }
    // The row-vector matrix of a host quaternion has the layout of the standard
    // column-vector rotation matrix of its components (Shepperd's method).
    double tr = m[0][0] + m[1][1] + m[2][2];
    double qx, qy, qz, qw;
    if (tr > 0) {
        double s = std::sqrt(tr + 1.0) * 2;
        qw = 0.25 * s;
        qx = (m[2][1] - m[1][2]) / s;
        qy = (m[0][2] - m[2][0]) / s;
        qz = (m[1][0] - m[0][1]) / s;
    } else if (m[0][0] > m[1][1] && m[0][0] > m[2][2]) {
        double s = std::sqrt(1.0 + m[0][0] - m[1][1] - m[2][2]) * 2;
        qw = (m[2][1] - m[1][2]) / s;
        qx = 0.25 * s;
        qy = (m[0][1] + m[1][0]) / s;
        qz = (m[0][2] + m[2][0]) / s;
    } else if (m[1][1] > m[2][2]) {
        double s = std::sqrt(1.0 + m[1][1] - m[0][0] - m[2][2]) * 2;
        qw = (m[0][2] - m[2][0]) / s;
        qx = (m[0][1] + m[1][0]) / s;
        qy = 0.25 * s;
        qz = (m[1][2] + m[2][1]) / s;
    } else {
        double s = std::sqrt(1.0 + m[2][2] - m[0][0] - m[1][1]) * 2;
        qw = (m[1][0] - m[0][1]) / s;
        qx = (m[0][2] + m[2][0]) / s;
        qy = (m[1][2] + m[2][1]) / s;
        qz = 0.25 * s;
    }
    double l = std::sqrt(qx * qx + qy * qy + qz * qz + qw * qw);
    x = float(qx / l);
    y = float(qy / l);
    z = float(qz / l);
    w = float(qw / l);
}

Quat Quat::operator*(const Quat& q) const {
    return {w * q.x + x * q.w + y * q.z - z * q.y,
            w * q.y - x * q.z + y * q.w + z * q.x,
            w * q.z + x * q.y - y * q.x + z * q.w,
            w * q.w - x * q.x - y * q.y - z * q.z};
}

float Quat::Length() const { return std::sqrt(x * x + y * y + z * z + w * w); }

Quat Quat::Inverse() const {
    float n = x * x + y * y + z * z + w * w;
    if (n == 0) return {};
    return {-x / n, -y / n, -z / n, w / n};
}

Quat& Quat::Normalize() {
    float l = Length();
    if (l > 0) {
        x /= l; y /= l; z /= l; w /= l;
    }
    return *this;
}

Quat& Quat::MakeClosest(const Quat& qto) {
    if (QDot(*this, qto) < 0) *this = -*this;
    return *this;
}

void Quat::MakeMatrix(Matrix3& m) const {
    float xx = x * x, yy = y * y, zz = z * z;
    float xy = x * y, xz = x * z, yz = y * z, xw = x * w, yw = y * w, zw = z * w;
    m = Matrix3(Point3(1 - 2 * (yy + zz), 2 * (xy - zw), 2 * (xz + yw)),
                Point3(2 * (xy + zw), 1 - 2 * (xx + zz), 2 * (yz - xw)),
                Point3(2 * (xz - yw), 2 * (yz + xw), 1 - 2 * (xx + yy)),
                Point3());
}

bool Quat::Equals(const Quat& q, float eps) const {
    return std::fabs(x - q.x) <= eps && std::fabs(y - q.y) <= eps && std::fabs(z - q.z) <= eps &&
           std::fabs(w - q.w) <= eps;
}

float QDot(const Quat& a, const Quat& b) { return a.x * b.x + a.y * b.y + a.z * b.z + a.w * b.w; }

Quat Inverse(const Quat& q) { return q.Inverse(); }

Quat Conjugate(const Quat& q) { return q.Conjugate(); }

Quat QFromAngAxis(float angle, const Point3& axis) {
    Point3 a = axis.Normalize();
    float s = std::sin(angle * 0.5f);
    return {a.x * s, a.y * s, a.z * s, std::cos(angle * 0.5f)};
}

void AngAxisFromQ(const Quat& src, float* angle, Point3& axis) {
    Quat q = src;
    q.Normalize();
    float s = std::sqrt(q.x * q.x + q.y * q.y + q.z * q.z);
    if (s < 1e-9f) {
        *angle = 0;
        axis = Point3(0.f, 0.f, 1.f);
        return;
    }
    *angle = 2.f * std::atan2(s, q.w);
    axis = Point3(q.x / s, q.y / s, q.z / s);
}

Quat Slerp(const Quat& a, const Quat& bIn, float u) {
    Quat b = bIn;
    b.MakeClosest(a);
    double cosom = QDot(a, b);
    double s0, s1;
    if (cosom > 0.9999) {
        s0 = 1.0 - u;
        s1 = u;
    } else {
        double om = std::acos(cosom), sinom = std::sin(om);
        s0 = std::sin((1.0 - u) * om) / sinom;
        s1 = std::sin(u * om) / sinom;
    }
    Quat r(float(s0 * a.x + s1 * b.x), float(s0 * a.y + s1 * b.y), float(s0 * a.z + s1 * b.z),
           float(s0 * a.w + s1 * b.w));
    return r.Normalize();
}

Point3 RotatePoint(const Point3& p, const Quat& q) {
    Matrix3 m;
    q.MakeMatrix(m);
    return VectorTransform(m, p);
}

AngAxis::AngAxis(const Quat& q) { AngAxisFromQ(q, &angle, axis); }
