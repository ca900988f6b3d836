// Standard, multi/sub-object and deck materials, the Blinn shader, bitmap maps and
// their texture coordinates.
#include <cmath>

#include "maxsdk/Interface.h"
#include "maxsdk/ParamBlock.h"
#include "mem/Factories.h"
#include "mem/ParamBlock.h"

namespace {

TimeValue Now() { return GetCOREInterface() ? GetCOREInterface()->GetTime() : 0; }

const MCHAR* const kSlotNames[STD2_NMAX_TEXMAPS] = {
    _M("Ambient Color"), _M("Diffuse Color"), _M("Specular Color"), _M("Specular Level"),
    _M("Glossiness"),    _M("Self-Illumination"), _M("Opacity"),  _M("Filter Color"),
    _M("Bump"),          _M("Reflection"),    _M("Refraction"),   _M("Displacement"),
};

// An object whose one reference is its parameter block, shown as "Parameters".
template <class Base>
class WithParamBlock : public Base {
public:
    int NumSubs() override { return 1; }
    Animatable* SubAnim(int i) override { return i == 0 ? pb_ : nullptr; }
    MSTR SubAnimName(int i) override { return i == 0 ? MSTR(_M("Parameters")) : MSTR(); }
    int NumParamBlocks() override { return 1; }
    IParamBlock2* GetParamBlock(int i) override { return i == 0 ? pb_ : nullptr; }
    int NumRefs() override { return 1; }
    RefTargetHandle GetReference(int i) override { return i == 0 ? pb_ : nullptr; }

protected:
    void SetReference(int i, RefTargetHandle rtarg) override {
        if (i == 0) pb_ = static_cast<IParamBlock2*>(rtarg);
    }
    // Completes a clone made empty (without a block of its own).
    template <class T>
    T* CloneWithBlock(T* copy, RemapDir& remap) {
        copy->ReplaceReference(0, remap.CloneRef(pb_));
        this->BaseClone(this, copy, remap);
        return copy;
    }

    IParamBlock2* pb_ = nullptr;
};

// ---- Blinn shader ----

enum ShaderParam : ParamID { kAmbient, kDiffuse, kSpecular, kSpecLevel, kGlossiness, kSelfIllum };

class BlinnShader : public WithParamBlock<Shader> {
public:
    explicit BlinnShader(bool loading = false) {
        if (loading) return;
        ParamBlockDesc2 d;
        d.int_name = _M("blinnBasic");
        d.paramdefs = {
            MakeParamDef(kAmbient, _M("ambient"), _M("Ambient Color"), TYPE_RGBA),
            MakeParamDef(kDiffuse, _M("diffuse"), _M("Diffuse Color"), TYPE_RGBA),
            MakeParamDef(kSpecular, _M("specular"), _M("Specular Color"), TYPE_RGBA),
            MakeParamDef(kSpecLevel, _M("specularLevel"), _M("Specular Level"), TYPE_FLOAT),
            MakeParamDef(kGlossiness, _M("glossiness"), _M("Glossiness"), TYPE_FLOAT),
            MakeParamDef(kSelfIllum, _M("selfIllumColor"), _M("Self-Illum Color"), TYPE_RGBA),
        };
        IParamBlock2* pb = CreateParameterBlock2(d);
        ReplaceReference(0, pb);
        pb->SetValue(kAmbient, 0, Color(0.588f, 0.588f, 0.588f));
        pb->SetValue(kDiffuse, 0, Color(0.588f, 0.588f, 0.588f));
        pb->SetValue(kSpecular, 0, Color(0.9f, 0.9f, 0.9f));
        pb->SetValue(kGlossiness, 0, 0.1f);
    }
    Class_ID ClassID() override { return BLINN_SHADER_CLASS_ID; }
    void GetClassName(MSTR& s) override { s = _M("Blinn"); }

