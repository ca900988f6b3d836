#pragma once
// Lights. A standard light keeps its settings in the parameter block that is its
// sub-animatable "Parameters": "Color", "Multiplier", "Hotspot", "Falloff" (degrees),
// "Attenuation Near Start", "Attenuation Near End", "Attenuation Far Start",
// "Attenuation Far End". A parameter with a controller is evaluated from it.
#include "maxsdk/Matrix3.h"
#include "maxsdk/Object.h"

class Texmap;

enum LightType { OMNI_LGT = 0, SPOT_LGT = 1, DIRECT_LGT = 2, AMBIENT_LGT = 3 };

// Attenuation distances (GenLight::GetAtten / SetAtten).
constexpr int ATTEN1_START = 0;
constexpr int ATTEN1_END = 1;
constexpr int ATTEN_START = 2;
constexpr int ATTEN_END = 3;

struct LightState {
    LightType type = OMNI_LGT;
    Matrix3 tm;
    Color color{1, 1, 1};
    float intens = 1;
    float hotsize = 0;  // degrees
    float fallsize = 0; // degrees
    int useNearAtten = 0;
    float nearAttenStart = 0, nearAttenEnd = 0;
    int useAtten = 0;
    float attenStart = 0, attenEnd = 0;
    BOOL on = TRUE;
};

class ZYHOST_API LightObject : public Object {
public:
    SClass_ID SuperClassID() override { return LIGHT_CLASS_ID; }
    virtual RefResult EvalLightState(TimeValue t, Interval& valid, LightState* ls) = 0;
    virtual void SetUseLight(int onOff) = 0;
    virtual BOOL GetUseLight() = 0;
};

class ZYHOST_API GenLight : public LightObject {
public:
    virtual LightType Type() = 0;
    virtual Point3 GetRGBColor(TimeValue t, Interval& valid) = 0;
    Point3 GetRGBColor(TimeValue t) { Interval v = FOREVER; return GetRGBColor(t, v); }
    virtual void SetRGBColor(TimeValue t, const Point3& rgb) = 0;
    virtual float GetIntensity(TimeValue t, Interval& valid) = 0;
    float GetIntensity(TimeValue t) { Interval v = FOREVER; return GetIntensity(t, v); }
    virtual void SetIntensity(TimeValue t, float f) = 0;
    virtual float GetHotspot(TimeValue t, Interval& valid) = 0;
    float GetHotspot(TimeValue t) { Interval v = FOREVER; return GetHotspot(t, v); }
    virtual void SetHotspot(TimeValue t, float f) = 0;
    virtual float GetFallsize(TimeValue t, Interval& valid) = 0;
    float GetFallsize(TimeValue t) { Interval v = FOREVER; return GetFallsize(t, v); }
    virtual void SetFallsize(TimeValue t, float f) = 0;
    virtual float GetAtten(TimeValue t, int which, Interval& valid) = 0;
    float GetAtten(TimeValue t, int which) { Interval v = FOREVER; return GetAtten(t, which, v); }
    virtual void SetAtten(TimeValue t, int which, float f) = 0;
    virtual BOOL GetUseAtten() = 0;
    virtual void SetUseAtten(int s) = 0;
    // Projector map (spots).
    virtual BOOL GetProjector() = 0;
    virtual void SetProjector(int onOff) = 0;
    virtual Texmap* GetProjMap() = 0;
    virtual void SetProjMap(Texmap* map) = 0;
};
