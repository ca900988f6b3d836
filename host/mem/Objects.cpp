// Triangle objects, helpers, shapes, derived objects and simple modifiers.
#include "mem/Objects.h"

#include "mem/Factories.h"

#include <memory>

namespace {

class MemTriObject : public TriObject {
public:
    Mesh& GetMesh() override { return mesh_; }
    void GetClassName(MSTR& s) override { s = _M("Editable Mesh"); }
    RefTargetHandle Clone(RemapDir& remap) override {
        auto* o = new MemTriObject();
        o->mesh_ = mesh_;
        BaseClone(this, o, remap);
        return o;
    }

private:
    Mesh mesh_;
};

class MemDummyObject : public DummyObject {
public:
    void GetClassName(MSTR& s) override { s = _M("Dummy"); }
    Box3 GetBox() const override { return box_; }
    void SetBox(const Box3& box) override { box_ = box; }
    RefTargetHandle Clone(RemapDir& remap) override {
        auto* o = new MemDummyObject();
        o->box_ = box_;
        BaseClone(this, o, remap);
        return o;
    }

private:
    Box3 box_{Point3(-0.5f, -0.5f, -0.5f), Point3(0.5f, 0.5f, 0.5f)};
};

// Objects that are only markers: the point helper, bones and look-at targets.
template <class Base>
class MarkerObject : public Base {
public:
    MarkerObject(Class_ID id, const MCHAR* name, bool auxiliary) : id_(id), name_(name), auxiliary_(auxiliary) {}
    Class_ID ClassID() override { return id_; }
    void GetClassName(MSTR& s) override { s = name_; }
    void* GetInterface(ULONG id) override {
        if (auxiliary_ && id == I_AUXILIARY_GEOMETRY) return this;
        return Base::GetInterface(id);
    }
    RefTargetHandle Clone(RemapDir& remap) override {
        auto* o = new MarkerObject(id_, name_, auxiliary_);
        this->BaseClone(this, o, remap);
        return o;
    }

private:
    Class_ID id_;
    const MCHAR* name_;
    bool auxiliary_;
};

class DerivedObject : public IDerivedObject {
public:
    explicit DerivedObject(Object* base) {
        refs_.push_back(nullptr);
        if (base) ReplaceReference(0, base);
    }
    ~DerivedObject() override { DropCache(); }

    void GetClassName(MSTR& s) override { s = _M("Derived Object"); }
    int NumModifiers() override { return int(refs_.size()) - 1; }
    Modifier* GetModifier(int index) override {
        return index >= 0 && index < NumModifiers() ? static_cast<Modifier*>(refs_[std::size_t(index) + 1]) : nullptr;
    }
    ModContext* GetModContext(int index) override {
        return index >= 0 && index < NumModifiers() ? contexts_[std::size_t(index)].get() : nullptr;
    }
    void AddModifier(Modifier* mod, ModContext* mc, int before) override {
        if (!mod) return;
        if (before < 0 || before > NumModifiers()) before = NumModifiers();
        refs_.insert(refs_.begin() + before + 1, nullptr);
        contexts_.insert(contexts_.begin() + before, std::make_unique<ModContext>(mc ? *mc : ModContext()));
        ReplaceReference(before + 1, mod);
        Changed();
    }
    void DeleteModifier(int index) override {
        if (index < 0 || index >= NumModifiers()) return;
        DeleteReference(index + 1);
        refs_.erase(refs_.begin() + index + 1);
        contexts_.erase(contexts_.begin() + index);
        Changed();
    }
    Object* GetObjRef() override { return static_cast<Object*>(refs_[0]); }
    void ReferenceObject(Object* obj) override {
        ReplaceReference(0, obj);
        Changed();
    }
    Object* FindBaseObject() override { return GetObjRef() ? GetObjRef()->FindBaseObject() : nullptr; }