    Color GetAmbientClr(TimeValue t) override { return pb_->GetColor(kAmbient, t); }
    Color GetDiffuseClr(TimeValue t) override { return pb_->GetColor(kDiffuse, t); }
    Color GetSpecularClr(TimeValue t) override { return pb_->GetColor(kSpecular, t); }
    Color GetSelfIllumColor(TimeValue t) override { return pb_->GetColor(kSelfIllum, t); }
    float GetSpecularLevel(TimeValue t) override { return pb_->GetFloat(kSpecLevel, t); }
    float GetGlossiness(TimeValue t) override { return pb_->GetFloat(kGlossiness, t); }
    void SetAmbientClr(const Color& c, TimeValue t) override { pb_->SetValue(kAmbient, t, c); }
    void SetDiffuseClr(const Color& c, TimeValue t) override { pb_->SetValue(kDiffuse, t, c); }
    void SetSpecularClr(const Color& c, TimeValue t) override { pb_->SetValue(kSpecular, t, c); }
    void SetSelfIllumColor(const Color& c, TimeValue t) override { pb_->SetValue(kSelfIllum, t, c); }
    void SetSpecularLevel(float v, TimeValue t) override { pb_->SetValue(kSpecLevel, t, v); }
    void SetGlossiness(float v, TimeValue t) override { pb_->SetValue(kGlossiness, t, v); }

    RefTargetHandle Clone(RemapDir& remap) override { return CloneWithBlock(new BlinnShader(true), remap); }
};

// ---- standard material ----

enum MapsParam : ParamID { kMaps, kMapEnables, kMapAmounts };

ParamBlockDesc2 MapsBlock() {
    ParamBlockDesc2 d;
    d.ID = 0;
    d.int_name = _M("maps");
    ParamDef maps = MakeParamDef(kMaps, _M("maps"), _M("Maps"), TYPE_TEXMAP_TAB, false, STD2_NMAX_TEXMAPS);
    ParamDef enables = MakeParamDef(kMapEnables, _M("mapEnables"), _M("Map Enables"), TYPE_BOOL_TAB, false, STD2_NMAX_TEXMAPS);
    ParamDef amounts = MakeParamDef(kMapAmounts, _M("mapAmounts"), _M("Map Amounts"), TYPE_FLOAT_TAB, true, STD2_NMAX_TEXMAPS);
    for (const MCHAR* name : kSlotNames) {
        maps.tab_local_names.push_back(name);
        enables.tab_local_names.push_back(name);
        amounts.tab_local_names.push_back(MSTR(name) + _M(" Amount"));
    }
    d.paramdefs = {maps, enables, amounts};
    return d;
}

class StandardMaterial : public StdMat2 {
public:
    explicit StandardMaterial(bool loading = false) {
        if (loading) return;
        ReplaceReference(0, NewBlinnShader());
        IParamBlock2* maps = CreateParameterBlock2(MapsBlock());
        ReplaceReference(1, maps);
        for (int i = 0; i < STD2_NMAX_TEXMAPS; ++i) {
            maps->SetValue(kMapEnables, 0, 1, i);
            maps->SetValue(kMapAmounts, 0, 1.f, i);
        }
    }
    void GetClassName(MSTR& s) override { s = _M("Standard"); }

    Shader* GetShader() override { return shader_; }
    void SetTwoSided(BOOL onOff) override { twoSided_ = onOff != 0; }
    BOOL GetTwoSided() override { return twoSided_; }
    Color GetAmbient(TimeValue t) override { return shader_ ? shader_->GetAmbientClr(t) : Color(); }
    Color GetDiffuse(TimeValue t) override { return shader_ ? shader_->GetDiffuseClr(t) : Color(); }
    Color GetSpecular(TimeValue t) override { return shader_ ? shader_->GetSpecularClr(t) : Color(); }
    void SetAmbient(const Color& c, TimeValue t) override { if (shader_) shader_->SetAmbientClr(c, t); }
    void SetDiffuse(const Color& c, TimeValue t) override { if (shader_) shader_->SetDiffuseClr(c, t); }
    void SetSpecular(const Color& c, TimeValue t) override { if (shader_) shader_->SetSpecularClr(c, t); }
    Color GetAmbient(int, BOOL) override { return GetAmbient(Now()); }
    Color GetDiffuse(int, BOOL) override { return GetDiffuse(Now()); }
    Color GetSpecular(int, BOOL) override { return GetSpecular(Now()); }
    float GetTexmapAmt(int slot, TimeValue t) override { return maps_ ? maps_->GetFloat(kMapAmounts, t, slot) : 0.f; }
    void SetTexmapAmt(int slot, float amount, TimeValue t) override { if (maps_) maps_->SetValue(kMapAmounts, t, amount, slot); }
    void EnableMap(int slot, BOOL onOff) override { if (maps_) maps_->SetValue(kMapEnables, 0, onOff ? 1 : 0, slot); }
    BOOL MapEnabled(int slot) override { return maps_ && maps_->GetInt(kMapEnables, 0, slot) != 0; }

