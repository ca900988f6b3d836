// Scene building for tests.
#include "scene/SceneBuilder.h"

#include "mem/Controllers.h"
#include "mem/Factories.h"
#include "mem/Objects.h"

namespace zyscene {

namespace {

template <class KeyT, class V>
Control* WithKeys(Control* c, const std::vector<Key<V>>& keys) {
    IKeyControl* kc = GetKeyControlInterface(c);
    for (const Key<V>& k : keys) {
        KeyT key;
        key.time = k.t;
        key.val = k.v;
        kc->AppendKey(&key);
    }
    kc->SortKeys();
    return c;
}

} // namespace

Control* FloatKeys(const std::vector<Key<float>>& keys) { return WithKeys<ILinFloatKey>(NewLinearFloatControl(), keys); }
Control* Point3Keys(const std::vector<Key<Point3>>& keys) { return WithKeys<IBezPoint3Key>(NewBezierPoint3Control(), keys); }
Control* PositionKeys(const std::vector<Key<Point3>>& keys) { return WithKeys<ILinPoint3Key>(NewLinearPositionControl(), keys); }
Control* RotationKeys(const std::vector<Key<Quat>>& keys) { return WithKeys<ILinRotKey>(NewLinearRotationControl(), keys); }
Control* ScaleKeys(const std::vector<Key<ScaleValue>>& keys) { return WithKeys<ILinScaleKey>(NewLinearScaleControl(), keys); }

Control* OnOffKeys(bool startOn, const std::vector<TimeValue>& toggles) {
    Control* c = NewOnOffControl();
    if (!startOn) {
        float off = 0.f;
        c->SetValue(0, &off, 1, CTRL_ABSOLUTE); // no keys yet: flips the start state
    }
    for (TimeValue t : toggles) c->AddNewKey(t, 0);
    return c;
}

TriObject* TriMesh(const std::vector<Point3>& verts, const Triangles& faces, DWORD smGroup, int matId) {
    TriObject* obj = CreateNewTriObject();
    Mesh& m = obj->GetMesh();
    m.setNumVerts(int(verts.size()));
    for (std::size_t i = 0; i < verts.size(); ++i) m.setVert(int(i), verts[i]);
    m.setNumFaces(int(faces.size()));
    for (std::size_t i = 0; i < faces.size(); ++i) {
        m.faces[i].setVerts(faces[i][0], faces[i][1], faces[i][2]);
        m.faces[i].setSmGroup(smGroup);
        m.faces[i].setMatID(matId);
    }
    m.buildNormals();
    return obj;
}

TriObject* BoxMesh(const Point3& size, bool groupPerSide) {
    Point3 h = size * 0.5f;
    std::vector<Point3> v;
    for (int i = 0; i < 8; ++i) v.emplace_back((i & 1) ? h.x : -h.x, (i & 2) ? h.y : -h.y, (i & 4) ? h.z : -h.z);
    // Two outward-facing triangles per side: -z, +z, -y, +y, -x, +x.
    const int sides[6][4] = {{0, 2, 3, 1}, {4, 5, 7, 6}, {0, 1, 5, 4}, {2, 6, 7, 3}, {0, 4, 6, 2}, {1, 3, 7, 5}};
    Triangles tris;
    for (const auto& s : sides) {
        tris.push_back({s[0], s[1], s[2]});
        tris.push_back({s[0], s[2], s[3]});
    }
    TriObject* obj = TriMesh(v, tris);
    Mesh& m = obj->GetMesh();
    for (int f = 0; f < 12; ++f) {
        m.faces[f].setSmGroup(groupPerSide ? DWORD(1) << (f / 2) : 1);
        m.faces[f].setMatID(groupPerSide ? f / 2 : 0);
    }
    m.buildNormals();
    return obj;
}

void SetMapChannel(TriObject* obj, int channel, const std::vector<Point3>& tverts, const Triangles& tfaces) {
    Mesh& m = obj->GetMesh();
    m.setMapSupport(channel, TRUE);
    MeshMap& map = m.Map(channel);
    map.setNumVerts(int(tverts.size()));
    for (std::size_t i = 0; i < tverts.size(); ++i) map.tv[i] = tverts[i];
    map.setNumFaces(int(tfaces.size()));
    for (std::size_t i = 0; i < tfaces.size(); ++i) map.tf[i].setTVerts(tfaces[i][0], tfaces[i][1], tfaces[i][2]);
}

int SubAnimIndex(Animatable* owner, const MSTR& name) {
    if (!owner) return -1;
    for (int i = 0; i < owner->NumSubs(); ++i)
        if (owner->SubAnimName(i) == name) return i;
    return -1;
}

Animatable* SubAnimByPath(Animatable* root, const std::vector<MSTR>& path) {
    Animatable* a = root;
    for (const MSTR& name : path) {
        if (!a) return nullptr;
        Animatable* next = nullptr;
        bool found = false;
        for (int i = 0; i < a->NumSubs() && !found; ++i) {
            if (a->SubAnimName(i) == name) {
                next = a->SubAnim(i);
                found = true;
            }
        }
        if (!found) return nullptr;
        a = next;
    }
    return a;
}

bool AssignController(Animatable* owner, const MSTR& name, Control* c) {
    if (!owner) return false;
    for (int i = 0; i < owner->NumSubs(); ++i)
        if (owner->SubAnimName(i) == name) return owner->AssignController(c, i) != FALSE;
    return false;
}

INode* SceneBuilder::Node(const std::string& name, Object* obj, INode* parent) {
    return host_.CreateNode(FromUTF8(name), obj, parent);
}

INode* SceneBuilder::Box(const std::string& name, const Point3& size, INode* parent) {
    return Node(name, BoxMesh(size, true), parent);
}

INode* SceneBuilder::Dummy(const std::string& name, const Box3& box, INode* parent) {
    auto* d = static_cast<DummyObject*>(NewDummyObject());
    d->SetBox(box);
    return Node(name, d, parent);
}

INode* SceneBuilder::PointHelper(const std::string& name, INode* parent) { return Node(name, NewPointHelperObject(), parent); }

INode* SceneBuilder::Bone(const std::string& name, INode* parent) { return Node(name, NewBoneObject(), parent); }

INode* SceneBuilder::Shape(const std::string& name, const std::vector<std::vector<Point3>>& curves, bool closed,
                           INode* parent) {
    auto* s = new SplineShapeObject();
    for (const auto& c : curves) s->AddLineCurve(c, closed);
    return Node(name, s, parent);
}

INode* SceneBuilder::Light(const std::string& name, Class_ID kind, INode* parent) {
    INode* node = Node(name, NewStandardLight(kind), parent);
    if (kind == SPOT_LIGHT_CLASS_ID) {
        INode* target = Node(name + ".Target", NewTargetObject(), parent);
        host_.SetNodeTarget(node, target);
    }
    return node;
}

GenLight* SceneBuilder::LightOf(INode* node) {
    Object* o = node ? node->GetObjectRef() : nullptr;
    return o && o->SuperClassID() == LIGHT_CLASS_ID ? static_cast<GenLight*>(o) : nullptr;
}

void SceneBuilder::Place(INode* node, const Point3& pos, const Quat& rot, const ScaleValue& scale) {
    Control* tm = node->GetTMController();
    Point3 p = pos;
    Quat q = rot;
    ScaleValue s = scale;
    tm->GetPositionController()->SetValue(0, &p, 1, CTRL_ABSOLUTE);
    tm->GetRotationController()->SetValue(0, &q, 1, CTRL_ABSOLUTE);
    tm->GetScaleController()->SetValue(0, &s, 1, CTRL_ABSOLUTE);
}

Control* SceneBuilder::KeyPosition(INode* node, const std::vector<Key<Point3>>& keys) {
    Control* c = PositionKeys(keys);
    node->GetTMController()->SetPositionController(c);
    return c;
}

Control* SceneBuilder::KeyRotation(INode* node, const std::vector<Key<Quat>>& keys) {
    Control* c = RotationKeys(keys);
    node->GetTMController()->SetRotationController(c);
    return c;
}

Control* SceneBuilder::KeyScale(INode* node, const std::vector<Key<ScaleValue>>& keys) {
    Control* c = ScaleKeys(keys);
    node->GetTMController()->SetScaleController(c);
    return c;
}

Control* SceneBuilder::UseTMControllerClass(INode* node, Class_ID classId) {
    Control* c = new PRSControl(classId);
    node->SetTMController(c);
    return c;
}

void SceneBuilder::SetUserProps(INode* node, const std::string& text) { node->SetUserPropBuffer(FromUTF8(text)); }

StdMat2* SceneBuilder::StandardMaterial(const std::string& name) {
    StdMat2* m = NewStandardMaterial();
    m->SetName(FromUTF8(name));
    host_.GetSceneMtls().Add(m);
    return m;
}

MultiMtl* SceneBuilder::MultiMaterial(const std::string& name, const std::vector<Mtl*>& subs) {
    MultiMtl* m = NewMultiMaterial(int(subs.size()));
    m->SetName(FromUTF8(name));
    for (std::size_t i = 0; i < subs.size(); ++i) m->SetSubMtl(int(i), subs[i]);
    host_.GetSceneMtls().Add(m);
    return m;
}

Mtl* SceneBuilder::DeckMaterial(const std::string& name, const std::vector<std::pair<std::string, std::string>>& bitmaps) {
    Mtl* m = NewDeckMaterial();
    m->SetName(FromUTF8(name));
    IParamBlock2* pb = m->GetParamBlock(0);
    for (const auto& [param, path] : bitmaps) {
        for (int i = 0; i < pb->NumParams(); ++i) {
            ParamID id = pb->IndextoID(i);
            if (pb->GetLocalName(id) != FromUTF8(param)) continue;
            PBBitmap bm;
            bm.bi.SetName(FromUTF8(path));
            pb->SetValue(id, 0, &bm);
        }
    }
    host_.GetSceneMtls().Add(m);
    return m;
}

BitmapTex* SceneBuilder::Bitmap(const std::string& path, int channel, int tiling) {
    BitmapTex* b = NewBitmapTex();
    b->SetMapName(FromUTF8(path).c_str());
    b->GetUVGen()->SetMapChannel(channel);
    b->GetUVGen()->SetTextureTiling(tiling);
    return b;
}

Modifier* SceneBuilder::AddModifier(INode* node, Modifier* mod) {
    Object* obj = node->GetObjectRef();
    IDerivedObject* derived = nullptr;
    if (obj && obj->SuperClassID() == GEN_DERIVOB_CLASS_ID) {
        derived = static_cast<IDerivedObject*>(obj);
    } else {
        derived = CreateDerivedObject(obj);
        node->SetObjectRef(derived);
    }
    derived->AddModifier(mod, nullptr, 0);
    return mod;
}

Modifier* SceneBuilder::Skin(INode* node, const std::vector<INode*>& bones, const SkinWeights& weights) {
    Modifier* skin = NewSkinModifier();
    auto* import = static_cast<ISkinImportData*>(skin->GetInterface(I_SKINIMPORTDATA));
    for (INode* b : bones) import->AddBoneEx(b, true);
    for (std::size_t v = 0; v < weights.size(); ++v) {
        std::vector<INode*> vb;
        std::vector<float> vw;
        for (const auto& [bone, w] : weights[v]) {
            vb.push_back(bones[std::size_t(bone)]);
            vw.push_back(w);
        }
        import->AddWeights(node, int(v), vb, vw);
    }
    return AddModifier(node, skin);
}

} // namespace zyscene
