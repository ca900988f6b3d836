#pragma once
// Materials and texture maps.
//
// The standard material (StdMat2) presents its parameters as sub-animatables:
//   "Shader Basic Parameters" -> "Parameters" -> "Ambient Color", "Diffuse Color",
//       "Specular Color", "Specular Level", "Glossiness", "Self-Illum Color"
//   "Maps" -> "<slot name> Amount" for each of the 12 map slots
// and its map slots through parameter block "maps" (parameters "maps", "mapEnables"
// and "mapAmounts", tables indexed by the slot ids below). A bitmap map has the
// sub-animatable "Coordinates" (its StdUVGen) -> "Parameters" -> "U Offset",
// "V Offset", "U Tiling", "V Tiling", "W Angle".
#include <vector>

#include "maxsdk/Matrix3.h"
#include "maxsdk/Reference.h"

class Texmap;
class StdUVGen;

// Standard material map slots (index into the slot tables and sub-maps).
constexpr int ID_AM = 0;  // "Ambient Color"
constexpr int ID_DI = 1;  // "Diffuse Color"
constexpr int ID_SP = 2;  // "Specular Color"
constexpr int ID_SS = 3;  // "Specular Level"
constexpr int ID_SH = 4;  // "Glossiness"
constexpr int ID_SI = 5;  // "Self-Illumination"
constexpr int ID_OP = 6;  // "Opacity"
constexpr int ID_FI = 7;  // "Filter Color"
constexpr int ID_BU = 8;  // "Bump"
constexpr int ID_RL = 9;  // "Reflection"
constexpr int ID_RR = 10; // "Refraction"
constexpr int ID_DP = 11; // "Displacement"
constexpr int STD2_NMAX_TEXMAPS = 12;

// Texture tiling flags.
constexpr int U_WRAP = 1 << 0;
constexpr int V_WRAP = 1 << 1;
constexpr int U_MIRROR = 1 << 2;
constexpr int V_MIRROR = 1 << 3;

class ZYHOST_API MtlBase : public ReferenceTarget {
public:
    virtual MSTR GetName() { return name_; }
    virtual void SetName(const MSTR& name) { name_ = name; }
    virtual int NumSubTexmaps() { return 0; }
    virtual Texmap* GetSubTexmap(int i) { return nullptr; }
    virtual void SetSubTexmap(int i, Texmap* m) {}
    virtual MSTR GetSubTexmapSlotName(int i) { return MSTR(); }
    // Whether slot i is switched on.
    virtual int SubTexmapOn(int i) { return 1; }

private:
    MSTR name_;
};

class ZYHOST_API Mtl : public MtlBase {
public:
    SClass_ID SuperClassID() override { return MATERIAL_CLASS_ID; }
    virtual int NumSubMtls() { return 0; }
    virtual Mtl* GetSubMtl(int i) { return nullptr; }
    virtual void SetSubMtl(int i, Mtl* m) {}
    virtual MSTR GetSubMtlSlotName(int i) { return MSTR(); }
    virtual Color GetAmbient(int mtlNum = 0, BOOL backFace = FALSE) { return {}; }
    virtual Color GetDiffuse(int mtlNum = 0, BOOL backFace = FALSE) { return {}; }
    virtual Color GetSpecular(int mtlNum = 0, BOOL backFace = FALSE) { return {}; }
};

class ZYHOST_API UVGen : public MtlBase {
public:
    SClass_ID SuperClassID() override { return UVGEN_CLASS_ID; }
    virtual void GetUVTransform(Matrix3& uvtrans) = 0;
    virtual int GetTextureTiling() = 0;
    virtual int GetMapChannel() = 0;
};

// The standard texture coordinates: offsets, tiling and angle in parameters.
// UV transform = T(-0.5, -0.5) * Rz(W angle) * S(U tiling, V tiling) * T(0.5 + U offset, 0.5 + V offset).
class ZYHOST_API StdUVGen : public UVGen {
public:
    Class_ID ClassID() override { return STDUV_CLASS_ID; }
    virtual float GetUOffs(TimeValue t) = 0;
    virtual float GetVOffs(TimeValue t) = 0;
    virtual void SetUOffs(float f, TimeValue t) = 0;
    virtual void SetVOffs(float f, TimeValue t) = 0;
    virtual float GetUScl(TimeValue t) = 0;
    virtual float GetVScl(TimeValue t) = 0;
    virtual void SetUScl(float f, TimeValue t) = 0;
    virtual void SetVScl(float f, TimeValue t) = 0;
    virtual float GetAng(TimeValue t) = 0; // W angle, radians
    virtual void SetAng(float f, TimeValue t) = 0;
    virtual void SetMapChannel(int channel) = 0;
    virtual void SetTextureTiling(int tiling) = 0;
};

