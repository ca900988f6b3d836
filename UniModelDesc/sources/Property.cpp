#include "Property.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

#include "IModelArguments.h"
#include "LuaText.h"
#include "ModelFactoryManager.h"
#include "io/IBinaryFileW.h"
#include "zy/ExtException.h"

namespace model {

namespace {

constexpr double kValueTolerance = 1e-5;
constexpr double kTimeTolerance = 1e-10;

zy::string fixed(double v)
{
    return fixedText(v);
}

// |a - b| within the tolerance, allowing for the rounding of the stored type:
// 1.0 and 1.00001 are 1e-5 apart as written, but 1.00001 stored as a float
// lies a fraction of an ulp further away.
template <class T>
bool within(T a, T b, double tolerance)
{
    const double magnitude = std::max(std::fabs(static_cast<double>(a)), std::fabs(static_cast<double>(b)));
    const double slack = std::numeric_limits<T>::epsilon() * magnitude;
    return std::fabs(static_cast<double>(a) - static_cast<double>(b)) <= tolerance + slack;
}

// What each value type needs: its kind, its name inside class names, its
// components, and how it is encoded and printed.
template <class T>
struct ValueTraits;

template <>
struct ValueTraits<float> {
    static constexpr ValueKind kind = ValueKind::Float;
    static constexpr const char* staticClass = "model::Property<float>";
    static constexpr const char* animatedClass = "model::AnimatedProperty<float>";
    static constexpr int components = 1;
    static float component(const float& v, int) { return v; }
    static float& component(float& v, int) { return v; }
    static void write(io::IBinaryFileW& out, float v) { out.writeF32(v); }
    static zy::string text(float v) { return fixed(v); }
};

template <>
struct ValueTraits<unsigned int> {
    static constexpr ValueKind kind = ValueKind::UInt;
    static constexpr const char* staticClass = "model::Property<unsigned int>";
    static void write(io::IBinaryFileW& out, unsigned int v) { out.writeU32(v); }
    // A bare number would read back as a float property.
    static zy::string text(unsigned int v) { return zy::format("uint(%u)", v); }
};

template <>
struct ValueTraits<zy::string> {
    static constexpr ValueKind kind = ValueKind::String;
    static constexpr const char* staticClass = "model::Property<const char*>";
    static void write(io::IBinaryFileW& out, const zy::string& v) { out.writeString(v); }
    static zy::string text(const zy::string& v) { return luaStringLiteral(v); }
};

template <int N>
struct VecTraits {
    using V = osg::Vec<float, N>;
    static constexpr int components = N;
    static float component(const V& v, int i) { return v[i]; }
    static float& component(V& v, int i) { return v[i]; }
    static void write(io::IBinaryFileW& out, const V& v) { out.writeF32Array(v.data(), N); }
    // "vec3(1.000000,2.000000,3.000000)"
    static zy::string text(const V& v)
    {
        zy::string s = zy::format("vec%d(", N);
        for (int i = 0; i < N; ++i)
            s += (i ? "," : "") + fixed(v[i]);
        return s + ")";
    }
};

template <>
struct ValueTraits<osg::Vec2f> : VecTraits<2> {
    static constexpr ValueKind kind = ValueKind::Vec2f;
    static constexpr const char* staticClass = "model::Property<osg::Vec2f>";
    static constexpr const char* animatedClass = "model::AnimatedProperty<osg::Vec2f>";
    static constexpr const char* animationFunction = "animation_vec2";
};

template <>
struct ValueTraits<osg::Vec3f> : VecTraits<3> {
    static constexpr ValueKind kind = ValueKind::Vec3f;
    static constexpr const char* staticClass = "model::Property<osg::Vec3f>";
    static constexpr const char* animatedClass = "model::AnimatedProperty<osg::Vec3f>";
    static constexpr const char* animationFunction = "animation_vec3";
};

template <>
struct ValueTraits<osg::Vec4f> : VecTraits<4> {
    static constexpr ValueKind kind = ValueKind::Vec4f;
    static constexpr const char* staticClass = "model::Property<osg::Vec4f>";
    static constexpr const char* animatedClass = "model::AnimatedProperty<osg::Vec4f>";
    static constexpr const char* animationFunction = "animation_vec4";
};

template <class T>
bool valuesClose(const T& a, const T& b)
{
    using Traits = ValueTraits<T>;
    for (int i = 0; i < Traits::components; ++i)
        if (!within(Traits::component(a, i), Traits::component(b, i), kValueTolerance))
            return false;
    return true;
}

template <class T>
bool valuesEqual(const T& a, const T& b)
{
    if constexpr (std::is_same_v<T, unsigned int> || std::is_same_v<T, zy::string>)
        return a == b;
    else
        return valuesClose(a, b);
}

// (1 - s)·a + s·b per component, with both weights rounded to single precision.
template <class T>
T interpolate(const T& a, const T& b, double s)
{
    using Traits = ValueTraits<T>;
    const float ws = static_cast<float>(s);
    const float wa = static_cast<float>(1.0 - s);
    T r{};
    for (int i = 0; i < Traits::components; ++i)
        Traits::component(r, i) = wa * Traits::component(a, i) + ws * Traits::component(b, i);
    return r;
}

void writeHeader(io::IBinaryFileW& out, const BaseProperty& p)
{
    out.writeString(p.className());
    out.writeString(p.name());
}

} // namespace

// Property<T> -------------------------------------------------------------

template <class T>
Property<T>::Property() : BaseProperty(ValueTraits<T>::kind, zy::string())
{
}

template <class T>
Property<T>::Property(const char* name, T value)
    : BaseProperty(ValueTraits<T>::kind, name), value_(std::move(value))
{
}

template <class T>
Property<T>::Property(zy::string name, T value)
    : BaseProperty(ValueTraits<T>::kind, std::move(name)), value_(std::move(value))
{
}

template <class T>
const char* Property<T>::className() const
{
    return ValueTraits<T>::staticClass;
}

template <class T>
void Property<T>::write(io::IBinaryFileW& out) const
{
    writeHeader(out, *this);
    ValueTraits<T>::write(out, value_);
}

template <class T>
bool Property<T>::equals(const BaseProperty& other) const
{
    if (this == &other)
        return true;
    return sameIdentity(other) && valuesEqual(value_, static_cast<const Property&>(other).value_);
}

template <class T>
zy::string Property<T>::textForm() const
{
    return luaFieldKey(name()) + " = " + ValueTraits<T>::text(value_) + ";";
}

template <class T>
float Property<T>::asFloat() const
{
    if constexpr (std::is_same_v<T, float>)
        return value_;
    else
        return BaseProperty::asFloat();
}

template <class T>
uint32_t Property<T>::asUInt() const
{
    if constexpr (std::is_same_v<T, unsigned int>)
        return value_;
    else
        return BaseProperty::asUInt();
}

template <class T>
osg::Vec2f Property<T>::asVec2f() const
{
    if constexpr (std::is_same_v<T, osg::Vec2f>)
        return value_;
    else
        return BaseProperty::asVec2f();
}

template <class T>
osg::Vec3f Property<T>::asVec3f() const
{
    if constexpr (std::is_same_v<T, osg::Vec3f>)
        return value_;
    else
        return BaseProperty::asVec3f();
}

template <class T>
osg::Vec4f Property<T>::asVec4f() const
{
    if constexpr (std::is_same_v<T, osg::Vec4f>)
        return value_;
    else
        return BaseProperty::asVec4f();
}

template <class T>
zy::string Property<T>::asString() const
{
    if constexpr (std::is_same_v<T, zy::string>)
        return value_;
    else
        return BaseProperty::asString();
}

// AnimatedProperty<T> -----------------------------------------------------

template <class T>
AnimatedProperty<T>::AnimatedProperty() : BaseAnimatedProperty(ValueTraits<T>::kind, zy::string(), -1)
{
}

template <class T>
AnimatedProperty<T>::AnimatedProperty(const char* name, int32_t argument, std::vector<KeyType> keys)
    : BaseAnimatedProperty(ValueTraits<T>::kind, name, argument), keys_(std::move(keys))
{
}

template <class T>
AnimatedProperty<T>::AnimatedProperty(zy::string name, int32_t argument, std::vector<KeyType> keys)
    : BaseAnimatedProperty(ValueTraits<T>::kind, std::move(name), argument), keys_(std::move(keys))
{
}

template <class T>
const char* AnimatedProperty<T>::className() const
{
    return ValueTraits<T>::animatedClass;
}

template <class T>
void AnimatedProperty<T>::write(io::IBinaryFileW& out) const
{
    writeHeader(out, *this);
    out.writeI32(argument());
    out.writeU32(static_cast<uint32_t>(keys_.size()));
    for (const KeyType& k : keys_) {
        out.writeF64(k.time);
        ValueTraits<T>::write(out, k.value);
    }
}

template <class T>
zy::string AnimatedProperty<T>::textForm() const
{
    zy::string s = luaFieldKey(name());
    if constexpr (std::is_same_v<T, float>) {
        // Without an argument the key list alone is the value ("anim"), which
        // reads back as the same property; "animation" needs an argument.
        if (argument() < 0)
            s += " = anim(";
        else
            s += zy::format(" = animation(%u", static_cast<uint32_t>(argument()));
    } else {
        s += zy::format(" = %s(%u", ValueTraits<T>::animationFunction, static_cast<uint32_t>(argument()));
    }
    bool first = std::is_same_v<T, float> && argument() < 0;
    for (const KeyType& k : keys_) {
        s += first ? "" : ",";
        first = false;
        s += fixed(k.time) + "," + ValueTraits<T>::text(k.value);
    }
    return s + ");";
}

template <class T>
void AnimatedProperty<T>::update(const IModelArguments& arguments)
{
    if (keys_.empty())
        return;
    const double v = static_cast<double>(arguments.value(argument()));
    if (v <= keys_.front().time) {
        value_ = keys_.front().value;
        return;
    }
    if (v >= keys_.back().time) {
        value_ = keys_.back().value;
        return;
    }
    // The first key later than v; its predecessor is at or before v.
    auto hi = std::upper_bound(keys_.begin(), keys_.end(), v,
                               [](double t, const KeyType& k) { return t < k.time; });
    auto lo = hi - 1;
    const double span = hi->time - lo->time;
    const double s = span > 0 ? (v - lo->time) / span : 0.0;
    value_ = interpolate(lo->value, hi->value, s);
}

template <class T>
void AnimatedProperty<T>::keyRange(double& first, double& last) const
{
    first = keys_.empty() ? 0.0 : keys_.front().time;
    last = keys_.empty() ? 0.0 : keys_.back().time;
}

template <class T>
bool AnimatedProperty<T>::equalsAnimated(const BaseAnimatedProperty& other) const
{
    if (this == &other)
        return true;
    if (!sameIdentity(other) || argument() != other.argument())
        return false;
    const auto& o = static_cast<const AnimatedProperty&>(other);
    if (keys_.size() != o.keys_.size())
        return false;
    for (size_t i = 0; i < keys_.size(); ++i)
        if (!within(keys_[i].time, o.keys_[i].time, kTimeTolerance) ||
            !valuesClose(keys_[i].value, o.keys_[i].value))
            return false;
    return true;
}

template <class T>
float AnimatedProperty<T>::asFloat() const
{
    if constexpr (std::is_same_v<T, float>)
        return value_;
    else
        return BaseProperty::asFloat();
}

template <class T>
osg::Vec2f AnimatedProperty<T>::asVec2f() const
{
    if constexpr (std::is_same_v<T, osg::Vec2f>)
        return value_;
    else
        return BaseProperty::asVec2f();
}

template <class T>
osg::Vec3f AnimatedProperty<T>::asVec3f() const
{
    if constexpr (std::is_same_v<T, osg::Vec3f>)
        return value_;
    else
        return BaseProperty::asVec3f();
}

template <class T>
osg::Vec4f AnimatedProperty<T>::asVec4f() const
{
    if constexpr (std::is_same_v<T, osg::Vec4f>)
        return value_;
    else
        return BaseProperty::asVec4f();
}

// ArgumentProperty --------------------------------------------------------

ArgumentProperty::ArgumentProperty() : BaseAnimatedProperty(ValueKind::Float, zy::string(), -1) {}

ArgumentProperty::ArgumentProperty(const char* name, int32_t argument)
    : BaseAnimatedProperty(ValueKind::Float, name, argument)
{
}

ArgumentProperty::ArgumentProperty(zy::string name, int32_t argument)
    : BaseAnimatedProperty(ValueKind::Float, std::move(name), argument)
{
}

void ArgumentProperty::write(io::IBinaryFileW& out) const
{
    writeHeader(out, *this);
    out.writeI32(argument());
}

zy::string ArgumentProperty::textForm() const
{
    return luaFieldKey(name()) + zy::format(" = argument(%u);", static_cast<uint32_t>(argument()));
}

void ArgumentProperty::update(const IModelArguments& arguments)
{
    value_ = arguments.value(argument());
}

void ArgumentProperty::keyRange(double& first, double& last) const
{
    first = last = 0.0;
}

bool ArgumentProperty::equalsAnimated(const BaseAnimatedProperty& other) const
{
    return this == &other || (sameIdentity(other) && argument() == other.argument());
}

template class Property<float>;
template class Property<unsigned int>;
template class Property<osg::Vec2f>;
template class Property<osg::Vec3f>;
template class Property<osg::Vec4f>;
template class Property<zy::string>;
template class AnimatedProperty<float>;
template class AnimatedProperty<osg::Vec2f>;
template class AnimatedProperty<osg::Vec3f>;
template class AnimatedProperty<osg::Vec4f>;

namespace {
template <class Class>
using Reg = zy::regClass<Class, ModelFactoryManager>;

const Reg<Property<float>> regFloat("model::Property<float>");
const Reg<Property<unsigned int>> regUInt("model::Property<unsigned int>");
const Reg<Property<osg::Vec2f>> regVec2f("model::Property<osg::Vec2f>");
const Reg<Property<osg::Vec3f>> regVec3f("model::Property<osg::Vec3f>");
const Reg<Property<osg::Vec4f>> regVec4f("model::Property<osg::Vec4f>");
const Reg<Property<zy::string>> regString("model::Property<const char*>");
const Reg<AnimatedProperty<float>> regAnimatedFloat("model::AnimatedProperty<float>");
const Reg<AnimatedProperty<osg::Vec2f>> regAnimatedVec2f("model::AnimatedProperty<osg::Vec2f>");
const Reg<AnimatedProperty<osg::Vec3f>> regAnimatedVec3f("model::AnimatedProperty<osg::Vec3f>");
const Reg<AnimatedProperty<osg::Vec4f>> regAnimatedVec4f("model::AnimatedProperty<osg::Vec4f>");
const Reg<ArgumentProperty> regArgument("model::ArgumentProperty");
} // namespace

} // namespace model
