#pragma once
// The standard value handlers: plain properties, argument-driven properties
// and float arrays. None of them takes a reserved name; those are left to the
// node-flag handlers.
#include <map>
#include <string_view>
#include <vector>

#include "FuncHandler.h"
#include "PropertyList.h"

namespace lu {

// Float lists by name, as filled by ArrayHandler.
using ArrayMap = std::map<zy::string, std::vector<float>>;

// "TYPE", "SMOOTH_NORMALS", "NO_CONNECTOR" and "DAMAGE_ARGUMENT".
bool isReservedName(std::string_view name);

// float, uint, string, vec2, vec3, vec4 -> model::Property<T>.
class PropertiesHandler : public FuncHandler {
public:
    explicit PropertiesHandler(model::PropertyList* properties) : properties_(properties) {}
    bool canHandle(const zy::string& name, const ValueList& values) const override;
    void handle(const zy::string& name, const ValueList& values) override;

private:
    model::PropertyList* properties_;
};

// argument -> model::ArgumentProperty; animation, anim, animation_vec2/3/4
// -> model::AnimatedProperty<T>.
class AnimatedPropertiesHandler : public FuncHandler {
public:
    explicit AnimatedPropertiesHandler(model::AnimatedPropertyList* properties) : properties_(properties) {}
    bool canHandle(const zy::string& name, const ValueList& values) const override;
    void handle(const zy::string& name, const ValueList& values) override;

private:
    model::AnimatedPropertyList* properties_;
};

// array -> a float list in the map (replacing one of the same name).
class ArrayHandler : public FuncHandler {
public:
    explicit ArrayHandler(ArrayMap* arrays) : arrays_(arrays) {}
    bool canHandle(const zy::string& name, const ValueList& values) const override;
    void handle(const zy::string& name, const ValueList& values) override;

private:
    ArrayMap* arrays_;
};

} // namespace lu
