#include "zyhost/SceneReader.h"

#include <cstring>
#include <map>
#include <set>

#include "maxsdk/Max.h"
#include "mem/ChunkStreams.h"
#include "mem/Controllers.h"
#include "mem/Factories.h"
#include "mem/Objects.h"
#include "zyhost/ChunkText.h"
#include "zyhost/SceneKinds.h"

namespace zyhost {

namespace {

constexpr int kDefaultTicksPerFrame = 160;

MSTR Wide(const std::string& s) { return FromUTF8(s); }

std::string Describe(SClass_ID sid) {
    switch (sid) {
    case BASENODE_CLASS_ID: return "a node";
    case MATERIAL_CLASS_ID: return "a material";
    case TEXMAP_CLASS_ID: return "a texture map";
    case OSM_CLASS_ID: return "a modifier";
    case CUST_ATTRIB_CLASS_ID: return "a custom attribute";
    case CTRL_FLOAT_CLASS_ID: return "a float controller";
    case CTRL_POINT3_CLASS_ID: return "a point3 controller";
    case CTRL_MATRIX3_CLASS_ID: return "a transform controller";
    case CTRL_POSITION_CLASS_ID: return "a position controller";
    case CTRL_ROTATION_CLASS_ID: return "a rotation controller";
    case CTRL_SCALE_CLASS_ID: return "a scale controller";
    default: return IsObjectSuper(sid) ? "a scene object" : "an object of super class " + HexId(sid);
    }
}

ScaleValue ReadScale(const JsonCursor& c) {
    if (c.IsArray()) return ScaleValue(c.ToPoint3());
    return ScaleValue(c.Member("scale").ToPoint3(), c.Member("axis").ToQuat());
}

// Holds a reference to every object made while loading, so that nothing leaks:
// releasing it deletes what the scene did not take up.
class Keeper : public ReferenceMaker {
public:
    ~Keeper() override { Release(); }
    void Keep(ReferenceTarget* t) {
        refs_.push_back(nullptr);
        ReplaceReference(int(refs_.size()) - 1, t);
    }
    void Release() {
        DeleteAllRefsFromMe();
        refs_.clear();
    }
    int NumRefs() override { return int(refs_.size()); }
    RefTargetHandle GetReference(int i) override { return i >= 0 && i < NumRefs() ? refs_[std::size_t(i)] : nullptr; }

protected:
    void SetReference(int i, RefTargetHandle t) override {
        if (i >= 0 && i < NumRefs()) refs_[std::size_t(i)] = t;
    }

private:
    std::vector<ReferenceTarget*> refs_;
};

class Reader {
public:
    Reader(MemInterface& host, Keeper& keeper) : host_(host), keeper_(keeper) {}

    void Scene(const JsonCursor& doc) {
        doc.ExpectObject();
        if (auto f = doc.Optional("format"); f && f->String() != kFormatName)
            f->Fail("not a scene file of this host (format \"" + f->String() + "\")");
        if (auto v = doc.Optional("version"); v && v->Int() > kFormatVersion)
            v->Fail("scene format version " + std::to_string(v->Int()) + " is newer than this host reads (" +
                    std::to_string(kFormatVersion) + ")");
        CollectIds(doc);
        SetTicksPerFrame(kDefaultTicksPerFrame);
        host_.SetAnimRange(Interval(0, 100 * kDefaultTicksPerFrame));
        if (auto tpf = doc.Optional("ticksPerFrame")) {
            int t = tpf->Int();
            if (t <= 0 || TIME_TICKSPERSEC % t != 0) tpf->Fail("ticks per frame must divide 4800");
            SetTicksPerFrame(t);
        }
        if (auto range = doc.Optional("animationRange")) {
            range->ExpectArray(2);
            int a = range->Element(0).Int(), b = range->Element(1).Int();
            if (a > b) range->Fail("the animation range ends before it starts");
            host_.SetAnimRange(Interval(a, b));
        }
        std::vector<std::pair<INode*, JsonCursor>> nodes;
        if (auto list = doc.Optional("nodes")) CreateNodes(*list, nullptr, nodes);
        for (auto& [node, c] : nodes) FillNode(node, c);
        if (auto mtls = doc.Optional("materials")) {
            for (std::size_t i = 0; i < mtls->Size(); ++i) {
                JsonCursor m = mtls->Element(i);
                ReferenceTarget* t = Any(m);
                if (t->SuperClassID() != MATERIAL_CLASS_ID && t->SuperClassID() != TEXMAP_CLASS_ID)
                    m.Fail("expected a material or a texture map, found " + Describe(t->SuperClassID()));
                host_.GetSceneMtls().Add(static_cast<MtlBase*>(t));
            }
        }
        if (auto file = doc.Optional("file")) host_.SetCurFilePath(Wide(file->String()));
        if (auto time = doc.Optional("time")) host_.SetTime(time->Int(), FALSE);
    }

private:
    // ---- ids and references ----

