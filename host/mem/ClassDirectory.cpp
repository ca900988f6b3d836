// The class directory with the host's own classes registered.
#include "mem/ClassDirectory.h"

#include "mem/Controllers.h"
#include "mem/Factories.h"
#include "mem/Objects.h"

namespace {

// A descriptor of one of the host's own classes.
class BuiltinClassDesc : public ClassDesc2 {
public:
    BuiltinClassDesc(const MCHAR* name, SClass_ID sid, Class_ID cid, std::function<void*(BOOL)> create)
        : name_(name), sid_(sid), cid_(cid), create_(std::move(create)) {}
    int IsPublic() override { return 1; }
    void* Create(BOOL loading) override { return create_(loading); }
    const MCHAR* ClassName() override { return name_; }
    SClass_ID SuperClassID() override { return sid_; }
    Class_ID ClassID() override { return cid_; }
    const MCHAR* Category() override { return _M("Standard"); }
    const MCHAR* InternalName() override { return name_; }

private:
    const MCHAR* name_;
    SClass_ID sid_;
    Class_ID cid_;
    std::function<void*(BOOL)> create_;
};

bool EqualName(const MCHAR* a, const MSTR& b) { return a && b == a; }

} // namespace

MemClassDirectory::MemClassDirectory() {
    auto add = [this](const MCHAR* name, SClass_ID sid, Class_ID cid, std::function<void*(BOOL)> create) {
        builtins_.push_back(std::make_unique<BuiltinClassDesc>(name, sid, cid, std::move(create)));
        AddClass(builtins_.back().get());
    };
    add(_M("LinearFloat"), CTRL_FLOAT_CLASS_ID, LININTERP_FLOAT_CLASS_ID, [](BOOL) { return NewLinearFloatControl(); });
    add(_M("LinearPosition"), CTRL_POSITION_CLASS_ID, LININTERP_POSITION_CLASS_ID, [](BOOL) { return NewLinearPositionControl(); });
    add(_M("LinearRotation"), CTRL_ROTATION_CLASS_ID, LININTERP_ROTATION_CLASS_ID, [](BOOL) { return NewLinearRotationControl(); });
    add(_M("LinearScale"), CTRL_SCALE_CLASS_ID, LININTERP_SCALE_CLASS_ID, [](BOOL) { return NewLinearScaleControl(); });
    add(_M("BezierPoint3"), CTRL_POINT3_CLASS_ID, HYBRIDINTERP_POINT3_CLASS_ID, [](BOOL) { return NewBezierPoint3Control(); });
    add(_M("OnOff"), CTRL_FLOAT_CLASS_ID, ONOFF_CONTROL_CLASS_ID, [](BOOL) { return NewOnOffControl(); });
    add(_M("PRS"), CTRL_MATRIX3_CLASS_ID, PRS_CONTROL_CLASS_ID, [](BOOL loading) { return new PRSControl(PRS_CONTROL_CLASS_ID, loading != 0); });
    add(_M("Editable_Mesh"), GEOMOBJECT_CLASS_ID, TRIOBJ_CLASS_ID, [](BOOL) { return CreateNewTriObject(); });
    add(_M("SplineShape"), SHAPE_CLASS_ID, SPLINESHAPE_CLASS_ID, [](BOOL) { return new SplineShapeObject(); });
    add(_M("Dummy"), HELPER_CLASS_ID, DUMMY_CLASS_ID, [](BOOL) { return NewDummyObject(); });
    add(_M("Point"), HELPER_CLASS_ID, POINTHELP_CLASS_ID, [](BOOL) { return NewPointHelperObject(); });
    add(_M("BoneGeometry"), GEOMOBJECT_CLASS_ID, BONE_OBJ_CLASSID, [](BOOL) { return NewBoneObject(); });
    add(_M("Targetobject"), GEOMOBJECT_CLASS_ID, TARGET_CLASS_ID, [](BOOL) { return NewTargetObject(); });
    add(_M("Skin"), OSM_CLASS_ID, SKIN_CLASSID, [](BOOL) { return NewSkinModifier(); });
    add(_M("Edit_Mesh"), OSM_CLASS_ID, EDIT_MESH_MOD_CLASS_ID, [](BOOL) { return NewEditMeshModifier(); });
    add(_M("XForm"), OSM_CLASS_ID, XFORM_MOD_CLASS_ID, [](BOOL) { return new XFormModifier(); });
    add(_M("Omnilight"), LIGHT_CLASS_ID, OMNI_LIGHT_CLASS_ID, [](BOOL) { return NewStandardLight(OMNI_LIGHT_CLASS_ID); });
    add(_M("targetSpot"), LIGHT_CLASS_ID, SPOT_LIGHT_CLASS_ID, [](BOOL) { return NewStandardLight(SPOT_LIGHT_CLASS_ID); });
    add(_M("freeSpot"), LIGHT_CLASS_ID, FSPOT_LIGHT_CLASS_ID, [](BOOL) { return NewStandardLight(FSPOT_LIGHT_CLASS_ID); });
    add(_M("Directionallight"), LIGHT_CLASS_ID, DIR_LIGHT_CLASS_ID, [](BOOL) { return NewStandardLight(DIR_LIGHT_CLASS_ID); });
    add(_M("Standardmaterial"), MATERIAL_CLASS_ID, DMTL_CLASS_ID, [](BOOL) { return NewStandardMaterial(); });
    add(_M("Multimaterial"), MATERIAL_CLASS_ID, MULTI_CLASS_ID, [](BOOL) { return NewMultiMaterial(0); });
    add(_M("DeckMaterial"), MATERIAL_CLASS_ID, DECK_MTL_CLASS_ID, [](BOOL) { return NewDeckMaterial(); });
    add(_M("Bitmaptexture"), TEXMAP_CLASS_ID, BMTEX_CLASS_ID, [](BOOL) { return NewBitmapTex(); });
    add(_M("StandardUVGen"), UVGEN_CLASS_ID, STDUV_CLASS_ID, [](BOOL) { return NewStdUVGen(); });
    add(_M("Blinn"), SHADER_CLASS_ID, BLINN_SHADER_CLASS_ID, [](BOOL) { return NewBlinnShader(); });
}

MemClassDirectory::~MemClassDirectory() = default;

ClassDesc* MemClassDirectory::Get(int i) { return i >= 0 && i < Count() ? classes_[std::size_t(i)] : nullptr; }

ClassDesc* MemClassDirectory::FindClass(SClass_ID superID, Class_ID classID) {
    for (ClassDesc* cd : classes_)
        if (cd->SuperClassID() == superID && cd->ClassID() == classID) return cd;
    return nullptr;
}

ClassDesc* MemClassDirectory::FindClassByName(const MSTR& name) {
    for (ClassDesc* cd : classes_)
        if (EqualName(cd->InternalName(), name) || (!cd->InternalName() && EqualName(cd->ClassName(), name))) return cd;
    return nullptr;
}

bool MemClassDirectory::AddClass(ClassDesc* cd) {
    if (!cd || FindClass(cd->SuperClassID(), cd->ClassID())) return false;
    classes_.push_back(cd);
    return true;
}

void MemClassDirectory::RemoveClass(ClassDesc* cd) { std::erase(classes_, cd); }
