#pragma once
// The in-memory host's scene objects and modifiers that carry extra set-up API.
#include <vector>

#include "maxsdk/Object.h"
#include "maxsdk/Shape.h"
#include "maxsdk/Skin.h"

// A spline shape: curves of Bezier knots. A piece joins knot i to knot i + 1 (and
// the last to the first of a closed curve) through their out and in handles.
class ZYHOST_API SplineShapeObject : public ShapeObject {
public:
    struct Knot {
        Point3 p, in, out; // handles in absolute coordinates
    };
    Class_ID ClassID() override { return SPLINESHAPE_CLASS_ID; }
    void GetClassName(MSTR& s) override { s = _M("Editable Spline"); }
    // A curve of straight pieces through the points.
    void AddLineCurve(const std::vector<Point3>& points, bool closed);
    void AddBezierCurve(const std::vector<Knot>& knots, bool closed);
    void Transform(const Matrix3& tm);

    int NumberOfCurves(TimeValue t) override { return int(curves_.size()); }
    int NumberOfPieces(TimeValue t, int curve) override;
    BOOL CurveClosed(TimeValue t, int curve) override;
    Point3 InterpPiece3D(TimeValue t, int curve, int piece, float param, int ptype = PARAM_SIMPLE) override;
    Point3 InterpCurve3D(TimeValue t, int curve, float param, int ptype = PARAM_SIMPLE) override;
    RefTargetHandle Clone(RemapDir& remap) override;
    // The knots of one curve as they were added (empty for a curve out of range);
    // lets a scene file store Bezier handles exactly.
    std::vector<Knot> CurveKnots(int curve) const {
        return curve >= 0 && curve < int(curves_.size()) ? curves_[std::size_t(curve)].knots : std::vector<Knot>();
    }

private:
    struct Curve {
        std::vector<Knot> knots;
        bool closed = false;
    };
    std::vector<Curve> curves_;
};

// The transform modifier: moves the points of meshes and shapes by a matrix.
class ZYHOST_API XFormModifier : public Modifier {
public:
    Class_ID ClassID() override { return XFORM_MOD_CLASS_ID; }
    void GetClassName(MSTR& s) override { s = _M("XForm"); }
    void SetMatrix(const Matrix3& tm) { tm_ = tm; }
    const Matrix3& GetMatrix() const { return tm_; }
    void ModifyObject(TimeValue t, ModContext& mc, ObjectState* os, INode* node) override;
    RefTargetHandle Clone(RemapDir& remap) override;

private:
    Matrix3 tm_;
};