    void CollectIds(const JsonCursor& c) {
        if (c.IsObject()) {
            if (auto id = c.Optional("$id")) {
                std::string name = id->String();
                if (!definitions_.emplace(name, c).second) id->Fail("the id \"" + name + "\" is defined twice");
            }
            for (auto it = c.Value().begin(); it != c.Value().end(); ++it) CollectIds(c.Member(it.key()));
        } else if (c.IsArray()) {
            for (std::size_t i = 0; i < c.Size(); ++i) CollectIds(c.Element(i));
        }
    }

    // A node, a built object, or the object defined elsewhere under that id.
    ReferenceTarget* Resolve(const JsonCursor& ref) {
        std::string id = ref.String();
        if (auto n = nodes_.find(id); n != nodes_.end()) return n->second;
        if (auto b = built_.find(id); b != built_.end()) return b->second;
        auto d = definitions_.find(id);
        if (d == definitions_.end()) ref.Fail("dangling reference: nothing has the id \"" + id + "\"");
        return Any(d->second);
    }

    // Every object value: a reference, or a definition (built once).
    ReferenceTarget* Any(const JsonCursor& c) {
        c.ExpectObject();
        if (auto ref = c.Optional("$ref")) return Resolve(*ref);
        std::string id;
        if (auto idc = c.Optional("$id")) {
            id = idc->String();
            if (auto b = built_.find(id); b != built_.end()) return b->second;
            if (!building_.insert(id).second) c.Fail("the object \"" + id + "\" refers to itself");
        }
        ReferenceTarget* t = Build(c);
        keeper_.Keep(t);
        Extras(t, c);
        if (!id.empty()) {
            building_.erase(id);
            built_[id] = t;
        }
        return t;
    }

    ReferenceTarget* Expect(const JsonCursor& c, SClass_ID sid) {
        ReferenceTarget* t = Any(c);
        if (t->SuperClassID() != sid) c.Fail("expected " + Describe(sid) + ", found " + Describe(t->SuperClassID()));
        return t;
    }
    template <class T>
    T* Optional(const JsonCursor& parent, std::string_view key, SClass_ID sid) {
        auto c = parent.Optional(key);
        return c && !c->IsNull() ? static_cast<T*>(Expect(*c, sid)) : nullptr;
    }
    INode* NodeRef(const JsonCursor& c) { return static_cast<INode*>(Expect(c, BASENODE_CLASS_ID)); }

    ReferenceTarget* Build(const JsonCursor& c) {
        std::string type = c.Member("type").String();
        if (type == "prs") return Prs(c);
        if (KeyedType(type)) return Keyed(c, type);
        if (type == "mesh") return MeshObject(c);
        if (type == "shape") return Shape(c);
        if (type == "dummy") return Dummy(c);
        if (type == "point") return NewPointHelperObject();
        if (type == "bone") return NewBoneObject();
        if (type == "target") return NewTargetObject();
        if (type == "light") return LightObject(c);
        if (type == "derived") return Derived(c);
        if (type == "skin") return Skin(c);
        if (type == "editMesh") return WithEnabled(NewEditMeshModifier(), c);
        if (type == "xform") {
            auto* x = new XFormModifier();
            x->SetMatrix(c.Member("matrix").ToMatrix3());
            return WithEnabled(x, c);
        }
        if (type == "standard") return Standard(c);
        if (type == "multi") return Multi(c);
        if (type == "deck") return Deck(c);
        if (type == "bitmap") return Bitmap(c);
        if (type == "plugin") return Plugin(c);
        c.Member("type").Fail("unknown object type \"" + type + "\"");
    }

