#include "zyhost/SceneKinds.h"

#include <string>

namespace zyhost {

bool IsControllerSuper(SClass_ID sid) {
    switch (sid) {
    case CTRL_FLOAT_CLASS_ID: case CTRL_POINT3_CLASS_ID: case CTRL_MATRIX3_CLASS_ID: case CTRL_POSITION_CLASS_ID:
    case CTRL_ROTATION_CLASS_ID: case CTRL_SCALE_CLASS_ID: case CTRL_USERTYPE_CLASS_ID:
        return true;
    default:
        return false;
    }
}

bool IsObjectSuper(SClass_ID sid) {
    switch (sid) {
    case GEOMOBJECT_CLASS_ID: case SHAPE_CLASS_ID: case HELPER_CLASS_ID: case LIGHT_CLASS_ID: case CAMERA_CLASS_ID:
    case GEN_DERIVOB_CLASS_ID:
        return true;
    default:
        return false;
    }
}

const char* KeyedControllerType(Class_ID cid) {
    if (cid == LININTERP_FLOAT_CLASS_ID) return "linearFloat";
    if (cid == LININTERP_POSITION_CLASS_ID) return "linearPosition";
    if (cid == LININTERP_ROTATION_CLASS_ID) return "linearRotation";
    if (cid == LININTERP_SCALE_CLASS_ID) return "linearScale";
    if (cid == HYBRIDINTERP_POINT3_CLASS_ID) return "bezierPoint3";
    if (cid == ONOFF_CONTROL_CLASS_ID) return "onOff";
    return nullptr;
}

const char* MarkerObjectType(Class_ID cid) {
    if (cid == POINTHELP_CLASS_ID) return "point";
    if (cid == BONE_OBJ_CLASSID) return "bone";
    if (cid == TARGET_CLASS_ID) return "target";
    return nullptr;
}

namespace {
struct LightName {
    const char* name;
    Class_ID cid;
};
const LightName kLights[] = {{"omni", OMNI_LIGHT_CLASS_ID},
                             {"targetSpot", SPOT_LIGHT_CLASS_ID},
                             {"freeSpot", FSPOT_LIGHT_CLASS_ID},
                             {"directional", DIR_LIGHT_CLASS_ID}};
} // namespace

const char* LightKind(Class_ID cid) {
    for (const LightName& l : kLights)
        if (l.cid == cid) return l.name;
    return nullptr;
}

bool LightClassOf(const std::string& kind, Class_ID& cid) {
    for (const LightName& l : kLights)
        if (kind == l.name) {
            cid = l.cid;
            return true;
        }
    return false;
}

} // namespace zyhost
