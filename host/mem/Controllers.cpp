// Keyframe controllers with linear, spherical and Bezier interpolation, the on/off
// controller and the PRS transform controller.
#include "mem/Controllers.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr DWORD IKEY_SELECTED = 1;
constexpr USHORT CHUNK_CONSTANT = 0x0100;
constexpr USHORT CHUNK_KEYS = 0x0110;

// ---- value kinds ----

struct FloatKind {
    using V = float;
    using Key = ILinFloatKey;
    static constexpr SClass_ID kSuper = CTRL_FLOAT_CLASS_ID;
    static constexpr Class_ID kClass = LININTERP_FLOAT_CLASS_ID;
    static constexpr const MCHAR* kName = _M("Linear Float");
    static V Zero() { return 0.f; }
    static V Lerp(const Key& a, const Key& b, TimeValue t, const Key*, const Key*) {
        float u = float(t - a.time) / float(b.time - a.time);
        return a.val + (b.val - a.val) * u;
    }
    static V Offset(const V& key, const V& from, const V& to) { return key + (to - from); }
    static void Get(const V& v, void* val, GetSetMethod m) {
        if (m == CTRL_ABSOLUTE) *static_cast<float*>(val) = v;
        else *static_cast<float*>(val) += v;
    }
    static V Requested(const V& current, void* val, GetSetMethod m) {
        return m == CTRL_ABSOLUTE ? *static_cast<float*>(val) : current + *static_cast<float*>(val);
    }
};

struct PositionKind {
    using V = Point3;
    using Key = ILinPoint3Key;
    static constexpr SClass_ID kSuper = CTRL_POSITION_CLASS_ID;
    static constexpr Class_ID kClass = LININTERP_POSITION_CLASS_ID;
    static constexpr const MCHAR* kName = _M("Linear Position");
    static V Zero() { return Point3(); }
    static V Lerp(const Key& a, const Key& b, TimeValue t, const Key*, const Key*) {
        float u = float(t - a.time) / float(b.time - a.time);
        return a.val + (b.val - a.val) * u;
    }
    static V Offset(const V& key, const V& from, const V& to) { return key + (to - from); }
    static void Get(const V& v, void* val, GetSetMethod m) {
        if (m == CTRL_ABSOLUTE) *static_cast<Point3*>(val) = v;
        else static_cast<Matrix3*>(val)->PreTranslate(v);
    }
    static V Requested(const V& current, void* val, GetSetMethod m) {
        return m == CTRL_ABSOLUTE ? *static_cast<Point3*>(val) : current + *static_cast<Point3*>(val);
    }
};

struct RotationKind {
    using V = Quat;
    using Key = ILinRotKey;
    static constexpr SClass_ID kSuper = CTRL_ROTATION_CLASS_ID;
    static constexpr Class_ID kClass = LININTERP_ROTATION_CLASS_ID;
    static constexpr const MCHAR* kName = _M("Linear Rotation");
    static V Zero() { return Quat(); }
    static V Lerp(const Key& a, const Key& b, TimeValue t, const Key*, const Key*) {
        return Slerp(a.val, b.val, float(t - a.time) / float(b.time - a.time));
    }
    static V Offset(const V& key, const V& from, const V& to) { return key * (Inverse(from) * to); }
    static void Get(const V& v, void* val, GetSetMethod m) {
        if (m == CTRL_ABSOLUTE) *static_cast<Quat*>(val) = v;
        else PreRotateMatrix(*static_cast<Matrix3*>(val), v);
    }
    // Relative edits come as an angle and axis applied after the current rotation.
    static V Requested(const V& current, void* val, GetSetMethod m) {
        return m == CTRL_ABSOLUTE ? *static_cast<Quat*>(val) : current * Quat(*static_cast<AngAxis*>(val));
    }
};