    void Extras(Animatable* a, const JsonCursor& c) {
        if (auto list = c.Optional("appData")) {
            for (std::size_t i = 0; i < list->Size(); ++i) {
                JsonCursor e = list->Element(i);
                JsonCursor cls = e.Member("class");
                cls.ExpectArray(2);
                JsonCursor data = e.Member("data");
                auto bytes = FromHex(data.String());
                if (!bytes) data.Fail("application data must be hexadecimal bytes");
                Class_ID owner(cls.Element(0).UInt32(), cls.Element(1).UInt32());
                SClass_ID ownerSuper = e.Member("superClass").UInt32();
                DWORD subId = e.Member("subId").UInt32();
                // Allocated only once nothing else can fail: the host owns it from here.
                void* p = MAX_malloc(bytes->size());
                if (!bytes->empty()) std::memcpy(p, bytes->data(), bytes->size());
                a->AddAppDataChunk(owner, ownerSuper, subId, DWORD(bytes->size()), p);
            }
        }
        if (auto list = c.Optional("customAttributes")) {
            for (std::size_t i = 0; i < list->Size(); ++i) {
                auto* ca = static_cast<CustAttrib*>(Expect(list->Element(i), CUST_ATTRIB_CLASS_ID));
                a->AllocCustAttribContainer();
                a->GetCustAttribContainer()->AppendCustAttrib(ca);
            }
        }
    }

    // ---- nodes ----

    void CreateNodes(const JsonCursor& list, INode* parent, std::vector<std::pair<INode*, JsonCursor>>& out) {
        for (std::size_t i = 0; i < list.Size(); ++i) {
            JsonCursor c = list.Element(i);
            c.ExpectObject();
            INode* node = host_.CreateNode(Wide(c.Member("name").String()), nullptr, parent);
            if (auto id = c.Optional("$id")) nodes_[id->String()] = node;
            out.emplace_back(node, c);
            if (auto children = c.Optional("children")) CreateNodes(*children, node, out);
        }
    }

    void FillNode(INode* n, const JsonCursor& c) {
        n->Hide(c.Bool("hidden", false));
        n->SetUserPropBuffer(Wide(c.String("userProps", "")));
        if (auto w = c.Optional("wireColor")) {
            w->ExpectArray(3);
            int rgb[3];
            for (int i = 0; i < 3; ++i) {
                rgb[i] = w->Element(std::size_t(i)).Int();
                if (rgb[i] < 0 || rgb[i] > 255) w->Element(std::size_t(i)).Fail("a colour component is 0 ... 255");
            }
            n->SetWireColor(RGB(rgb[0], rgb[1], rgb[2]));
        }
        n->SetGroupHead(c.Bool("groupHead", false));
        n->SetGroupMember(c.Bool("groupMember", false));
        if (auto tm = c.Optional("transform")) {
            if (tm->Has("matrix")) {
                Matrix3 local = tm->Member("matrix").ToMatrix3();
                n->GetTMController()->SetValue(0, &local, 1, CTRL_ABSOLUTE);
            } else {
                n->SetTMController(static_cast<Control*>(Expect(*tm, CTRL_MATRIX3_CLASS_ID)));
            }
        }
        if (Control* vis = Optional<Control>(c, "visibility", CTRL_FLOAT_CLASS_ID)) n->SetVisController(vis);
        if (auto off = c.Optional("objectOffset")) {
            if (auto p = off->Optional("position")) n->SetObjOffsetPos(p->ToPoint3());
            if (auto r = off->Optional("rotation")) n->SetObjOffsetRot(r->ToQuat());
            if (auto s = off->Optional("scale")) n->SetObjOffsetScale(ReadScale(*s));
        }
        if (auto obj = c.Optional("object"); obj && !obj->IsNull()) {
            ReferenceTarget* t = Any(*obj);
            if (!IsObjectSuper(t->SuperClassID())) obj->Fail("expected a scene object, found " + Describe(t->SuperClassID()));
            n->SetObjectRef(static_cast<Object*>(t));
        }
        if (Mtl* m = Optional<Mtl>(c, "material", MATERIAL_CLASS_ID)) n->SetMtl(m);
        if (auto t = c.Optional("target"); t && !t->IsNull()) host_.SetNodeTarget(n, NodeRef(*t));
        Extras(n, c);
    }

