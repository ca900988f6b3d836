#pragma once
// Animatables, reference makers and reference targets: the host's object model.
// A maker holds numbered references to targets; a target knows its dependents,
// notifies them of changes and is deleted when the last reference to it goes.
#include <memory>
#include <vector>

#include "maxsdk/ClassIds.h"
#include "maxsdk/SaveLoad.h"
#include "maxsdk/Time.h"

class ReferenceMaker;
class ReferenceTarget;
class ICustAttribContainer;
class IParamBlock2;
class Interface;
class Control;
using RefTargetHandle = ReferenceTarget*;
using RefMakerHandle = ReferenceMaker*;
using IObjParam = Interface;

using RefResult = int;
constexpr RefResult REF_FAIL = 0;
constexpr RefResult REF_SUCCEED = 1;
constexpr RefResult REF_DONTCARE = 2;
constexpr RefResult REF_STOP = 3;

using PartID = ULONG_PTR;
constexpr PartID PART_ALL = ~PartID(0);

using RefMessage = unsigned int;
constexpr RefMessage REFMSG_CHANGE = 80;
constexpr RefMessage REFMSG_TARGET_DELETED = 0x82;
// Ask dependents for the dimension of the parameter a controller drives; the
// answer goes to *(ParamDimension**)partID.
constexpr RefMessage REFMSG_GET_PARAM_DIM = 253;
// A controller's value was edited.
constexpr RefMessage REFMSG_CONTROLREF_CHANGE = 254;
// The sub-animatables of an object were added, removed or reordered.
constexpr RefMessage REFMSG_SUBANIM_STRUCTURE_CHANGED = 258;
// A reference to the sender was deleted.
constexpr RefMessage REFMSG_REF_DELETED = 259;

// Notification filter: NOTIFY_ALL reaches every dependent.
constexpr SClass_ID NOTIFY_ALL = 0xfffffff0;

// Track-view parameter editing kinds.
constexpr int TRACKPARAMS_NONE = 0;
constexpr int TRACKPARAMS_KEY = 1;
constexpr int TRACKPARAMS_WHOLE = 2;

// Key-selection and key-operation flags.
constexpr DWORD KEYAT_POSITION = 1 << 0;
constexpr DWORD KEYAT_ROTATION = 1 << 1;
constexpr DWORD KEYAT_SCALE = 1 << 2;
constexpr DWORD NEXTKEY_LEFT = 1 << 0;
constexpr DWORD NEXTKEY_RIGHT = 1 << 1;
constexpr DWORD TIMERANGE_ALL = 0;
constexpr DWORD SELKEYS_SELECT = 1 << 0;
constexpr DWORD SELKEYS_DESELECT = 1 << 1;
constexpr DWORD SELKEYS_CLEARKEYS = 1 << 2;

// The units of an animated parameter (shown in the track view).
class ZYHOST_API ParamDimension {
public:
    virtual ~ParamDimension() = default;
    virtual float Convert(float value) { return value; }
    virtual float UnConvert(float value) { return value; }
};
ZYHOST_API ParamDimension* defaultDim();

// Application data: bytes a plug-in attaches to any animatable under its owner ids.
struct AppDataChunk {
    Class_ID classID;
    SClass_ID superClassID = 0;
    DWORD subID = 0;
    DWORD length = 0;
    void* data = nullptr; // owned by the host, freed with MAX_free
};

// Inverse-kinematics hooks of controllers; the in-memory host does no IK.
class IKEnumCallback {
public:
    virtual ~IKEnumCallback() = default;
    virtual void proc(Control* c, int index) = 0;
};
class IKDeriv;

class ZYHOST_API Animatable {
public:
    Animatable();
    Animatable(const Animatable&) = delete;
    Animatable& operator=(const Animatable&) = delete;
    virtual ~Animatable();
    // Deletes the object; the host calls it, never plain delete.
    virtual void DeleteThis() { delete this; }

    virtual Class_ID ClassID() { return Class_ID(0, 0); }
    virtual SClass_ID SuperClassID() { return 0; }
    virtual void GetClassName(MSTR& s) { s = _M("Animatable"); }

