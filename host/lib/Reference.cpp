// The reference system: makers hold references, targets know their dependents.
#include "maxsdk/Reference.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>

#include "maxsdk/CustAttrib.h"

ICustAttribContainer* NewCustAttribContainer(Animatable* owner); // CustAttribContainer.cpp

void* MAX_malloc(std::size_t size) { return std::malloc(size ? size : 1); }
void MAX_free(void* p) { std::free(p); }

ParamDimension* defaultDim() {
    static ParamDimension dim;
    return &dim;
}

// ---- Animatable ----

Animatable::Animatable() = default;

Animatable::~Animatable() {
    ClearAllAppData();
    DeleteCustAttribContainer();
}

ICustAttribContainer* Animatable::GetCustAttribContainer() { return custAttribs_; }

void Animatable::AllocCustAttribContainer() {
    if (!custAttribs_) custAttribs_ = NewCustAttribContainer(this);
}

void Animatable::DeleteCustAttribContainer() {
    if (custAttribs_) {
        ICustAttribContainer* c = custAttribs_;
        custAttribs_ = nullptr;
        c->DeleteMe();
    }
}

void Animatable::AddAppDataChunk(Class_ID cid, SClass_ID sid, DWORD sbid, DWORD len, void* data) {
    for (AppDataChunk& c : appData_) {
        if (c.classID == cid && c.superClassID == sid && c.subID == sbid) {
            if (c.data != data) MAX_free(c.data);
            c.length = len;
            c.data = data;
            return;
        }
    }
    appData_.push_back(AppDataChunk{cid, sid, sbid, len, data});
}

AppDataChunk* Animatable::GetAppDataChunk(Class_ID cid, SClass_ID sid, DWORD sbid) {
    for (AppDataChunk& c : appData_)
        if (c.classID == cid && c.superClassID == sid && c.subID == sbid) return &c;
    return nullptr;
}

BOOL Animatable::RemoveAppDataChunk(Class_ID cid, SClass_ID sid, DWORD sbid) {
    for (auto it = appData_.begin(); it != appData_.end(); ++it) {
        if (it->classID == cid && it->superClassID == sid && it->subID == sbid) {
            MAX_free(it->data);
            appData_.erase(it);
            return TRUE;
        }
    }
    return FALSE;
}

void Animatable::ClearAllAppData() {
    for (AppDataChunk& c : appData_) MAX_free(c.data);
    appData_.clear();
}

int Animatable::NumAppDataChunks() const { return int(appData_.size()); }

AppDataChunk* Animatable::GetAppDataChunkByIndex(int i) {
    return i >= 0 && i < int(appData_.size()) ? &appData_[std::size_t(i)] : nullptr;
}

// ---- ReferenceMaker ----

ReferenceMaker::~ReferenceMaker() {
    std::vector<ReferenceTarget*> held;
    held.swap(held_);
    for (ReferenceTarget* t : held) t->RemoveDependent(this);
    // Each target once; a target may have been deleted by an earlier one's deletion
    // only if it referenced it, which leaves it with a dependent, so it is skipped.
    std::sort(held.begin(), held.end());
    held.erase(std::unique(held.begin(), held.end()), held.end());
    for (ReferenceTarget* t : held)
        if (t->NumDependents() == 0) t->MaybeAutoDelete();
}

RefResult ReferenceMaker::ReplaceReference(int which, RefTargetHandle newtarg, BOOL delOld) {
    if (which < 0 || which >= NumRefs()) return REF_FAIL;
    RefTargetHandle old = GetReference(which);
    if (old == newtarg) return REF_SUCCEED;
    if (newtarg) {
        newtarg->AddDependent(this);
        held_.push_back(newtarg);
    }
    SetReference(which, newtarg);
    if (old) {
        auto it = std::find(held_.begin(), held_.end(), old);
        if (it != held_.end()) {
            held_.erase(it);
            old->RemoveDependent(this);
            if (old->NumDependents() > 0)
                old->NotifyDependents(FOREVER, PART_ALL, REFMSG_REF_DELETED, NOTIFY_ALL, FALSE);
            else if (delOld)
                old->MaybeAutoDelete();
        }
    }
    return REF_SUCCEED;
}

RefResult ReferenceMaker::DeleteReference(int which) { return ReplaceReference(which, nullptr, TRUE); }

RefResult ReferenceMaker::DeleteAllRefsFromMe() {
    for (int i = 0; i < NumRefs(); ++i) DeleteReference(i);
    return REF_SUCCEED;
}

void ReferenceMaker::DeleteMe() {
    // Dependents hear of the deletion while the object is still whole.
    if (IsRefTarget()) static_cast<ReferenceTarget*>(this)->DetachDependents();
    DeleteAllRefsFromMe();
    DeleteThis();
}

// ---- ReferenceTarget ----

ReferenceTarget::~ReferenceTarget() { DetachDependents(); }