    // ---- controllers ----

    static bool KeyedType(const std::string& t) {
        return t == "linearFloat" || t == "linearPosition" || t == "linearRotation" || t == "linearScale" ||
               t == "bezierPoint3" || t == "onOff";
    }

    Control* Prs(const JsonCursor& c) {
        Class_ID cid = PRS_CONTROL_CLASS_ID;
        if (auto cls = c.Optional("class")) {
            cls->ExpectArray(2);
            cid = Class_ID(cls->Element(0).UInt32(), cls->Element(1).UInt32());
            if (cid != PRS_CONTROL_CLASS_ID && cid != BIPSLAVE_CONTROL_CLASS_ID && cid != BIPBODY_CONTROL_CLASS_ID)
                cls->Fail("not a class the host's transform controller stands in for");
        }
        auto* prs = new PRSControl(cid);
        keeper_.Keep(prs);
        if (Control* p = Optional<Control>(c, "position", CTRL_POSITION_CLASS_ID)) prs->SetPositionController(p);
        if (Control* r = Optional<Control>(c, "rotation", CTRL_ROTATION_CLASS_ID)) prs->SetRotationController(r);
        if (Control* s = Optional<Control>(c, "scale", CTRL_SCALE_CLASS_ID)) prs->SetScaleController(s);
        return prs;
    }

    Control* Keyed(const JsonCursor& c, const std::string& type) {
        Control* ctrl = type == "linearFloat"      ? NewLinearFloatControl()
                        : type == "linearPosition" ? NewLinearPositionControl()
                        : type == "linearRotation" ? NewLinearRotationControl()
                        : type == "linearScale"    ? NewLinearScaleControl()
                        : type == "bezierPoint3"   ? NewBezierPoint3Control()
                                                   : NewOnOffControl();
        keeper_.Keep(ctrl);
        IKeyControl* keys = GetKeyControlInterface(ctrl);
        std::set<TimeValue> times;
        auto addTime = [&](const JsonCursor& tc) {
            TimeValue t = tc.Int();
            if (!times.insert(t).second) tc.Fail("two keys at time " + std::to_string(t));
            return t;
        };
        if (type == "onOff") {
            if (!c.Bool("on", true)) {
                float off = 0;
                ctrl->SetValue(0, &off, 1, CTRL_ABSOLUTE);
            }
            if (auto toggles = c.Optional("toggles"))
                for (std::size_t i = 0; i < toggles->Size(); ++i) {
                    IKey k;
                    k.time = addTime(toggles->Element(i));
                    keys->AppendKey(&k);
                }
            keys->SortKeys();
            return ctrl;
        }
        if (auto v = c.Optional("value")) {
            if (type == "linearFloat") { float f = v->Float(); ctrl->SetValue(0, &f, 1, CTRL_ABSOLUTE); }
            else if (type == "linearRotation") { Quat q = v->ToQuat(); ctrl->SetValue(0, &q, 1, CTRL_ABSOLUTE); }
            else if (type == "linearScale") { ScaleValue s = ReadScale(*v); ctrl->SetValue(0, &s, 1, CTRL_ABSOLUTE); }
            else { Point3 p = v->ToPoint3(); ctrl->SetValue(0, &p, 1, CTRL_ABSOLUTE); }
        }
        if (auto list = c.Optional("keys")) {
            for (std::size_t i = 0; i < list->Size(); ++i) {
                JsonCursor k = list->Element(i);
                if (type == "bezierPoint3") {
                    if (k.Size() != 2 && k.Size() != 4) k.Fail("a Bezier key is [time, value] or [time, value, in, out]");
                } else {
                    k.ExpectArray(2);
                }
                TimeValue t = addTime(k.Element(0));
                JsonCursor v = k.Element(1);
                if (type == "linearFloat") { ILinFloatKey key; key.time = t; key.val = v.Float(); keys->AppendKey(&key); }
                else if (type == "linearPosition") { ILinPoint3Key key; key.time = t; key.val = v.ToPoint3(); keys->AppendKey(&key); }
                else if (type == "linearRotation") { ILinRotKey key; key.time = t; key.val = v.ToQuat(); keys->AppendKey(&key); }
                else if (type == "linearScale") { ILinScaleKey key; key.time = t; key.val = ReadScale(v); keys->AppendKey(&key); }
                else {
                    IBezPoint3Key key;
                    key.time = t;
                    key.val = v.ToPoint3();
                    if (k.Size() == 4) {
                        key.intan = k.Element(2).ToPoint3();
                        key.outtan = k.Element(3).ToPoint3();
                    }
                    keys->AppendKey(&key);
                }
            }
            keys->SortKeys();
        }
        return ctrl;
    }

