// The custom-attribute container every animatable can carry.
#include <vector>

#include "maxsdk/CustAttrib.h"

namespace {

class CustAttribContainer : public ICustAttribContainer {
public:
    explicit CustAttribContainer(Animatable* owner) : owner_(owner) {}

    Class_ID ClassID() override { return Class_ID(0x5ddb3626, 0x23b708db); }
    int NumRefs() override { return int(attribs_.size()); }
    RefTargetHandle GetReference(int i) override {
        return i >= 0 && i < NumRefs() ? attribs_[std::size_t(i)] : nullptr;
    }
    int NumSubs() override { return NumRefs(); }
    Animatable* SubAnim(int i) override { return GetReference(i); }
    MSTR SubAnimName(int i) override {
        CustAttrib* ca = GetCustAttrib(i);
        return ca ? MSTR(ca->GetName()) : MSTR();
    }

    int GetNumCustAttribs() override { return NumRefs(); }
    CustAttrib* GetCustAttrib(int i) override { return static_cast<CustAttrib*>(GetReference(i)); }
    void AppendCustAttrib(CustAttrib* attribute) override { InsertCustAttrib(NumRefs(), attribute); }
    void InsertCustAttrib(int i, CustAttrib* attribute) override {
        if (i < 0 || i > NumRefs()) i = NumRefs();
        attribs_.insert(attribs_.begin() + i, nullptr);
        ReplaceReference(i, attribute);
    }
    void SetCustAttrib(int i, CustAttrib* attribute) override {
        if (i >= 0 && i < NumRefs()) ReplaceReference(i, attribute);
    }
    void RemoveCustAttrib(int i) override {
        if (i < 0 || i >= NumRefs()) return;
        DeleteReference(i);
        attribs_.erase(attribs_.begin() + i);
    }
    Animatable* GetOwner() override { return owner_; }
    // An attribute deleted elsewhere leaves no empty slot behind.
    RefResult NotifyRefChanged(const Interval&, RefTargetHandle hTarget, PartID&, RefMessage message, BOOL) override {
        if (message == REFMSG_TARGET_DELETED) std::erase(attribs_, hTarget);
        return REF_SUCCEED;
    }
    // Owned by its animatable, never deleted because nothing references it.
    void MaybeAutoDelete() override {}

protected:
    void SetReference(int i, RefTargetHandle rtarg) override {
        if (i >= 0 && i < NumRefs()) attribs_[std::size_t(i)] = rtarg;
    }

private:
    Animatable* owner_;
    // Kept as targets: a dying attribute is no longer a CustAttrib when it reports.
    std::vector<RefTargetHandle> attribs_;
};

} // namespace

ICustAttribContainer* NewCustAttribContainer(Animatable* owner) { return new CustAttribContainer(owner); }
