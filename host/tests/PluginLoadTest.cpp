// A plug-in library loaded at run time: entry points, class registration, objects
// of its classes in the scene and its script primitives.
#include <gtest/gtest.h>

#include <dlfcn.h>

#include "mem/ScriptRuntime.h"
#include "scene/SceneBuilder.h"

namespace {

TEST(PluginLoad, ClassesAndPrimitivesOfALoadedLibrary) {
    void* lib = dlopen(HOST_TEST_PLUGIN, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(lib, nullptr) << dlerror();
    auto describe = reinterpret_cast<LibDescriptionFn>(dlsym(lib, "LibDescription"));
    auto count = reinterpret_cast<LibNumberClassesFn>(dlsym(lib, "LibNumberClasses"));
    auto classDesc = reinterpret_cast<LibClassDescFn>(dlsym(lib, "LibClassDesc"));
    auto version = reinterpret_cast<LibVersionFn>(dlsym(lib, "LibVersion"));
    ASSERT_TRUE(describe && count && classDesc && version);
    EXPECT_EQ(MSTR(describe()), MSTR(L"Host test plug-in"));
    EXPECT_EQ(version(), MakeMaxVersion(22000, 55, 0));
    ASSERT_EQ(count(), 1);

    MemInterface& host = TheMemInterface();
    ClassDesc* cd = classDesc(0);
    ASSERT_TRUE(host.GetClassDirectory().AddClass(cd));
    {
        zyscene::SceneBuilder scene;
        StdMat2* mtl = scene.StandardMaterial("m");
        mtl->AllocCustAttribContainer();
        auto* tag = static_cast<CustAttrib*>(CreateInstance(CUST_ATTRIB_CLASS_ID, cd->ClassID()));
        ASSERT_NE(tag, nullptr);
        mtl->GetCustAttribContainer()->AppendCustAttrib(tag);
        EXPECT_EQ(MSTR(mtl->GetCustAttribContainer()->GetCustAttrib(0)->GetName()), MSTR(L"Tag"));
        EXPECT_EQ(CallPrimitive(L"TagCount", {MAXMaterial::intern(mtl)})->to_int(), 1);
        EXPECT_THROW(CallPrimitive(L"TagCount", {}), ArgCountError);
        CollectScriptGarbage();
        host.ResetScene(); // the plug-in's objects go before the library does
    }
    host.GetClassDirectory().RemoveClass(cd);
    dlclose(lib);
    EXPECT_EQ(GetPrimitiveRegistry().Find(L"TagCount"), nullptr);
}

} // namespace