    // ---- objects ----

    Object* MeshObject(const JsonCursor& c) {
        TriObject* obj = CreateNewTriObject();
        keeper_.Keep(obj);
        Mesh& mesh = obj->GetMesh();
        JsonCursor verts = c.Member("vertices");
        JsonCursor faces = c.Member("faces");
        int nv = int(verts.Size()), nf = int(faces.Size());
        mesh.setNumVerts(nv);
        mesh.setNumFaces(nf);
        for (int i = 0; i < nv; ++i) mesh.setVert(i, verts.Element(std::size_t(i)).ToPoint3());
        auto perFace = [&](std::string_view key, auto&& apply) {
            auto v = c.Optional(key);
            if (!v) return;
            if (!v->IsArray()) {
                std::uint32_t all = v->UInt32();
                for (int f = 0; f < nf; ++f) apply(mesh.faces[f], all);
                return;
            }
            if (int(v->Size()) != nf) v->Fail("expected one value per face (" + std::to_string(nf) + ")");
            for (int f = 0; f < nf; ++f) apply(mesh.faces[f], v->Element(std::size_t(f)).UInt32());
        };
        for (int f = 0; f < nf; ++f) {
            JsonCursor face = faces.Element(std::size_t(f));
            face.ExpectArray(3);
            for (int k = 0; k < 3; ++k) mesh.faces[f].v[k] = Index(face.Element(std::size_t(k)), nv);
        }
        perFace("smoothingGroups", [](Face& f, std::uint32_t v) { f.setSmGroup(v); });
        perFace("materialIds", [&](Face& f, std::uint32_t v) { f.setMatID(int(v)); });
        perFace("faceFlags", [](Face& f, std::uint32_t v) { f.flags = (f.flags & 0xffff0000u) | (v & 0xffff); });
        if (auto maps = c.Optional("maps")) {
            for (std::size_t i = 0; i < maps->Size(); ++i) {
                JsonCursor m = maps->Element(i);
                JsonCursor ch = m.Member("channel");
                int mp = ch.Int();
                if (mp < -NUM_HIDDENMAPS || mp >= MAX_MESHMAPS) ch.Fail("map channels are -2 ... 99");
                JsonCursor tv = m.Member("vertices"), tf = m.Member("faces");
                mesh.setMapSupport(mp, TRUE);
                int ntv = int(tv.Size());
                if (int(tf.Size()) != nf) tf.Fail("a map channel has one face per mesh face (" + std::to_string(nf) + ")");
                mesh.setNumMapVerts(mp, ntv);
                mesh.setNumMapFaces(mp, nf);
                for (int v = 0; v < ntv; ++v) mesh.mapVerts(mp)[v] = tv.Element(std::size_t(v)).ToPoint3();
                for (int f = 0; f < nf; ++f) {
                    JsonCursor face = tf.Element(std::size_t(f));
                    face.ExpectArray(3);
                    for (int k = 0; k < 3; ++k) mesh.mapFaces(mp)[f].t[k] = Index(face.Element(std::size_t(k)), ntv);
                }
            }
        }
        if (auto normals = c.Optional("normals")) {
            for (std::size_t i = 0; i < normals->Size(); ++i) {
                JsonCursor e = normals->Element(i);
                e.ExpectArray(2);
                mesh.setNormal(int(Index(e.Element(0), nv)), e.Element(1).ToPoint3());
            }
        }
        mesh.InvalidateGeomCache();
        return obj;
    }

    static DWORD Index(const JsonCursor& c, int count) {
        int i = c.Int();
        if (i < 0 || i >= count) c.Fail("index " + std::to_string(i) + " is out of range (0 ... " + std::to_string(count - 1) + ")");
        return DWORD(i);
    }

