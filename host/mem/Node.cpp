// Scene nodes: hierarchy, transform and visibility controllers, object, material.
#include <algorithm>
#include <vector>

#include "maxsdk/Mtl.h"
#include "mem/Controllers.h"
#include "mem/MemInterface.h"

namespace {

enum NodeRef { kTM, kObject, kMtl, kVis, kNumRefs };

class MemNode : public INode {
public:
    MemNode(MemInterface& host, bool root) : host_(host), root_(root) {
        if (!root) ReplaceReference(kTM, new PRSControl());
    }

    ~MemNode() override {
        std::vector<MemNode*> children;
        children.swap(children_);
        for (MemNode* c : children) {
            c->parent_ = nullptr;
            c->DeleteMe();
        }
        if (parent_) parent_->RemoveChild(this);
        host_.NodeGone(this);
    }

    void GetClassName(MSTR& s) override { s = _M("Node"); }
    const MCHAR* GetName() override { return name_.c_str(); }
    void SetName(const MCHAR* name) override { name_ = name ? name : _M(""); }

    INode* GetParentNode() override { return parent_; }
    int NumberOfChildren() override { return int(children_.size()); }
    INode* GetChildNode(int i) override {
        return i >= 0 && i < NumberOfChildren() ? children_[std::size_t(i)] : nullptr;
    }
    void AttachChild(INode* node, int keepTM) override {
        auto* child = static_cast<MemNode*>(node);
        if (!child || child == this || child->root_) return;
        for (MemNode* p = this; p; p = p->parent_)
            if (p == child) return; // would make a cycle
        TimeValue t = host_.GetTime();
        Matrix3 world = child->GetNodeTM(t);
        if (child->parent_) child->parent_->RemoveChild(child);
        child->parent_ = this;
        children_.push_back(child);
        if (keepTM) child->SetNodeTM(t, world);
    }
    BOOL IsRootNode() override { return root_; }

    Matrix3 GetNodeTM(TimeValue t, Interval* valid = nullptr) override {
        if (root_) return Matrix3();
        Matrix3 m = parent_ ? parent_->GetNodeTM(t, valid) : Matrix3();
        if (Control* c = tm_) {
            Interval iv = FOREVER;
            c->GetValue(t, &m, iv, CTRL_RELATIVE);
            if (valid) *valid &= iv;
        }
        return m;
    }
    void SetNodeTM(TimeValue t, const Matrix3& tm) override {
        if (root_ || !tm_) return;
        Matrix3 local = tm * Inverse(GetParentTM(t));
        tm_->SetValue(t, &local, 1, CTRL_ABSOLUTE);
    }
    Matrix3 GetParentTM(TimeValue t) override { return parent_ ? parent_->GetNodeTM(t) : Matrix3(); }
    Matrix3 GetObjectTM(TimeValue t, Interval* valid = nullptr) override { return OffsetTM() * GetNodeTM(t, valid); }
    Matrix3 GetObjTMBeforeWSM(TimeValue t, Interval* valid = nullptr) override { return GetObjectTM(t, valid); }
    Matrix3 GetObjTMAfterWSM(TimeValue t, Interval* valid = nullptr) override { return GetObjectTM(t, valid); }
    Point3 GetObjOffsetPos() override { return offsetPos_; }
    void SetObjOffsetPos(const Point3& p) override { offsetPos_ = p; }
    Quat GetObjOffsetRot() override { return offsetRot_; }
    void SetObjOffsetRot(const Quat& q) override { offsetRot_ = q; }
    ScaleValue GetObjOffsetScale() override { return offsetScale_; }
    void SetObjOffsetScale(const ScaleValue& s) override { offsetScale_ = s; }

    const ObjectState& EvalWorldState(TimeValue t, BOOL) override {
        state_ = object_ ? object_->Eval(t) : ObjectState();
        return state_;
    }
    Object* GetObjectRef() override { return object_; }
    void SetObjectRef(Object* obj) override { ReplaceReference(kObject, obj); }
    Control* GetTMController() override { return tm_; }
    BOOL SetTMController(Control* c) override {
        if (root_ || (c && c->SuperClassID() != CTRL_MATRIX3_CLASS_ID)) return FALSE;
        ReplaceReference(kTM, c);
        return TRUE;
    }
    Control* GetVisController() override { return vis_; }
    void SetVisController(Control* c) override { ReplaceReference(kVis, c); }
    float GetVisibility(TimeValue t, Interval* valid = nullptr) override {
        if (!vis_) return 1.f;
        float v = 1.f;
        Interval iv = FOREVER;
        vis_->GetValue(t, &v, iv, CTRL_ABSOLUTE);
        if (valid) *valid &= iv;
        return v;
    }
    Mtl* GetMtl() override { return mtl_; }
    void SetMtl(Mtl* m) override { ReplaceReference(kMtl, m); }
    INode* GetTarget() override { return target_; }
    void SetTarget(INode* target) { target_ = target; }

