#include "zyhost/SceneKinds.h"

#include <cmath>
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

// A recovered handle within rounding of its knot is the knot itself.
Point3 Snap(const Point3& handle, const Point3& knot, float scale) {
    return (handle - knot).Length() <= 1e-5f * scale ? knot : handle;
}
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

std::vector<SplineShapeObject::Knot> CurveKnots(SplineShapeObject* shape, int curve) {
    int pieces = shape->NumberOfPieces(0, curve);
    bool closed = shape->CurveClosed(0, curve) != 0;
    int count = pieces == 0 ? 0 : (closed ? pieces : pieces + 1);
    std::vector<SplineShapeObject::Knot> knots(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        Point3 p = i < pieces ? shape->InterpPiece3D(0, curve, i, 0.f) : shape->InterpPiece3D(0, curve, pieces - 1, 1.f);
        knots[std::size_t(i)] = {p, p, p};
    }
    for (int i = 0; i < pieces; ++i) {
        // B(u) = p0 v^3 + 3 p1 v^2 u + 3 p2 v u^2 + p3 u^3; solve p1, p2 from B(1/3), B(2/3).
        SplineShapeObject::Knot& a = knots[std::size_t(i)];
        SplineShapeObject::Knot& b = knots[std::size_t((i + 1) % count)];
        Point3 s1 = shape->InterpPiece3D(0, curve, i, 1.f / 3.f);
        Point3 s2 = shape->InterpPiece3D(0, curve, i, 2.f / 3.f);
        Point3 A = s1 * 27.f - a.p * 8.f - b.p;
        Point3 B = s2 * 27.f - a.p - b.p * 8.f;
        float scale = 1.f + a.p.Length() + b.p.Length();
        a.out = Snap((A * 2.f - B) / 18.f, a.p, scale);
        b.in = Snap((B * 2.f - A) / 18.f, b.p, scale);
    }
    return knots;
}

} // namespace zyhost
