// Scene objects: the modifier stack, skin, references, custom attributes,
// application data, lights, materials and maps.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "mem/Factories.h"
#include "mem/Objects.h"
#include "scene/SceneBuilder.h"

namespace {

using zyscene::SceneBuilder;

class SceneObjects : public ::testing::Test {
protected:
    void SetUp() override { TheMemInterface().ResetScene(); }
    void TearDown() override { TheMemInterface().ResetScene(); }
    SceneBuilder scene;
};

Modifier* XForm(const Matrix3& m) {
    auto* x = new XFormModifier();
    x->SetMatrix(m);
    return x;
}

TEST_F(SceneObjects, EvalWorldStateAppliesTheStackBottomUp) {
    INode* node = scene.Box("box", Point3(2, 2, 2));
    Object* base = node->GetObjectRef();
    // Added first = bottom of the stack: scale by 2, then (on top) move by 10 in x.
    scene.AddModifier(node, XForm(ScaleMatrix(Point3(2, 2, 2))));
    scene.AddModifier(node, XForm(TransMatrix(Point3(10, 0, 0))));

    auto* derived = static_cast<IDerivedObject*>(node->GetObjectRef());
    ASSERT_EQ(derived->SuperClassID(), GEN_DERIVOB_CLASS_ID);
    ASSERT_EQ(derived->NumModifiers(), 2);
    EXPECT_EQ(derived->GetObjRef(), base);
    EXPECT_EQ(derived->FindBaseObject(), base);

    Object* evaluated = node->EvalWorldState(0).obj;
    ASSERT_NE(evaluated, nullptr);
    ASSERT_EQ(evaluated->ClassID(), TRIOBJ_CLASS_ID);
    Mesh& out = static_cast<TriObject*>(evaluated)->GetMesh();
    EXPECT_EQ(out.getVert(0), Point3(8, -2, -2)); // (-1,-1,-1) * 2 + (10, 0, 0)
    EXPECT_EQ(static_cast<TriObject*>(base)->GetMesh().getVert(0), Point3(-1, -1, -1));

    derived->GetModifier(0)->DisableMod();
    Mesh& scaled = static_cast<TriObject*>(node->EvalWorldState(0).obj)->GetMesh();
    EXPECT_EQ(scaled.getVert(0), Point3(-2, -2, -2));
}

TEST_F(SceneObjects, SkinReportsBonesAndWeights) {
    INode* b0 = scene.Bone("b0");
    INode* b1 = scene.Bone("b1");
    INode* mesh = scene.Box("skinned");
    scene.Skin(mesh, {b0, b1}, {{{0, 0.5f}, {1, 0.5f}}, {{1, 1.f}}});

    auto* derived = static_cast<IDerivedObject*>(mesh->GetObjectRef());
    Modifier* mod = derived->GetModifier(0);
    ASSERT_EQ(mod->ClassID(), SKIN_CLASSID);
    auto* skin = static_cast<ISkin*>(mod->GetInterface(I_SKIN));
    ASSERT_NE(skin, nullptr);
    ASSERT_EQ(skin->GetNumBones(), 2);
    EXPECT_EQ(skin->GetBone(1), b1);
    ISkinContextData* ctx = skin->GetContextInterface(mesh);
    ASSERT_NE(ctx, nullptr);
    EXPECT_EQ(ctx->GetNumPoints(), 2);
    EXPECT_EQ(ctx->GetNumAssignedBones(0), 2);
    EXPECT_EQ(ctx->GetAssignedBone(1, 0), 1);
    EXPECT_FLOAT_EQ(ctx->GetBoneWeight(0, 1), 0.5f);
    EXPECT_EQ(ctx->GetAssignedBone(5, 0), -1);
    EXPECT_EQ(skin->GetContextInterface(b0), nullptr);
    mod->ReleaseInterface(I_SKIN, skin);

    // A bone node deleted from the scene leaves an empty bone slot, not a dangling one.
    TheMemInterface().DeleteNode(b0);
    EXPECT_EQ(skin->GetBone(0), nullptr);
    EXPECT_EQ(skin->GetBone(1), b1);

    EXPECT_NE(b1->EvalWorldState(0).obj->GetInterface(I_AUXILIARY_GEOMETRY), nullptr);
}

struct Probe : CustAttrib {
    explicit Probe(bool* deleted) : deleted_(deleted) {}
    ~Probe() override { *deleted_ = true; }
    Class_ID ClassID() override { return Class_ID(0x1234, 0x5678); }
    RefTargetHandle Clone(RemapDir& remap) override {
        static bool unobserved;
        auto* p = new Probe(clones_ ? clones_ : &unobserved);
        BaseClone(this, p, remap);
        return p;
    }
    bool* deleted_;
    bool* clones_ = nullptr;
};

TEST_F(SceneObjects, CustomAttributesAreOwnedByTheirContainer) {
    StdMat2* mtl = scene.StandardMaterial("m");
    EXPECT_EQ(mtl->GetCustAttribContainer(), nullptr);
    mtl->AllocCustAttribContainer();
    ICustAttribContainer* cc = mtl->GetCustAttribContainer();
    bool firstGone = false, secondGone = false, cloneGone = false;
    auto* first = new Probe(&firstGone);
    first->clones_ = &cloneGone;
    cc->AppendCustAttrib(first);
    cc->AppendCustAttrib(new Probe(&secondGone));
    ASSERT_EQ(cc->GetNumCustAttribs(), 2);
    EXPECT_EQ(cc->GetOwner(), mtl);

    // A clone of the material carries a clone of each attribute.
    auto* copy = static_cast<Mtl*>(CloneRefHierarchy(mtl));
    ASSERT_NE(copy->GetCustAttribContainer(), nullptr);
    ASSERT_EQ(copy->GetCustAttribContainer()->GetNumCustAttribs(), 2);
    EXPECT_NE(copy->GetCustAttribContainer()->GetCustAttrib(0), first);
    EXPECT_EQ(copy->GetName(), MSTR(L"m"));
    copy->DeleteMe();
    EXPECT_TRUE(cloneGone);

    cc->RemoveCustAttrib(0);
    EXPECT_TRUE(firstGone);
    EXPECT_EQ(cc->GetNumCustAttribs(), 1);
    // One deleted behind the container's back leaves no empty slot.
    bool thirdGone = false;
    auto* third = new Probe(&thirdGone);
    cc->AppendCustAttrib(third);
    third->DeleteMe();
    EXPECT_TRUE(thirdGone);
    ASSERT_EQ(cc->GetNumCustAttribs(), 1);
    EXPECT_NE(cc->GetCustAttrib(0), nullptr);
    EXPECT_FALSE(secondGone);
    TheMemInterface().ResetScene(); // the library drops the material, the material its attributes
    EXPECT_TRUE(secondGone);
}

TEST_F(SceneObjects, AppDataByOwnerAndSubId) {
    INode* node = scene.Node("n");
    const Class_ID owner(0x6354239d, 0x4ddd9351);
    auto put = [&](DWORD sub, std::int32_t value) {
        void* data = MAX_malloc(4);
        std::memcpy(data, &value, 4);
        node->AddAppDataChunk(owner, UTILITY_CLASS_ID, sub, 4, data);
    };
    put(11, 3);
    put(10, 4);
    put(11, 1); // replaces
    AppDataChunk* c = node->GetAppDataChunk(owner, UTILITY_CLASS_ID, 11);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->length, 4u);
    EXPECT_EQ(*static_cast<std::int32_t*>(c->data), 1);
    EXPECT_EQ(node->GetAppDataChunk(owner, GUP_CLASS_ID, 11), nullptr);
    EXPECT_TRUE(node->RemoveAppDataChunk(owner, UTILITY_CLASS_ID, 10));
    EXPECT_EQ(node->GetAppDataChunk(owner, UTILITY_CLASS_ID, 10), nullptr);
}