    int NumSubTexmaps() override { return STD2_NMAX_TEXMAPS; }
    Texmap* GetSubTexmap(int i) override { return maps_ ? maps_->GetTexmap(kMaps, 0, i) : nullptr; }
    void SetSubTexmap(int i, Texmap* m) override { if (maps_) maps_->SetValue(kMaps, 0, m, i); }
    MSTR GetSubTexmapSlotName(int i) override { return i >= 0 && i < STD2_NMAX_TEXMAPS ? MSTR(kSlotNames[i]) : MSTR(); }
    int SubTexmapOn(int i) override { return MapEnabled(i); }

    int NumSubs() override { return 2; }
    Animatable* SubAnim(int i) override { return GetReference(i); }
    MSTR SubAnimName(int i) override {
        return i == 0 ? MSTR(_M("Shader Basic Parameters")) : (i == 1 ? MSTR(_M("Maps")) : MSTR());
    }
    int NumParamBlocks() override { return 1; }
    IParamBlock2* GetParamBlock(int i) override { return i == 0 ? maps_ : nullptr; }
    int NumRefs() override { return 2; }
    RefTargetHandle GetReference(int i) override {
        return i == 0 ? static_cast<RefTargetHandle>(shader_) : (i == 1 ? maps_ : nullptr);
    }
    RefTargetHandle Clone(RemapDir& remap) override {
        auto* m = new StandardMaterial(true);
        m->ReplaceReference(0, remap.CloneRef(shader_));
        m->ReplaceReference(1, remap.CloneRef(maps_));
        m->twoSided_ = twoSided_;
        m->SetName(GetName());
        BaseClone(this, m, remap);
        return m;
    }

protected:
    void SetReference(int i, RefTargetHandle rtarg) override {
        if (i == 0) shader_ = static_cast<Shader*>(rtarg);
        else if (i == 1) maps_ = static_cast<IParamBlock2*>(rtarg);
    }

private:
    Shader* shader_ = nullptr;
    IParamBlock2* maps_ = nullptr;
    bool twoSided_ = false;
};

// ---- multi/sub-object ----

class MultiMaterial : public MultiMtl {
public:
    explicit MultiMaterial(int n) { SetNumSubMtls(n); }
    void GetClassName(MSTR& s) override { s = _M("Multi/Sub-Object"); }
    void SetNumSubMtls(int n) override {
        if (n < 0) n = 0;
        while (int(subs_.size()) > n) {
            DeleteReference(int(subs_.size()) - 1);
            subs_.pop_back();
        }
        subs_.resize(std::size_t(n), nullptr);
        NotifyDependents(FOREVER, 0, REFMSG_SUBANIM_STRUCTURE_CHANGED);
    }
    int NumSubMtls() override { return int(subs_.size()); }
    Mtl* GetSubMtl(int i) override { return i >= 0 && i < NumSubMtls() ? subs_[std::size_t(i)] : nullptr; }
    void SetSubMtl(int i, Mtl* m) override {
        if (i >= 0 && i < NumSubMtls()) ReplaceReference(i, m);
    }
    MSTR GetSubMtlSlotName(int i) override { return _M("Material #") + std::to_wstring(i + 1); }
    int NumSubs() override { return NumSubMtls(); }
    Animatable* SubAnim(int i) override { return GetSubMtl(i); }
    MSTR SubAnimName(int i) override { return GetSubMtlSlotName(i); }
    int NumRefs() override { return NumSubMtls(); }
    RefTargetHandle GetReference(int i) override { return GetSubMtl(i); }
    RefTargetHandle Clone(RemapDir& remap) override {
        auto* m = new MultiMaterial(NumSubMtls());
        for (int i = 0; i < NumSubMtls(); ++i) m->ReplaceReference(i, remap.CloneRef(subs_[std::size_t(i)]));
        m->SetName(GetName());
        BaseClone(this, m, remap);
        return m;
    }

protected:
    void SetReference(int i, RefTargetHandle rtarg) override {
        if (i >= 0 && i < NumSubMtls()) subs_[std::size_t(i)] = static_cast<Mtl*>(rtarg);
    }

private:
    std::vector<Mtl*> subs_;
};

// ---- deck material ----

class DeckMaterial : public Mtl {
public:
    explicit DeckMaterial(bool loading = false) {
        if (loading) return;
        static const MCHAR* const names[] = {_M("BaseColorTiledMap"),    _M("NormalTiledMap"),
                                             _M("RoughnessMetallicTiledMap"), _M("BaseColorMap"),
                                             _M("RoughnessMetallicMap"), _M("RainMaskMap"),
                                             _M("DamageMask"),           _M("DamageMap")};
        ParamBlockDesc2 d;
        d.int_name = _M("deckParameters");
        ParamID id = 0;
        for (const MCHAR* n : names) d.paramdefs.push_back(MakeParamDef(id++, n, n, TYPE_BITMAP, false));
        ReplaceReference(0, CreateParameterBlock2(d));
    }
    Class_ID ClassID() override { return DECK_MTL_CLASS_ID; }
    void GetClassName(MSTR& s) override { s = _M("Deck Material"); }
    int NumParamBlocks() override { return pb_ ? 1 : 0; }
    IParamBlock2* GetParamBlock(int i) override { return i == 0 ? pb_ : nullptr; }
    int NumRefs() override { return 1; }
    RefTargetHandle GetReference(int i) override { return i == 0 ? pb_ : nullptr; }
    RefTargetHandle Clone(RemapDir& remap) override {
        auto* m = new DeckMaterial(true);
        m->ReplaceReference(0, remap.CloneRef(pb_));
        m->SetName(GetName());
        BaseClone(this, m, remap);
        return m;
    }

protected:
    void SetReference(int i, RefTargetHandle rtarg) override {
        if (i == 0) pb_ = static_cast<IParamBlock2*>(rtarg);
    }

private:
    IParamBlock2* pb_ = nullptr;
};

// ---- texture coordinates and bitmap maps ----

enum UVParam : ParamID { kUOffset, kVOffset, kUTiling, kVTiling, kWAngle, kChannel, kTiling };

class MemStdUVGen : public WithParamBlock<StdUVGen> {
public:
    explicit MemStdUVGen(bool loading = false) {
        if (loading) return;
        ParamBlockDesc2 d;
        d.int_name = _M("coordinates");
        d.paramdefs = {
            MakeParamDef(kUOffset, _M("U_Offset"), _M("U Offset"), TYPE_FLOAT),
            MakeParamDef(kVOffset, _M("V_Offset"), _M("V Offset"), TYPE_FLOAT),
            MakeParamDef(kUTiling, _M("U_Tiling"), _M("U Tiling"), TYPE_FLOAT),
            MakeParamDef(kVTiling, _M("V_Tiling"), _M("V Tiling"), TYPE_FLOAT),
            MakeParamDef(kWAngle, _M("W_Angle"), _M("W Angle"), TYPE_FLOAT),
            MakeParamDef(kChannel, _M("mapChannel"), _M("Map Channel"), TYPE_INT, false),
            MakeParamDef(kTiling, _M("tiling"), _M("Tiling"), TYPE_INT, false),
        };
        IParamBlock2* pb = CreateParameterBlock2(d);
        ReplaceReference(0, pb);
        pb->SetValue(kUTiling, 0, 1.f);
        pb->SetValue(kVTiling, 0, 1.f);
        pb->SetValue(kChannel, 0, 1);
        pb->SetValue(kTiling, 0, U_WRAP | V_WRAP);
    }
    void GetClassName(MSTR& s) override { s = _M("StandardUVGen"); }