struct ScaleKind {
    using V = ScaleValue;
    using Key = ILinScaleKey;
    static constexpr SClass_ID kSuper = CTRL_SCALE_CLASS_ID;
    static constexpr Class_ID kClass = LININTERP_SCALE_CLASS_ID;
    static constexpr const MCHAR* kName = _M("Linear Scale");
    static V Zero() { return ScaleValue(); }
    static V Lerp(const Key& a, const Key& b, TimeValue t, const Key*, const Key*) {
        float u = float(t - a.time) / float(b.time - a.time);
        return ScaleValue(a.val.s + (b.val.s - a.val.s) * u, Slerp(a.val.q, b.val.q, u));
    }
    static V Offset(const V& key, const V& from, const V& to) {
        Point3 s = key.s;
        for (int i = 0; i < 3; ++i) s[i] = from.s[i] != 0 ? s[i] * to.s[i] / from.s[i] : to.s[i];
        return ScaleValue(s, to.q);
    }
    static void Get(const V& v, void* val, GetSetMethod m) {
        if (m == CTRL_ABSOLUTE) *static_cast<ScaleValue*>(val) = v;
        else ApplyScaling(*static_cast<Matrix3*>(val), v);
    }
    static V Requested(const V& current, void* val, GetSetMethod m) {
        if (m == CTRL_ABSOLUTE) return *static_cast<ScaleValue*>(val);
        const ScaleValue& d = *static_cast<ScaleValue*>(val);
        return ScaleValue(current.s * d.s, current.q);
    }
};

struct BezierPoint3Kind {
    using V = Point3;
    using Key = IBezPoint3Key;
    static constexpr SClass_ID kSuper = CTRL_POINT3_CLASS_ID;
    static constexpr Class_ID kClass = HYBRIDINTERP_POINT3_CLASS_ID;
    static constexpr const MCHAR* kName = _M("Bezier Point3");
    static V Zero() { return Point3(); }
    // Slope of a key in value per tick: its own tangent, or (smooth) the slope
    // between its neighbours, one-sided at the ends.
    static Point3 Slope(const Key* k, bool out, const Key* prev, const Key* next) {
        const Point3& own = out ? k->outtan : k->intan;
        if (own != Point3()) return own;
        const Key* a = prev ? prev : k;
        const Key* b = next ? next : k;
        if (a == b || b->time == a->time) return Point3();
        return (b->val - a->val) / float(b->time - a->time);
    }
    // Cubic Hermite between a and b; before/after are the outer neighbours.
    static V Lerp(const Key& a, const Key& b, TimeValue t, const Key* before, const Key* after) {
        float dt = float(b.time - a.time);
        float u = float(t - a.time) / dt;
        Point3 m0 = Slope(&a, true, before, &b) * dt;
        Point3 m1 = Slope(&b, false, &a, after) * dt;
        float u2 = u * u, u3 = u2 * u;
        return a.val * (2 * u3 - 3 * u2 + 1) + m0 * (u3 - 2 * u2 + u) + b.val * (-2 * u3 + 3 * u2) + m1 * (u3 - u2);
    }
    static V Offset(const V& key, const V& from, const V& to) { return key + (to - from); }
    static void Get(const V& v, void* val, GetSetMethod m) {
        if (m == CTRL_ABSOLUTE) *static_cast<Point3*>(val) = v;
        else *static_cast<Point3*>(val) += v;
    }
    static V Requested(const V& current, void* val, GetSetMethod m) {
        return m == CTRL_ABSOLUTE ? *static_cast<Point3*>(val) : current + *static_cast<Point3*>(val);
    }
};

// Keys kept sorted by time; at most one key per time.
template <class KeyT>
class KeyList {
public:
    std::vector<KeyT> keys;

    int Find(TimeValue t) const {
        auto it = std::lower_bound(keys.begin(), keys.end(), t, [](const KeyT& k, TimeValue v) { return k.time < v; });
        return it != keys.end() && it->time == t ? int(it - keys.begin()) : -1;
    }
    KeyT& Insert(const KeyT& key) {
        auto it = std::lower_bound(keys.begin(), keys.end(), key.time,
                                   [](const KeyT& k, TimeValue v) { return k.time < v; });
        if (it != keys.end() && it->time == key.time) return *it = key;
        return *keys.insert(it, key);
    }
    void Sort() {
        std::stable_sort(keys.begin(), keys.end(), [](const KeyT& a, const KeyT& b) { return a.time < b.time; });
    }
};