    // Sub-animatables: the tree the track view shows and scripts walk by name.
    virtual int NumSubs() { return 0; }
    virtual Animatable* SubAnim(int i) { return nullptr; }
    virtual MSTR SubAnimName(int i) { return MSTR(); }
    virtual BOOL AssignController(Animatable* control, int subAnim) { return FALSE; }
    virtual int SubNumToRefNum(int subNum) { return -1; }
    virtual ParamDimension* GetParamDimension(int i) { return defaultDim(); }

    virtual void* GetInterface(ULONG id) { return nullptr; }
    virtual void ReleaseInterface(ULONG id, void* i) {}

    virtual int NumParamBlocks() { return 0; }
    virtual IParamBlock2* GetParamBlock(int i) { return nullptr; }

    // Keys (controllers answer; other animatables have none).
    virtual int NumKeys() { return 0; }
    virtual TimeValue GetKeyTime(int index) { return 0; }
    virtual Interval GetTimeRange(DWORD flags) { return NEVER; }
    virtual BOOL GetNextKeyTime(TimeValue t, DWORD flags, TimeValue& nt) { return FALSE; }
    virtual void CopyKeysFromTime(TimeValue src, TimeValue dst, DWORD flags) {}
    virtual void DeleteKeyAtTime(TimeValue t) {}
    virtual BOOL IsKeyAtTime(TimeValue t, DWORD flags) { return FALSE; }
    virtual int GetKeyTimes(std::vector<TimeValue>& times, Interval range, DWORD flags) { return 0; }
    virtual int GetKeySelState(std::vector<bool>& sel, Interval range, DWORD flags) { return 0; }
    virtual void DeleteKeys(DWORD flags) {}
    virtual void SelectKeys(const Interval& range, DWORD flags) {}
    virtual BOOL IsKeySelected(int index) { return FALSE; }
    virtual void CloneSelectedKeys(BOOL offset = FALSE) {}
    virtual void AddNewKey(TimeValue t, DWORD flags) {}
    virtual void NotifyForeground(TimeValue t) {}
    virtual BOOL IsKeyable() { return FALSE; }

    // Track-view and command-panel editing.
    virtual int TrackParamsType() { return TRACKPARAMS_NONE; }
    virtual void EditTrackParams(TimeValue t, ParamDimension* dim, const MCHAR* title, HWND hParent, IObjParam* ip,
                                 DWORD flags) {}
    virtual void BeginEditParams(IObjParam* ip, ULONG flags, Animatable* prev = nullptr) {}
    virtual void EndEditParams(IObjParam* ip, ULONG flags, Animatable* next = nullptr) {}

    // Custom attributes.
    ICustAttribContainer* GetCustAttribContainer();
    void AllocCustAttribContainer();
    void DeleteCustAttribContainer();

    // Application data; the host takes ownership of data (allocated with MAX_malloc).
    // A chunk with the same owner and sub id is replaced.
    void AddAppDataChunk(Class_ID cid, SClass_ID sid, DWORD sbid, DWORD len, void* data);
    AppDataChunk* GetAppDataChunk(Class_ID cid, SClass_ID sid, DWORD sbid);
    BOOL RemoveAppDataChunk(Class_ID cid, SClass_ID sid, DWORD sbid);
    void ClearAllAppData();
    int NumAppDataChunks() const;
    AppDataChunk* GetAppDataChunkByIndex(int i);

private:
    ICustAttribContainer* custAttribs_ = nullptr;
    std::vector<AppDataChunk> appData_;
};

class ZYHOST_API DependentEnumProc {
public:
    enum { DEP_ENUM_CONTINUE = 0, DEP_ENUM_HALT = 1, DEP_ENUM_SKIP = 2 };
    virtual ~DependentEnumProc() = default;
    virtual int proc(ReferenceMaker* rmaker) = 0;
};

class ZYHOST_API ReferenceMaker : public Animatable {
public:
    ReferenceMaker() = default;
    ~ReferenceMaker() override;

    virtual int NumRefs() { return 0; }
    virtual RefTargetHandle GetReference(int i) { return nullptr; }

