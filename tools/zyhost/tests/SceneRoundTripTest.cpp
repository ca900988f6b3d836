// Scenes survive a save and a load: the saved text of a loaded scene is the text
// it was loaded from, and what each object kind carries is still there.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "mem/Controllers.h"
#include "mem/Factories.h"
#include "mem/Objects.h"
#include "scene/SceneBuilder.h"
#include "zyhost/SceneFile.h"
#include "zyhost/SceneReader.h"
#include "zyhost/SceneWriter.h"

namespace {

using zyhost::Json;
using zyscene::Key;
using zyscene::SceneBuilder;

MemInterface& Host() { return TheMemInterface(); }

INode* Node(const char* name) { return Host().GetINodeByName(FromUTF8(name).c_str()); }

// Saves the scene, loads the text and saves again; both texts must be equal.
std::string RoundTrip() {
    std::string first = zyhost::SceneText(Host());
    zyhost::ReadScene(zyhost::ParseSceneText(first), Host());
    std::string second = zyhost::SceneText(Host());
    EXPECT_EQ(first, second);
    return second;
}

Mesh& MeshOf(const char* name) {
    Object* o = Node(name)->GetObjectRef();
    while (o && o->SuperClassID() == GEN_DERIVOB_CLASS_ID) o = static_cast<IDerivedObject*>(o)->GetObjRef();
    return static_cast<TriObject*>(o)->GetMesh();
}

struct SceneCase {
    const char* name;
    std::function<void(SceneBuilder&)> build;
    std::function<void()> check; // runs on the reloaded scene
};

class SceneRoundTrip : public testing::TestWithParam<SceneCase> {
protected:
    void SetUp() override { Host().ResetScene(); }
    void TearDown() override { Host().ResetScene(); }
};

TEST_P(SceneRoundTrip, SavedTextLoadsBackToTheSameSceneAndText) {
    SceneBuilder b;
    GetParam().build(b);
    RoundTrip();
    GetParam().check();
}

const SceneCase kCases[] = {
    {"Mesh",
     [](SceneBuilder& b) {
         INode* n = b.Box("Box", Point3(2, 2, 2));
         auto* obj = static_cast<TriObject*>(n->GetObjectRef());
         zyscene::SetMapChannel(obj, 2, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, zyscene::Triangles(12, {0, 1, 2}));
         obj->GetMesh().setNormal(3, Point3(0, 0, 1));
         obj->GetMesh().faces[5].flags |= 0x7;
     },
     [] {
         Mesh& m = MeshOf("Box");
         ASSERT_EQ(m.getNumFaces(), 12);
         for (int f = 0; f < 12; ++f) {
             EXPECT_EQ(m.faces[f].getSmGroup(), DWORD(1) << (f / 2));
             EXPECT_EQ(m.faces[f].getMatID(), f / 2);
         }
         EXPECT_EQ(m.faces[5].flags & 0xffff, 0x7u);
         ASSERT_TRUE(m.mapSupport(2));
         EXPECT_EQ(m.getNumMapVerts(2), 3);
         EXPECT_EQ(m.mapVerts(2)[1], Point3(1, 0, 0));
         EXPECT_TRUE(m.getRVert(3).HasSpecifiedNormal());
         EXPECT_EQ(m.getRVert(3).rn.getNormal(), Point3(0, 0, 1));
         EXPECT_FALSE(m.getRVert(4).HasSpecifiedNormal());
     }},
    {"HelpersAndNodeData",
     [](SceneBuilder& b) {
         INode* d = b.Dummy("Root", Box3(Point3(-1, -2, -3), Point3(1, 2, 3)));
         INode* p = b.PointHelper("Point", d);
         INode* bone = b.Bone("Bone", p);
         b.SetUserProps(p, "TYPE = \"Größe\"\nSMOOTH_NORMALS = 1");
         p->Hide(TRUE);
         p->SetWireColor(RGB(10, 20, 30));
         d->SetGroupHead(TRUE);
         p->SetGroupMember(TRUE);
         bone->SetObjOffsetPos(Point3(0, 0, 5));
         void* data = MAX_malloc(3);
         std::memcpy(data, "\x01\x00\xff", 3);
         p->AddAppDataChunk(Class_ID(0x11, 0x22), UTILITY_CLASS_ID, 7, 3, data);
     },
     [] {
         INode* d = Node("Root");
         ASSERT_NE(d, nullptr);
         Box3 box = static_cast<DummyObject*>(d->GetObjectRef())->GetBox();
         EXPECT_EQ(box.pmin, Point3(-1, -2, -3));
         EXPECT_EQ(box.pmax, Point3(1, 2, 3));
         INode* p = Node("Point");
         EXPECT_EQ(p->GetParentNode(), d);
         EXPECT_EQ(p->GetObjectRef()->ClassID(), POINTHELP_CLASS_ID);
         EXPECT_EQ(Node("Bone")->GetParentNode(), p);
         EXPECT_EQ(Node("Bone")->GetObjectRef()->ClassID(), BONE_OBJ_CLASSID);
         EXPECT_EQ(Node("Bone")->GetObjOffsetPos(), Point3(0, 0, 5));
         MSTR props;
         p->GetUserPropBuffer(props);
         EXPECT_EQ(ToUTF8(props), "TYPE = \"Größe\"\nSMOOTH_NORMALS = 1");
         EXPECT_TRUE(p->IsNodeHidden());
         EXPECT_EQ(p->GetWireColor(), RGB(10, 20, 30));
         EXPECT_TRUE(d->IsGroupHead());
         EXPECT_TRUE(p->IsGroupMember());
         AppDataChunk* c = p->GetAppDataChunk(Class_ID(0x11, 0x22), UTILITY_CLASS_ID, 7);
         ASSERT_NE(c, nullptr);
         ASSERT_EQ(c->length, 3u);
         EXPECT_EQ(std::memcmp(c->data, "\x01\x00\xff", 3), 0);
     }},
    {"ShapeOfLines",
     [](SceneBuilder& b) { b.Shape("Lines", {{{0, 0, 0}, {1, 0, 0}, {1, 1, 0}}, {{5, 5, 5}, {6, 6, 6}}}, true); },
     [] {
         auto* s = static_cast<ShapeObject*>(Node("Lines")->GetObjectRef());
         ASSERT_EQ(s->NumberOfCurves(0), 2);
         EXPECT_TRUE(s->CurveClosed(0, 0));
         EXPECT_EQ(s->NumberOfPieces(0, 0), 3);
         EXPECT_EQ(s->InterpPiece3D(0, 0, 1, 1.f), Point3(1, 1, 0));
         EXPECT_EQ(s->InterpPiece3D(0, 1, 0, 0.f), Point3(5, 5, 5));
     }},
    {"Lights",
     [](SceneBuilder& b) {
         INode* omni = b.Light("Omni", OMNI_LIGHT_CLASS_ID);
         GenLight* l = SceneBuilder::LightOf(omni);
         l->SetUseAtten(TRUE);
         l->SetAtten(0, ATTEN_END, 33.f);
         l->GetParamBlock(0)->SetControllerByID(1, 0, zyscene::FloatKeys({{0, 1.f}, {4800, 2.f}}), false);
         l->GetParamBlock(0)->SetControllerByID(0, 0, zyscene::Point3Keys({{0, {1, 0, 0}}, {960, {0, 1, 0}}}), false);
         INode* spot = b.Light("Spot", SPOT_LIGHT_CLASS_ID);
         SceneBuilder::LightOf(spot)->SetHotspot(0, 20.f);
         SceneBuilder::LightOf(spot)->SetProjMap(SceneBuilder::Bitmap("proj.png"));
         GenLight* dir = SceneBuilder::LightOf(b.Light("Sun", DIR_LIGHT_CLASS_ID));
         dir->SetUseLight(FALSE);
     },
     [] {
         GenLight* l = SceneBuilder::LightOf(Node("Omni"));
         EXPECT_TRUE(l->GetUseAtten());
         EXPECT_EQ(l->GetAtten(0, ATTEN_END), 33.f);
         EXPECT_FLOAT_EQ(l->GetIntensity(2400), 1.5f);
         EXPECT_EQ(l->GetRGBColor(960), Point3(0, 1, 0));
         INode* spot = Node("Spot");
         ASSERT_NE(spot->GetTarget(), nullptr);
         EXPECT_EQ(spot->GetObjectRef()->ClassID(), SPOT_LIGHT_CLASS_ID);
         EXPECT_EQ(spot->GetTarget()->GetObjectRef()->ClassID(), TARGET_CLASS_ID);
         EXPECT_EQ(SceneBuilder::LightOf(spot)->GetHotspot(0), 20.f);
         auto* proj = static_cast<BitmapTex*>(SceneBuilder::LightOf(spot)->GetProjMap());
         ASSERT_NE(proj, nullptr);
         EXPECT_EQ(ToUTF8(proj->GetMapName()), "proj.png");
         EXPECT_FALSE(SceneBuilder::LightOf(Node("Sun"))->GetUseLight());
     }},
    {"Controllers",
     [](SceneBuilder& b) {
         INode* n = b.Box("Animated");
         b.KeyPosition(n, {{0, {0, 0, 0}}, {4800, {10, 0, 0}}});
         b.KeyRotation(n, {{0, Quat()}, {4800, Quat(AngAxis(Point3(0, 0, 1), 1.f))}});
         b.KeyScale(n, {{0, ScaleValue(Point3(1, 1, 1))}, {2400, ScaleValue(Point3(2, 2, 2), Quat(0, 0, 0.6f, 0.8f))}});
         n->SetVisController(zyscene::OnOffKeys(false, {160, 320}));
         INode* placed = b.Box("Placed");
         b.Place(placed, Point3(1, 2, 3), Quat(0, 0, 0.6f, 0.8f), ScaleValue(Point3(2, 1, 1)));
         INode* biped = b.Box("Biped");
         biped->SetTMController(new PRSControl(BIPSLAVE_CONTROL_CLASS_ID));
     },
     [] {
         INode* n = Node("Animated");
         EXPECT_TRUE(n->GetNodeTM(2400).GetTrans().Equals(Point3(5, 0, 0), 1e-5f));
         EXPECT_EQ(n->GetTMController()->GetRotationController()->NumKeys(), 2);
         EXPECT_EQ(n->GetTMController()->GetScaleController()->GetKeyTime(1), 2400);
         EXPECT_EQ(n->GetVisibility(0), 0.f);
         EXPECT_EQ(n->GetVisibility(200), 1.f);
         EXPECT_EQ(n->GetVisibility(400), 0.f);
         EXPECT_TRUE(Node("Placed")->GetNodeTM(0).GetTrans().Equals(Point3(1, 2, 3), 1e-6f));
         EXPECT_EQ(Node("Biped")->GetTMController()->ClassID(), BIPSLAVE_CONTROL_CLASS_ID);
     }},
    {"ModifierStack",
     [](SceneBuilder& b) {
         INode* b1 = b.Bone("B1");
         INode* b2 = b.Bone("B2", b1);
         INode* skinned = b.Box("Skinned");
         b.Skin(skinned, {b1, b2}, {{{0, 1.f}}, {{0, 0.25f}, {1, 0.75f}}, {}, {{1, 1.f}}});
         auto* x = new XFormModifier();
         x->SetMatrix(TransMatrix(Point3(0, 0, 1)));
         b.AddModifier(skinned, x);
         Modifier* edit = b.AddModifier(skinned, NewEditMeshModifier());
         edit->DisableMod();
     },
     [] {
         INode* n = Node("Skinned");
         auto* d = static_cast<IDerivedObject*>(n->GetObjectRef());
         ASSERT_EQ(d->SuperClassID(), GEN_DERIVOB_CLASS_ID);
         ASSERT_EQ(d->NumModifiers(), 3);
         EXPECT_EQ(d->GetModifier(0)->ClassID(), EDIT_MESH_MOD_CLASS_ID);
         EXPECT_FALSE(d->GetModifier(0)->IsEnabled());
         EXPECT_EQ(d->GetModifier(1)->ClassID(), XFORM_MOD_CLASS_ID);
         auto* skin = static_cast<ISkin*>(d->GetModifier(2)->GetInterface(I_SKIN));
         ASSERT_NE(skin, nullptr);
         ASSERT_EQ(skin->GetNumBones(), 2);
         EXPECT_EQ(skin->GetBone(1), Node("B2"));
         ISkinContextData* ctx = skin->GetContextInterface(n);
         ASSERT_NE(ctx, nullptr);
         ASSERT_EQ(ctx->GetNumPoints(), 4);
         EXPECT_EQ(ctx->GetNumAssignedBones(1), 2);
         EXPECT_EQ(ctx->GetAssignedBone(1, 1), 1);
         EXPECT_EQ(ctx->GetBoneWeight(1, 1), 0.75f);
         EXPECT_EQ(ctx->GetNumAssignedBones(2), 0);
         // The XForm modifier moved the evaluated mesh up by one.
         auto* evaluated = static_cast<TriObject*>(n->EvalWorldState(0).obj);
         EXPECT_EQ(evaluated->GetMesh().getVert(0).z, MeshOf("Skinned").getVert(0).z + 1.f);
     }},
    {"Materials",
     [](SceneBuilder& b) {
         StdMat2* wood = b.StandardMaterial("Wood");
         wood->SetTwoSided(TRUE);
         wood->SetDiffuse(Color(0.5f, 0.25f, 0.125f), 0);
         BitmapTex* map = SceneBuilder::Bitmap("wood.dds", 2, U_WRAP | V_MIRROR);
         map->GetUVGen()->GetParamBlock(0)->SetControllerByID(0, 0, zyscene::FloatKeys({{0, 0.f}, {4800, 1.f}}), false);
         wood->SetSubTexmap(ID_DI, map);
         wood->SetTexmapAmt(ID_DI, 0.5f, 0);
         wood->EnableMap(ID_BU, FALSE);
         StdMat2* metal = b.StandardMaterial("Metal");
         MultiMtl* multi = b.MultiMaterial("Multi", {wood, nullptr, metal});
         b.DeckMaterial("Deck", {{"BaseColorMap", "deck_base.dds"}, {"DamageMask", "damage.png"}});
         INode* n = b.Box("Crate");
         n->SetMtl(multi);
     },
     [] {
         Mtl* multi = Node("Crate")->GetMtl();
         ASSERT_NE(multi, nullptr);
         EXPECT_EQ(multi->ClassID(), MULTI_CLASS_ID);
         ASSERT_EQ(multi->NumSubMtls(), 3);
         EXPECT_EQ(multi->GetSubMtl(1), nullptr);
         auto* wood = static_cast<StdMat2*>(multi->GetSubMtl(0));
         EXPECT_EQ(ToUTF8(wood->GetName()), "Wood");
         EXPECT_TRUE(wood->GetTwoSided());
         EXPECT_EQ(wood->GetDiffuse(0), Color(0.5f, 0.25f, 0.125f));
         EXPECT_EQ(wood->GetTexmapAmt(ID_DI, 0), 0.5f);
         EXPECT_FALSE(wood->MapEnabled(ID_BU));
         auto* map = static_cast<BitmapTex*>(wood->GetSubTexmap(ID_DI));
         ASSERT_NE(map, nullptr);
         EXPECT_EQ(ToUTF8(map->GetMapName()), "wood.dds");
         EXPECT_EQ(map->GetMapChannel(), 2);
         EXPECT_EQ(map->GetTextureTiling(), U_WRAP | V_MIRROR);
         EXPECT_EQ(map->GetUVGen()->GetUOffs(2400), 0.5f);
         // The scene library keeps its materials, shared with the nodes' ones.
         MtlBaseLib& lib = Host().GetSceneMtls();
         ASSERT_EQ(lib.Count(), 4);
         EXPECT_EQ(lib.FindMtl(wood), 0);
         Mtl* deck = static_cast<Mtl*>(lib[3]);
         EXPECT_EQ(deck->ClassID(), DECK_MTL_CLASS_ID);
         PBBitmap* bm = deck->GetParamBlock(0)->GetBitmap(3);
         ASSERT_NE(bm, nullptr);
         EXPECT_EQ(ToUTF8(bm->bi.Name()), "deck_base.dds");
         EXPECT_EQ(deck->GetParamBlock(0)->GetBitmap(0), nullptr);
     }},
    {"SharedObjects",
     [](SceneBuilder& b) {
         INode* a = b.Box("A");
         INode* c = b.Node("B", a->GetObjectRef());
         StdMat2* m = b.StandardMaterial("Shared");
         a->SetMtl(m);
         c->SetMtl(m);
         c->SetVisController(zyscene::FloatKeys({{0, 1.f}}));
         a->SetVisController(c->GetVisController());
     },
     [] {
         EXPECT_EQ(Node("A")->GetObjectRef(), Node("B")->GetObjectRef());
         EXPECT_EQ(Node("A")->GetMtl(), Node("B")->GetMtl());
         EXPECT_EQ(Node("A")->GetVisController(), Node("B")->GetVisController());
     }},
    {"SceneSettings",
     [](SceneBuilder& b) {
         b.Box("Only");
         Host().SetCurFilePath(_M("/scenes/tank.max"));
         SetTicksPerFrame(200);
         Host().SetAnimRange(Interval(-480, 9600));
         Host().SetTime(320, FALSE);
     },
     [] {
         EXPECT_EQ(ToUTF8(Host().GetCurFilePath()), "/scenes/tank.max");
         EXPECT_EQ(GetTicksPerFrame(), 200);
         EXPECT_EQ(Host().GetAnimRange(), Interval(-480, 9600));
         EXPECT_EQ(Host().GetTime(), 320);
         SetTicksPerFrame(160);
     }},
};

INSTANTIATE_TEST_SUITE_P(Kinds, SceneRoundTrip, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<SceneCase>& info) { return std::string(info.param.name); });

