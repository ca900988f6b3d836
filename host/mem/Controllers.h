#pragma once
// The host's keyframe controllers and the PRS transform controller.
//
// Keyframe controllers hold a constant value while they have no keys. SetValue in
// animation mode sets or inserts the key at t; outside it, it sets the constant
// (no keys), the key at t, or otherwise offsets every key by the change at t.
#include <vector>

#include "maxsdk/Control.h"

// Linear float, position, rotation and scale controllers, the Bezier point
// controller and the on/off controller are created by class through the class
// directory; these helpers create them directly.
ZYHOST_API Control* NewLinearFloatControl();
ZYHOST_API Control* NewLinearPositionControl();
ZYHOST_API Control* NewLinearRotationControl();
ZYHOST_API Control* NewLinearScaleControl();
ZYHOST_API Control* NewBezierPoint3Control();
ZYHOST_API Control* NewOnOffControl();

// The PRS transform controller: position, rotation and scale sub-controllers.
// Relative evaluation onto the parent matrix P applies position, then rotation,
// then scale, each pre-multiplied, giving  S * R * T * P  (row vectors).
// SetValue takes the local matrix (absolute) and splits it by decomp_affine.
// classId lets the in-memory host stand in for other plug-ins' transform
// controllers (such as the biped controllers), which behave alike here.
class ZYHOST_API PRSControl : public Control {
public:
    explicit PRSControl(Class_ID classId = PRS_CONTROL_CLASS_ID, bool loading = false);
    Class_ID ClassID() override { return classId_; }
    SClass_ID SuperClassID() override { return CTRL_MATRIX3_CLASS_ID; }
    void GetClassName(MSTR& s) override { s = _M("Position/Rotation/Scale"); }

    void GetValue(TimeValue t, void* val, Interval& valid, GetSetMethod method = CTRL_ABSOLUTE) override;
    void SetValue(TimeValue t, void* val, int commit = 1, GetSetMethod method = CTRL_ABSOLUTE) override;
    BOOL IsLeaf() override { return FALSE; }

    Control* GetPositionController() override { return subs_[0]; }
    Control* GetRotationController() override { return subs_[1]; }
    Control* GetScaleController() override { return subs_[2]; }
    BOOL SetPositionController(Control* c) override { return SetSub(0, c); }
    BOOL SetRotationController(Control* c) override { return SetSub(1, c); }
    BOOL SetScaleController(Control* c) override { return SetSub(2, c); }

    int NumSubs() override { return 3; }
    Animatable* SubAnim(int i) override { return i >= 0 && i < 3 ? subs_[i] : nullptr; }
    MSTR SubAnimName(int i) override;
    BOOL AssignController(Animatable* control, int subAnim) override;
    int SubNumToRefNum(int subNum) override { return subNum >= 0 && subNum < 3 ? subNum : -1; }
    int NumRefs() override { return 3; }
    RefTargetHandle GetReference(int i) override { return i >= 0 && i < 3 ? subs_[i] : nullptr; }
    Interval GetTimeRange(DWORD flags) override;
    RefTargetHandle Clone(RemapDir& remap) override;

protected:
    void SetReference(int i, RefTargetHandle rtarg) override;

private:
    BOOL SetSub(int i, Control* c);
    Class_ID classId_;
    Control* subs_[3] = {nullptr, nullptr, nullptr};
};
