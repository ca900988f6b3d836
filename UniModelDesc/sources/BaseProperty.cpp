#include "BaseProperty.h"

#include <typeinfo>

#include "zy/ExtException.h"

namespace model {

float BaseProperty::asFloat() const
{
    ZY_THROW("This property doesn't contain float value.");
}

uint32_t BaseProperty::asUInt() const
{
    ZY_THROW("This property doesn't contain unsigned int value.");
}

osg::Vec2f BaseProperty::asVec2f() const
{
    ZY_THROW("This property doesn't contain osg::Vec2f value.");
}

osg::Vec3f BaseProperty::asVec3f() const
{
    ZY_THROW("This property doesn't contain osg::Vec3f value.");
}

osg::Vec4f BaseProperty::asVec4f() const
{
    ZY_THROW("This property doesn't contain osg::Vec4f value.");
}

zy::string BaseProperty::asString() const
{
    ZY_THROW("This property doesn't contain zy::string value.");
}

bool BaseProperty::sameIdentity(const BaseProperty& other) const noexcept
{
    // The class takes part too: a static float and an argument mirror of the
    // same name both carry the float kind but are different things.
    return typeid(*this) == typeid(other) && kind_ == other.kind_ && name_ == other.name_;
}

bool BaseAnimatedProperty::equals(const BaseProperty& other) const
{
    if (this == &other)
        return true;
    const auto* animated = dynamic_cast<const BaseAnimatedProperty*>(&other);
    return animated && equalsAnimated(*animated);
}

} // namespace model