// Records the messages a maker receives from the controller it references.
struct Listener : ReferenceMaker {
    int NumRefs() override { return 1; }
    RefTargetHandle GetReference(int) override { return target; }
    void SetReference(int, RefTargetHandle t) override { target = t; }
    RefResult NotifyRefChanged(const Interval&, RefTargetHandle h, PartID&, RefMessage m, BOOL) override {
        messages.push_back(m);
        if (m == REFMSG_TARGET_DELETED) deletedSeen = true;
        return REF_SUCCEED;
    }
    RefTargetHandle target = nullptr;
    std::vector<RefMessage> messages;
    bool deletedSeen = false;
};

TEST_F(SceneObjects, ChangesReachDependentsThroughTheChain) {
    INode* node = scene.Node("n");
    Listener listener;
    listener.ReplaceReference(0, node);
    Point3 p(1, 2, 3);
    node->GetTMController()->GetPositionController()->SetValue(0, &p, 1, CTRL_ABSOLUTE);
    // position controller -> PRS -> node -> listener
    EXPECT_NE(std::find(listener.messages.begin(), listener.messages.end(), REFMSG_CHANGE), listener.messages.end());

    TheMemInterface().DeleteNode(node);
    EXPECT_TRUE(listener.deletedSeen);
    EXPECT_EQ(listener.target, nullptr);
}