    Object* Shape(const JsonCursor& c) {
        auto* s = new SplineShapeObject();
        keeper_.Keep(s);
        JsonCursor curves = c.Member("curves");
        for (std::size_t i = 0; i < curves.Size(); ++i) {
            JsonCursor curve = curves.Element(i);
            bool closed = curve.Bool("closed", false);
            if (auto pts = curve.Optional("points")) {
                std::vector<Point3> points;
                for (std::size_t k = 0; k < pts->Size(); ++k) points.push_back(pts->Element(k).ToPoint3());
                s->AddLineCurve(points, closed);
            } else {
                JsonCursor list = curve.Member("knots");
                std::vector<SplineShapeObject::Knot> knots;
                for (std::size_t k = 0; k < list.Size(); ++k) {
                    JsonCursor kc = list.Element(k);
                    Point3 p = kc.Member("p").ToPoint3();
                    auto in = kc.Optional("in");
                    auto out = kc.Optional("out");
                    knots.push_back({p, in ? in->ToPoint3() : p, out ? out->ToPoint3() : p});
                }
                s->AddBezierCurve(knots, closed);
            }
        }
        return s;
    }

    Object* Dummy(const JsonCursor& c) {
        Object* o = NewDummyObject();
        keeper_.Keep(o);
        if (auto box = c.Optional("box")) {
            box->ExpectArray(2);
            static_cast<DummyObject*>(o)->SetBox(Box3(box->Element(0).ToPoint3(), box->Element(1).ToPoint3()));
        }
        return o;
    }

    Object* LightObject(const JsonCursor& c) {
        JsonCursor kind = c.Member("kind");
        Class_ID cid;
        if (!LightClassOf(kind.String(), cid)) kind.Fail("unknown light kind \"" + kind.String() + "\"");
        GenLight* l = NewStandardLight(cid);
        keeper_.Keep(l);
        l->SetUseLight(c.Bool("on", true));
        l->SetUseAtten(c.Bool("useAttenuation", false));
        l->SetProjector(c.Bool("projector", false));
        if (Texmap* m = Optional<Texmap>(c, "projectorMap", TEXMAP_CLASS_ID)) l->SetProjMap(m);
        if (auto p = c.Optional("params")) Params(l->GetParamBlock(0), *p);
        return l;
    }

    Object* Derived(const JsonCursor& c) {
        IDerivedObject* d = CreateDerivedObject();
        keeper_.Keep(d);
        JsonCursor base = c.Member("base");
        ReferenceTarget* b = Any(base);
        if (!IsObjectSuper(b->SuperClassID())) base.Fail("expected a scene object, found " + Describe(b->SuperClassID()));
        d->ReferenceObject(static_cast<Object*>(b));
        if (auto mods = c.Optional("modifiers")) {
            // Listed from the top of the stack down; each added below the ones before.
            for (std::size_t i = 0; i < mods->Size(); ++i)
                d->AddModifier(static_cast<Modifier*>(Expect(mods->Element(i), OSM_CLASS_ID)), nullptr, int(i));
        }
        return d;
    }

    // ---- modifiers ----

    Modifier* WithEnabled(Modifier* m, const JsonCursor& c) {
        keeper_.Keep(m);
        if (!c.Bool("enabled", true)) m->DisableMod();
        return m;
    }

    Modifier* Skin(const JsonCursor& c) {
        Modifier* m = WithEnabled(NewSkinModifier(), c);
        auto* import = static_cast<ISkinImportData*>(m->GetInterface(I_SKINIMPORTDATA));
        std::vector<INode*> bones;
        if (auto list = c.Optional("bones")) {
            for (std::size_t i = 0; i < list->Size(); ++i) {
                INode* bone = NodeRef(list->Element(i));
                if (!import->AddBoneEx(bone, false)) list->Element(i).Fail("the bone is listed twice");
                bones.push_back(bone);
            }
        }
        if (auto list = c.Optional("weights")) {
            for (std::size_t i = 0; i < list->Size(); ++i) {
                JsonCursor entry = list->Element(i);
                INode* node = NodeRef(entry.Member("node"));
                JsonCursor verts = entry.Member("vertices");
                for (std::size_t v = 0; v < verts.Size(); ++v) {
                    JsonCursor assigned = verts.Element(v);
                    std::vector<INode*> vb;
                    std::vector<float> vw;
                    for (std::size_t a = 0; a < assigned.Size(); ++a) {
                        JsonCursor pair = assigned.Element(a);
                        pair.ExpectArray(2);
                        vb.push_back(bones[Index(pair.Element(0), int(bones.size()))]);
                        vw.push_back(pair.Element(1).Float());
                    }
                    import->AddWeights(node, int(v), vb, vw);
                }
            }
        }
        return m;
    }