    float GetUOffs(TimeValue t) override { return pb_->GetFloat(kUOffset, t); }
    float GetVOffs(TimeValue t) override { return pb_->GetFloat(kVOffset, t); }
    void SetUOffs(float f, TimeValue t) override { pb_->SetValue(kUOffset, t, f); }
    void SetVOffs(float f, TimeValue t) override { pb_->SetValue(kVOffset, t, f); }
    float GetUScl(TimeValue t) override { return pb_->GetFloat(kUTiling, t); }
    float GetVScl(TimeValue t) override { return pb_->GetFloat(kVTiling, t); }
    void SetUScl(float f, TimeValue t) override { pb_->SetValue(kUTiling, t, f); }
    void SetVScl(float f, TimeValue t) override { pb_->SetValue(kVTiling, t, f); }
    float GetAng(TimeValue t) override { return pb_->GetFloat(kWAngle, t); }
    void SetAng(float f, TimeValue t) override { pb_->SetValue(kWAngle, t, f); }
    int GetMapChannel() override { return pb_->GetInt(kChannel); }
    void SetMapChannel(int channel) override { pb_->SetValue(kChannel, 0, channel); }
    int GetTextureTiling() override { return pb_->GetInt(kTiling); }
    void SetTextureTiling(int tiling) override { pb_->SetValue(kTiling, 0, tiling); }
    void GetUVTransform(Matrix3& m) override {
        TimeValue t = Now();
        m = TransMatrix(Point3(-0.5f, -0.5f, 0.f)) * RotateZMatrix(GetAng(t)) *
            ScaleMatrix(Point3(GetUScl(t), GetVScl(t), 1.f)) *
            TransMatrix(Point3(0.5f + GetUOffs(t), 0.5f + GetVOffs(t), 0.f));
    }

