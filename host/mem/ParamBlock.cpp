// Parameter blocks: constant values or controllers per (parameter, table entry).
#include "mem/ParamBlock.h"

#include <memory>

#include "maxsdk/INode.h"
#include "maxsdk/Mtl.h"

namespace {

bool IsAnimatableType(int base) {
    switch (base) {
    case TYPE_FLOAT: case TYPE_INT: case TYPE_RGBA: case TYPE_POINT3: case TYPE_BOOL:
    case TYPE_ANGLE: case TYPE_PCNT_FRAC: case TYPE_WORLD:
        return true;
    default:
        return false;
    }
}

bool IsFloatType(int base) {
    return base == TYPE_FLOAT || base == TYPE_ANGLE || base == TYPE_PCNT_FRAC || base == TYPE_WORLD;
}

class MemParamBlock : public IParamBlock2 {
public:
    explicit MemParamBlock(const ParamBlockDesc2& desc) : desc_(desc) {
        for (std::size_t d = 0; d < desc_.paramdefs.size(); ++d) {
            const ParamDef& def = desc_.paramdefs[d];
            first_.push_back(int(entries_.size()));
            int n = IsTab(def.type) ? def.tab_size : 1;
            for (int tab = 0; tab < n; ++tab) {
                Entry e;
                e.def = int(d);
                e.tab = tab;
                if ((def.flags & P_ANIMATABLE) && IsAnimatableType(BaseType(def.type)))
                    subs_.push_back(int(entries_.size()));
                entries_.push_back(std::move(e));
            }
        }
    }

    Class_ID ClassID() override { return Class_ID(0x82, 0); }
    ParamBlockDesc2* GetDesc() override { return &desc_; }
    BlockID ID() override { return desc_.ID; }
    int NumParams() override { return desc_.Count(); }
    ParamID IndextoID(int index) override {
        return index >= 0 && index < NumParams() ? desc_.paramdefs[std::size_t(index)].ID : ParamID(-1);
    }
    int IDtoIndex(ParamID id) override { return desc_.IDtoIndex(id); }
    MSTR GetLocalName(ParamID id, int tabIndex) override {
        const ParamDef* def = desc_.GetParamDefByID(id);
        if (!def) return MSTR();
        if (tabIndex >= 0 && tabIndex < int(def->tab_local_names.size())) return def->tab_local_names[std::size_t(tabIndex)];
        return def->local_name;
    }
    int GetParameterType(ParamID id) override {
        const ParamDef* def = desc_.GetParamDefByID(id);
        return def ? def->type : -1;
    }
    int Count(ParamID id) override {
        const ParamDef* def = desc_.GetParamDefByID(id);
        return !def ? 0 : (IsTab(def->type) ? def->tab_size : 1);
    }

    BOOL GetValue(ParamID id, TimeValue t, float& v, Interval& ivalid, int tabIndex) override {
        Entry* e = Find(id, tabIndex, [](int b) { return IsFloatType(b); });
        if (!e) return FALSE;
        if (Control* c = Ctrl(*e)) c->GetValue(t, &v, ivalid, CTRL_ABSOLUTE);
        else v = e->f;
        return TRUE;
    }
    BOOL GetValue(ParamID id, TimeValue t, int& v, Interval& ivalid, int tabIndex) override {
        Entry* e = Find(id, tabIndex, [](int b) { return b == TYPE_INT || b == TYPE_BOOL; });
        if (!e) return FALSE;
        if (Control* c = Ctrl(*e)) {
            float f = 0;
            c->GetValue(t, &f, ivalid, CTRL_ABSOLUTE);
            v = int(f < 0 ? f - 0.5f : f + 0.5f);
        } else {
            v = e->i;
        }
        return TRUE;
    }
    BOOL GetValue(ParamID id, TimeValue t, Point3& v, Interval& ivalid, int tabIndex) override {
        Entry* e = Find(id, tabIndex, [](int b) { return b == TYPE_POINT3 || b == TYPE_RGBA; });
        if (!e) return FALSE;
        if (Control* c = Ctrl(*e)) c->GetValue(t, &v, ivalid, CTRL_ABSOLUTE);
        else v = e->p;
        return TRUE;
    }
    BOOL GetValue(ParamID id, TimeValue t, Color& v, Interval& ivalid, int tabIndex) override {
        Point3 p;
        if (!GetValue(id, t, p, ivalid, tabIndex)) return FALSE;
        v = Color(p);
        return TRUE;
    }
    BOOL GetValue(ParamID id, TimeValue t, MSTR& v, Interval&, int tabIndex) override {
        Entry* e = Find(id, tabIndex, [](int b) { return b == TYPE_STRING || b == TYPE_FILENAME; });
        if (!e) return FALSE;
        v = e->s;
        return TRUE;
    }
    BOOL GetValue(ParamID id, TimeValue, Texmap*& v, Interval&, int tabIndex) override {
        Entry* e = Find(id, tabIndex, [](int b) { return b == TYPE_TEXMAP; });
        if (!e) return FALSE;
        v = static_cast<Texmap*>(e->ref);
        return TRUE;
    }
    BOOL GetValue(ParamID id, TimeValue, PBBitmap*& v, Interval&, int tabIndex) override {
        Entry* e = Find(id, tabIndex, [](int b) { return b == TYPE_BITMAP; });
        if (!e) return FALSE;
        v = e->bitmap.get();
        return TRUE;
    }
    BOOL GetValue(ParamID id, TimeValue, Mtl*& v, Interval&, int tabIndex) override {
        Entry* e = Find(id, tabIndex, [](int b) { return b == TYPE_MTL; });
        if (!e) return FALSE;
        v = static_cast<Mtl*>(e->ref);
        return TRUE;
    }
    BOOL GetValue(ParamID id, TimeValue, INode*& v, Interval&, int tabIndex) override {
        Entry* e = Find(id, tabIndex, [](int b) { return b == TYPE_INODE; });
        if (!e) return FALSE;
        v = static_cast<INode*>(e->ref);
        return TRUE;
    }

