// Parameter block descriptors and the read conveniences of every block.
#include "maxsdk/ParamBlock.h"

int ParamBlockDesc2::IDtoIndex(ParamID id) const {
    for (std::size_t i = 0; i < paramdefs.size(); ++i)
        if (paramdefs[i].ID == id) return int(i);
    return -1;
}

const ParamDef* ParamBlockDesc2::GetParamDefByID(ParamID id) const {
    int i = IDtoIndex(id);
    return i < 0 ? nullptr : &paramdefs[std::size_t(i)];
}

float IParamBlock2::GetFloat(ParamID id, TimeValue t, int tabIndex) {
    float v = 0;
    Interval iv = FOREVER;
    return GetValue(id, t, v, iv, tabIndex) ? v : 0.f;
}

int IParamBlock2::GetInt(ParamID id, TimeValue t, int tabIndex) {
    int v = 0;
    Interval iv = FOREVER;
    return GetValue(id, t, v, iv, tabIndex) ? v : 0;
}

Point3 IParamBlock2::GetPoint3(ParamID id, TimeValue t, int tabIndex) {
    Point3 v;
    Interval iv = FOREVER;
    return GetValue(id, t, v, iv, tabIndex) ? v : Point3();
}

Color IParamBlock2::GetColor(ParamID id, TimeValue t, int tabIndex) {
    Color v;
    Interval iv = FOREVER;
    return GetValue(id, t, v, iv, tabIndex) ? v : Color();
}

Texmap* IParamBlock2::GetTexmap(ParamID id, TimeValue t, int tabIndex) {
    Texmap* v = nullptr;
    Interval iv = FOREVER;
    return GetValue(id, t, v, iv, tabIndex) ? v : nullptr;
}

PBBitmap* IParamBlock2::GetBitmap(ParamID id, TimeValue t, int tabIndex) {
    PBBitmap* v = nullptr;
    Interval iv = FOREVER;
    return GetValue(id, t, v, iv, tabIndex) ? v : nullptr;
}
