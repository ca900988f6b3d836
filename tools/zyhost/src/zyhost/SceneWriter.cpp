#include "zyhost/SceneWriter.h"

#include <map>
#include <set>
#include <string>

#include "maxsdk/Max.h"
#include "mem/ChunkStreams.h"
#include "mem/Controllers.h"
#include "mem/Objects.h"
#include "zyhost/ChunkText.h"
#include "zyhost/SceneKinds.h"

namespace zyhost {

namespace {

std::string Utf8(const MSTR& s) { return ToUTF8(s); }

Json ScaleJson(const ScaleValue& v) {
    if (v.q == Quat()) return ToJson(v.s);
    return Json{{"scale", ToJson(v.s)}, {"axis", ToJson(v.q)}};
}

// Writes a single value or, when every entry is equal, that value alone.
template <class F>
Json PerFaceOrSingle(const Mesh& mesh, F&& get) {
    Json all = Json::array();
    bool same = true;
    for (int f = 0; f < mesh.getNumFaces(); ++f) {
        auto v = get(mesh.faces[f]);
        if (f > 0 && all.back() != Json(v)) same = false;
        all.push_back(v);
    }
    if (same) return all.empty() ? Json(0) : all.front();
    return all;
}

class Writer {
public:
    explicit Writer(MemInterface& host) : host_(host) {}

    Json Scene() {
        NameNodes(host_.GetRootNode());
        CollectSkinUsers(host_.GetRootNode());
        Json doc;
        doc["format"] = kFormatName;
        doc["version"] = kFormatVersion;
        if (!host_.GetCurFilePath().empty()) doc["file"] = Utf8(host_.GetCurFilePath());
        doc["time"] = host_.GetTime();
        doc["animationRange"] = Json::array({host_.GetAnimRange().Start(), host_.GetAnimRange().End()});
        doc["ticksPerFrame"] = GetTicksPerFrame();
        Json nodes = Json::array();
        INode* root = host_.GetRootNode();
        for (int i = 0; i < root->NumberOfChildren(); ++i) nodes.push_back(Node(root->GetChildNode(i)));
        Json mtls = Json::array();
        MtlBaseLib& lib = host_.GetSceneMtls();
        for (int i = 0; i < lib.Count(); ++i) mtls.push_back(Any(lib[i]));
        doc["materials"] = std::move(mtls);
        doc["nodes"] = std::move(nodes);
        StripUnusedIds(doc);
        return doc;
    }

private:
    // ---- ids ----

    std::string UniqueId(const std::string& wanted) {
        std::string id = wanted.empty() ? std::string("object") : wanted;
        for (int n = 2; usedIds_.count(id); ++n) id = wanted + "#" + std::to_string(n);
        usedIds_.insert(id);
        return id;
    }

    void NameNodes(INode* node) {
        for (int i = 0; i < node->NumberOfChildren(); ++i) {
            INode* c = node->GetChildNode(i);
            ids_[c] = UniqueId(Utf8(c->GetName()));
            NameNodes(c);
        }
    }

    Json NodeRef(INode* node) {
        auto it = ids_.find(node);
        if (it == ids_.end()) throw SaveError("a reference names a node that is not in the scene tree");
        referenced_.insert(it->second);
        return Json{{"$ref", it->second}};
    }

    // The first occurrence of an object is written in full with its id; later ones
    // refer to it. Ids nobody refers to are removed at the end.
    template <class F>
    Json Shared(ReferenceTarget* target, const std::string& label, F&& write) {
        auto it = ids_.find(target);
        if (it != ids_.end()) {
            referenced_.insert(it->second);
            return Json{{"$ref", it->second}};
        }
        std::string id = UniqueId(label);
        ids_[target] = id;
        Json j = write();
        Extras(target, j);
        Json out = Json{{"$id", id}};
        out.update(j);
        return out;
    }

    void StripUnusedIds(Json& j) {
        if (j.is_object()) {
            auto it = j.find("$id");
            if (it != j.end() && !referenced_.count(it->get<std::string>())) j.erase(it);
            for (auto& [k, v] : j.items()) StripUnusedIds(v);
        } else if (j.is_array()) {
            for (auto& v : j) StripUnusedIds(v);
        }
    }

    // ---- what every animatable may carry ----

