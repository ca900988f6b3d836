// A plug-in library built only for the tests: one custom-attribute class with its
// own save chunks and a reference, a few primitives, and every entry point, each
// writing a line to the file named by ZYHOST_TEST_PLUGIN_LOG when it is set.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "maxsdk/Max.h"

namespace {

constexpr Class_ID kTagClassId(0x7e571a90, 0x1d2c3b4a);
constexpr USHORT kCountChunk = 0x100;
constexpr USHORT kLabelChunk = 0x110;

void Log(const char* what) {
    if (const char* path = std::getenv("ZYHOST_TEST_PLUGIN_LOG")) std::ofstream(path, std::ios::app) << what << '\n';
}

class TestTag : public CustAttrib {
public:
    int count = 0;
    MSTR label;
    Control* weight = nullptr;

    Class_ID ClassID() override { return kTagClassId; }
    void GetClassName(MSTR& s) override { s = _M("TestTag"); }
    int NumRefs() override { return 1; }
    RefTargetHandle GetReference(int i) override { return i == 0 ? weight : nullptr; }

    IOResult Save(ISave* isave) override {
        ULONG n;
        isave->BeginChunk(kCountChunk);
        isave->Write(&count, 4, &n);
        isave->EndChunk();
        isave->BeginChunk(kLabelChunk);
        isave->WriteWString(label);
        isave->EndChunk();
        return IO_OK;
    }

    IOResult Load(ILoad* iload) override {
        IOResult r;
        while ((r = iload->OpenChunk()) == IO_OK) {
            IOResult res = IO_OK;
            ULONG n;
            if (iload->CurChunkID() == kCountChunk) res = iload->Read(&count, 4, &n);
            else if (iload->CurChunkID() == kLabelChunk) res = iload->ReadWStringChunk(label);
            iload->CloseChunk();
            if (res != IO_OK) return res;
        }
        return r == IO_END ? IO_OK : r;
    }

protected:
    void SetReference(int i, RefTargetHandle t) override {
        if (i == 0) weight = static_cast<Control*>(t);
    }
};

class TestTagClassDesc : public ClassDesc2 {
public:
    int IsPublic() override { return 1; }
    void* Create(BOOL) override { return static_cast<Animatable*>(new TestTag()); }
    const MCHAR* ClassName() override { return _M("TestTag"); }
    SClass_ID SuperClassID() override { return CUST_ATTRIB_CLASS_ID; }
    Class_ID ClassID() override { return kTagClassId; }
    const MCHAR* Category() override { return _M("Tests"); }
    const MCHAR* InternalName() override { return _M("TestTag"); }
};

TestTagClassDesc tagDesc;

TestTag* FindTag(Mtl* m) {
    ICustAttribContainer* cc = m ? m->GetCustAttribContainer() : nullptr;
    for (int i = 0; cc && i < cc->GetNumCustAttribs(); ++i)
        if (CustAttrib* ca = cc->GetCustAttrib(i); ca && ca->ClassID() == kTagClassId) return static_cast<TestTag*>(ca);
    return nullptr;
}

} // namespace

// TestTagLabel material -> the label of the material's tag, or undefined.
def_visible_primitive(TestTagLabel, "TestTagLabel");
Value* TestTagLabel_cf(Value** arg_list, int count) {
    check_arg_count(TestTagLabel, 1, count);
    TestTag* tag = FindTag(arg_list[0]->to_mtl());
    return tag ? static_cast<Value*>(new String(tag->label)) : &undefined;
}

// TestSetTagCount material n -> 1 when the material has a tag (its count is set).
def_visible_primitive(TestSetTagCount, "TestSetTagCount");
Value* TestSetTagCount_cf(Value** arg_list, int count) {
    check_arg_count(TestSetTagCount, 2, count);
    TestTag* tag = FindTag(arg_list[0]->to_mtl());
    if (tag) tag->count = arg_list[1]->to_int();
    return Integer::intern(tag ? 1 : 0);
}

// TestNodeName node -> the node's name.
def_visible_primitive(TestNodeName, "TestNodeName");
Value* TestNodeName_cf(Value** arg_list, int count) {
    check_arg_count(TestNodeName, 1, count);
    INode* node = arg_list[0]->to_node();
    return node ? static_cast<Value*>(new String(node->GetName())) : &undefined;
}

// TestShowError text -> shows an error message box.
def_visible_primitive(TestShowError, "TestShowError");
Value* TestShowError_cf(Value** arg_list, int count) {
    check_arg_count(TestShowError, 1, count);
    GetCOREInterface()->GetUIServices().MessageBox(nullptr, arg_list[0]->to_string(), _M("Error"), MB_OK | MB_ICONERROR);
    return &ok;
}

// TestProgress steps interruptAt -> runs a progress bar, raising SIGINT (Ctrl-C)
// at step interruptAt; 1 when the host reported the cancel, 0 otherwise.
def_visible_primitive(TestProgress, "TestProgress");
Value* TestProgress_cf(Value** arg_list, int count) {
    check_arg_count(TestProgress, 2, count);
    int steps = arg_list[0]->to_int(), interruptAt = arg_list[1]->to_int();
    Interface* ip = GetCOREInterface();
    ip->ProgressStart(_M("Testing"), TRUE, nullptr, nullptr);
    bool cancelled = false;
    for (int i = 0; i < steps && !cancelled; ++i) {
        if (i == interruptAt) std::raise(SIGINT);
        ip->ProgressUpdate(i * 100 / steps);
        cancelled = ip->GetCancel() != 0;
    }
    ip->ProgressEnd();
    return Integer::intern(cancelled ? 1 : 0);
}

// ExportToZYM path -> writes the number of top-level nodes to the file; always 1.
def_visible_primitive(ExportToZYM, "ExportToZYM");
Value* ExportToZYM_cf(Value** arg_list, int count) {
    check_arg_count(ExportToZYM, 1, count);
    std::ofstream(ToUTF8(arg_list[0]->to_string())) << GetCOREInterface()->GetRootNode()->NumberOfChildren() << '\n';
    return Integer::intern(1);
}

ZY_PLUGIN_EXPORT void ZyLibAttach(HINSTANCE module) { Log(module ? "attach" : "attach without module"); }
ZY_PLUGIN_EXPORT void ZyLibDetach() { Log("detach"); }
ZY_PLUGIN_EXPORT const MCHAR* LibDescription() { return _M("zyhost test plug-in"); }
ZY_PLUGIN_EXPORT int LibNumberClasses() { return 1; }
ZY_PLUGIN_EXPORT ClassDesc* LibClassDesc(int i) { return i == 0 ? &tagDesc : nullptr; }
ZY_PLUGIN_EXPORT ULONG LibVersion() { return VERSION_3DSMAX; }
ZY_PLUGIN_EXPORT int LibInit() {
    Log("init");
    return TRUE;
}
ZY_PLUGIN_EXPORT int LibShutdown() {
    Log("shutdown");
    return TRUE;
}
