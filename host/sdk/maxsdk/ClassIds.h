#pragma once
// Class and super class identifiers: the only way objects are told apart.
#include "maxsdk/BaseTypes.h"

using SClass_ID = ULONG;

class Class_ID {
public:
    constexpr Class_ID() : a_(0xffffffff), b_(0xffffffff) {}
    constexpr Class_ID(ULONG a, ULONG b) : a_(a), b_(b) {}
    constexpr ULONG PartA() const { return a_; }
    constexpr ULONG PartB() const { return b_; }
    constexpr bool operator==(const Class_ID& o) const { return a_ == o.a_ && b_ == o.b_; }
    constexpr bool operator!=(const Class_ID& o) const { return !(*this == o); }
    constexpr bool operator<(const Class_ID& o) const { return a_ < o.a_ || (a_ == o.a_ && b_ < o.b_); }

private:
    ULONG a_, b_;
};

// Super classes.
constexpr SClass_ID BASENODE_CLASS_ID = 0x1;
constexpr SClass_ID GEN_DERIVOB_CLASS_ID = 0x2;
constexpr SClass_ID GEOMOBJECT_CLASS_ID = 0x10;
constexpr SClass_ID CAMERA_CLASS_ID = 0x20;
constexpr SClass_ID LIGHT_CLASS_ID = 0x30;
constexpr SClass_ID SHAPE_CLASS_ID = 0x40;
constexpr SClass_ID HELPER_CLASS_ID = 0x50;
constexpr SClass_ID PARAMETER_BLOCK2_CLASS_ID = 0x82;
constexpr SClass_ID REF_MAKER_CLASS_ID = 0x100;
constexpr SClass_ID REF_TARGET_CLASS_ID = 0x101;
constexpr SClass_ID OSM_CLASS_ID = 0x810;
constexpr SClass_ID SCENE_EXPORT_CLASS_ID = 0xA20;
constexpr SClass_ID MATERIAL_CLASS_ID = 0xC00;
constexpr SClass_ID TEXMAP_CLASS_ID = 0xC10;
constexpr SClass_ID UVGEN_CLASS_ID = 0xC20;
constexpr SClass_ID UTILITY_CLASS_ID = 0x1020;
constexpr SClass_ID SHADER_CLASS_ID = 0x10B0;
constexpr SClass_ID GUP_CLASS_ID = 0x10E0;
constexpr SClass_ID CUST_ATTRIB_CLASS_ID = 0x1160;
constexpr SClass_ID CUST_ATTRIB_CONTAINER_CLASS_ID = 0x1161;
constexpr SClass_ID CTRL_FLOAT_CLASS_ID = 0x9003;
constexpr SClass_ID CTRL_POINT3_CLASS_ID = 0x9005;
constexpr SClass_ID CTRL_MATRIX3_CLASS_ID = 0x9008;
constexpr SClass_ID CTRL_POSITION_CLASS_ID = 0x900B;
constexpr SClass_ID CTRL_ROTATION_CLASS_ID = 0x900C;
constexpr SClass_ID CTRL_SCALE_CLASS_ID = 0x900D;
constexpr SClass_ID CTRL_USERTYPE_CLASS_ID = 0x900F;

// The host's own classes.
constexpr Class_ID TRIOBJ_CLASS_ID(0x0009, 0);
constexpr Class_ID triObjectClassID = TRIOBJ_CLASS_ID;
constexpr Class_ID SPLINESHAPE_CLASS_ID(0x000a, 0);
constexpr Class_ID DERIVOB_CLASS_ID(0x0001, 0);
constexpr Class_ID DUMMY_CLASS_ID(0x876234, 0);
constexpr Class_ID POINTHELP_CLASS_ID(0x2013, 0);
constexpr Class_ID BONE_OBJ_CLASSID(0x28bf6e8d, 0x2ecca840);
constexpr Class_ID TARGET_CLASS_ID(0x1020, 0);
constexpr Class_ID SKIN_CLASSID(0x95c723, 0x15666);
constexpr Class_ID EDIT_MESH_MOD_CLASS_ID(0x00050, 0);
constexpr Class_ID XFORM_MOD_CLASS_ID(0x25215824, 0);
constexpr Class_ID OMNI_LIGHT_CLASS_ID(0x1011, 0);
constexpr Class_ID SPOT_LIGHT_CLASS_ID(0x1012, 0);
constexpr Class_ID DIR_LIGHT_CLASS_ID(0x1013, 0);
constexpr Class_ID FSPOT_LIGHT_CLASS_ID(0x1014, 0);
constexpr Class_ID DMTL_CLASS_ID(0x0002, 0);
constexpr Class_ID MULTI_CLASS_ID(0x0200, 0);
constexpr Class_ID DECK_MTL_CLASS_ID(0xCC02D, 0x5B07B);
constexpr Class_ID BMTEX_CLASS_ID(0x0240, 0);
constexpr Class_ID STDUV_CLASS_ID(0x0100, 0);
constexpr Class_ID BLINN_SHADER_CLASS_ID(0x0038, 0);
constexpr Class_ID LININTERP_FLOAT_CLASS_ID(0x2001, 0);
constexpr Class_ID LININTERP_POSITION_CLASS_ID(0x2002, 0);
constexpr Class_ID LININTERP_ROTATION_CLASS_ID(0x2003, 0);
constexpr Class_ID LININTERP_SCALE_CLASS_ID(0x2004, 0);
constexpr Class_ID PRS_CONTROL_CLASS_ID(0x2005, 0);
constexpr Class_ID HYBRIDINTERP_POINT3_CLASS_ID(0x200A, 0);
constexpr Class_ID ONOFF_CONTROL_CLASS_ID(0x984b8d27, 0x938f3e43);
constexpr Class_ID BIPSLAVE_CONTROL_CLASS_ID(0x9154, 0);
constexpr Class_ID BIPBODY_CONTROL_CLASS_ID(0x9156, 0);

// Interface identifiers for Animatable::GetInterface.
constexpr ULONG I_CONTROL = 0x00001001;
constexpr ULONG I_KEYCONTROL = 0x00001040;
// Geometry that stands for no surface of its own (look-at targets, bones): the
// exporter's walk skips geometry objects that answer this identifier.
constexpr ULONG I_AUXILIARY_GEOMETRY = 0x000010D0;
constexpr ULONG I_SKIN = 0x00010000;
constexpr ULONG I_SKINIMPORTDATA = 0x00020000;