    void Extras(Animatable* a, Json& j) {
        Json appData = Json::array();
        for (int i = 0; i < a->NumAppDataChunks(); ++i) {
            AppDataChunk* c = a->GetAppDataChunkByIndex(i);
            const auto* p = static_cast<const std::uint8_t*>(c->data);
            std::vector<std::uint8_t> bytes(p, p + (p ? c->length : 0));
            appData.push_back(Json{{"class", Json::array({HexId(c->classID.PartA()), HexId(c->classID.PartB())})},
                                   {"superClass", HexId(c->superClassID)},
                                   {"subId", c->subID},
                                   {"data", ToHex(bytes)}});
        }
        if (!appData.empty()) j["appData"] = std::move(appData);
        if (ICustAttribContainer* cc = a->GetCustAttribContainer()) {
            Json attribs = Json::array();
            for (int i = 0; i < cc->GetNumCustAttribs(); ++i)
                if (CustAttrib* ca = cc->GetCustAttrib(i)) attribs.push_back(Any(ca));
            if (!attribs.empty()) j["customAttributes"] = std::move(attribs);
        }
    }

    // ---- dispatch ----

    Json Any(ReferenceTarget* t) {
        if (!t) return nullptr;
        SClass_ID sid = t->SuperClassID();
        if (sid == BASENODE_CLASS_ID) return NodeRef(static_cast<INode*>(t));
        if (IsControllerSuper(sid)) return Controller(static_cast<Control*>(t));
        if (sid == MATERIAL_CLASS_ID) return Material(static_cast<Mtl*>(t));
        if (sid == TEXMAP_CLASS_ID) return Texture(static_cast<Texmap*>(t));
        if (sid == OSM_CLASS_ID) return ModifierJson(static_cast<Modifier*>(t));
        if (IsObjectSuper(sid)) return ObjectJson(static_cast<Object*>(t));
        if (sid == PARAMETER_BLOCK2_CLASS_ID)
            throw SaveError("a plug-in object refers to a parameter block; such references cannot be stored");
        return Plugin(t);
    }

    // ---- nodes ----

    Json Node(INode* n) {
        Json j;
        j["$id"] = ids_[n];
        j["name"] = Utf8(n->GetName());
        if (n->IsNodeHidden()) j["hidden"] = true;
        MSTR props;
        n->GetUserPropBuffer(props);
        if (!props.empty()) j["userProps"] = Utf8(props);
        DWORD wire = n->GetWireColor();
        j["wireColor"] = Json::array({GetRValue(wire), GetGValue(wire), GetBValue(wire)});
        if (n->IsGroupHead()) j["groupHead"] = true;
        if (n->IsGroupMember()) j["groupMember"] = true;
        if (Control* tm = n->GetTMController()) j["transform"] = Controller(tm);
        if (Control* vis = n->GetVisController()) j["visibility"] = Controller(vis);
        if (n->GetObjOffsetPos() != Point3() || !(n->GetObjOffsetRot() == Quat()) || !(n->GetObjOffsetScale() == ScaleValue()))
            j["objectOffset"] = Json{{"position", ToJson(n->GetObjOffsetPos())},
                                     {"rotation", ToJson(n->GetObjOffsetRot())},
                                     {"scale", ScaleJson(n->GetObjOffsetScale())}};
        if (Object* obj = n->GetObjectRef()) j["object"] = ObjectJson(obj);
        if (Mtl* m = n->GetMtl()) j["material"] = Material(m);
        if (INode* target = n->GetTarget()) j["target"] = NodeRef(target);
        Extras(n, j);
        Json children = Json::array();
        for (int i = 0; i < n->NumberOfChildren(); ++i) children.push_back(Node(n->GetChildNode(i)));
        if (!children.empty()) j["children"] = std::move(children);
        return j;
    }

    // ---- controllers ----

    Json Controller(Control* c) {
        if (!c) return nullptr;
        Class_ID cid = c->ClassID();
        if (auto* prs = dynamic_cast<PRSControl*>(c)) {
            return Shared(c, "transform", [&] {
                Json j{{"type", "prs"}};
                if (cid != PRS_CONTROL_CLASS_ID) j["class"] = Json::array({HexId(cid.PartA()), HexId(cid.PartB())});
                j["position"] = Controller(prs->GetPositionController());
                j["rotation"] = Controller(prs->GetRotationController());
                j["scale"] = Controller(prs->GetScaleController());
                return j;
            });
        }
        const char* kind = KeyedControllerType(cid);
        if (!kind) return Plugin(c);
        return Shared(c, "controller", [&] { return Keyed(c, kind); });
    }