    // ---- materials and maps ----

    Mtl* Standard(const JsonCursor& c) {
        StdMat2* m = NewStandardMaterial();
        keeper_.Keep(m);
        m->SetName(Wide(c.String("name", "")));
        m->SetTwoSided(c.Bool("twoSided", false));
        if (auto sh = c.Optional("shader")) Params(m->GetShader()->GetParamBlock(0), *sh);
        if (auto maps = c.Optional("maps")) Params(m->GetParamBlock(0), *maps);
        return m;
    }

    Mtl* Multi(const JsonCursor& c) {
        MultiMtl* m = NewMultiMaterial(0);
        keeper_.Keep(m);
        m->SetName(Wide(c.String("name", "")));
        if (auto subs = c.Optional("subs")) {
            m->SetNumSubMtls(int(subs->Size()));
            for (std::size_t i = 0; i < subs->Size(); ++i) {
                JsonCursor s = subs->Element(i);
                if (!s.IsNull()) m->SetSubMtl(int(i), static_cast<Mtl*>(Expect(s, MATERIAL_CLASS_ID)));
            }
        }
        return m;
    }

    Mtl* Deck(const JsonCursor& c) {
        Mtl* m = NewDeckMaterial();
        keeper_.Keep(m);
        m->SetName(Wide(c.String("name", "")));
        if (auto p = c.Optional("params")) Params(m->GetParamBlock(0), *p);
        return m;
    }

    Texmap* Bitmap(const JsonCursor& c) {
        BitmapTex* b = NewBitmapTex();
        keeper_.Keep(b);
        b->SetName(Wide(c.String("name", "")));
        b->SetMapName(Wide(c.String("file", "")).c_str());
        if (auto p = c.Optional("coordinates")) Params(b->GetUVGen()->GetParamBlock(0), *p);
        return b;
    }

    // ---- parameter blocks ----

    void Params(IParamBlock2* pb, const JsonCursor& c) {
        c.ExpectObject();
        ParamBlockDesc2* desc = pb->GetDesc();
        for (auto it = c.Value().begin(); it != c.Value().end(); ++it) {
            JsonCursor v = c.Member(it.key());
            const ParamDef* def = nullptr;
            for (const ParamDef& d : desc->paramdefs)
                if (ToUTF8(d.int_name) == it.key()) def = &d;
            if (!def) v.Fail("the parameter block \"" + ToUTF8(desc->int_name) + "\" has no parameter \"" + it.key() + "\"");
            if (IsTab(def->type)) {
                int n = pb->Count(def->ID);
                v.ExpectArray(std::size_t(n));
                for (int i = 0; i < n; ++i) ParamValue(pb, *def, i, v.Element(std::size_t(i)));
            } else {
                ParamValue(pb, *def, 0, v);
            }
        }
    }