// Key operations shared by every keyed controller.
template <class KeyT>
class KeyedBase : public Control, public IKeyControl {
public:
    int NumKeys() override { return int(list_.keys.size()); }
    TimeValue GetKeyTime(int i) override {
        return i >= 0 && i < NumKeys() ? list_.keys[std::size_t(i)].time : 0;
    }
    BOOL IsKeyAtTime(TimeValue t, DWORD) override { return list_.Find(t) >= 0; }
    void DeleteKeyAtTime(TimeValue t) override {
        int i = list_.Find(t);
        if (i >= 0) {
            list_.keys.erase(list_.keys.begin() + i);
            Changed();
        }
    }
    BOOL GetNextKeyTime(TimeValue t, DWORD flags, TimeValue& nt) override {
        if (list_.keys.empty()) return FALSE;
        if (flags & NEXTKEY_LEFT) {
            for (auto it = list_.keys.rbegin(); it != list_.keys.rend(); ++it)
                if (it->time < t) { nt = it->time; return TRUE; }
            nt = list_.keys.back().time; // wraps around
        } else {
            for (const KeyT& k : list_.keys)
                if (k.time > t) { nt = k.time; return TRUE; }
            nt = list_.keys.front().time;
        }
        return TRUE;
    }
    int GetKeyTimes(std::vector<TimeValue>& times, Interval range, DWORD) override {
        for (const KeyT& k : list_.keys)
            if (range.InInterval(k.time)) times.push_back(k.time);
        return int(times.size());
    }
    int GetKeySelState(std::vector<bool>& sel, Interval range, DWORD) override {
        for (const KeyT& k : list_.keys)
            if (range.InInterval(k.time)) sel.push_back((k.flags & IKEY_SELECTED) != 0);
        return int(sel.size());
    }
    void DeleteKeys(DWORD flags) override {
        list_.keys.clear();
        Changed();
    }
    void SelectKeys(const Interval& range, DWORD flags) override {
        for (KeyT& k : list_.keys) {
            if (flags & SELKEYS_CLEARKEYS) k.flags &= ~IKEY_SELECTED;
            if (!range.InInterval(k.time)) continue;
            if (flags & SELKEYS_DESELECT) k.flags &= ~IKEY_SELECTED;
            else if (flags & SELKEYS_SELECT) k.flags |= IKEY_SELECTED;
        }
    }
    BOOL IsKeySelected(int i) override {
        return i >= 0 && i < NumKeys() && (list_.keys[std::size_t(i)].flags & IKEY_SELECTED);
    }
    BOOL IsKeyable() override { return TRUE; }
    Interval GetTimeRange(DWORD) override {
        if (list_.keys.empty()) return NEVER;
        return Interval(list_.keys.front().time, list_.keys.back().time);
    }
    void* GetInterface(ULONG id) override {
        if (id == I_KEYCONTROL) return static_cast<IKeyControl*>(this);
        return Control::GetInterface(id);
    }

    // IKeyControl
    int GetNumKeys() override { return NumKeys(); }
    void SetNumKeys(int n) override { list_.keys.resize(std::size_t(n > 0 ? n : 0)); }
    void GetKey(int i, IKey* key) override {
        if (i >= 0 && i < NumKeys()) *static_cast<KeyT*>(key) = list_.keys[std::size_t(i)];
    }
    void SetKey(int i, IKey* key) override {
        if (i >= 0 && i < NumKeys()) {
            list_.keys[std::size_t(i)] = *static_cast<KeyT*>(key);
            Changed();
        }
    }
    int AppendKey(IKey* key) override {
        list_.keys.push_back(*static_cast<KeyT*>(key));
        Changed();
        return NumKeys() - 1;
    }
    void SortKeys() override { list_.Sort(); }
    int GetKeySize() override { return int(sizeof(KeyT)); }

protected:
    void Changed() { NotifyDependents(FOREVER, PART_ALL, REFMSG_CHANGE); }
    IOResult SaveKeys(ISave* isave) {
        isave->BeginChunk(CHUNK_KEYS);
        ULONG n;
        IOResult r = isave->Write(list_.keys.data(), ULONG(list_.keys.size() * sizeof(KeyT)), &n);
        isave->EndChunk();
        return r;
    }
    IOResult LoadKeys(ILoad* iload) {
        ULONG length = iload->CurChunkLength();
        if (length % sizeof(KeyT) != 0) return IO_ERROR;
        list_.keys.resize(length / sizeof(KeyT));
        ULONG n;
        IOResult r = iload->Read(list_.keys.data(), length, &n);
        list_.Sort();
        return r;
    }
    KeyList<KeyT> list_;
};