    Json Keyed(Control* c, const std::string& kind) {
        Json j{{"type", kind}};
        IKeyControl* keys = GetKeyControlInterface(c);
        int n = keys ? keys->GetNumKeys() : 0;
        Json list = Json::array();
        Interval iv = FOREVER;
        if (kind == "onOff") {
            float startOn = 0;
            c->GetValue(TIME_NegInfinity, &startOn, iv, CTRL_ABSOLUTE);
            j["on"] = startOn > 0.5f;
            for (int i = 0; i < n; ++i) {
                IKey k;
                keys->GetKey(i, &k);
                list.push_back(k.time);
            }
            j["toggles"] = std::move(list);
            return j;
        }
        if (n == 0) {
            if (kind == "linearFloat") { float v = 0; c->GetValue(0, &v, iv); j["value"] = v; }
            else if (kind == "linearRotation") { Quat v; c->GetValue(0, &v, iv); j["value"] = ToJson(v); }
            else if (kind == "linearScale") { ScaleValue v; c->GetValue(0, &v, iv); j["value"] = ScaleJson(v); }
            else { Point3 v; c->GetValue(0, &v, iv); j["value"] = ToJson(v); }
            return j;
        }
        for (int i = 0; i < n; ++i) {
            if (kind == "linearFloat") { ILinFloatKey k; keys->GetKey(i, &k); list.push_back(Json::array({k.time, k.val})); }
            else if (kind == "linearPosition") { ILinPoint3Key k; keys->GetKey(i, &k); list.push_back(Json::array({k.time, ToJson(k.val)})); }
            else if (kind == "linearRotation") { ILinRotKey k; keys->GetKey(i, &k); list.push_back(Json::array({k.time, ToJson(k.val)})); }
            else if (kind == "linearScale") { ILinScaleKey k; keys->GetKey(i, &k); list.push_back(Json::array({k.time, ScaleJson(k.val)})); }
            else {
                IBezPoint3Key k;
                keys->GetKey(i, &k);
                Json key = Json::array({k.time, ToJson(k.val)});
                if (k.intan != Point3() || k.outtan != Point3()) {
                    key.push_back(ToJson(k.intan));
                    key.push_back(ToJson(k.outtan));
                }
                list.push_back(std::move(key));
            }
        }
        j["keys"] = std::move(list);
        return j;
    }

    // ---- objects ----

    Json ObjectJson(Object* o) {
        if (!o) return nullptr;
        Class_ID cid = o->ClassID();
        if (cid == TRIOBJ_CLASS_ID) return Shared(o, "mesh", [&] { return MeshJson(static_cast<TriObject*>(o)->GetMesh()); });
        if (cid == SPLINESHAPE_CLASS_ID) {
            if (auto* s = dynamic_cast<SplineShapeObject*>(o)) return Shared(o, "shape", [&] { return ShapeJson(s); });
        }
        if (cid == DUMMY_CLASS_ID) {
            return Shared(o, "dummy", [&] {
                Box3 b = static_cast<DummyObject*>(o)->GetBox();
                return Json{{"type", "dummy"}, {"box", Json::array({ToJson(b.pmin), ToJson(b.pmax)})}};
            });
        }
        if (const char* marker = MarkerObjectType(cid)) return Shared(o, marker, [&] { return Json{{"type", marker}}; });
        if (const char* light = LightKind(cid)) return Shared(o, "light", [&] { return LightJson(static_cast<GenLight*>(o), light); });
        if (o->SuperClassID() == GEN_DERIVOB_CLASS_ID && cid == DERIVOB_CLASS_ID) {
            auto* d = static_cast<IDerivedObject*>(o);
            return Shared(o, "derived", [&] {
                Json mods = Json::array();
                for (int i = 0; i < d->NumModifiers(); ++i) mods.push_back(ModifierJson(d->GetModifier(i)));
                return Json{{"type", "derived"}, {"base", ObjectJson(d->GetObjRef())}, {"modifiers", std::move(mods)}};
            });
        }
        return Plugin(o);
    }