    RefTargetHandle Clone(RemapDir& remap) override { return CloneWithBlock(new MemStdUVGen(true), remap); }
};

class MemBitmapTex : public BitmapTex {
public:
    explicit MemBitmapTex(bool loading = false) {
        if (!loading) ReplaceReference(0, NewStdUVGen());
    }
    void GetClassName(MSTR& s) override { s = _M("Bitmap"); }
    const MCHAR* GetMapName() override { return mapName_.c_str(); }
    void SetMapName(const MCHAR* name) override { mapName_ = name ? name : _M(""); }
    StdUVGen* GetUVGen() override { return uvgen_; }
    UVGen* GetTheUVGen() override { return uvgen_; }
    int GetMapChannel() override { return uvgen_ ? uvgen_->GetMapChannel() : 1; }
    void GetUVTransform(Matrix3& m) override {
        if (uvgen_) uvgen_->GetUVTransform(m);
        else m.IdentityMatrix();
    }
    int GetTextureTiling() override { return uvgen_ ? uvgen_->GetTextureTiling() : (U_WRAP | V_WRAP); }

    int NumSubs() override { return 1; }
    Animatable* SubAnim(int i) override { return i == 0 ? uvgen_ : nullptr; }
    MSTR SubAnimName(int i) override { return i == 0 ? MSTR(_M("Coordinates")) : MSTR(); }
    int NumRefs() override { return 1; }
    RefTargetHandle GetReference(int i) override { return i == 0 ? uvgen_ : nullptr; }
    RefTargetHandle Clone(RemapDir& remap) override {
        auto* b = new MemBitmapTex(true);
        b->ReplaceReference(0, remap.CloneRef(uvgen_));
        b->mapName_ = mapName_;
        b->SetName(GetName());
        BaseClone(this, b, remap);
        return b;
    }

protected:
    void SetReference(int i, RefTargetHandle rtarg) override {
        if (i == 0) uvgen_ = static_cast<StdUVGen*>(rtarg);
    }

private:
    StdUVGen* uvgen_ = nullptr;
    MSTR mapName_;
};

} // namespace

StdMat2* NewStandardMaterial() { return new StandardMaterial(); }
MultiMtl* NewMultiMaterial(int numSubs) { return new MultiMaterial(numSubs); }
Mtl* NewDeckMaterial() { return new DeckMaterial(); }
BitmapTex* NewBitmapTex() { return new MemBitmapTex(); }
StdUVGen* NewStdUVGen() { return new MemStdUVGen(); }
Shader* NewBlinnShader() { return new BlinnShader(); }
