// Standard lights: omni, target spot, free spot and directional. Their settings
// live in the parameter block "Parameters"; a parameter with a controller is
// evaluated from it.
#include "maxsdk/Light.h"
#include "maxsdk/Mtl.h"
#include "mem/Factories.h"
#include "mem/ParamBlock.h"

namespace {

enum LightParam : ParamID { kColor, kMultiplier, kHotspot, kFalloff, kNearStart, kNearEnd, kFarStart, kFarEnd };

ParamBlockDesc2 LightParams() {
    ParamBlockDesc2 d;
    d.ID = 0;
    d.int_name = _M("parameters");
    d.paramdefs = {
        MakeParamDef(kColor, _M("color"), _M("Color"), TYPE_RGBA),
        MakeParamDef(kMultiplier, _M("multiplier"), _M("Multiplier"), TYPE_FLOAT),
        MakeParamDef(kHotspot, _M("hotspot"), _M("Hotspot"), TYPE_FLOAT),
        MakeParamDef(kFalloff, _M("falloff"), _M("Falloff"), TYPE_FLOAT),
        MakeParamDef(kNearStart, _M("nearAttenStart"), _M("Attenuation Near Start"), TYPE_FLOAT),
        MakeParamDef(kNearEnd, _M("nearAttenEnd"), _M("Attenuation Near End"), TYPE_FLOAT),
        MakeParamDef(kFarStart, _M("farAttenStart"), _M("Attenuation Far Start"), TYPE_FLOAT),
        MakeParamDef(kFarEnd, _M("farAttenEnd"), _M("Attenuation Far End"), TYPE_FLOAT),
    };
    return d;
}

class StandardLight : public GenLight {
public:
    StandardLight(Class_ID id, LightType type, bool loading = false) : id_(id), type_(type) {
        if (loading) return;
        IParamBlock2* pb = CreateParameterBlock2(LightParams());
        ReplaceReference(0, pb);
        pb->SetValue(kColor, 0, Color(1, 1, 1));
        pb->SetValue(kMultiplier, 0, 1.f);
        pb->SetValue(kHotspot, 0, 43.f);
        pb->SetValue(kFalloff, 0, 45.f);
        pb->SetValue(kNearEnd, 0, 40.f);
        pb->SetValue(kFarStart, 0, 80.f);
        pb->SetValue(kFarEnd, 0, 200.f);
    }

    Class_ID ClassID() override { return id_; }
    void GetClassName(MSTR& s) override {
        s = type_ == OMNI_LGT ? _M("Omni") : (type_ == SPOT_LGT ? _M("Spot") : _M("Directional"));
    }
    LightType Type() override { return type_; }

    RefResult EvalLightState(TimeValue t, Interval& valid, LightState* ls) override {
        ls->type = type_;
        ls->color = Color(GetRGBColor(t, valid));
        ls->intens = GetIntensity(t, valid);
        ls->hotsize = GetHotspot(t, valid);
        ls->fallsize = GetFallsize(t, valid);
        ls->nearAttenStart = GetAtten(t, ATTEN1_START, valid);
        ls->nearAttenEnd = GetAtten(t, ATTEN1_END, valid);
        ls->attenStart = GetAtten(t, ATTEN_START, valid);
        ls->attenEnd = GetAtten(t, ATTEN_END, valid);
        ls->useAtten = useAtten_;
        ls->on = on_;
        return REF_SUCCEED;
    }
    void SetUseLight(int onOff) override { on_ = onOff != 0; }
    BOOL GetUseLight() override { return on_; }

    Point3 GetRGBColor(TimeValue t, Interval& valid) override {
        Point3 c;
        Block()->GetValue(kColor, t, c, valid);
        return c;
    }
    void SetRGBColor(TimeValue t, const Point3& rgb) override { Block()->SetValue(kColor, t, rgb); }
    float GetIntensity(TimeValue t, Interval& valid) override { return Float(kMultiplier, t, valid); }
    void SetIntensity(TimeValue t, float f) override { Block()->SetValue(kMultiplier, t, f); }
    float GetHotspot(TimeValue t, Interval& valid) override { return Float(kHotspot, t, valid); }
    void SetHotspot(TimeValue t, float f) override { Block()->SetValue(kHotspot, t, f); }
    float GetFallsize(TimeValue t, Interval& valid) override { return Float(kFalloff, t, valid); }
    void SetFallsize(TimeValue t, float f) override { Block()->SetValue(kFalloff, t, f); }
    float GetAtten(TimeValue t, int which, Interval& valid) override {
        return which >= ATTEN1_START && which <= ATTEN_END ? Float(ParamID(kNearStart + which), t, valid) : 0.f;
    }
    void SetAtten(TimeValue t, int which, float f) override {
        if (which >= ATTEN1_START && which <= ATTEN_END) Block()->SetValue(ParamID(kNearStart + which), t, f);
    }
    BOOL GetUseAtten() override { return useAtten_; }
    void SetUseAtten(int s) override { useAtten_ = s != 0; }
    BOOL GetProjector() override { return projector_; }
    void SetProjector(int onOff) override { projector_ = onOff != 0; }
    Texmap* GetProjMap() override { return projMap_; }
    void SetProjMap(Texmap* map) override { ReplaceReference(1, map); }

    int NumSubs() override { return 2; }
    Animatable* SubAnim(int i) override { return GetReference(i); }
    MSTR SubAnimName(int i) override { return i == 0 ? MSTR(_M("Parameters")) : (i == 1 ? MSTR(_M("Projector Map")) : MSTR()); }
    int NumParamBlocks() override { return 1; }
    IParamBlock2* GetParamBlock(int i) override { return i == 0 ? pblock_ : nullptr; }
    int NumRefs() override { return 2; }
    RefTargetHandle GetReference(int i) override {
        return i == 0 ? static_cast<RefTargetHandle>(pblock_) : (i == 1 ? projMap_ : nullptr);
    }
    RefTargetHandle Clone(RemapDir& remap) override {
        auto* l = new StandardLight(id_, type_, true);
        l->ReplaceReference(0, remap.CloneRef(pblock_));
        l->ReplaceReference(1, remap.CloneRef(projMap_));
        l->useAtten_ = useAtten_;
        l->projector_ = projector_;
        l->on_ = on_;
        BaseClone(this, l, remap);
        return l;
    }

protected:
    void SetReference(int i, RefTargetHandle rtarg) override {
        if (i == 0) pblock_ = static_cast<IParamBlock2*>(rtarg);
        else if (i == 1) projMap_ = static_cast<Texmap*>(rtarg);
    }

private:
    IParamBlock2* Block() {
        if (!pblock_) ReplaceReference(0, CreateParameterBlock2(LightParams()));
        return pblock_;
    }
    float Float(ParamID id, TimeValue t, Interval& valid) {
        float f = 0;
        if (pblock_) pblock_->GetValue(id, t, f, valid);
        return f;
    }
    Class_ID id_;
    LightType type_;
    IParamBlock2* pblock_ = nullptr;
    Texmap* projMap_ = nullptr;
    bool useAtten_ = false;
    bool projector_ = false;
    bool on_ = true;
};

} // namespace

GenLight* NewStandardLight(Class_ID classId) {
    if (classId == OMNI_LIGHT_CLASS_ID) return new StandardLight(classId, OMNI_LGT);
    if (classId == SPOT_LIGHT_CLASS_ID || classId == FSPOT_LIGHT_CLASS_ID) return new StandardLight(classId, SPOT_LGT);
    if (classId == DIR_LIGHT_CLASS_ID) return new StandardLight(classId, DIRECT_LGT);
    return nullptr;
}