    static Json MeshJson(Mesh& mesh) {
        Json j{{"type", "mesh"}};
        Json verts = Json::array();
        for (int i = 0; i < mesh.getNumVerts(); ++i) verts.push_back(ToJson(mesh.getVert(i)));
        Json faces = Json::array();
        bool anyFlags = false;
        for (int f = 0; f < mesh.getNumFaces(); ++f) {
            const Face& face = mesh.faces[f];
            faces.push_back(Json::array({face.v[0], face.v[1], face.v[2]}));
            anyFlags = anyFlags || (face.flags & 0xffff) != 0;
        }
        j["vertices"] = std::move(verts);
        j["faces"] = std::move(faces);
        j["smoothingGroups"] = PerFaceOrSingle(mesh, [](const Face& f) { return f.smGroup; });
        j["materialIds"] = PerFaceOrSingle(mesh, [](const Face& f) { return f.getMatID(); });
        if (anyFlags) j["faceFlags"] = PerFaceOrSingle(mesh, [](const Face& f) { return f.flags & 0xffff; });
        Json maps = Json::array();
        for (int mp = -NUM_HIDDENMAPS; mp < mesh.getNumMaps(); ++mp) {
            if (!mesh.mapSupport(mp)) continue;
            MeshMap* map = mesh.MapPtr(mp);
            if (!map) continue;
            Json tv = Json::array(), tf = Json::array();
            for (int i = 0; i < map->vnum; ++i) tv.push_back(ToJson(map->tv[std::size_t(i)]));
            for (int i = 0; i < map->fnum; ++i) {
                const TVFace& f = map->tf[std::size_t(i)];
                tf.push_back(Json::array({f.t[0], f.t[1], f.t[2]}));
            }
            maps.push_back(Json{{"channel", mp}, {"vertices", std::move(tv)}, {"faces", std::move(tf)}});
        }
        if (!maps.empty()) j["maps"] = std::move(maps);
        Json normals = Json::array();
        for (int v = 0; v < mesh.getNumVerts(); ++v) {
            RVertex* rv = mesh.getRVertPtr(v);
            if (rv && rv->HasSpecifiedNormal()) normals.push_back(Json::array({v, ToJson(rv->rn.getNormal())}));
        }
        if (!normals.empty()) j["normals"] = std::move(normals);
        return j;
    }

    static Json ShapeJson(SplineShapeObject* s) {
        Json curves = Json::array();
        for (int c = 0; c < s->NumberOfCurves(0); ++c) {
            Json curve{{"closed", s->CurveClosed(0, c) != 0}};
            Json knots = Json::array();
            bool straight = true;
            for (const SplineShapeObject::Knot& k : s->CurveKnots(c)) {
                straight = straight && k.in == k.p && k.out == k.p;
                knots.push_back(Json{{"p", ToJson(k.p)}, {"in", ToJson(k.in)}, {"out", ToJson(k.out)}});
            }
            if (straight) {
                Json points = Json::array();
                for (const Json& k : knots) points.push_back(k["p"]);
                curve["points"] = std::move(points);
            } else {
                curve["knots"] = std::move(knots);
            }
            curves.push_back(std::move(curve));
        }
        return Json{{"type", "shape"}, {"curves", std::move(curves)}};
    }

    Json LightJson(GenLight* l, const char* kind) {
        Json j{{"type", "light"}, {"kind", kind}};
        j["on"] = l->GetUseLight() != 0;
        j["useAttenuation"] = l->GetUseAtten() != 0;
        if (l->GetProjector()) j["projector"] = true;
        if (Texmap* m = l->GetProjMap()) j["projectorMap"] = Texture(m);
        if (IParamBlock2* pb = l->GetParamBlock(0)) j["params"] = Params(pb);
        return j;
    }

    // ---- modifiers ----

