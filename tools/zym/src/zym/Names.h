#pragma once
// The texts the file and the JSON description use for record kinds and
// property types, and the facts that follow from a kind or a type.
#include <optional>
#include <string_view>

#include "zym/Description.h"

namespace zym {

// The class name a record of this kind starts with ("model::RenderNode").
std::string_view className(Kind kind);
std::optional<Kind> kindFromClassName(std::string_view name);
// The class name without "model::", as the JSON description names classes.
std::string_view shortClassName(Kind kind);
std::optional<Kind> kindFromShortName(std::string_view name);

bool isTreeKind(Kind kind);
bool isArgAnimationKind(Kind kind);  // kinds 0 to 4
bool isBoneKind(Kind kind);          // ArgAnimatedBone, Bone, IKBone
bool hasMatrix(Kind kind);           // every TransformNode descendant
bool isRenderKind(Kind kind);        // the records of the render-node section
bool isFakeLightKind(Kind kind);
bool isSpotFakeLightKind(Kind kind);
bool isAnimatedFakeLightKind(Kind kind);
bool isShellKind(Kind kind);

// The class name a property record starts with ("model::Property<float>").
std::string_view propertyClassName(PropertyType type);
std::optional<PropertyType> propertyTypeFromClassName(std::string_view name);
// The JSON description's name of a property type ("vec3f", "animated_float").
std::string_view propertyTypeTag(PropertyType type);
std::optional<PropertyType> propertyTypeFromTag(std::string_view tag);
// Number of float components of a value or key (0 for uint, string, argument).
int propertyComponents(PropertyType type);
bool isAnimatedProperty(PropertyType type);

// The names of the 17 texture slots ("Diffuse" is slot 0).
std::string_view textureSlotName(std::size_t slot);
std::optional<std::size_t> textureSlotFromName(std::string_view name);

} // namespace zym
