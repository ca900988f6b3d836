#pragma once
// Parameter blocks: an object's named parameters. Animatable parameters can carry
// a controller; they are the block's sub-animatables, named by their local names.
#include <vector>

#include "maxsdk/Control.h"
#include "maxsdk/Point.h"

class Texmap;
class Mtl;
class INode;

using ParamID = short;
using BlockID = short;

enum ParamType2 : int {
    TYPE_FLOAT = 0,
    TYPE_INT = 1,
    TYPE_RGBA = 2,
    TYPE_POINT3 = 3,
    TYPE_BOOL = 4,
    TYPE_ANGLE = 5,     // stored in radians
    TYPE_PCNT_FRAC = 6, // stored as a fraction
    TYPE_WORLD = 7,
    TYPE_STRING = 8,
    TYPE_FILENAME = 9,
    TYPE_TEXMAP = 10,
    TYPE_BITMAP = 11,
    TYPE_MTL = 12,
    TYPE_INODE = 13,
    TYPE_TAB = 0x800, // flag: the parameter is a table of its base type
    TYPE_FLOAT_TAB = TYPE_FLOAT | TYPE_TAB,
    TYPE_INT_TAB = TYPE_INT | TYPE_TAB,
    TYPE_BOOL_TAB = TYPE_BOOL | TYPE_TAB,
    TYPE_TEXMAP_TAB = TYPE_TEXMAP | TYPE_TAB,
};
constexpr int BaseType(int type) { return type & ~TYPE_TAB; }
constexpr bool IsTab(int type) { return (type & TYPE_TAB) != 0; }

// Parameter flags.
constexpr DWORD P_ANIMATABLE = 0x0001;

class BitmapInfo {
public:
    const MCHAR* Name() const { return name_.c_str(); }
    void SetName(const MSTR& name) { name_ = name; }

private:
    MSTR name_;
};

// A bitmap parameter's value.
class PBBitmap {
public:
    BitmapInfo bi;
};

struct ParamDef {
    ParamID ID = 0;
    MSTR int_name;   // internal (script) name
    MSTR local_name; // name shown to the artist
    int type = TYPE_FLOAT;
    DWORD flags = 0;
    int tab_size = 0;                    // entries of a table parameter
    std::vector<MSTR> tab_local_names;   // local names of table entries, when they differ
};

class ZYHOST_API ParamBlockDesc2 {
public:
    BlockID ID = 0;
    MSTR int_name;
    std::vector<ParamDef> paramdefs;
    int Count() const { return int(paramdefs.size()); }
    int IDtoIndex(ParamID id) const;
    const ParamDef* GetParamDefByID(ParamID id) const;
};

class ZYHOST_API IParamBlock2 : public ReferenceTarget {
public:
    SClass_ID SuperClassID() override { return PARAMETER_BLOCK2_CLASS_ID; }
    virtual ParamBlockDesc2* GetDesc() = 0;
    virtual BlockID ID() = 0;
    virtual int NumParams() = 0;
    virtual ParamID IndextoID(int index) = 0;
    virtual int IDtoIndex(ParamID id) = 0;
    virtual MSTR GetLocalName(ParamID id, int tabIndex = -1) = 0;
    virtual int GetParameterType(ParamID id) = 0;
    // Number of entries of a table parameter (1 for a plain parameter).
    virtual int Count(ParamID id) = 0;

    // Reads fail (FALSE) for an unknown id, a type mismatch or an entry out of range.
    // Animated parameters are evaluated from their controller.
    virtual BOOL GetValue(ParamID id, TimeValue t, float& v, Interval& ivalid, int tabIndex = 0) = 0;
    virtual BOOL GetValue(ParamID id, TimeValue t, int& v, Interval& ivalid, int tabIndex = 0) = 0;
    virtual BOOL GetValue(ParamID id, TimeValue t, Point3& v, Interval& ivalid, int tabIndex = 0) = 0;
    virtual BOOL GetValue(ParamID id, TimeValue t, Color& v, Interval& ivalid, int tabIndex = 0) = 0;
    virtual BOOL GetValue(ParamID id, TimeValue t, MSTR& v, Interval& ivalid, int tabIndex = 0) = 0;
    virtual BOOL GetValue(ParamID id, TimeValue t, Texmap*& v, Interval& ivalid, int tabIndex = 0) = 0;
    virtual BOOL GetValue(ParamID id, TimeValue t, PBBitmap*& v, Interval& ivalid, int tabIndex = 0) = 0;
    virtual BOOL GetValue(ParamID id, TimeValue t, Mtl*& v, Interval& ivalid, int tabIndex = 0) = 0;
    virtual BOOL GetValue(ParamID id, TimeValue t, INode*& v, Interval& ivalid, int tabIndex = 0) = 0;

    virtual BOOL SetValue(ParamID id, TimeValue t, float v, int tabIndex = 0) = 0;
    virtual BOOL SetValue(ParamID id, TimeValue t, int v, int tabIndex = 0) = 0;
    virtual BOOL SetValue(ParamID id, TimeValue t, const Point3& v, int tabIndex = 0) = 0;
    virtual BOOL SetValue(ParamID id, TimeValue t, const Color& v, int tabIndex = 0) = 0;
    virtual BOOL SetValue(ParamID id, TimeValue t, const MSTR& v, int tabIndex = 0) = 0;
    virtual BOOL SetValue(ParamID id, TimeValue t, Texmap* v, int tabIndex = 0) = 0;
    // The block keeps its own copy of the bitmap; null clears it.
    virtual BOOL SetValue(ParamID id, TimeValue t, const PBBitmap* v, int tabIndex = 0) = 0;
    virtual BOOL SetValue(ParamID id, TimeValue t, Mtl* v, int tabIndex = 0) = 0;
    virtual BOOL SetValue(ParamID id, TimeValue t, INode* v, int tabIndex = 0) = 0;

    virtual Control* GetControllerByID(ParamID id, int tabIndex = 0) = 0;
    // Gives an animatable parameter a controller (null removes it). With preserveValue
    // the parameter's current constant value is set into the new controller at time 0.
    virtual BOOL SetControllerByID(ParamID id, int tabIndex, Control* c, bool preserveValue = true) = 0;

    // Conveniences over GetValue: the value, or a zero value when the read fails.
    float GetFloat(ParamID id, TimeValue t = 0, int tabIndex = 0);
    int GetInt(ParamID id, TimeValue t = 0, int tabIndex = 0);
    Point3 GetPoint3(ParamID id, TimeValue t = 0, int tabIndex = 0);
    Color GetColor(ParamID id, TimeValue t = 0, int tabIndex = 0);
    Texmap* GetTexmap(ParamID id, TimeValue t = 0, int tabIndex = 0);
    PBBitmap* GetBitmap(ParamID id, TimeValue t = 0, int tabIndex = 0);
};
