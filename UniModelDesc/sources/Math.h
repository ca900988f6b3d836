#pragma once
// Small vector, quaternion and matrix types of the model library.
//
// The float vectors keep the names the file format carries inside class names
// ("model::Property<osg::Vec3f>"). Matrices use the row-vector convention: a
// point is a row vector multiplied from the left, translation sits in elements
// 12..14, and a product A * B applies A first, then B.
#include <cmath>
#include <cstddef>

namespace osg {

// N consecutive components of type T.
template <class T, int N>
struct Vec {
    T v[N] = {};

    constexpr Vec() = default;
    template <class... A>
        requires(sizeof...(A) == N && N > 1)
    constexpr Vec(A... a) : v{static_cast<T>(a)...}
    {
    }

    static constexpr int size() noexcept { return N; }
    constexpr T& operator[](int i) noexcept { return v[i]; }
    constexpr const T& operator[](int i) const noexcept { return v[i]; }
    T* data() noexcept { return v; }
    const T* data() const noexcept { return v; }

    constexpr T& x() noexcept { return v[0]; }
    constexpr T x() const noexcept { return v[0]; }
    constexpr T& y() noexcept requires(N > 1) { return v[1]; }
    constexpr T y() const noexcept requires(N > 1) { return v[1]; }
    constexpr T& z() noexcept requires(N > 2) { return v[2]; }
    constexpr T z() const noexcept requires(N > 2) { return v[2]; }
    constexpr T& w() noexcept requires(N > 3) { return v[3]; }
    constexpr T w() const noexcept requires(N > 3) { return v[3]; }

    friend constexpr bool operator==(const Vec& a, const Vec& b) noexcept
    {
        for (int i = 0; i < N; ++i)
            if (!(a.v[i] == b.v[i]))
                return false;
        return true;
    }
    friend constexpr Vec operator+(Vec a, const Vec& b) noexcept
    {
        for (int i = 0; i < N; ++i)
            a.v[i] += b.v[i];
        return a;
    }
    friend constexpr Vec operator-(Vec a, const Vec& b) noexcept
    {
        for (int i = 0; i < N; ++i)
            a.v[i] -= b.v[i];
        return a;
    }
    friend constexpr Vec operator*(Vec a, T s) noexcept
    {
        for (int i = 0; i < N; ++i)
            a.v[i] *= s;
        return a;
    }
    constexpr Vec& operator+=(const Vec& b) noexcept { return *this = *this + b; }

    friend constexpr T dot(const Vec& a, const Vec& b) noexcept
    {
        T s = 0;
        for (int i = 0; i < N; ++i)
            s += a.v[i] * b.v[i];
        return s;
    }
    T length() const noexcept { return std::sqrt(dot(*this, *this)); }
};

using Vec2f = Vec<float, 2>;
using Vec3f = Vec<float, 3>;
using Vec4f = Vec<float, 4>;
using Vec3d = Vec<double, 3>;

inline Vec3d cross(const Vec3d& a, const Vec3d& b) noexcept
{
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

// Quaternion (x, y, z, w) of doubles; the identity rotation by default.
struct Quatd {
    double x = 0, y = 0, z = 0, w = 1;

    constexpr Quatd() = default;
    constexpr Quatd(double x_, double y_, double z_, double w_) : x(x_), y(y_), z(z_), w(w_) {}

    constexpr double operator[](int i) const noexcept { return i == 0 ? x : i == 1 ? y : i == 2 ? z : w; }
    friend constexpr bool operator==(const Quatd&, const Quatd&) = default;

    constexpr Quatd conjugate() const noexcept { return {-x, -y, -z, w}; }
    constexpr double norm2() const noexcept { return x * x + y * y + z * z + w * w; }
    // Hamilton product: (a * b) rotates by b first, then by a.
    friend constexpr Quatd operator*(const Quatd& a, const Quatd& b) noexcept
    {
        return {a.w * b.x + a.x * b.w + a.y * b.z - a.z * b.y,
                a.w * b.y - a.x * b.z + a.y * b.w + a.z * b.x,
                a.w * b.z + a.x * b.y - a.y * b.x + a.z * b.w,
                a.w * b.w - a.x * b.x - a.y * b.y - a.z * b.z};
    }
};

// 4x4 double matrix, row-major in memory (row 0 first), row-vector convention.
struct Mat4d {
    double m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

    constexpr Mat4d() = default;
    static constexpr Mat4d identity() noexcept { return {}; }
    static constexpr Mat4d zero() noexcept
    {
        Mat4d r;
        for (double& e : r.m)
            e = 0;
        return r;
    }
    static constexpr Mat4d translate(const Vec3d& t) noexcept
    {
        Mat4d r;
        r.m[12] = t[0];
        r.m[13] = t[1];
        r.m[14] = t[2];
        return r;
    }
    static constexpr Mat4d scale(const Vec3d& s) noexcept
    {
        Mat4d r;
        r.m[0] = s[0];
        r.m[5] = s[1];
        r.m[10] = s[2];
        return r;
    }
    // The rotation of a unit quaternion, for row vectors.
    static Mat4d rotate(const Quatd& q) noexcept;

    constexpr double& operator()(int row, int col) noexcept { return m[row * 4 + col]; }
    constexpr double operator()(int row, int col) const noexcept { return m[row * 4 + col]; }
    constexpr double& operator[](int i) noexcept { return m[i]; }
    constexpr double operator[](int i) const noexcept { return m[i]; }
    double* data() noexcept { return m; }
    const double* data() const noexcept { return m; }

    friend constexpr bool operator==(const Mat4d& a, const Mat4d& b) noexcept
    {
        for (int i = 0; i < 16; ++i)
            if (!(a.m[i] == b.m[i]))
                return false;
        return true;
    }
    // Applies a, then b.
    friend Mat4d operator*(const Mat4d& a, const Mat4d& b) noexcept;
    Mat4d& operator*=(const Mat4d& b) noexcept { return *this = *this * b; }

    bool isIdentity(double tolerance = 0) const noexcept;
    Mat4d transposed() const noexcept;
    // General inverse; the zero matrix when the matrix is singular.
    Mat4d inverse() const noexcept;
    double determinant() const noexcept;

    // x' = x·m0 + y·m4 + z·m8 + m12, and so on.
    Vec3d transformPoint(const Vec3d& p) const noexcept
    {
        return {p[0] * m[0] + p[1] * m[4] + p[2] * m[8] + m[12],
                p[0] * m[1] + p[1] * m[5] + p[2] * m[9] + m[13],
                p[0] * m[2] + p[1] * m[6] + p[2] * m[10] + m[14]};
    }
    // Like transformPoint without the translation.
    Vec3d transformVector(const Vec3d& v) const noexcept
    {
        return {v[0] * m[0] + v[1] * m[4] + v[2] * m[8],
                v[0] * m[1] + v[1] * m[5] + v[2] * m[9],
                v[0] * m[2] + v[1] * m[6] + v[2] * m[10]};
    }
    Vec3d translation() const noexcept { return {m[12], m[13], m[14]}; }
};

// True when every element of a and b differs by at most tolerance.
bool equalWithin(const Mat4d& a, const Mat4d& b, double tolerance) noexcept;

} // namespace osg