struct CollectDependents : DependentEnumProc {
    int proc(ReferenceMaker* m) override {
        seen.push_back(m);
        return m == stopAt ? DEP_ENUM_HALT : DEP_ENUM_CONTINUE;
    }
    std::vector<ReferenceMaker*> seen;
    ReferenceMaker* stopAt = nullptr;
};

TEST_F(SceneObjects, EnumeratingDependentsVisitsEachOnce) {
    INode* node = scene.Node("n");
    Control* prs = node->GetTMController();
    Control* pos = prs->GetPositionController();
    Listener a, b; // two makers of the node
    a.ReplaceReference(0, node);
    b.ReplaceReference(0, node);
    CollectDependents all;
    EXPECT_EQ(pos->DoEnumDependents(&all), 0);
    EXPECT_EQ(all.seen, (std::vector<ReferenceMaker*>{pos, prs, node, &a, &b}));
    EXPECT_EQ(a.SuperClassID(), REF_MAKER_CLASS_ID);

    CollectDependents halted;
    halted.stopAt = node;
    EXPECT_EQ(pos->DoEnumDependents(&halted), 1);
    EXPECT_EQ(halted.seen.size(), 3u);
    a.DeleteAllRefsFromMe();
    b.DeleteAllRefsFromMe();
}

TEST_F(SceneObjects, UnreferencedTargetsAreDeleted) {
    bool gone = false;
    Listener holder;
    holder.ReplaceReference(0, new Probe(&gone));
    holder.DeleteReference(0);
    EXPECT_TRUE(gone);
}

TEST_F(SceneObjects, LightParametersAreSubAnimatables) {
    INode* node = scene.Light("omni", OMNI_LIGHT_CLASS_ID);
    GenLight* light = SceneBuilder::LightOf(node);
    light->SetRGBColor(0, Point3(1, 0.5f, 0));
    light->SetAtten(0, ATTEN_END, 100.f);
    Animatable* params = zyscene::SubAnimByPath(light, {L"Parameters"});
    ASSERT_NE(params, nullptr);
    EXPECT_GE(zyscene::SubAnimIndex(params, L"Color"), 0);
    EXPECT_EQ(zyscene::SubAnimByPath(light, {L"Parameters", L"Color"}), nullptr); // no controller yet
    EXPECT_EQ(zyscene::SubAnimIndex(params, L"Colour"), -1);

    // A controller on "Multiplier" drives the intensity.
    Control* mult = zyscene::FloatKeys({{0, 1.f}, {4800, 3.f}});
    ASSERT_TRUE(zyscene::AssignController(params, L"Multiplier", mult));
    EXPECT_EQ(zyscene::SubAnimByPath(light, {L"Parameters", L"Multiplier"}), mult);
    EXPECT_FLOAT_EQ(light->GetIntensity(2400), 2.f);

    LightState ls;
    Interval valid = FOREVER;
    light->EvalLightState(0, valid, &ls);
    EXPECT_EQ(ls.color, Color(1, 0.5f, 0));
    EXPECT_FLOAT_EQ(ls.attenEnd, 100.f);
    EXPECT_EQ(ls.type, OMNI_LGT);

    INode* spot = scene.Light("spot", SPOT_LIGHT_CLASS_ID);
    ASSERT_NE(spot->GetTarget(), nullptr);
    EXPECT_EQ(SceneBuilder::LightOf(spot)->Type(), SPOT_LGT);
    BitmapTex* proj = SceneBuilder::Bitmap("c:\\maps\\Gobo.png");
    SceneBuilder::LightOf(spot)->SetProjMap(proj);
    EXPECT_EQ(SceneBuilder::LightOf(spot)->GetProjMap(), proj);
}