    // Makes reference `which` point to newtarg (may be null). The old target loses
    // this dependent and, when delOld and nothing else references it, is deleted.
    RefResult ReplaceReference(int which, RefTargetHandle newtarg, BOOL delOld = TRUE);
    RefResult DeleteReference(int which);
    RefResult DeleteAllRefsFromMe();
    // Drops every reference and deletes the object.
    void DeleteMe();

    virtual RefResult NotifyRefChanged(const Interval& changeInt, RefTargetHandle hTarget, PartID& partID,
                                       RefMessage message, BOOL propagate) {
        return REF_SUCCEED;
    }
    virtual IOResult Save(ISave* isave) { return IO_OK; }
    virtual IOResult Load(ILoad* iload) { return IO_OK; }
    virtual BOOL IsRefTarget() { return FALSE; }
    virtual BOOL IsRefMaker() { return TRUE; }
    SClass_ID SuperClassID() override { return REF_MAKER_CLASS_ID; }

protected:
    // Stores the pointer of reference i; called by the host only.
    virtual void SetReference(int i, RefTargetHandle rtarg) {}

private:
    friend class ReferenceTarget;
    std::vector<ReferenceTarget*> held_; // one entry per reference this maker holds
};

class ZYHOST_API RemapDir {
public:
    virtual ~RemapDir() = default;
    // The clone of from made during this clone operation, cloning it on first use.
    virtual RefTargetHandle CloneRef(RefTargetHandle from) = 0;
    virtual RefTargetHandle FindMapping(RefTargetHandle from) = 0;
    virtual void AddEntry(RefTargetHandle hfrom, RefTargetHandle hto) = 0;
};

class ZYHOST_API ReferenceTarget : public ReferenceMaker {
public:
    ReferenceTarget() = default;
    ~ReferenceTarget() override;

    BOOL IsRefTarget() override { return TRUE; }
    SClass_ID SuperClassID() override { return REF_TARGET_CLASS_ID; }
    virtual RefTargetHandle Clone(RemapDir& remap) { return nullptr; }
    // Copies what every target carries (custom attributes, application data) from
    // `from` to `to`; a Clone implementation calls it.
    virtual void BaseClone(ReferenceTarget* from, ReferenceTarget* to, RemapDir& remap);

    // Sends message to every dependent (and on through their dependents when
    // propagate). sclass limits the dependents reached to one super class.
    RefResult NotifyDependents(const Interval& changeInt, PartID partID, RefMessage message,
                               SClass_ID sclass = NOTIFY_ALL, BOOL propagate = TRUE, RefTargetHandle hTarg = nullptr);
    // Calls dep->proc for this target, then for its dependents and theirs, each
    // once, until a proc halts (result 1). DEP_ENUM_SKIP does not descend.
    int DoEnumDependents(DependentEnumProc* dep);
    int NumDependents() const { return int(dependents_.size()); }
    ReferenceMaker* GetDependent(int i) const { return dependents_[std::size_t(i)]; }
    // Deletes the target when no dependent is left; nodes override it to stay.
    virtual void MaybeAutoDelete();

private:
    friend class ReferenceMaker;
    void AddDependent(ReferenceMaker* m) { dependents_.push_back(m); }
    void RemoveDependent(ReferenceMaker* m);
    // Tells every dependent the target is going and clears their references to it.
    void DetachDependents();
    int EnumDependents(DependentEnumProc* dep, std::vector<ReferenceMaker*>& visited);
    std::vector<ReferenceMaker*> dependents_;
    bool notifying_ = false;
};

// A remap directory for one clone operation.
class ZYHOST_API DefaultRemapDir : public RemapDir {
public:
    DefaultRemapDir();
    ~DefaultRemapDir() override;
    RefTargetHandle CloneRef(RefTargetHandle from) override;
    RefTargetHandle FindMapping(RefTargetHandle from) override;
    void AddEntry(RefTargetHandle hfrom, RefTargetHandle hto) override;

private:
    struct Map;
    std::unique_ptr<Map> map_;
};

// Clones target and everything it references, keeping shared references shared.
ZYHOST_API RefTargetHandle CloneRefHierarchy(RefTargetHandle target);
