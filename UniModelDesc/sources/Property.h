#pragma once
// The property classes: static values, key-framed values driven by an
// argument, and the argument mirror.
#include <vector>

#include "BaseProperty.h"

namespace model {

// A static value. Instantiated for float, unsigned int, osg::Vec2f,
// osg::Vec3f, osg::Vec4f and zy::string.
template <class T>
class Property : public BaseProperty {
public:
    using ValueType = T;

    Property();
    Property(const char* name, T value);
    Property(zy::string name, T value);

    const T& value() const noexcept { return value_; }
    void setValue(T value) { value_ = std::move(value); }

    bool isAnimated() const override { return false; }
    const char* className() const override;
    void write(io::IBinaryFileW& out) const override;
    bool equals(const BaseProperty& other) const override;
    zy::string textForm() const override;

    float asFloat() const override;
    uint32_t asUInt() const override;
    osg::Vec2f asVec2f() const override;
    osg::Vec3f asVec3f() const override;
    osg::Vec4f asVec4f() const override;
    zy::string asString() const override;

private:
    T value_{};
};

template <class T>
struct Key {
    double time = 0; // the argument value at which the key applies
    T value{};
    friend bool operator==(const Key&, const Key&) = default;
};

// Keys sorted by ascending time, interpolated linearly between neighbours.
// Instantiated for float, osg::Vec2f, osg::Vec3f and osg::Vec4f.
template <class T>
class AnimatedProperty : public BaseAnimatedProperty {
public:
    using ValueType = T;
    using KeyType = Key<T>;

    AnimatedProperty();
    AnimatedProperty(const char* name, int32_t argument, std::vector<KeyType> keys);
    AnimatedProperty(zy::string name, int32_t argument, std::vector<KeyType> keys);

    const std::vector<KeyType>& keys() const noexcept { return keys_; }
    std::vector<KeyType>& keys() noexcept { return keys_; }
    // The value last computed by update (not written to the file).
    const T& value() const noexcept { return value_; }

    const char* className() const override;
    void write(io::IBinaryFileW& out) const override;
    zy::string textForm() const override;
    void update(const IModelArguments& arguments) override;
    void keyRange(double& first, double& last) const override;
    bool equalsAnimated(const BaseAnimatedProperty& other) const override;

    float asFloat() const override;
    osg::Vec2f asVec2f() const override;
    osg::Vec3f asVec3f() const override;
    osg::Vec4f asVec4f() const override;

private:
    std::vector<KeyType> keys_;
    T value_{};
};

// Mirrors one argument: its current value is the argument's value.
class ArgumentProperty : public BaseAnimatedProperty {
public:
    ArgumentProperty();
    ArgumentProperty(const char* name, int32_t argument);
    ArgumentProperty(zy::string name, int32_t argument);

    float value() const noexcept { return value_; }

    const char* className() const override { return "model::ArgumentProperty"; }
    void write(io::IBinaryFileW& out) const override;
    zy::string textForm() const override;
    void update(const IModelArguments& arguments) override;
    void keyRange(double& first, double& last) const override;
    bool equalsAnimated(const BaseAnimatedProperty& other) const override;
    float asFloat() const override { return value_; }

private:
    float value_ = 0.0f;
};

extern template class Property<float>;
extern template class Property<unsigned int>;
extern template class Property<osg::Vec2f>;
extern template class Property<osg::Vec3f>;
extern template class Property<osg::Vec4f>;
extern template class Property<zy::string>;
extern template class AnimatedProperty<float>;
extern template class AnimatedProperty<osg::Vec2f>;
extern template class AnimatedProperty<osg::Vec3f>;
extern template class AnimatedProperty<osg::Vec4f>;

} // namespace model
