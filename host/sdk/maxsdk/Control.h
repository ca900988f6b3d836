#pragma once
// Controllers: animatables that compute a value over time, with keys.
//
// The value pointer of GetValue/SetValue depends on the super class and method:
//   float controller          float*       (relative: added to *val)
//   point3 controller         Point3*      (relative: added)
//   position controller       Point3*      (relative: Matrix3*, translation pre-applied)
//   rotation controller       Quat*        (relative: Matrix3*, rotation pre-applied;
//                                           SetValue relative takes an AngAxis*)
//   scale controller          ScaleValue*  (relative: Matrix3*, scaling pre-applied)
//   matrix3 (transform)       Matrix3*     (relative only: parent matrix in, node matrix out)
#include "maxsdk/Decomp.h"
#include "maxsdk/Reference.h"

enum GetSetMethod { CTRL_RELATIVE = 0, CTRL_ABSOLUTE = 1 };

class ZYHOST_API Control : public ReferenceTarget {
public:
    virtual void GetValue(TimeValue t, void* val, Interval& valid, GetSetMethod method = CTRL_ABSOLUTE) = 0;
    virtual void SetValue(TimeValue t, void* val, int commit = 1, GetSetMethod method = CTRL_ABSOLUTE) = 0;
    // Takes over the value of the controller this one replaces.
    virtual void Copy(Control* from) {}
    virtual void CommitValue(TimeValue t) {}
    virtual void RestoreValue(TimeValue t) {}
    virtual void MouseCycleStarted(TimeValue t) {}
    virtual void MouseCycleCompleted(TimeValue t) {}
    virtual BOOL IsLeaf() { return TRUE; }

    // Transform controllers: their position, rotation and scale sub-controllers.
    virtual Control* GetPositionController() { return nullptr; }
    virtual Control* GetRotationController() { return nullptr; }
    virtual Control* GetScaleController() { return nullptr; }
    virtual BOOL SetPositionController(Control* c) { return FALSE; }
    virtual BOOL SetRotationController(Control* c) { return FALSE; }
    virtual BOOL SetScaleController(Control* c) { return FALSE; }

    // Inverse kinematics (not evaluated by the in-memory host).
    virtual int EnumIKParams(IKEnumCallback& callback) { return 0; }
    virtual BOOL CompDeriv(TimeValue t, Matrix3& ptm, IKDeriv& derivs, DWORD flags) { return FALSE; }

    void* GetInterface(ULONG id) override { return id == I_CONTROL ? this : ReferenceTarget::GetInterface(id); }
};

// Keys as the host's key interface hands them out. A key control reads and writes
// keys of the type that matches its controller.
class IKey {
public:
    TimeValue time = 0;
    DWORD flags = 0;
};
class ILinFloatKey : public IKey {
public:
    float val = 0;
};
class ILinPoint3Key : public IKey {
public:
    Point3 val;
};
class ILinRotKey : public IKey {
public:
    Quat val;
};
class ILinScaleKey : public IKey {
public:
    ScaleValue val;
};
// A Bezier key; zero tangents mean "smooth" (derived from the neighbouring keys).
class IBezPoint3Key : public IKey {
public:
    Point3 val;
    Point3 intan, outtan;
};

class ZYHOST_API IKeyControl {
public:
    virtual ~IKeyControl() = default;
    virtual int GetNumKeys() = 0;
    virtual void SetNumKeys(int n) = 0;
    // key must point to the key type of the controller.
    virtual void GetKey(int i, IKey* key) = 0;
    virtual void SetKey(int i, IKey* key) = 0;
    // Appends a key and returns its index; SortKeys puts the keys in time order.
    virtual int AppendKey(IKey* key) = 0;
    virtual void SortKeys() = 0;
    virtual int GetKeySize() = 0;
};

inline IKeyControl* GetKeyControlInterface(Animatable* a) {
    return a ? static_cast<IKeyControl*>(a->GetInterface(I_KEYCONTROL)) : nullptr;
}

// True while the host is in animation (auto-key) mode: value edits then make keys.
ZYHOST_API BOOL Animating();

// The host's default controllers of each kind.
ZYHOST_API Control* NewDefaultFloatController();
ZYHOST_API Control* NewDefaultPoint3Controller();
ZYHOST_API Control* NewDefaultPositionController();
ZYHOST_API Control* NewDefaultRotationController();
ZYHOST_API Control* NewDefaultScaleController();
ZYHOST_API Control* NewDefaultMatrix3Controller();
ZYHOST_API Control* NewDefaultBoolController();