    void ParamValue(IParamBlock2* pb, const ParamDef& def, int tab, const JsonCursor& v) {
        int base = BaseType(def.type);
        if (v.IsObject() && v.Has("controller")) {
            if (!(def.flags & P_ANIMATABLE)) v.Fail("this parameter cannot be animated");
            SClass_ID want = base == TYPE_RGBA || base == TYPE_POINT3 ? CTRL_POINT3_CLASS_ID : CTRL_FLOAT_CLASS_ID;
            auto* ctrl = static_cast<Control*>(Expect(v.Member("controller"), want));
            if (!pb->SetControllerByID(def.ID, tab, ctrl, false)) v.Fail("the parameter does not take a controller");
            return;
        }
        BOOL ok = TRUE;
        switch (base) {
        case TYPE_INT: ok = pb->SetValue(def.ID, 0, v.Int(), tab); break;
        case TYPE_BOOL: ok = pb->SetValue(def.ID, 0, v.Bool() ? 1 : 0, tab); break;
        case TYPE_RGBA:
        case TYPE_POINT3: ok = pb->SetValue(def.ID, 0, v.ToPoint3(), tab); break;
        case TYPE_STRING:
        case TYPE_FILENAME: ok = pb->SetValue(def.ID, 0, Wide(v.String()), tab); break;
        case TYPE_TEXMAP: ok = pb->SetValue(def.ID, 0, v.IsNull() ? nullptr : static_cast<Texmap*>(Expect(v, TEXMAP_CLASS_ID)), tab); break;
        case TYPE_MTL: ok = pb->SetValue(def.ID, 0, v.IsNull() ? nullptr : static_cast<Mtl*>(Expect(v, MATERIAL_CLASS_ID)), tab); break;
        case TYPE_INODE: ok = pb->SetValue(def.ID, 0, v.IsNull() ? nullptr : NodeRef(v), tab); break;
        case TYPE_BITMAP: {
            if (v.IsNull()) {
                ok = pb->SetValue(def.ID, 0, static_cast<const PBBitmap*>(nullptr), tab);
            } else {
                PBBitmap bm;
                bm.bi.SetName(Wide(v.String()));
                ok = pb->SetValue(def.ID, 0, &bm, tab);
            }
            break;
        }
        default: ok = pb->SetValue(def.ID, 0, v.Float(), tab); break;
        }
        if (!ok) v.Fail("the parameter rejected this value");
    }

    // ---- plug-in objects ----

    ReferenceTarget* Plugin(const JsonCursor& c) {
        SClass_ID sid = c.Member("superClass").UInt32();
        JsonCursor cls = c.Member("class");
        cls.ExpectArray(2);
        Class_ID cid(cls.Element(0).UInt32(), cls.Element(1).UInt32());
        ClassDesc* cd = host_.GetClassDirectory().FindClass(sid, cid);
        if (!cd)
            cls.Fail("unknown class id (" + HexId(cid.PartA()) + ", " + HexId(cid.PartB()) + ") of super class " + HexId(sid) +
                     "; is the plug-in that defines it loaded?");
        JsonCursor chunks = c.Member("chunks");
        auto bytes = FromHex(chunks.String());
        if (!bytes) chunks.Fail("chunk data must be hexadecimal bytes");
        if (std::string problem = CheckChunks(*bytes); !problem.empty()) chunks.Fail("malformed chunk data: " + problem);
        auto* anim = static_cast<Animatable*>(cd->Create(TRUE));
        if (!anim) c.Fail("the class descriptor created no object");
        auto* t = static_cast<ReferenceTarget*>(anim);
        if (!t->IsRefTarget()) {
            anim->DeleteThis();
            c.Fail("the class descriptor created an object that is not a reference target");
        }
        keeper_.Keep(t);
        if (auto name = c.Optional("name"); name && (sid == MATERIAL_CLASS_ID || sid == TEXMAP_CLASS_ID))
            static_cast<MtlBase*>(t)->SetName(Wide(name->String()));
        MemLoad load(*bytes);
        if (t->Load(&load) != IO_OK) chunks.Fail("the plug-in object could not read its chunk data (truncated or malformed)");
        if (auto refs = c.Optional("refs")) {
            for (std::size_t i = 0; i < refs->Size(); ++i) {
                JsonCursor r = refs->Element(i);
                if (r.IsNull()) continue;
                ReferenceTarget* target = Any(r);
                if (t->ReplaceReference(int(i), target) != REF_SUCCEED)
                    r.Fail("the object has no reference " + std::to_string(i));
            }
        }
        return t;
    }

    MemInterface& host_;
    Keeper& keeper_;
    std::map<std::string, JsonCursor> definitions_;
    std::map<std::string, INode*> nodes_;
    std::map<std::string, ReferenceTarget*> built_;
    std::set<std::string> building_;
};

} // namespace

void ReadScene(const Json& doc, MemInterface& host) {
    host.ResetScene();
    BOOL animating = host.GetAnimateButtonState();
    host.SetAnimateButtonState(FALSE);
    Keeper keeper;
    try {
        Reader(host, keeper).Scene(JsonCursor(doc, ""));
    } catch (...) {
        host.SetAnimateButtonState(animating);
        host.ResetScene();
        keeper.Release();
        throw;
    }
    host.SetAnimateButtonState(animating);
    keeper.Release();
}

} // namespace zyhost