TEST_F(SceneObjects, StandardMaterialParametersAndMaps) {
    StdMat2* m = scene.StandardMaterial("metal");
    m->SetDiffuse(Color(0.2f, 0.4f, 0.6f), 0);
    for (const auto& path : std::vector<std::vector<MSTR>>{
             {L"Shader Basic Parameters", L"Parameters"}, {L"Maps"}}) {
        EXPECT_NE(zyscene::SubAnimByPath(m, path), nullptr);
    }
    Animatable* shaderParams = zyscene::SubAnimByPath(m, {L"Shader Basic Parameters", L"Parameters"});
    for (const MCHAR* name : {L"Ambient Color", L"Diffuse Color", L"Specular Level", L"Glossiness", L"Self-Illum Color"})
        EXPECT_GE(zyscene::SubAnimIndex(shaderParams, name), 0) << ToUTF8(name);
    EXPECT_GE(zyscene::SubAnimIndex(zyscene::SubAnimByPath(m, {L"Maps"}), L"Diffuse Color Amount"), 0);
    EXPECT_EQ(m->GetShader()->GetDiffuseClr(0), Color(0.2f, 0.4f, 0.6f));
    EXPECT_EQ(m->GetDiffuse(0), Color(0.2f, 0.4f, 0.6f));
    EXPECT_EQ(static_cast<Mtl*>(m)->GetDiffuse(), Color(0.2f, 0.4f, 0.6f));

    // The map amounts as the float table "mapAmounts" of the block named "maps".
    m->SetTexmapAmt(ID_SH, 0.25f, 0);
    IParamBlock2* maps = m->GetParamBlock(0);
    ASSERT_EQ(maps->GetDesc()->int_name, MSTR(L"maps"));
    ParamID amounts = -1;
    for (int i = 0; i < maps->NumParams(); ++i)
        if (maps->GetDesc()->paramdefs[std::size_t(i)].int_name == L"mapAmounts") amounts = maps->IndextoID(i);
    float v = 0;
    Interval iv = FOREVER;
    ASSERT_TRUE(maps->GetValue(amounts, 0, v, iv, ID_SH));
    EXPECT_FLOAT_EQ(v, 0.25f);
    EXPECT_FALSE(maps->GetValue(amounts, 0, v, iv, STD2_NMAX_TEXMAPS)); // past the table

    BitmapTex* bmp = SceneBuilder::Bitmap("D:\\Art\\Hull_Diffuse.TGA", 2, U_WRAP | V_MIRROR);
    m->SetSubTexmap(ID_DI, bmp);
    EXPECT_EQ(m->GetSubTexmapSlotName(ID_DI), MSTR(L"Diffuse Color"));
    EXPECT_EQ(m->GetSubTexmap(ID_DI), bmp);
    EXPECT_TRUE(m->SubTexmapOn(ID_DI));
    m->EnableMap(ID_DI, FALSE);
    EXPECT_FALSE(m->SubTexmapOn(ID_DI));
    EXPECT_EQ(bmp->GetMapChannel(), 2);
    EXPECT_EQ(bmp->GetTextureTiling() & V_MIRROR, V_MIRROR);
}