class ZYHOST_API Texmap : public MtlBase {
public:
    SClass_ID SuperClassID() override { return TEXMAP_CLASS_ID; }
    virtual int GetMapChannel() { return 1; }
    virtual void GetUVTransform(Matrix3& uvtrans) { uvtrans.IdentityMatrix(); }
    virtual int GetTextureTiling() { return U_WRAP | V_WRAP; }
    virtual UVGen* GetTheUVGen() { return nullptr; }
};

class ZYHOST_API BitmapTex : public Texmap {
public:
    Class_ID ClassID() override { return BMTEX_CLASS_ID; }
    virtual const MCHAR* GetMapName() = 0;
    virtual void SetMapName(const MCHAR* name) = 0;
    virtual StdUVGen* GetUVGen() = 0;
};

// The shading model of a standard material; its parameters are in its block
// "Parameters" (colours, "Specular Level" and "Glossiness" as percentages / 100).
class ZYHOST_API Shader : public ReferenceTarget {
public:
    SClass_ID SuperClassID() override { return SHADER_CLASS_ID; }
    virtual Color GetAmbientClr(TimeValue t) = 0;
    virtual Color GetDiffuseClr(TimeValue t) = 0;
    virtual Color GetSpecularClr(TimeValue t) = 0;
    virtual Color GetSelfIllumColor(TimeValue t) = 0;
    virtual float GetSpecularLevel(TimeValue t) = 0;
    virtual float GetGlossiness(TimeValue t) = 0;
    virtual void SetAmbientClr(const Color& c, TimeValue t) = 0;
    virtual void SetDiffuseClr(const Color& c, TimeValue t) = 0;
    virtual void SetSpecularClr(const Color& c, TimeValue t) = 0;
    virtual void SetSelfIllumColor(const Color& c, TimeValue t) = 0;
    virtual void SetSpecularLevel(float v, TimeValue t) = 0;
    virtual void SetGlossiness(float v, TimeValue t) = 0;
};

class ZYHOST_API StdMat : public Mtl {
public:
    Class_ID ClassID() override { return DMTL_CLASS_ID; }
    virtual void SetTwoSided(BOOL onOff) = 0;
    virtual BOOL GetTwoSided() = 0;
    virtual Color GetAmbient(TimeValue t) = 0;
    virtual Color GetDiffuse(TimeValue t) = 0;
    virtual Color GetSpecular(TimeValue t) = 0;
    virtual void SetAmbient(const Color& c, TimeValue t) = 0;
    virtual void SetDiffuse(const Color& c, TimeValue t) = 0;
    virtual void SetSpecular(const Color& c, TimeValue t) = 0;
    virtual float GetTexmapAmt(int slot, TimeValue t) = 0;
    virtual void SetTexmapAmt(int slot, float amount, TimeValue t) = 0;
    virtual void EnableMap(int slot, BOOL onOff) = 0;
    virtual BOOL MapEnabled(int slot) = 0;
    // The time-based colour getters hide Mtl's (mtlNum, backFace) ones, so that
    // GetAmbient(t) on a standard material is never ambiguous.
};

class ZYHOST_API StdMat2 : public StdMat {
public:
    virtual Shader* GetShader() = 0;
};

class ZYHOST_API MultiMtl : public Mtl {
public:
    Class_ID ClassID() override { return MULTI_CLASS_ID; }
    virtual void SetNumSubMtls(int n) = 0;
};

// The scene's material library: the top-level materials of the scene.
class ZYHOST_API MtlBaseLib {
public:
    virtual ~MtlBaseLib() = default;
    virtual int Count() = 0;
    virtual MtlBase* operator[](int i) = 0;
    virtual int Add(MtlBase* m) = 0;
    virtual void Remove(MtlBase* m) = 0;
    virtual int FindMtl(MtlBase* m) = 0;
};
