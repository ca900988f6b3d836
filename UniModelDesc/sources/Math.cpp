#include "Math.h"

namespace osg {

Mat4d Mat4d::rotate(const Quatd& q) noexcept
{
    const double xx = q.x * q.x, yy = q.y * q.y, zz = q.z * q.z;
    const double xy = q.x * q.y, xz = q.x * q.z, yz = q.y * q.z;
    const double wx = q.w * q.x, wy = q.w * q.y, wz = q.w * q.z;
    Mat4d r;
    // Row i is the image of the i-th axis (row vectors).
    r.m[0] = 1 - 2 * (yy + zz);
    r.m[1] = 2 * (xy + wz);
    r.m[2] = 2 * (xz - wy);
    r.m[4] = 2 * (xy - wz);
    r.m[5] = 1 - 2 * (xx + zz);
    r.m[6] = 2 * (yz + wx);
    r.m[8] = 2 * (xz + wy);
    r.m[9] = 2 * (yz - wx);
    r.m[10] = 1 - 2 * (xx + yy);
    return r;
}

Mat4d operator*(const Mat4d& a, const Mat4d& b) noexcept
{
    Mat4d r = Mat4d::zero();
    for (int row = 0; row < 4; ++row)
        for (int k = 0; k < 4; ++k) {
            const double e = a.m[row * 4 + k];
            for (int col = 0; col < 4; ++col)
                r.m[row * 4 + col] += e * b.m[k * 4 + col];
        }
    return r;
}

bool Mat4d::isIdentity(double tolerance) const noexcept
{
    return equalWithin(*this, Mat4d::identity(), tolerance);
}

Mat4d Mat4d::transposed() const noexcept
{
    Mat4d r;
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 4; ++col)
            r.m[col * 4 + row] = m[row * 4 + col];
    return r;
}

namespace {
// Cofactor expansion by 2x2 sub-determinants of the upper and lower row pairs.
struct Minors {
    double s[6], c[6];
    explicit Minors(const double* m) noexcept
    {
        s[0] = m[0] * m[5] - m[4] * m[1];
        s[1] = m[0] * m[6] - m[4] * m[2];
        s[2] = m[0] * m[7] - m[4] * m[3];
        s[3] = m[1] * m[6] - m[5] * m[2];
        s[4] = m[1] * m[7] - m[5] * m[3];
        s[5] = m[2] * m[7] - m[6] * m[3];
        c[5] = m[10] * m[15] - m[14] * m[11];
        c[4] = m[9] * m[15] - m[13] * m[11];
        c[3] = m[9] * m[14] - m[13] * m[10];
        c[2] = m[8] * m[15] - m[12] * m[11];
        c[1] = m[8] * m[14] - m[12] * m[10];
        c[0] = m[8] * m[13] - m[12] * m[9];
    }
    double determinant() const noexcept
    {
        return s[0] * c[5] - s[1] * c[4] + s[2] * c[3] + s[3] * c[2] - s[4] * c[1] + s[5] * c[0];
    }
};
} // namespace

double Mat4d::determinant() const noexcept
{
    return Minors(m).determinant();
}

Mat4d Mat4d::inverse() const noexcept
{
    const Minors mi(m);
    const double det = mi.determinant();
    if (det == 0 || !std::isfinite(det))
        return Mat4d::zero();
    const double* s = mi.s;
    const double* c = mi.c;
    const double k = 1.0 / det;
    Mat4d r;
    r.m[0] = (m[5] * c[5] - m[6] * c[4] + m[7] * c[3]) * k;
    r.m[1] = (-m[1] * c[5] + m[2] * c[4] - m[3] * c[3]) * k;
    r.m[2] = (m[13] * s[5] - m[14] * s[4] + m[15] * s[3]) * k;
    r.m[3] = (-m[9] * s[5] + m[10] * s[4] - m[11] * s[3]) * k;
    r.m[4] = (-m[4] * c[5] + m[6] * c[2] - m[7] * c[1]) * k;
    r.m[5] = (m[0] * c[5] - m[2] * c[2] + m[3] * c[1]) * k;
    r.m[6] = (-m[12] * s[5] + m[14] * s[2] - m[15] * s[1]) * k;
    r.m[7] = (m[8] * s[5] - m[10] * s[2] + m[11] * s[1]) * k;
    r.m[8] = (m[4] * c[4] - m[5] * c[2] + m[7] * c[0]) * k;
    r.m[9] = (-m[0] * c[4] + m[1] * c[2] - m[3] * c[0]) * k;
    r.m[10] = (m[12] * s[4] - m[13] * s[2] + m[15] * s[0]) * k;
    r.m[11] = (-m[8] * s[4] + m[9] * s[2] - m[11] * s[0]) * k;
    r.m[12] = (-m[4] * c[3] + m[5] * c[1] - m[6] * c[0]) * k;
    r.m[13] = (m[0] * c[3] - m[1] * c[1] + m[2] * c[0]) * k;
    r.m[14] = (-m[12] * s[3] + m[13] * s[1] - m[14] * s[0]) * k;
    r.m[15] = (m[8] * s[3] - m[9] * s[1] + m[10] * s[0]) * k;
    return r;
}

bool equalWithin(const Mat4d& a, const Mat4d& b, double tolerance) noexcept
{
    for (int i = 0; i < 16; ++i)
        if (!(std::fabs(a.m[i] - b.m[i]) <= tolerance))
            return false;
    return true;
}

} // namespace osg