TEST_F(SceneObjects, BitmapCoordinatesAreAnimatableOffsets) {
    BitmapTex* bmp = SceneBuilder::Bitmap("a.png");
    bmp->GetUVGen()->SetUOffs(0.25f, 0);
    bmp->GetUVGen()->SetVOffs(0.5f, 0);
    // With unit tiling and no angle the transform is a translation by the offsets.
    Matrix3 uv;
    bmp->GetUVTransform(uv);
    EXPECT_TRUE(uv.Equals(TransMatrix(Point3(0.25f, 0.5f, 0)), 1e-6f));

    Animatable* params = zyscene::SubAnimByPath(bmp, {L"Coordinates", L"Parameters"});
    ASSERT_TRUE(zyscene::AssignController(params, L"U Offset", zyscene::FloatKeys({{0, 0.f}, {100, 1.f}})));
    EXPECT_FLOAT_EQ(bmp->GetUVGen()->GetUOffs(50), 0.5f);
    EXPECT_FLOAT_EQ(bmp->GetUVGen()->GetVOffs(50), 0.5f);

    // A clone has coordinates of its own with the same values.
    auto* copy = static_cast<BitmapTex*>(CloneRefHierarchy(bmp));
    ASSERT_NE(copy->GetUVGen(), bmp->GetUVGen());
    EXPECT_FLOAT_EQ(copy->GetUVGen()->GetUOffs(50), 0.5f);
    copy->GetUVGen()->SetVOffs(0.75f, 0);
    EXPECT_FLOAT_EQ(bmp->GetUVGen()->GetVOffs(0), 0.5f);
    copy->DeleteMe();
    bmp->DeleteMe();
}

TEST_F(SceneObjects, MultiAndDeckMaterials) {
    StdMat2* a = scene.StandardMaterial("a");
    MultiMtl* multi = scene.MultiMaterial("multi", {a, nullptr, a});
    EXPECT_EQ(multi->NumSubMtls(), 3);
    EXPECT_EQ(multi->GetSubMtl(1), nullptr);
    EXPECT_EQ(multi->GetSubMtl(2), a);

    Mtl* deck = scene.DeckMaterial("deck", {{"BaseColorMap", "c:\\tex\\Deck_Base.dds"}});
    ASSERT_EQ(deck->ClassID(), DECK_MTL_CLASS_ID);
    IParamBlock2* pb = deck->GetParamBlock(0);
    ASSERT_EQ(pb->NumParams(), 8);
    int found = 0;
    for (int i = 0; i < pb->NumParams(); ++i) {
        ParamID id = pb->IndextoID(i);
        PBBitmap* bm = pb->GetBitmap(id);
        if (pb->GetLocalName(id) == L"BaseColorMap") {
            ASSERT_NE(bm, nullptr);
            EXPECT_EQ(MSTR(bm->bi.Name()), MSTR(L"c:\\tex\\Deck_Base.dds"));
            ++found;
        } else {
            EXPECT_EQ(bm, nullptr);
        }
    }
    EXPECT_EQ(found, 1);
    EXPECT_EQ(TheMemInterface().GetSceneMtls().Count(), 3);
}

TEST_F(SceneObjects, ShapesInterpolatePieces) {
    INode* node = scene.Shape("rect", {{{0, 0, 0}, {2, 0, 0}, {2, 1, 0}, {0, 1, 0}}}, true);
    auto* shape = static_cast<ShapeObject*>(node->EvalWorldState(0).obj);
    ASSERT_EQ(shape->SuperClassID(), SHAPE_CLASS_ID);
    EXPECT_EQ(shape->NumberOfCurves(0), 1);
    EXPECT_EQ(shape->NumberOfPieces(0, 0), 4);
    EXPECT_EQ(shape->InterpPiece3D(0, 0, 3, 0.f), Point3(0, 1, 0));
    EXPECT_EQ(shape->InterpPiece3D(0, 0, 3, 1.f), Point3(0, 0, 0)); // closes the loop
    EXPECT_TRUE(shape->InterpPiece3D(0, 0, 0, 0.5f).Equals(Point3(1, 0, 0), 1e-6f));
    EXPECT_EQ(shape->InterpPiece3D(0, 0, 9, 0.f), Point3()); // out of range is harmless
}

} // namespace
