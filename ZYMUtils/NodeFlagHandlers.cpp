#include "NodeFlagHandlers.h"

#include <array>
#include <utility>

#include "TextNumbers.h"
#include "zy/ExtException.h"

namespace lu {

namespace {

constexpr std::array<std::pair<std::string_view, uint32_t>, 11> kKeywords = {{
    {"renderable", kRenderable},
    {"connector", kConnector},
    {"light", kLight},
    {"fake_lights", kFakeLights},
    {"collision_shell", kCollisionShell},
    {"collision_line", kCollisionLine},
    {"bounding_box", kBoundingBox},
    {"lod_root", kLodRoot},
    {"user_box", kUserBox},
    {"ik_bone", kIkBone},
    {"number_root", kNumberRoot},
}};

bool isNamedFloat(const zy::string& name, std::string_view expected, const ValueList& values)
{
    return name == expected && !values.empty() && values.front() == "float";
}

// A numeric switch: the value rounded half up, then compared with 0.
bool switchValue(const zy::string& text)
{
    return truncateToInt(double(leadingFloat(text)) + 0.5) != 0;
}

} // namespace

uint32_t nodeFlagOf(std::string_view keyword)
{
    for (const auto& [name, bit] : kKeywords)
        if (name == keyword)
            return bit;
    return 0;
}

std::vector<std::string_view> splitNodeType(std::string_view text)
{
    std::vector<std::string_view> parts;
    size_t start = 0;
    while (start < text.size()) {
        const size_t bar = text.find('|', start);
        if (bar == std::string_view::npos) {
            parts.push_back(text.substr(start));
            break;
        }
        parts.push_back(text.substr(start, bar - start));
        start = bar + 1;
    }
    return parts;
}

uint32_t nodeFlagsOf(std::string_view text)
{
    uint32_t flags = 0;
    for (std::string_view part : splitNodeType(text)) {
        const uint32_t bit = nodeFlagOf(part);
        if (bit == 0)
            ZY_THROW("Unknown node type: " + zy::string(part) + ".");
        flags |= bit;
    }
    return flags;
}

bool smoothNormalsByDefault(SmoothNormalsMode mode)
{
    return mode == SmoothNormalsMode::On || mode == SmoothNormalsMode::MarkedDefaultOn;
}

bool smoothNormalsMarkable(SmoothNormalsMode mode)
{
    return mode == SmoothNormalsMode::MarkedDefaultOff || mode == SmoothNormalsMode::MarkedDefaultOn;
}

bool NodeFlagHandler::canHandle(const zy::string& name, const ValueList& values) const
{
    return name == "TYPE" && !values.empty() && values.front() == "string";
}

void NodeFlagHandler::handle(const zy::string&, const ValueList& values)
{
    if (values.size() != 2)
        return;
    *flags_ = 0;
    *flags_ = nodeFlagsOf(values[1]);
}

bool NormalSmoothFlagHandler::canHandle(const zy::string& name, const ValueList& values) const
{
    return smoothNormalsMarkable(mode_) && isNamedFloat(name, "SMOOTH_NORMALS", values);
}

void NormalSmoothFlagHandler::handle(const zy::string&, const ValueList& values)
{
    if (values.size() == 2)
        *smoothNormals_ = switchValue(values[1]);
}

bool NoConnectorFlagHandler::canHandle(const zy::string& name, const ValueList& values) const
{
    return isNamedFloat(name, "NO_CONNECTOR", values);
}

void NoConnectorFlagHandler::handle(const zy::string&, const ValueList& values)
{
    if (values.size() == 2)
        *noConnector_ = switchValue(values[1]);
}

bool DamageHandler::canHandle(const zy::string& name, const ValueList& values) const
{
    return isNamedFloat(name, "DAMAGE_ARGUMENT", values);
}

void DamageHandler::handle(const zy::string&, const ValueList& values)
{
    if (values.size() == 2)
        *damageArgument_ = truncateToInt(leadingFloat(values[1]));
}

} // namespace lu