    BOOL SetValue(ParamID id, TimeValue t, float v, int tabIndex) override {
        Entry* e = Find(id, tabIndex, [](int b) { return IsFloatType(b); });
        if (!e) return FALSE;
        if (Control* c = Ctrl(*e)) c->SetValue(t, &v, 1, CTRL_ABSOLUTE);
        else e->f = v;
        return Changed();
    }
    BOOL SetValue(ParamID id, TimeValue t, int v, int tabIndex) override {
        Entry* e = Find(id, tabIndex, [](int b) { return b == TYPE_INT || b == TYPE_BOOL; });
        if (!e) return FALSE;
        if (Control* c = Ctrl(*e)) {
            float f = float(v);
            c->SetValue(t, &f, 1, CTRL_ABSOLUTE);
        } else {
            e->i = v;
        }
        return Changed();
    }
    BOOL SetValue(ParamID id, TimeValue t, const Point3& v, int tabIndex) override {
        Entry* e = Find(id, tabIndex, [](int b) { return b == TYPE_POINT3 || b == TYPE_RGBA; });
        if (!e) return FALSE;
        Point3 p = v;
        if (Control* c = Ctrl(*e)) c->SetValue(t, &p, 1, CTRL_ABSOLUTE);
        else e->p = v;
        return Changed();
    }
    BOOL SetValue(ParamID id, TimeValue t, const Color& v, int tabIndex) override {
        return SetValue(id, t, Point3(v), tabIndex);
    }
    BOOL SetValue(ParamID id, TimeValue, const MSTR& v, int tabIndex) override {
        Entry* e = Find(id, tabIndex, [](int b) { return b == TYPE_STRING || b == TYPE_FILENAME; });
        if (!e) return FALSE;
        e->s = v;
        return Changed();
    }
    BOOL SetValue(ParamID id, TimeValue, Texmap* v, int tabIndex) override {
        return SetRef(id, tabIndex, TYPE_TEXMAP, v);
    }
    BOOL SetValue(ParamID id, TimeValue, const PBBitmap* v, int tabIndex) override {
        Entry* e = Find(id, tabIndex, [](int b) { return b == TYPE_BITMAP; });
        if (!e) return FALSE;
        e->bitmap = v ? std::make_unique<PBBitmap>(*v) : nullptr;
        return Changed();
    }
    BOOL SetValue(ParamID id, TimeValue, Mtl* v, int tabIndex) override { return SetRef(id, tabIndex, TYPE_MTL, v); }
    BOOL SetValue(ParamID id, TimeValue, INode* v, int tabIndex) override {
        return SetRef(id, tabIndex, TYPE_INODE, static_cast<ReferenceTarget*>(v));
    }

    Control* GetControllerByID(ParamID id, int tabIndex) override {
        Entry* e = Find(id, tabIndex, [](int b) { return IsAnimatableType(b); });
        return e ? Ctrl(*e) : nullptr;
    }

    BOOL SetControllerByID(ParamID id, int tabIndex, Control* c, bool preserveValue = true) override {
        Entry* e = Find(id, tabIndex, [](int b) { return IsAnimatableType(b); });
        if (!e || !Animatable_(*e)) return FALSE;
        if (c && preserveValue && !Ctrl(*e) && c->NumKeys() == 0) {
            int base = BaseType(desc_.paramdefs[std::size_t(e->def)].type);
            if (IsFloatType(base)) {
                float f = e->f;
                c->SetValue(0, &f, 1, CTRL_ABSOLUTE);
            } else if (base == TYPE_INT || base == TYPE_BOOL) {
                float f = float(e->i);
                c->SetValue(0, &f, 1, CTRL_ABSOLUTE);
            } else {
                Point3 p = e->p;
                c->SetValue(0, &p, 1, CTRL_ABSOLUTE);
            }
        }
        ReplaceReference(int(e - entries_.data()), c);
        NotifyDependents(FOREVER, PART_ALL, REFMSG_CHANGE);
        NotifyDependents(FOREVER, 0, REFMSG_SUBANIM_STRUCTURE_CHANGED);
        return TRUE;
    }

