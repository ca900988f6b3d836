#pragma once
// The names the scene file gives the host's own classes, and the format's name.
#include <string>

#include "maxsdk/ClassIds.h"

namespace zyhost {

inline constexpr const char* kFormatName = "zyhost-scene";
inline constexpr int kFormatVersion = 1;

bool IsControllerSuper(SClass_ID sid);
bool IsObjectSuper(SClass_ID sid);

// "linearFloat", "linearPosition", "linearRotation", "linearScale", "bezierPoint3",
// "onOff" for the host's keyframe controllers; null for any other class.
const char* KeyedControllerType(Class_ID cid);
// "point", "bone", "target" for the marker objects; null otherwise.
const char* MarkerObjectType(Class_ID cid);
// "omni", "targetSpot", "freeSpot", "directional"; null otherwise.
const char* LightKind(Class_ID cid);
// The light class of a kind name, or nothing.
bool LightClassOf(const std::string& kind, Class_ID& cid);

} // namespace zyhost