    int IsNodeHidden(BOOL) override { return hidden_; }
    void Hide(BOOL onOff) override { hidden_ = onOff != 0; }
    int Selected() override { return host_.IsSelected(this); }
    BOOL IsGroupHead() override { return groupHead_; }
    BOOL IsGroupMember() override { return groupMember_; }
    void SetGroupHead(BOOL b) override { groupHead_ = b != 0; }
    void SetGroupMember(BOOL b) override { groupMember_ = b != 0; }

    void GetUserPropBuffer(MSTR& buf) override { buf = userProps_; }
    void SetUserPropBuffer(const MSTR& buf) override { userProps_ = buf; }
    DWORD GetWireColor() override { return wire_; }
    void SetWireColor(DWORD color) override { wire_ = color; }

    int NumSubs() override { return 3; }
    Animatable* SubAnim(int i) override {
        if (i == 0) return vis_;
        if (i == 1) return tm_;
        return i == 2 ? object_ : nullptr;
    }
    MSTR SubAnimName(int i) override {
        return i == 0 ? MSTR(_M("Visibility")) : (i == 1 ? MSTR(_M("Transform")) : (i == 2 ? MSTR(_M("Object")) : MSTR()));
    }
    int NumRefs() override { return kNumRefs; }
    RefTargetHandle GetReference(int i) override {
        switch (i) {
        case kTM: return tm_;
        case kObject: return object_;
        case kMtl: return mtl_;
        case kVis: return vis_;
        default: return nullptr;
        }
    }
    RefResult NotifyRefChanged(const Interval&, RefTargetHandle, PartID& partID, RefMessage message, BOOL) override {
        if (message == REFMSG_GET_PARAM_DIM) {
            *reinterpret_cast<ParamDimension**>(partID) = defaultDim();
            return REF_STOP;
        }
        return REF_SUCCEED;
    }
    // Nodes belong to the scene tree, not to whoever references them.
    void MaybeAutoDelete() override {}

    void NotifyTargetGone(INode* node) {
        if (target_ == node) target_ = nullptr;
    }

protected:
    void SetReference(int i, RefTargetHandle rtarg) override {
        switch (i) {
        case kTM: tm_ = static_cast<Control*>(rtarg); break;
        case kObject: object_ = static_cast<Object*>(rtarg); break;
        case kMtl: mtl_ = static_cast<Mtl*>(rtarg); break;
        case kVis: vis_ = static_cast<Control*>(rtarg); break;
        default: break;
        }
    }

private:
    void RemoveChild(MemNode* c) { children_.erase(std::remove(children_.begin(), children_.end(), c), children_.end()); }
    Matrix3 OffsetTM() const {
        Matrix3 r;
        offsetRot_.MakeMatrix(r);
        Matrix3 m = offsetScale_.ToMatrix() * r;
        m.SetTrans(offsetPos_);
        return m;
    }

    MemInterface& host_;
    bool root_;
    MSTR name_;
    MemNode* parent_ = nullptr;
    std::vector<MemNode*> children_;
    Control* tm_ = nullptr;
    Object* object_ = nullptr;
    Mtl* mtl_ = nullptr;
    Control* vis_ = nullptr;
    INode* target_ = nullptr;
    Point3 offsetPos_;
    Quat offsetRot_;
    ScaleValue offsetScale_;
    ObjectState state_;
    MSTR userProps_;
    DWORD wire_ = RGB(0, 0, 0);
    bool hidden_ = false;
    bool groupHead_ = false;
    bool groupMember_ = false;
};

} // namespace

INode* NewMemNode(MemInterface& host, bool root) { return new MemNode(host, root); }

void SetNodeTarget(INode* node, INode* target) { static_cast<MemNode*>(node)->SetTarget(target); }

void ClearNodeTarget(INode* node, INode* gone) { static_cast<MemNode*>(node)->NotifyTargetGone(gone); }