void ReferenceTarget::DetachDependents() {
    std::vector<ReferenceMaker*> deps;
    deps.swap(dependents_);
    std::vector<ReferenceMaker*> seen;
    for (ReferenceMaker* d : deps) {
        if (std::find(seen.begin(), seen.end(), d) != seen.end()) continue;
        seen.push_back(d);
        PartID part = PART_ALL;
        d->NotifyRefChanged(FOREVER, this, part, REFMSG_TARGET_DELETED, TRUE);
        for (int i = 0; i < d->NumRefs(); ++i)
            if (d->GetReference(i) == this) d->SetReference(i, nullptr);
        d->held_.erase(std::remove(d->held_.begin(), d->held_.end(), this), d->held_.end());
    }
}

void ReferenceTarget::RemoveDependent(ReferenceMaker* m) {
    auto it = std::find(dependents_.begin(), dependents_.end(), m);
    if (it != dependents_.end()) dependents_.erase(it);
}

void ReferenceTarget::MaybeAutoDelete() {
    if (dependents_.empty()) DeleteMe();
}

RefResult ReferenceTarget::NotifyDependents(const Interval& changeInt, PartID partID, RefMessage message,
                                            SClass_ID sclass, BOOL propagate, RefTargetHandle hTarg) {
    if (notifying_) return REF_SUCCEED; // a dependency cycle
    notifying_ = true;
    std::vector<ReferenceMaker*> deps = dependents_;
    for (ReferenceMaker* d : deps) {
        if (std::find(dependents_.begin(), dependents_.end(), d) == dependents_.end()) continue; // went away
        if (sclass != NOTIFY_ALL && d->SuperClassID() != sclass) continue;
        PartID part = partID;
        RefResult r = d->NotifyRefChanged(changeInt, hTarg ? hTarg : this, part, message, propagate);
        if (r == REF_STOP) continue;
        if (propagate && d->IsRefTarget())
            static_cast<ReferenceTarget*>(d)->NotifyDependents(changeInt, partID, message, sclass, propagate);
    }
    notifying_ = false;
    return REF_SUCCEED;
}

int ReferenceTarget::DoEnumDependents(DependentEnumProc* dep) {
    std::vector<ReferenceMaker*> visited;
    return EnumDependents(dep, visited);
}

int ReferenceTarget::EnumDependents(DependentEnumProc* dep, std::vector<ReferenceMaker*>& visited) {
    visited.push_back(this);
    int r = dep->proc(this);
    if (r == DependentEnumProc::DEP_ENUM_HALT) return 1;
    if (r == DependentEnumProc::DEP_ENUM_SKIP) return 0;
    std::vector<ReferenceMaker*> deps = dependents_;
    for (ReferenceMaker* d : deps) {
        if (std::find(visited.begin(), visited.end(), d) != visited.end()) continue;
        if (d->IsRefTarget()) {
            if (static_cast<ReferenceTarget*>(d)->EnumDependents(dep, visited)) return 1;
        } else {
            visited.push_back(d);
            if (dep->proc(d) == DependentEnumProc::DEP_ENUM_HALT) return 1;
        }
    }
    return 0;
}

void ReferenceTarget::BaseClone(ReferenceTarget* from, ReferenceTarget* to, RemapDir& remap) {
    if (!from || !to) return;
    if (ICustAttribContainer* src = from->GetCustAttribContainer()) {
        to->AllocCustAttribContainer();
        ICustAttribContainer* dst = to->GetCustAttribContainer();
        for (int i = 0; i < src->GetNumCustAttribs(); ++i) {
            CustAttrib* ca = src->GetCustAttrib(i);
            if (!ca || !ca->CheckCopyAttribTo(dst)) continue;
            if (auto* copy = static_cast<CustAttrib*>(remap.CloneRef(ca))) dst->AppendCustAttrib(copy);
        }
    }
    for (int i = 0; i < from->NumAppDataChunks(); ++i) {
        AppDataChunk* c = from->GetAppDataChunkByIndex(i);
        void* data = MAX_malloc(c->length);
        if (c->length) std::memcpy(data, c->data, c->length);
        to->AddAppDataChunk(c->classID, c->superClassID, c->subID, c->length, data);
    }
}

// ---- Remapping ----

struct DefaultRemapDir::Map {
    std::map<RefTargetHandle, RefTargetHandle> entries;
};

DefaultRemapDir::DefaultRemapDir() : map_(std::make_unique<Map>()) {}
DefaultRemapDir::~DefaultRemapDir() = default;

RefTargetHandle DefaultRemapDir::CloneRef(RefTargetHandle from) {
    if (!from) return nullptr;
    if (RefTargetHandle to = FindMapping(from)) return to;
    RefTargetHandle to = from->Clone(*this);
    if (to) AddEntry(from, to);
    return to;
}

RefTargetHandle DefaultRemapDir::FindMapping(RefTargetHandle from) {
    auto it = map_->entries.find(from);
    return it == map_->entries.end() ? nullptr : it->second;
}

void DefaultRemapDir::AddEntry(RefTargetHandle hfrom, RefTargetHandle hto) { map_->entries[hfrom] = hto; }

RefTargetHandle CloneRefHierarchy(RefTargetHandle target) {
    DefaultRemapDir remap;
    return remap.CloneRef(target);
}
