#include "luaFuncHandlers.h"

#include <algorithm>
#include <array>
#include <unordered_set>

#include "Property.h"
#include "TextNumbers.h"
#include "zy/ExtException.h"

namespace lu {

namespace {

bool isOneOf(const ValueList& values, std::initializer_list<std::string_view> tags)
{
    return !values.empty() && std::find(tags.begin(), tags.end(), values.front()) != tags.end();
}

[[noreturn]] void wrongArgumentCount(std::string_view tag, int line)
{
    throw zy::ExtException("Wrong arguments number in '" + zy::string(tag) + "'.", __FILE__, line);
}

// Components c of a vector value list [tag, x, y, ...] starting at `first`.
template <class Vec>
Vec vectorAt(const ValueList& values, size_t first)
{
    Vec v;
    for (int i = 0; i < Vec::size(); ++i)
        v[i] = leadingFloat(values[first + i]);
    return v;
}

template <class Vec>
zy::Ref<model::BaseProperty> vectorProperty(const zy::string& name, const ValueList& values)
{
    if (values.size() != size_t(Vec::size()) + 1)
        wrongArgumentCount(values.front(), __LINE__);
    return zy::makeRef<model::Property<Vec>>(name, vectorAt<Vec>(values, 1));
}

template <class Key>
void sortByTime(std::vector<Key>& keys)
{
    std::stable_sort(keys.begin(), keys.end(), [](const Key& a, const Key& b) { return a.time < b.time; });
}

int32_t animationArgument(const zy::string& name, const ValueList& values)
{
    const int32_t argument = leadingInt(values[1]);
    if (argument < 0)
        ZY_THROW("Parameter '" + name + "' must be positive.");
    return argument;
}

// animation_vecN: tag, argument, then groups of (time, "vecN", N components).
template <class Vec>
zy::Ref<model::BaseAnimatedProperty> vectorAnimation(const zy::string& name, const ValueList& values,
                                                     std::string_view vectorTag)
{
    constexpr size_t group = size_t(Vec::size()) + 2;
    const zy::string& tag = values.front();
    if (values.size() < 2 + group || (values.size() - 2) % group != 0)
        wrongArgumentCount(tag, __LINE__);
    std::vector<model::Key<Vec>> keys;
    keys.reserve((values.size() - 2) / group);
    for (size_t first = 2; first < values.size(); first += group) {
        if (values[first + 1] != vectorTag)
            ZY_THROW("Invalid animation set in '" + tag + "'.");
        keys.push_back({leadingDouble(values[first]), vectorAt<Vec>(values, first + 2)});
    }
    const int32_t argument = animationArgument(name, values);
    sortByTime(keys);
    return zy::makeRef<model::AnimatedProperty<Vec>>(name, argument, std::move(keys));
}

// Float keys from pairs (time, value) starting at `first`.
std::vector<model::Key<float>> floatKeys(const ValueList& values, size_t first)
{
    std::vector<model::Key<float>> keys;
    keys.reserve((values.size() - first) / 2);
    for (size_t i = first; i + 1 < values.size(); i += 2)
        keys.push_back({leadingDouble(values[i]), leadingFloat(values[i + 1])});
    return keys;
}

} // namespace

bool isReservedName(std::string_view name)
{
    static const std::unordered_set<std::string_view> reserved = {
        "TYPE", "SMOOTH_NORMALS", "NO_CONNECTOR", "DAMAGE_ARGUMENT"};
    return reserved.count(name) != 0;
}

bool PropertiesHandler::canHandle(const zy::string& name, const ValueList& values) const
{
    return !isReservedName(name) && isOneOf(values, {"float", "uint", "string", "vec2", "vec3", "vec4"});
}

void PropertiesHandler::handle(const zy::string& name, const ValueList& values)
{
    const zy::string& tag = values.front();
    zy::Ref<model::BaseProperty> property;
    if (tag == "float") {
        // A value function that returns only its tag has no value to store.
        if (values.size() < 2)
            wrongArgumentCount(tag, __LINE__);
        property = zy::makeRef<model::Property<float>>(name, leadingFloat(values[1]));
    } else if (tag == "uint") {
        if (values.size() != 2)
            wrongArgumentCount(tag, __LINE__);
        property = zy::makeRef<model::Property<unsigned int>>(name, leadingUInt(values[1]));
    } else if (tag == "string") {
        if (values.size() < 2)
            wrongArgumentCount(tag, __LINE__);
        property = zy::makeRef<model::Property<zy::string>>(name, values[1]);
    } else if (tag == "vec2") {
        property = vectorProperty<osg::Vec2f>(name, values);
    } else if (tag == "vec3") {
        property = vectorProperty<osg::Vec3f>(name, values);
    } else {
        property = vectorProperty<osg::Vec4f>(name, values);
    }
    properties_->push_back(std::move(property));
}

bool AnimatedPropertiesHandler::canHandle(const zy::string& name, const ValueList& values) const
{
    return !isReservedName(name) &&
           isOneOf(values, {"argument", "animation", "animation_vec2", "animation_vec3", "animation_vec4", "anim"});
}

void AnimatedPropertiesHandler::handle(const zy::string& name, const ValueList& values)
{
    const zy::string& tag = values.front();
    zy::Ref<model::BaseAnimatedProperty> property;
    if (tag == "argument") {
        if (values.size() != 2)
            wrongArgumentCount(tag, __LINE__);
        const int32_t argument = leadingInt(values[1]);
        if (argument < 0)
            ZY_THROW("Invalid argument in property '" + name + "'.");
        property = zy::makeRef<model::ArgumentProperty>(name, argument);
    } else if (tag == "animation") {
        if (values.size() < 4 || values.size() % 2 != 0)
            wrongArgumentCount(tag, __LINE__);
        auto keys = floatKeys(values, 2);
        const int32_t argument = animationArgument(name, values);
        sortByTime(keys);
        property = zy::makeRef<model::AnimatedProperty<float>>(name, argument, std::move(keys));
    } else if (tag == "anim") {
        // Keys in the order written, no argument of its own.
        if (values.size() < 3 || values.size() % 2 != 1)
            wrongArgumentCount("animation", __LINE__);
        property = zy::makeRef<model::AnimatedProperty<float>>(name, -1, floatKeys(values, 1));
    } else if (tag == "animation_vec2") {
        property = vectorAnimation<osg::Vec2f>(name, values, "vec2");
    } else if (tag == "animation_vec3") {
        property = vectorAnimation<osg::Vec3f>(name, values, "vec3");
    } else {
        property = vectorAnimation<osg::Vec4f>(name, values, "vec4");
    }
    properties_->push_back(std::move(property));
}

bool ArrayHandler::canHandle(const zy::string& name, const ValueList& values) const
{
    return !isReservedName(name) && isOneOf(values, {"array"});
}

void ArrayHandler::handle(const zy::string& name, const ValueList& values)
{
    if (values.size() < 2)
        wrongArgumentCount("array", __LINE__);
    std::vector<float> floats;
    floats.reserve(values.size() - 1);
    for (size_t i = 1; i < values.size(); ++i)
        floats.push_back(leadingFloat(values[i]));
    (*arrays_)[name] = std::move(floats);
}

} // namespace lu