template <class Kind>
class KeyframeControl : public KeyedBase<typename Kind::Key> {
    using V = typename Kind::V;
    using Key = typename Kind::Key;
    using Base = KeyedBase<Key>;

public:
    Class_ID ClassID() override { return Kind::kClass; }
    SClass_ID SuperClassID() override { return Kind::kSuper; }
    void GetClassName(MSTR& s) override { s = Kind::kName; }

    V ValueAt(TimeValue t) const {
        const auto& keys = this->list_.keys;
        if (keys.empty()) return constant_;
        if (t <= keys.front().time) return keys.front().val;
        if (t >= keys.back().time) return keys.back().val;
        auto it = std::upper_bound(keys.begin(), keys.end(), t, [](TimeValue v, const Key& k) { return v < k.time; });
        std::size_t b = std::size_t(it - keys.begin());
        const Key* before = b >= 2 ? &keys[b - 2] : nullptr;
        const Key* after = b + 1 < keys.size() ? &keys[b + 1] : nullptr;
        return Kind::Lerp(keys[b - 1], keys[b], t, before, after);
    }

    void GetValue(TimeValue t, void* val, Interval& valid, GetSetMethod method) override {
        Kind::Get(ValueAt(t), val, method);
        if (this->list_.keys.empty()) return; // constant: valid keeps its extent
        valid &= Interval(t, t);
    }

    void SetValue(TimeValue t, void* val, int commit, GetSetMethod method) override {
        V current = ValueAt(t);
        V wanted = Kind::Requested(current, val, method);
        auto& list = this->list_;
        int at = list.Find(t);
        if (Animating()) {
            Key k;
            k.time = t;
            k.val = wanted;
            if (at >= 0) list.keys[std::size_t(at)].val = wanted;
            else list.Insert(k);
        } else if (list.keys.empty()) {
            constant_ = wanted;
        } else if (at >= 0) {
            list.keys[std::size_t(at)].val = wanted;
        } else {
            for (Key& k : list.keys) k.val = Kind::Offset(k.val, current, wanted);
        }
        this->Changed();
    }

    void Copy(Control* from) override {
        if (!from || from->SuperClassID() != Kind::kSuper) return;
        V v = Kind::Zero();
        Interval iv = FOREVER;
        from->GetValue(0, &v, iv, CTRL_ABSOLUTE);
        this->list_.keys.clear();
        constant_ = v;
        this->Changed();
    }

    void AddNewKey(TimeValue t, DWORD flags) override {
        Key k;
        k.time = t;
        k.val = ValueAt(t);
        this->list_.Insert(k);
        this->Changed();
    }

    void CopyKeysFromTime(TimeValue src, TimeValue dst, DWORD flags) override {
        Key k;
        k.time = dst;
        k.val = ValueAt(src);
        this->list_.Insert(k);
        this->Changed();
    }

    void CloneSelectedKeys(BOOL offset) override {
        std::vector<Key> copies;
        for (const Key& k : this->list_.keys)
            if (k.flags & IKEY_SELECTED) copies.push_back(k);
        for (Key k : copies) {
            if (offset) k.time += 1;
            k.flags &= ~IKEY_SELECTED;
            this->list_.Insert(k);
        }
    }

    RefTargetHandle Clone(RemapDir& remap) override {
        auto* c = new KeyframeControl<Kind>();
        c->constant_ = constant_;
        c->list_ = this->list_;
        this->BaseClone(this, c, remap);
        return c;
    }