    // The base object evaluated, then every enabled modifier from the bottom of the
    // stack (the last) to the top (modifier 0), each on the object the one below made.
    // The result is a copy the derived object keeps until the next evaluation.
    ObjectState Eval(TimeValue t) override {
        ObjectState os = GetObjRef() ? GetObjRef()->Eval(t) : ObjectState();
        bool any = false;
        for (int i = 0; i < NumModifiers(); ++i) any = any || GetModifier(i)->IsEnabled();
        if (!os.obj || !any) return os;
        auto* copy = static_cast<Object*>(CloneRefHierarchy(os.obj));
        if (!copy) return os;
        DropCache();
        os.obj = copy;
        for (int i = NumModifiers() - 1; i >= 0; --i) {
            Modifier* m = GetModifier(i);
            if (m->IsEnabled()) m->ModifyObject(t, *contexts_[std::size_t(i)], &os, nullptr);
        }
        cache_ = os.obj;
        return os;
    }

    int NumSubs() override { return int(refs_.size()); }
    Animatable* SubAnim(int i) override { return GetReference(i); }
    MSTR SubAnimName(int i) override {
        if (i == 0) return _M("Object");
        MSTR name;
        if (Modifier* m = GetModifier(i - 1)) name = m->GetObjectName();
        return name;
    }
    int NumRefs() override { return int(refs_.size()); }
    RefTargetHandle GetReference(int i) override {
        return i >= 0 && i < NumRefs() ? refs_[std::size_t(i)] : nullptr;
    }
    RefResult NotifyRefChanged(const Interval&, RefTargetHandle, PartID&, RefMessage message, BOOL) override {
        if (message == REFMSG_CHANGE) DropCache();
        return REF_SUCCEED;
    }
    RefTargetHandle Clone(RemapDir& remap) override {
        auto* d = new DerivedObject(static_cast<Object*>(remap.CloneRef(GetObjRef())));
        for (int i = NumModifiers() - 1; i >= 0; --i)
            d->AddModifier(static_cast<Modifier*>(remap.CloneRef(GetModifier(i))), contexts_[std::size_t(i)].get(), 0);
        BaseClone(this, d, remap);
        return d;
    }

protected:
    void SetReference(int i, RefTargetHandle rtarg) override {
        if (i >= 0 && i < NumRefs()) refs_[std::size_t(i)] = rtarg;
    }

private:
    void Changed() {
        DropCache();
        NotifyDependents(FOREVER, PART_ALL, REFMSG_CHANGE);
    }
    void DropCache() {
        if (cache_) {
            Object* c = cache_;
            cache_ = nullptr;
            c->DeleteMe();
        }
    }
    std::vector<ReferenceTarget*> refs_; // 0: base object, 1 + i: modifier i
    std::vector<std::unique_ptr<ModContext>> contexts_;
    Object* cache_ = nullptr;
};

// A modifier that leaves the object as it is (the editing modifiers of the host,
// whose edits the in-memory host does not model).
class PassModifier : public Modifier {
public:
    PassModifier(Class_ID id, const MCHAR* name) : id_(id), name_(name) {}
    Class_ID ClassID() override { return id_; }
    void GetClassName(MSTR& s) override { s = name_; }
    const MCHAR* GetObjectName() override { return name_; }
    RefTargetHandle Clone(RemapDir& remap) override {
        auto* m = new PassModifier(id_, name_);
        BaseClone(this, m, remap);
        return m;
    }

private:
    Class_ID id_;
    const MCHAR* name_;
};

Point3 Bezier(const Point3& p0, const Point3& p1, const Point3& p2, const Point3& p3, float u) {
    float v = 1 - u;
    return p0 * (v * v * v) + p1 * (3 * v * v * u) + p2 * (3 * v * u * u) + p3 * (u * u * u);
}

} // namespace

TriObject* CreateNewTriObject() { return new MemTriObject(); }
IDerivedObject* CreateDerivedObject(Object* base) { return new DerivedObject(base); }