    int NumSubs() override { return int(subs_.size()); }
    Animatable* SubAnim(int i) override {
        return i >= 0 && i < NumSubs() ? entries_[std::size_t(subs_[std::size_t(i)])].ref : nullptr;
    }
    MSTR SubAnimName(int i) override {
        if (i < 0 || i >= NumSubs()) return MSTR();
        const Entry& e = entries_[std::size_t(subs_[std::size_t(i)])];
        return GetLocalName(desc_.paramdefs[std::size_t(e.def)].ID, e.tab);
    }
    int SubNumToRefNum(int subNum) override { return subNum >= 0 && subNum < NumSubs() ? subs_[std::size_t(subNum)] : -1; }
    BOOL AssignController(Animatable* control, int subAnim) override {
        if (subAnim < 0 || subAnim >= NumSubs()) return FALSE;
        const Entry& e = entries_[std::size_t(subs_[std::size_t(subAnim)])];
        return SetControllerByID(desc_.paramdefs[std::size_t(e.def)].ID, e.tab, static_cast<Control*>(control));
    }

    int NumRefs() override { return int(entries_.size()); }
    RefTargetHandle GetReference(int i) override {
        return i >= 0 && i < NumRefs() ? entries_[std::size_t(i)].ref : nullptr;
    }

    RefResult NotifyRefChanged(const Interval&, RefTargetHandle, PartID& partID, RefMessage message, BOOL) override {
        if (message == REFMSG_GET_PARAM_DIM) {
            *reinterpret_cast<ParamDimension**>(partID) = defaultDim();
            return REF_STOP;
        }
        return REF_SUCCEED;
    }

    RefTargetHandle Clone(RemapDir& remap) override {
        auto* b = new MemParamBlock(desc_);
        for (std::size_t i = 0; i < entries_.size(); ++i) {
            const Entry& from = entries_[i];
            Entry& to = b->entries_[i];
            to.f = from.f;
            to.i = from.i;
            to.p = from.p;
            to.s = from.s;
            if (from.bitmap) to.bitmap = std::make_unique<PBBitmap>(*from.bitmap);
            if (from.ref) {
                int base = BaseType(desc_.paramdefs[std::size_t(from.def)].type);
                // Nodes are shared, everything else is cloned with the block.
                b->ReplaceReference(int(i), base == TYPE_INODE ? from.ref : remap.CloneRef(from.ref));
            }
        }
        BaseClone(this, b, remap);
        return b;
    }

protected:
    void SetReference(int i, RefTargetHandle rtarg) override {
        if (i >= 0 && i < NumRefs()) entries_[std::size_t(i)].ref = rtarg;
    }

private:
    struct Entry {
        int def = 0;
        int tab = 0;
        float f = 0;
        int i = 0;
        Point3 p;
        MSTR s;
        std::unique_ptr<PBBitmap> bitmap;
        ReferenceTarget* ref = nullptr; // controller, map, material or node
    };

    template <class Accept>
    Entry* Find(ParamID id, int tabIndex, Accept accept) {
        int d = desc_.IDtoIndex(id);
        if (d < 0) return nullptr;
        const ParamDef& def = desc_.paramdefs[std::size_t(d)];
        if (!accept(BaseType(def.type))) return nullptr;
        int n = IsTab(def.type) ? def.tab_size : 1;
        if (tabIndex < 0 || tabIndex >= n) return nullptr;
        return &entries_[std::size_t(first_[std::size_t(d)] + tabIndex)];
    }
    bool Animatable_(const Entry& e) const {
        const ParamDef& def = desc_.paramdefs[std::size_t(e.def)];
        return (def.flags & P_ANIMATABLE) && IsAnimatableType(BaseType(def.type));
    }
    Control* Ctrl(const Entry& e) const { return Animatable_(e) ? static_cast<Control*>(e.ref) : nullptr; }
    BOOL SetRef(ParamID id, int tabIndex, int type, ReferenceTarget* target) {
        Entry* e = Find(id, tabIndex, [type](int b) { return b == type; });
        if (!e) return FALSE;
        ReplaceReference(int(e - entries_.data()), target);
        return Changed();
    }
    BOOL Changed() {
        NotifyDependents(FOREVER, PART_ALL, REFMSG_CHANGE);
        return TRUE;
    }

    ParamBlockDesc2 desc_;
    std::vector<Entry> entries_;
    std::vector<int> first_; // first entry of each parameter
    std::vector<int> subs_;  // entries that are sub-animatables
};

} // namespace

IParamBlock2* CreateParameterBlock2(const ParamBlockDesc2& desc) { return new MemParamBlock(desc); }

ParamDef MakeParamDef(ParamID id, const MSTR& intName, const MSTR& localName, int type, bool animatable, int tabSize) {
    ParamDef d;
    d.ID = id;
    d.int_name = intName;
    d.local_name = localName;
    d.type = type;
    d.flags = animatable ? P_ANIMATABLE : 0;
    d.tab_size = tabSize;
    return d;
}
