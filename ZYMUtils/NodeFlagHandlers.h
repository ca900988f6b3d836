#pragma once
// The reserved names that steer the export of a node itself: TYPE (what the
// node becomes), SMOOTH_NORMALS, NO_CONNECTOR and DAMAGE_ARGUMENT.
#include <cstdint>
#include <string_view>
#include <vector>

#include "FuncHandler.h"

namespace lu {

// Bits of a node's flags and the TYPE keywords that set them.
enum NodeFlag : uint32_t {
    kRenderable = 0x1,
    kConnector = 0x2,
    kLight = 0x4,
    kFakeLights = 0x8,
    kCollisionShell = 0x10,
    kCollisionLine = 0x20,
    kBoundingBox = 0x40,
    kLodRoot = 0x100,
    kUserBox = 0x200,
    kIkBone = 0x800,
    kNumberRoot = 0x1000,
};

// The bit of a TYPE keyword, compared byte for byte; 0 when unknown.
uint32_t nodeFlagOf(std::string_view keyword);

// Parts of a TYPE text split at "|": empty parts are kept except after a
// final bar, and an empty text has no part.
std::vector<std::string_view> splitNodeType(std::string_view text);

// Flags of a TYPE text; raises "Unknown node type: <part>." for a part that
// is not a keyword.
uint32_t nodeFlagsOf(std::string_view text);

// Option smoothNormals: whether normals are smoothed, and whether a node may
// say so itself through SMOOTH_NORMALS.
enum class SmoothNormalsMode : int {
    Off = 0,
    On = 1,
    MarkedDefaultOff = 2,
    MarkedDefaultOn = 3,
};
bool smoothNormalsByDefault(SmoothNormalsMode mode);
bool smoothNormalsMarkable(SmoothNormalsMode mode);

// TYPE = "keyword|keyword..." -> flags (replaced, not added to).
class NodeFlagHandler : public FuncHandler {
public:
    explicit NodeFlagHandler(uint32_t* flags) : flags_(flags) {}
    bool canHandle(const zy::string& name, const ValueList& values) const override;
    void handle(const zy::string& name, const ValueList& values) override;

private:
    uint32_t* flags_;
};

// SMOOTH_NORMALS = number -> rounded value != 0; only in the marked modes.
class NormalSmoothFlagHandler : public FuncHandler {
public:
    NormalSmoothFlagHandler(bool* smoothNormals, SmoothNormalsMode mode) : smoothNormals_(smoothNormals), mode_(mode) {}
    bool canHandle(const zy::string& name, const ValueList& values) const override;
    void handle(const zy::string& name, const ValueList& values) override;

private:
    bool* smoothNormals_;
    SmoothNormalsMode mode_;
};

// NO_CONNECTOR = number -> rounded value != 0.
class NoConnectorFlagHandler : public FuncHandler {
public:
    explicit NoConnectorFlagHandler(bool* noConnector) : noConnector_(noConnector) {}
    bool canHandle(const zy::string& name, const ValueList& values) const override;
    void handle(const zy::string& name, const ValueList& values) override;

private:
    bool* noConnector_;
};

// DAMAGE_ARGUMENT = number -> the number truncated toward zero.
class DamageHandler : public FuncHandler {
public:
    explicit DamageHandler(int32_t* damageArgument) : damageArgument_(damageArgument) {}
    bool canHandle(const zy::string& name, const ValueList& values) const override;
    void handle(const zy::string& name, const ValueList& values) override;

private:
    int32_t* damageArgument_;
};

} // namespace lu
