#include "zym/Names.h"

#include <array>

namespace zym {
namespace {

struct KindName {
    Kind kind;
    std::string_view name;
};

constexpr std::array<KindName, 26> kKindNames{{
    {Kind::ArgAnimatedBone, "model::ArgAnimatedBone"},
    {Kind::ArgAnimationNode, "model::ArgAnimationNode"},
    {Kind::ArgRotationNode, "model::ArgRotationNode"},
    {Kind::ArgScaleNode, "model::ArgScaleNode"},
    {Kind::ArgPositionNode, "model::ArgPositionNode"},
    {Kind::ArgVisibilityNode, "model::ArgVisibilityNode"},
    {Kind::Bone, "model::Bone"},
    {Kind::IKBone, "model::IKBone"},
    {Kind::Connector, "model::Connector"},
    {Kind::LightNode, "model::LightNode"},
    {Kind::LodNode, "model::LodNode"},
    {Kind::Node, "model::Node"},
    {Kind::RenderNode, "model::RenderNode"},
    {Kind::BillboardNode, "model::BillboardNode"},
    {Kind::ShellNode, "model::ShellNode"},
    {Kind::TreeShellNode, "model::TreeShellNode"},
    {Kind::SegmentsNode, "model::SegmentsNode"},
    {Kind::RootNode, "model::RootNode"},
    {Kind::SkinNode, "model::SkinNode"},
    {Kind::TransformNode, "model::TransformNode"},
    {Kind::FakeOmniLightsNode, "model::FakeOmniLightsNode"},
    {Kind::FakeSpotLightsNode, "model::FakeSpotLightsNode"},
    {Kind::AnimatedFakeOmniLightsNode, "model::AnimatedFakeOmniLightsNode"},
    {Kind::AnimatedFakeSpotLightsNode, "model::AnimatedFakeSpotLightsNode"},
    {Kind::NumberNode, "model::NumberNode"},
    {Kind::TmpNumberRoot, "model::TmpNumberRoot"},
}};

constexpr std::string_view kModelPrefix = "model::";

struct PropertyName {
    PropertyType type;
    std::string_view className;
    std::string_view tag;
};

constexpr std::array<PropertyName, 11> kPropertyNames{{
    {PropertyType::Float, "model::Property<float>", "float"},
    {PropertyType::UInt, "model::Property<unsigned int>", "uint"},
    {PropertyType::Vec2f, "model::Property<osg::Vec2f>", "vec2f"},
    {PropertyType::Vec3f, "model::Property<osg::Vec3f>", "vec3f"},
    {PropertyType::Vec4f, "model::Property<osg::Vec4f>", "vec4f"},
    {PropertyType::String, "model::Property<const char*>", "string"},
    {PropertyType::AnimatedFloat, "model::AnimatedProperty<float>", "animated_float"},
    {PropertyType::AnimatedVec2f, "model::AnimatedProperty<osg::Vec2f>", "animated_vec2f"},
    {PropertyType::AnimatedVec3f, "model::AnimatedProperty<osg::Vec3f>", "animated_vec3f"},
    {PropertyType::AnimatedVec4f, "model::AnimatedProperty<osg::Vec4f>", "animated_vec4f"},
    {PropertyType::Argument, "model::ArgumentProperty", "argument"},
}};

constexpr std::array<std::string_view, kTextureSlots> kTextureSlotNames{
    "Diffuse", "NormalMap", "Specular", "Decal", "Dirt", "Damage", "PuddlesMap", "SnowMap",
    "SelfIllumination", "AmbientOcclusion", "DamageNormalMap", "SpecularColor", "Reflection",
    "MetRoughMap", "GlassColorMap", "DamageMask", "FLIRMap"};

} // namespace

std::string_view textureSlotName(std::size_t slot)
{
    return slot < kTextureSlotNames.size() ? kTextureSlotNames[slot] : std::string_view();
}

std::optional<std::size_t> textureSlotFromName(std::string_view name)
{
    for (std::size_t i = 0; i < kTextureSlotNames.size(); ++i)
        if (kTextureSlotNames[i] == name)
            return i;
    return std::nullopt;
}

std::string_view className(Kind kind) { return kKindNames[static_cast<int>(kind)].name; }

std::optional<Kind> kindFromClassName(std::string_view name)
{
    for (const KindName& k : kKindNames)
        if (k.name == name)
            return k.kind;
    return std::nullopt;
}

std::string_view shortClassName(Kind kind) { return className(kind).substr(kModelPrefix.size()); }

std::optional<Kind> kindFromShortName(std::string_view name)
{
    for (const KindName& k : kKindNames)
        if (k.name.substr(kModelPrefix.size()) == name)
            return k.kind;
    return std::nullopt;
}

bool isArgAnimationKind(Kind kind) { return static_cast<int>(kind) <= 4; }

bool isBoneKind(Kind kind)
{
    return kind == Kind::ArgAnimatedBone || kind == Kind::Bone || kind == Kind::IKBone;
}

bool hasMatrix(Kind kind)
{
    return isArgAnimationKind(kind) || kind == Kind::Bone || kind == Kind::IKBone ||
           kind == Kind::TransformNode || kind == Kind::BillboardNode;
}

bool isTreeKind(Kind kind)
{
    return hasMatrix(kind) || kind == Kind::ArgVisibilityNode || kind == Kind::LodNode ||
           kind == Kind::Node;
}

bool isFakeLightKind(Kind kind)
{
    return kind == Kind::FakeOmniLightsNode || kind == Kind::FakeSpotLightsNode ||
           isAnimatedFakeLightKind(kind);
}

bool isSpotFakeLightKind(Kind kind)
{
    return kind == Kind::FakeSpotLightsNode || kind == Kind::AnimatedFakeSpotLightsNode;
}

bool isAnimatedFakeLightKind(Kind kind)
{
    return kind == Kind::AnimatedFakeOmniLightsNode || kind == Kind::AnimatedFakeSpotLightsNode;
}

bool isRenderKind(Kind kind)
{
    return kind == Kind::RenderNode || kind == Kind::NumberNode || kind == Kind::SkinNode ||
           isFakeLightKind(kind);
}

bool isShellKind(Kind kind) { return kind == Kind::ShellNode || kind == Kind::SegmentsNode; }

std::string_view propertyClassName(PropertyType type)
{
    return kPropertyNames[static_cast<int>(type)].className;
}

std::optional<PropertyType> propertyTypeFromClassName(std::string_view name)
{
    for (const PropertyName& p : kPropertyNames)
        if (p.className == name)
            return p.type;
    return std::nullopt;
}

std::string_view propertyTypeTag(PropertyType type) { return kPropertyNames[static_cast<int>(type)].tag; }

std::optional<PropertyType> propertyTypeFromTag(std::string_view tag)
{
    for (const PropertyName& p : kPropertyNames)
        if (p.tag == tag)
            return p.type;
    return std::nullopt;
}

int propertyComponents(PropertyType type)
{
    switch (type) {
    case PropertyType::Float:
    case PropertyType::AnimatedFloat: return 1;
    case PropertyType::Vec2f:
    case PropertyType::AnimatedVec2f: return 2;
    case PropertyType::Vec3f:
    case PropertyType::AnimatedVec3f: return 3;
    case PropertyType::Vec4f:
    case PropertyType::AnimatedVec4f: return 4;
    default: return 0;
    }
}

bool isAnimatedProperty(PropertyType type)
{
    return type >= PropertyType::AnimatedFloat && type <= PropertyType::AnimatedVec4f;
}

} // namespace zym
