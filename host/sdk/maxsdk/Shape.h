#pragma once
// Shapes: curves of pieces (Bezier segments between knots).
#include "maxsdk/Object.h"

constexpr int PARAM_SIMPLE = 0;
constexpr int PARAM_NORMALIZED = 1;

class ZYHOST_API ShapeObject : public GeomObject {
public:
    SClass_ID SuperClassID() override { return SHAPE_CLASS_ID; }
    BOOL IsShapeObject() override { return TRUE; }
    virtual int NumberOfCurves(TimeValue t) = 0;
    virtual int NumberOfPieces(TimeValue t, int curve) = 0;
    virtual BOOL CurveClosed(TimeValue t, int curve) = 0;
    // The point at param (0 ... 1) of one piece, in object space.
    virtual Point3 InterpPiece3D(TimeValue t, int curve, int piece, float param, int ptype = PARAM_SIMPLE) = 0;
    // The point at param (0 ... 1) along a whole curve (pieces evenly split).
    virtual Point3 InterpCurve3D(TimeValue t, int curve, float param, int ptype = PARAM_SIMPLE) = 0;
};