Object* NewDummyObject() { return new MemDummyObject(); }
Object* NewPointHelperObject() { return new MarkerObject<HelperObject>(POINTHELP_CLASS_ID, _M("Point"), false); }
Object* NewBoneObject() { return new MarkerObject<GeomObject>(BONE_OBJ_CLASSID, _M("Bone"), true); }
Object* NewTargetObject() { return new MarkerObject<GeomObject>(TARGET_CLASS_ID, _M("Target"), true); }
Modifier* NewEditMeshModifier() { return new PassModifier(EDIT_MESH_MOD_CLASS_ID, _M("Edit Mesh")); }

// ---- SplineShapeObject ----

void SplineShapeObject::AddLineCurve(const std::vector<Point3>& points, bool closed) {
    std::vector<Knot> knots;
    for (const Point3& p : points) knots.push_back(Knot{p, p, p});
    AddBezierCurve(knots, closed);
}

void SplineShapeObject::AddBezierCurve(const std::vector<Knot>& knots, bool closed) {
    curves_.push_back(Curve{knots, closed});
    NotifyDependents(FOREVER, PART_ALL, REFMSG_CHANGE);
}

void SplineShapeObject::Transform(const Matrix3& tm) {
    for (Curve& c : curves_)
        for (Knot& k : c.knots) {
            k.p = k.p * tm;
            k.in = k.in * tm;
            k.out = k.out * tm;
        }
}

int SplineShapeObject::NumberOfPieces(TimeValue, int curve) {
    if (curve < 0 || curve >= int(curves_.size())) return 0;
    const Curve& c = curves_[std::size_t(curve)];
    int n = int(c.knots.size());
    if (n < 2) return 0;
    return c.closed ? n : n - 1;
}

BOOL SplineShapeObject::CurveClosed(TimeValue, int curve) {
    return curve >= 0 && curve < int(curves_.size()) && curves_[std::size_t(curve)].closed;
}

Point3 SplineShapeObject::InterpPiece3D(TimeValue t, int curve, int piece, float param, int) {
    if (piece < 0 || piece >= NumberOfPieces(t, curve)) return Point3();
    const Curve& c = curves_[std::size_t(curve)];
    const Knot& a = c.knots[std::size_t(piece)];
    const Knot& b = c.knots[(std::size_t(piece) + 1) % c.knots.size()];
    return Bezier(a.p, a.out, b.in, b.p, param);
}

Point3 SplineShapeObject::InterpCurve3D(TimeValue t, int curve, float param, int ptype) {
    int pieces = NumberOfPieces(t, curve);
    if (pieces == 0) return Point3();
    float x = param * float(pieces);
    int piece = int(x);
    if (piece >= pieces) piece = pieces - 1;
    if (piece < 0) piece = 0;
    return InterpPiece3D(t, curve, piece, x - float(piece), ptype);
}

RefTargetHandle SplineShapeObject::Clone(RemapDir& remap) {
    auto* s = new SplineShapeObject();
    s->curves_ = curves_;
    BaseClone(this, s, remap);
    return s;
}

// ---- XFormModifier ----

void XFormModifier::ModifyObject(TimeValue, ModContext&, ObjectState* os, INode*) {
    if (!os || !os->obj) return;
    if (os->obj->ClassID() == TRIOBJ_CLASS_ID) {
        Mesh& mesh = static_cast<TriObject*>(os->obj)->GetMesh();
        for (int i = 0; i < mesh.getNumVerts(); ++i) mesh.setVert(i, mesh.getVert(i) * tm_);
        mesh.InvalidateGeomCache();
    } else if (os->obj->ClassID() == SPLINESHAPE_CLASS_ID) {
        static_cast<SplineShapeObject*>(os->obj)->Transform(tm_);
    }
}

RefTargetHandle XFormModifier::Clone(RemapDir& remap) {
    auto* m = new XFormModifier();
    m->tm_ = tm_;
    BaseClone(this, m, remap);
    return m;
}