    Json ModifierJson(Modifier* m) {
        if (!m) return nullptr;
        Class_ID cid = m->ClassID();
        Json j;
        if (cid == SKIN_CLASSID && m->GetInterface(I_SKIN)) {
            j = Shared(m, "skin", [&] { return SkinJson(m); });
        } else if (cid == EDIT_MESH_MOD_CLASS_ID) {
            j = Shared(m, "modifier", [&] { return Json{{"type", "editMesh"}}; });
        } else if (auto* x = dynamic_cast<XFormModifier*>(m)) {
            j = Shared(m, "modifier", [&] { return Json{{"type", "xform"}, {"matrix", ToJson(x->GetMatrix())}}; });
        } else {
            j = Plugin(m);
        }
        if (!m->IsEnabled() && !j.contains("$ref")) j["enabled"] = false;
        return j;
    }

    Json SkinJson(Modifier* m) {
        auto* skin = static_cast<ISkin*>(m->GetInterface(I_SKIN));
        Json bones = Json::array();
        for (int i = 0; i < skin->GetNumBones(); ++i) bones.push_back(skin->GetBone(i) ? NodeRef(skin->GetBone(i)) : Json());
        Json weights = Json::array();
        for (INode* user : skinUsers_[m]) {
            ISkinContextData* ctx = skin->GetContextInterface(user);
            if (!ctx) continue;
            Json verts = Json::array();
            for (int v = 0; v < ctx->GetNumPoints(); ++v) {
                Json assigned = Json::array();
                for (int a = 0; a < ctx->GetNumAssignedBones(v); ++a)
                    assigned.push_back(Json::array({ctx->GetAssignedBone(v, a), ctx->GetBoneWeight(v, a)}));
                verts.push_back(std::move(assigned));
            }
            weights.push_back(Json{{"node", NodeRef(user)}, {"vertices", std::move(verts)}});
        }
        return Json{{"type", "skin"}, {"bones", std::move(bones)}, {"weights", std::move(weights)}};
    }

    // The nodes whose modifier stacks hold each skin: its weights are kept per node.
    void CollectSkinUsers(INode* node) {
        for (int i = 0; i < node->NumberOfChildren(); ++i) {
            INode* c = node->GetChildNode(i);
            std::set<Object*> seen;
            for (Object* o = c->GetObjectRef(); o && o->SuperClassID() == GEN_DERIVOB_CLASS_ID && seen.insert(o).second;) {
                auto* d = static_cast<IDerivedObject*>(o);
                for (int m = 0; m < d->NumModifiers(); ++m)
                    if (Modifier* mod = d->GetModifier(m); mod && mod->ClassID() == SKIN_CLASSID) skinUsers_[mod].push_back(c);
                o = d->GetObjRef();
            }
            CollectSkinUsers(c);
        }
    }

    // ---- materials and maps ----

    Json Material(Mtl* m) {
        if (!m) return nullptr;
        std::string label = "mtl:" + Utf8(m->GetName());
        Class_ID cid = m->ClassID();
        if (cid == DMTL_CLASS_ID) {
            if (auto* std2 = dynamic_cast<StdMat2*>(m)) {
                return Shared(m, label, [&] {
                    Json j{{"type", "standard"}, {"name", Utf8(m->GetName())}, {"twoSided", std2->GetTwoSided() != 0}};
                    if (Shader* sh = std2->GetShader(); sh && sh->GetParamBlock(0)) j["shader"] = Params(sh->GetParamBlock(0));
                    if (IParamBlock2* maps = m->GetParamBlock(0)) j["maps"] = Params(maps);
                    return j;
                });
            }
        }
        if (cid == MULTI_CLASS_ID) {
            return Shared(m, label, [&] {
                Json subs = Json::array();
                for (int i = 0; i < m->NumSubMtls(); ++i) subs.push_back(Material(m->GetSubMtl(i)));
                return Json{{"type", "multi"}, {"name", Utf8(m->GetName())}, {"subs", std::move(subs)}};
            });
        }
        if (cid == DECK_MTL_CLASS_ID && m->GetParamBlock(0)) {
            return Shared(m, label, [&] {
                return Json{{"type", "deck"}, {"name", Utf8(m->GetName())}, {"params", Params(m->GetParamBlock(0))}};
            });
        }
        return Plugin(m);
    }