    IOResult Save(ISave* isave) override {
        isave->BeginChunk(CHUNK_CONSTANT);
        ULONG n;
        isave->Write(&constant_, sizeof(V), &n);
        isave->EndChunk();
        return this->SaveKeys(isave);
    }

    IOResult Load(ILoad* iload) override {
        IOResult r;
        while ((r = iload->OpenChunk()) == IO_OK) {
            IOResult res = IO_OK;
            ULONG n;
            if (iload->CurChunkID() == CHUNK_CONSTANT) res = iload->Read(&constant_, sizeof(V), &n);
            else if (iload->CurChunkID() == CHUNK_KEYS) res = this->LoadKeys(iload);
            iload->CloseChunk();
            if (res != IO_OK) return res;
        }
        return r == IO_END ? IO_OK : r;
    }

private:
    V constant_ = Kind::Zero();
};

// On/off: the value is 1 or 0, starting at the start state and toggled at every key.
class OnOffControl : public KeyedBase<IKey> {
public:
    Class_ID ClassID() override { return ONOFF_CONTROL_CLASS_ID; }
    SClass_ID SuperClassID() override { return CTRL_FLOAT_CLASS_ID; }
    void GetClassName(MSTR& s) override { s = _M("On/Off"); }

    bool OnAt(TimeValue t) const {
        bool on = startOn_;
        for (const IKey& k : list_.keys) {
            if (k.time > t) break;
            on = !on;
        }
        return on;
    }

    void GetValue(TimeValue t, void* val, Interval& valid, GetSetMethod method) override {
        float v = OnAt(t) ? 1.f : 0.f;
        if (method == CTRL_ABSOLUTE) *static_cast<float*>(val) = v;
        else *static_cast<float*>(val) += v;
        if (!list_.keys.empty()) valid &= Interval(t, t);
    }

    void SetValue(TimeValue t, void* val, int commit, GetSetMethod method) override {
        float requested = *static_cast<float*>(val);
        if (method == CTRL_RELATIVE) requested += OnAt(t) ? 1.f : 0.f;
        bool want = requested > 0.f;
        if (want == OnAt(t)) return;
        if (Animating()) {
            int at = list_.Find(t);
            if (at >= 0) list_.keys.erase(list_.keys.begin() + at);
            else list_.Insert(IKey{t, 0});
        } else {
            startOn_ = !startOn_; // outside animation mode the whole track flips
        }
        Changed();
    }

    void AddNewKey(TimeValue t, DWORD) override {
        list_.Insert(IKey{t, 0});
        Changed();
    }

    RefTargetHandle Clone(RemapDir& remap) override {
        auto* c = new OnOffControl();
        c->startOn_ = startOn_;
        c->list_ = list_;
        BaseClone(this, c, remap);
        return c;
    }

    IOResult Save(ISave* isave) override {
        isave->BeginChunk(CHUNK_CONSTANT);
        BYTE on = startOn_ ? 1 : 0;
        ULONG n;
        isave->Write(&on, 1, &n);
        isave->EndChunk();
        return SaveKeys(isave);
    }

    IOResult Load(ILoad* iload) override {
        IOResult r;
        while ((r = iload->OpenChunk()) == IO_OK) {
            IOResult res = IO_OK;
            ULONG n;
            if (iload->CurChunkID() == CHUNK_CONSTANT) {
                BYTE on = 1;
                res = iload->Read(&on, 1, &n);
                startOn_ = on != 0;
            } else if (iload->CurChunkID() == CHUNK_KEYS) {
                res = LoadKeys(iload);
            }
            iload->CloseChunk();
            if (res != IO_OK) return res;
        }
        return r == IO_END ? IO_OK : r;
    }

private:
    bool startOn_ = true;
};

} // namespace

Control* NewLinearFloatControl() { return new KeyframeControl<FloatKind>(); }
Control* NewLinearPositionControl() { return new KeyframeControl<PositionKind>(); }
Control* NewLinearRotationControl() { return new KeyframeControl<RotationKind>(); }
Control* NewLinearScaleControl() { return new KeyframeControl<ScaleKind>(); }
Control* NewBezierPoint3Control() { return new KeyframeControl<BezierPoint3Kind>(); }
Control* NewOnOffControl() { return new OnOffControl(); }