TEST(SceneRoundTripBezier, HandlesAreKeptExactly) {
    Host().ResetScene();
    SceneBuilder b;
    auto* s = new SplineShapeObject();
    const std::vector<SplineShapeObject::Knot> knots{{{0, 0, 0}, {-0.3f, 0, 0}, {1, 2.1f, 0}},
                                                     {{4, 0, 0}, {3, -2, 0.7f}, {4.5f, 0.1f, 0}}};
    s->AddBezierCurve(knots, true);
    b.Node("Curve", s);
    RoundTrip();
    auto* loaded = static_cast<SplineShapeObject*>(Node("Curve")->GetObjectRef());
    ASSERT_TRUE(loaded->CurveClosed(0, 0));
    std::vector<SplineShapeObject::Knot> back = loaded->CurveKnots(0);
    ASSERT_EQ(back.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(back[i].p, knots[i].p);
        EXPECT_EQ(back[i].in, knots[i].in);
        EXPECT_EQ(back[i].out, knots[i].out);
    }
    Host().ResetScene();
}

TEST(ExampleScene, LoadsAndRoundTrips) {
    zyhost::LoadSceneFile(std::string(ZY_PLUGCFG_DIR) + "/scenes/example.json", Host());
    RoundTrip();
    EXPECT_EQ(Host().GetRootNode()->NumberOfChildren(), 2);
    INode* hull = Node("Hull");
    ASSERT_NE(hull, nullptr);
    EXPECT_EQ(ToUTF8(hull->GetParentNode()->GetName()), "Vehicle");
    EXPECT_EQ(MeshOf("Hull").getNumFaces(), 12);
    EXPECT_EQ(MeshOf("Hull").faces[11].getSmGroup(), 32u);
    // The multi-material's first slot is the hull's material, not a copy.
    Mtl* turret = Node("Turret")->GetMtl();
    ASSERT_EQ(turret->NumSubMtls(), 2);
    EXPECT_EQ(turret->GetSubMtl(0), hull->GetMtl());
    EXPECT_EQ(Node("Barrel")->GetMtl(), turret);
    EXPECT_EQ(Node("Headlight")->GetObjectRef()->SuperClassID(), LIGHT_CLASS_ID);
    EXPECT_EQ(Node("Antenna")->GetObjectRef()->SuperClassID(), SHAPE_CLASS_ID);
    EXPECT_EQ(Host().GetSceneMtls().Count(), 2);
    Host().ResetScene();
}

} // namespace