    Json Texture(Texmap* t) {
        if (!t) return nullptr;
        if (t->ClassID() == BMTEX_CLASS_ID) {
            auto* b = static_cast<BitmapTex*>(t);
            return Shared(t, "map:" + Utf8(t->GetName()), [&] {
                Json j{{"type", "bitmap"}, {"name", Utf8(t->GetName())}, {"file", Utf8(b->GetMapName())}};
                if (StdUVGen* uv = b->GetUVGen(); uv && uv->GetParamBlock(0)) j["coordinates"] = Params(uv->GetParamBlock(0));
                return j;
            });
        }
        return Plugin(t);
    }

    // ---- parameter blocks ----

    Json Params(IParamBlock2* pb) {
        Json j = Json::object();
        ParamBlockDesc2* desc = pb->GetDesc();
        for (const ParamDef& def : desc->paramdefs) {
            if (IsTab(def.type)) {
                Json tab = Json::array();
                for (int i = 0; i < pb->Count(def.ID); ++i) tab.push_back(ParamValue(pb, def, i));
                j[Utf8(def.int_name)] = std::move(tab);
            } else {
                j[Utf8(def.int_name)] = ParamValue(pb, def, 0);
            }
        }
        return j;
    }

    Json ParamValue(IParamBlock2* pb, const ParamDef& def, int tab) {
        if (Control* c = pb->GetControllerByID(def.ID, tab)) return Json{{"controller", Controller(c)}};
        Interval iv = FOREVER;
        switch (BaseType(def.type)) {
        case TYPE_INT: { int v = 0; pb->GetValue(def.ID, 0, v, iv, tab); return v; }
        case TYPE_BOOL: { int v = 0; pb->GetValue(def.ID, 0, v, iv, tab); return v != 0; }
        case TYPE_RGBA:
        case TYPE_POINT3: { Point3 v; pb->GetValue(def.ID, 0, v, iv, tab); return ToJson(v); }
        case TYPE_STRING:
        case TYPE_FILENAME: { MSTR v; pb->GetValue(def.ID, 0, v, iv, tab); return Utf8(v); }
        case TYPE_TEXMAP: { Texmap* v = nullptr; pb->GetValue(def.ID, 0, v, iv, tab); return Texture(v); }
        case TYPE_BITMAP: {
            PBBitmap* v = nullptr;
            pb->GetValue(def.ID, 0, v, iv, tab);
            return v ? Json(Utf8(v->bi.Name())) : Json();
        }
        case TYPE_MTL: { Mtl* v = nullptr; pb->GetValue(def.ID, 0, v, iv, tab); return Material(v); }
        case TYPE_INODE: { INode* v = nullptr; pb->GetValue(def.ID, 0, v, iv, tab); return v ? NodeRef(v) : Json(); }
        default: { float v = 0; pb->GetValue(def.ID, 0, v, iv, tab); return v; }
        }
    }

    // ---- plug-in objects: class ids, their own chunks and their references ----

    Json Plugin(ReferenceTarget* t) {
        MSTR className;
        t->GetClassName(className);
        return Shared(t, "plugin", [&] {
            Class_ID cid = t->ClassID();
            Json j{{"type", "plugin"},
                   {"superClass", HexId(t->SuperClassID())},
                   {"class", Json::array({HexId(cid.PartA()), HexId(cid.PartB())})}};
            if (t->SuperClassID() == MATERIAL_CLASS_ID || t->SuperClassID() == TEXMAP_CLASS_ID)
                j["name"] = Utf8(static_cast<MtlBase*>(t)->GetName());
            MemSave save;
            if (t->Save(&save) != IO_OK || !save.Ok())
                throw SaveError("the plug-in object of class \"" + Utf8(className) + "\" (" + HexId(cid.PartA()) + ", " +
                                HexId(cid.PartB()) + ") failed to save its data");
            j["chunks"] = ToHex(save.Bytes());
            Json refs = Json::array();
            for (int i = 0; i < t->NumRefs(); ++i) refs.push_back(Any(t->GetReference(i)));
            j["refs"] = std::move(refs);
            return j;
        });
    }

    MemInterface& host_;
    std::map<void*, std::string> ids_;
    std::set<std::string> usedIds_;
    std::set<std::string> referenced_;
    std::map<Modifier*, std::vector<INode*>> skinUsers_;
};

} // namespace

Json WriteScene(MemInterface& host) { return Writer(host).Scene(); }

} // namespace zyhost
