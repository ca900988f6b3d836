#pragma once
// Single-precision points and colours.
#include <cmath>
#include <type_traits>

#include "maxsdk/BaseTypes.h"

class Point2 {
public:
    float x = 0, y = 0;
    constexpr Point2() = default;
    constexpr Point2(float x_, float y_) : x(x_), y(y_) {}
    float& operator[](int i) { return i == 0 ? x : y; }
    float operator[](int i) const { return i == 0 ? x : y; }
    constexpr Point2 operator+(const Point2& o) const { return {x + o.x, y + o.y}; }
    constexpr Point2 operator-(const Point2& o) const { return {x - o.x, y - o.y}; }
    constexpr Point2 operator*(float f) const { return {x * f, y * f}; }
    constexpr bool operator==(const Point2& o) const { return x == o.x && y == o.y; }
};

class Point3 {
public:
    float x = 0, y = 0, z = 0;
    constexpr Point3() = default;
    // Any mix of arithmetic arguments, narrowed to float.
    template <class A, class B, class C>
        requires std::is_arithmetic_v<A> && std::is_arithmetic_v<B> && std::is_arithmetic_v<C>
    constexpr Point3(A x_, B y_, C z_) : x(float(x_)), y(float(y_)), z(float(z_)) {}
    float& operator[](int i) { return i == 0 ? x : (i == 1 ? y : z); }
    float operator[](int i) const { return i == 0 ? x : (i == 1 ? y : z); }
    constexpr Point3 operator+(const Point3& o) const { return {x + o.x, y + o.y, z + o.z}; }
    constexpr Point3 operator-(const Point3& o) const { return {x - o.x, y - o.y, z - o.z}; }
    constexpr Point3 operator-() const { return {-x, -y, -z}; }
    constexpr Point3 operator*(float f) const { return {x * f, y * f, z * f}; }
    constexpr Point3 operator/(float f) const { return {x / f, y / f, z / f}; }
    // Component-wise product.
    constexpr Point3 operator*(const Point3& o) const { return {x * o.x, y * o.y, z * o.z}; }
    Point3& operator+=(const Point3& o) { x += o.x; y += o.y; z += o.z; return *this; }
    Point3& operator-=(const Point3& o) { x -= o.x; y -= o.y; z -= o.z; return *this; }
    Point3& operator*=(float f) { x *= f; y *= f; z *= f; return *this; }
    constexpr bool operator==(const Point3& o) const { return x == o.x && y == o.y && z == o.z; }
    constexpr bool operator!=(const Point3& o) const { return !(*this == o); }
    float Length() const { return std::sqrt(x * x + y * y + z * z); }
    float LengthSquared() const { return x * x + y * y + z * z; }
    // Unit vector in the same direction; the zero vector stays zero.
    Point3 Normalize() const {
        float l = Length();
        return l > 0 ? *this / l : *this;
    }
    bool Equals(const Point3& o, float eps) const {
        return std::fabs(x - o.x) <= eps && std::fabs(y - o.y) <= eps && std::fabs(z - o.z) <= eps;
    }
};
inline constexpr Point3 operator*(float f, const Point3& p) { return p * f; }
inline constexpr float DotProd(const Point3& a, const Point3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline constexpr Point3 CrossProd(const Point3& a, const Point3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline float Length(const Point3& p) { return p.Length(); }
inline Point3 Normalize(const Point3& p) { return p.Normalize(); }
inline Point3 FNormalize(const Point3& p) { return p.Normalize(); }

class Point4 {
public:
    float x = 0, y = 0, z = 0, w = 0;
    constexpr Point4() = default;
    constexpr Point4(float x_, float y_, float z_, float w_) : x(x_), y(y_), z(z_), w(w_) {}
    constexpr Point4(const Point3& p, float w_) : x(p.x), y(p.y), z(p.z), w(w_) {}
    float& operator[](int i) { return i == 0 ? x : (i == 1 ? y : (i == 2 ? z : w)); }
    float operator[](int i) const { return i == 0 ? x : (i == 1 ? y : (i == 2 ? z : w)); }
    constexpr bool operator==(const Point4& o) const { return x == o.x && y == o.y && z == o.z && w == o.w; }
};

// Colours are (r, g, b) floats, 1 = full intensity.
class Color {
public:
    float r = 0, g = 0, b = 0;
    constexpr Color() = default;
    constexpr Color(float r_, float g_, float b_) : r(r_), g(g_), b(b_) {}
    constexpr explicit Color(const Point3& p) : r(p.x), g(p.y), b(p.z) {}
    constexpr operator Point3() const { return {r, g, b}; }
    constexpr bool operator==(const Color& o) const { return r == o.r && g == o.g && b == o.b; }
};

// Integer points (viewport positions).
class IPoint3 {
public:
    int x = 0, y = 0, z = 0;
    constexpr IPoint3() = default;
    constexpr IPoint3(int x_, int y_, int z_) : x(x_), y(y_), z(z_) {}
};
