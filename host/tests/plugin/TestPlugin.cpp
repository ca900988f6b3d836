// A plug-in library as the host loads it: built with hidden visibility, it derives
// from the host's classes and exports only its entry points.
#include "maxsdk/Max.h"

namespace {

constexpr Class_ID kTagClassID(0x5eed0001, 0x5eed0002);

class TagAttrib : public CustAttrib {
public:
    Class_ID ClassID() override { return kTagClassID; }
    const MCHAR* GetName(bool) override { return _M("Tag"); }
    RefTargetHandle Clone(RemapDir& remap) override {
        auto* t = new TagAttrib();
        BaseClone(this, t, remap);
        return t;
    }
};

class TagClassDesc : public ClassDesc2 {
public:
    int IsPublic() override { return 1; }
    void* Create(BOOL) override { return new TagAttrib(); }
    const MCHAR* ClassName() override { return _M("Tag"); }
    SClass_ID SuperClassID() override { return CUST_ATTRIB_CLASS_ID; }
    Class_ID ClassID() override { return kTagClassID; }
    const MCHAR* Category() override { return _M("Test"); }
    const MCHAR* InternalName() override { return _M("TagAttrib"); }
};

TagClassDesc tagDesc;

} // namespace

def_visible_primitive(TagCount, "TagCount");
Value* TagCount_cf(Value** arg_list, int count) {
    check_arg_count(TagCount, 1, count);
    Mtl* m = arg_list[0]->to_mtl();
    ICustAttribContainer* cc = m ? m->GetCustAttribContainer() : nullptr;
    int n = 0;
    for (int i = 0; cc && i < cc->GetNumCustAttribs(); ++i)
        if (cc->GetCustAttrib(i)->ClassID() == kTagClassID) ++n;
    return Integer::intern(n);
}

ZY_PLUGIN_EXPORT const MCHAR* LibDescription() { return _M("Host test plug-in"); }
ZY_PLUGIN_EXPORT int LibNumberClasses() { return 1; }
ZY_PLUGIN_EXPORT ClassDesc* LibClassDesc(int i) { return i == 0 ? &tagDesc : nullptr; }
ZY_PLUGIN_EXPORT ULONG LibVersion() { return VERSION_3DSMAX; }