Control* NewDefaultFloatController() { return NewLinearFloatControl(); }
Control* NewDefaultPoint3Controller() { return NewBezierPoint3Control(); }
Control* NewDefaultPositionController() { return NewLinearPositionControl(); }
Control* NewDefaultRotationController() { return NewLinearRotationControl(); }
Control* NewDefaultScaleController() { return NewLinearScaleControl(); }
Control* NewDefaultMatrix3Controller() { return new PRSControl(); }
Control* NewDefaultBoolController() { return NewOnOffControl(); }

// ---- PRS ----

PRSControl::PRSControl(Class_ID classId, bool loading) : classId_(classId) {
    if (loading) return;
    ReplaceReference(0, NewDefaultPositionController());
    ReplaceReference(1, NewDefaultRotationController());
    ReplaceReference(2, NewDefaultScaleController());
}

void PRSControl::SetReference(int i, RefTargetHandle rtarg) {
    if (i >= 0 && i < 3) subs_[i] = static_cast<Control*>(rtarg);
}

BOOL PRSControl::SetSub(int i, Control* c) {
    static const SClass_ID kinds[3] = {CTRL_POSITION_CLASS_ID, CTRL_ROTATION_CLASS_ID, CTRL_SCALE_CLASS_ID};
    if (c && c->SuperClassID() != kinds[i]) return FALSE;
    ReplaceReference(i, c);
    NotifyDependents(FOREVER, PART_ALL, REFMSG_CHANGE);
    NotifyDependents(FOREVER, 0, REFMSG_SUBANIM_STRUCTURE_CHANGED);
    return TRUE;
}

MSTR PRSControl::SubAnimName(int i) {
    switch (i) {
    case 0: return _M("Position");
    case 1: return _M("Rotation");
    case 2: return _M("Scale");
    default: return MSTR();
    }
}

BOOL PRSControl::AssignController(Animatable* control, int subAnim) {
    if (subAnim < 0 || subAnim > 2) return FALSE;
    return SetSub(subAnim, static_cast<Control*>(control));
}

void PRSControl::GetValue(TimeValue t, void* val, Interval& valid, GetSetMethod method) {
    // Relative: onto the parent matrix. Absolute: the local matrix (onto the identity).
    Matrix3& m = *static_cast<Matrix3*>(val);
    if (method == CTRL_ABSOLUTE) m.IdentityMatrix();
    for (Control* c : subs_)
        if (c) c->GetValue(t, &m, valid, CTRL_RELATIVE);
}

void PRSControl::SetValue(TimeValue t, void* val, int commit, GetSetMethod method) {
    if (method != CTRL_ABSOLUTE) return;
    AffineParts parts;
    decomp_affine(*static_cast<Matrix3*>(val), &parts);
    if (subs_[0]) subs_[0]->SetValue(t, &parts.t, commit, CTRL_ABSOLUTE);
    if (subs_[1]) subs_[1]->SetValue(t, &parts.q, commit, CTRL_ABSOLUTE);
    ScaleValue s(parts.k * parts.f, parts.u);
    if (subs_[2]) subs_[2]->SetValue(t, &s, commit, CTRL_ABSOLUTE);
}

Interval PRSControl::GetTimeRange(DWORD flags) {
    Interval range = NEVER;
    for (Control* c : subs_) {
        if (!c) continue;
        Interval r = c->GetTimeRange(flags);
        if (r.Empty()) continue;
        if (range.Empty()) range = r;
        else {
            range += r.Start();
            range += r.End();
        }
    }
    return range;
}

RefTargetHandle PRSControl::Clone(RemapDir& remap) {
    auto* c = new PRSControl(classId_, true);
    for (int i = 0; i < 3; ++i) c->ReplaceReference(i, remap.CloneRef(subs_[i]));
    BaseClone(this, c, remap);
    return c;
}
