#pragma once
// A named, typed value attached to a node, a material, a connector or a light.
// Properties are shared between the lists that hold them.
#include <cstdint>

#include "Math.h"
#include "zy/Shared.h"
#include "zy/String.h"

namespace io {
class IBinaryFileW;
}

namespace model {

class IModelArguments;

// Value kind of a property; animated properties carry the kind of their
// value, an argument property carries Float.
enum class ValueKind : int32_t {
    Float = 0,
    UInt = 1,
    Vec2f = 2,
    Vec3f = 3,
    Vec4f = 4,
    String = 6,
};

class BaseProperty : public zy::Shared {
public:
    BaseProperty(ValueKind kind, const char* name) : kind_(kind), name_(name ? name : "") {}
    BaseProperty(ValueKind kind, zy::string name) : kind_(kind), name_(std::move(name)) {}
    ~BaseProperty() override = default;

    ValueKind valueKind() const noexcept { return kind_; }
    const zy::string& name() const noexcept { return name_; }

    virtual bool isAnimated() const = 0;
    // The class name written into the file.
    virtual const char* className() const = 0;
    // The property's record: sidx class name, sidx name, then its value.
    virtual void write(io::IBinaryFileW& out) const = 0;
    virtual bool equals(const BaseProperty& other) const = 0;

    // Each property answers the accessor of its value; the others raise
    // "This property doesn't contain <type> value.".
    virtual float asFloat() const;
    virtual uint32_t asUInt() const;
    virtual osg::Vec2f asVec2f() const;
    virtual osg::Vec3f asVec3f() const;
    virtual osg::Vec4f asVec4f() const;
    virtual zy::string asString() const;

    // One line of the user-defined property language, such as "speed = 1.500000;".
    virtual zy::string textForm() const = 0;

protected:
    // Same class, value kind and name: what every equality starts from.
    bool sameIdentity(const BaseProperty& other) const noexcept;

private:
    ValueKind kind_;
    zy::string name_;
};

// A property whose current value follows an argument.
class BaseAnimatedProperty : public BaseProperty {
public:
    BaseAnimatedProperty(ValueKind kind, const char* name, int32_t argument)
        : BaseProperty(kind, name), argument_(argument)
    {
    }
    BaseAnimatedProperty(ValueKind kind, zy::string name, int32_t argument)
        : BaseProperty(kind, std::move(name)), argument_(argument)
    {
    }

    // The driving argument; -1 for none.
    int32_t argument() const noexcept { return argument_; }
    void setArgument(int32_t argument) noexcept { argument_ = argument; }

    bool isAnimated() const override { return true; }
    bool equals(const BaseProperty& other) const override;

    // Recomputes the current value from the arguments.
    virtual void update(const IModelArguments& arguments) = 0;
    // Times of the first and last key (both 0 without keys).
    virtual void keyRange(double& first, double& last) const = 0;
    virtual bool equalsAnimated(const BaseAnimatedProperty& other) const = 0;

private:
    int32_t argument_;
};

} // namespace model
