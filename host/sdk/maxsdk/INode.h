#pragma once
// Scene nodes. A node's world matrix is its transform controller evaluated relative
// onto the parent's world matrix; for the standard PRS controller that is
// scale (with its axis rotation), then rotation, then translation, then the parent.
#include "maxsdk/Control.h"
#include "maxsdk/Object.h"

class Mtl;

class ZYHOST_API INode : public ReferenceTarget {
public:
    SClass_ID SuperClassID() override { return BASENODE_CLASS_ID; }

    virtual const MCHAR* GetName() = 0;
    virtual void SetName(const MCHAR* name) = 0;

    virtual INode* GetParentNode() = 0;
    virtual int NumberOfChildren() = 0;
    virtual INode* GetChildNode(int i) = 0;
    // Makes node a child of this one (it leaves its old parent). With keepTM the
    // node's world matrix at the current time is kept.
    virtual void AttachChild(INode* node, int keepTM = 1) = 0;
    virtual BOOL IsRootNode() = 0;

    virtual Matrix3 GetNodeTM(TimeValue t, Interval* valid = nullptr) = 0;
    virtual void SetNodeTM(TimeValue t, const Matrix3& tm) = 0;
    virtual Matrix3 GetParentTM(TimeValue t) = 0;
    // The object's world matrix: the object offset, then the node matrix.
    virtual Matrix3 GetObjectTM(TimeValue t, Interval* valid = nullptr) = 0;
    virtual Matrix3 GetObjTMBeforeWSM(TimeValue t, Interval* valid = nullptr) = 0;
    virtual Matrix3 GetObjTMAfterWSM(TimeValue t, Interval* valid = nullptr) = 0;
    virtual Point3 GetObjOffsetPos() = 0;
    virtual void SetObjOffsetPos(const Point3& p) = 0;
    virtual Quat GetObjOffsetRot() = 0;
    virtual void SetObjOffsetRot(const Quat& q) = 0;
    virtual ScaleValue GetObjOffsetScale() = 0;
    virtual void SetObjOffsetScale(const ScaleValue& s) = 0;

    // The object after its modifiers at t (obj may be null).
    virtual const ObjectState& EvalWorldState(TimeValue t, BOOL evalHidden = TRUE) = 0;
    virtual Object* GetObjectRef() = 0;
    virtual void SetObjectRef(Object* obj) = 0;
    virtual Control* GetTMController() = 0;
    virtual BOOL SetTMController(Control* c) = 0;
    virtual Control* GetVisController() = 0;
    virtual void SetVisController(Control* c) = 0;
    // The visibility controller's value at t (1 without a controller).
    virtual float GetVisibility(TimeValue t, Interval* valid = nullptr) = 0;
    virtual Mtl* GetMtl() = 0;
    virtual void SetMtl(Mtl* m) = 0;
    // The look-at target of a target light or camera, or null.
    virtual INode* GetTarget() = 0;

    virtual int IsNodeHidden(BOOL forRenderer = FALSE) = 0;
    virtual void Hide(BOOL onOff) = 0;
    virtual int Selected() = 0;
    virtual BOOL IsGroupHead() = 0;
    virtual BOOL IsGroupMember() = 0;
    virtual void SetGroupHead(BOOL b) = 0;
    virtual void SetGroupMember(BOOL b) = 0;

    virtual void GetUserPropBuffer(MSTR& buf) = 0;
    virtual void SetUserPropBuffer(const MSTR& buf) = 0;
    // Red in the lowest byte, then green, then blue.
    virtual DWORD GetWireColor() = 0;
    virtual void SetWireColor(DWORD color) = 0;
};
