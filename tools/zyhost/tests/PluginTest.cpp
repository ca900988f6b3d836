// The plug-in loader with a real plug-in library loaded at run time: entry points,
// class directory, primitives, and plug-in objects created from a scene file
// through the class descriptor and Load, saved back with Save, and scripted.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>

#include "PluginTestSupport.h"
#include "mem/MemInterface.h"
#include "zyhost/PluginLoader.h"
#include "zyhost/SceneFile.h"
#include "zyhost/SceneReader.h"
#include "zyhost/SceneWriter.h"
#include "zyhost/ScriptHost.h"

namespace {

using namespace zyhost_test;

MemInterface& Host() { return TheMemInterface(); }

class PluginLoaderTest : public testing::Test {
protected:
    void SetUp() override {
        Host().ResetScene();
        log_ = TempPath("plugin.log");
        std::remove(log_.c_str());
        ::setenv("ZYHOST_TEST_PLUGIN_LOG", log_.c_str(), 1);
    }
    void TearDown() override {
        Host().ResetScene();
        ::unsetenv("ZYHOST_TEST_PLUGIN_LOG");
        std::remove(log_.c_str());
    }
    std::string log_;
};

TEST_F(PluginLoaderTest, CallsTheEntryPointsAndRegistersClassesAndPrimitives) {
    {
        zyhost::PluginLoader loader(Host().GetClassDirectory());
        EXPECT_EQ(loader.LoadDirectory(kPluginDir), 1);
        EXPECT_TRUE(loader.Errors().empty());
        ASSERT_EQ(loader.Plugins().size(), 1u);
        const zyhost::LoadedPlugin& p = loader.Plugins()[0];
        EXPECT_EQ(p.description, "zyhost test plug-in");
        EXPECT_EQ(p.version, VERSION_3DSMAX);
        ASSERT_EQ(p.classes.size(), 1u);
        EXPECT_EQ(Host().GetClassDirectory().FindClass(CUST_ATTRIB_CLASS_ID, kTagClassId), p.classes[0]);
        EXPECT_NE(GetPrimitiveRegistry().Find(_M("TestTagLabel")), nullptr);
        EXPECT_EQ(ReadFile(log_), "attach\ninit\n");
    }
    // Unloaded with the loader: the class and the primitives are gone.
    EXPECT_EQ(Host().GetClassDirectory().FindClass(CUST_ATTRIB_CLASS_ID, kTagClassId), nullptr);
    EXPECT_EQ(GetPrimitiveRegistry().Find(_M("TestTagLabel")), nullptr);
    EXPECT_EQ(ReadFile(log_), "attach\ninit\nshutdown\ndetach\n");
}

TEST_F(PluginLoaderTest, RefusesLibrariesWithoutEntryPointsAndIgnoresMissingDirectories) {
    zyhost::PluginLoader loader(Host().GetClassDirectory());
    EXPECT_EQ(loader.LoadDirectory(kBadPluginDir), 0);
    ASSERT_EQ(loader.Errors().size(), 1u);
    EXPECT_NE(loader.Errors()[0].find("not a plug-in"), std::string::npos);
    EXPECT_EQ(loader.LoadDirectory("/nonexistent/plugins"), 0);
    EXPECT_FALSE(loader.Load("/nonexistent/plugin.so"));
    EXPECT_EQ(loader.Errors().size(), 2u);
}

TEST_F(PluginLoaderTest, PluginObjectsLoadFromTheSceneSaveBackAndAnswerScripts) {
    zyhost::PluginLoader loader(Host().GetClassDirectory());
    ASSERT_EQ(loader.LoadDirectory(kPluginDir), 1);
    const std::string chunks = TagChunks(7, _M("Ünïcode tag"));
    zyhost::ReadScene(zyhost::ParseSceneText(TaggedScene(chunks)), Host());

    Mtl* wood = Host().GetINodeByName(_M("Crate"))->GetMtl();
    ICustAttribContainer* cc = wood->GetCustAttribContainer();
    ASSERT_NE(cc, nullptr);
    ASSERT_EQ(cc->GetNumCustAttribs(), 1);
    CustAttrib* tag = cc->GetCustAttrib(0);
    EXPECT_EQ(tag->ClassID(), kTagClassId);
    auto* weight = static_cast<Control*>(tag->GetReference(0));
    ASSERT_NE(weight, nullptr);
    float v = 0;
    Interval iv = FOREVER;
    weight->GetValue(0, &v, iv);
    EXPECT_EQ(v, 2.5f);

    // Save writes exactly the chunks that were loaded, and the reference.
    zyhost::Json saved = zyhost::WriteScene(Host());
    const zyhost::Json& attrib = saved["nodes"][0]["material"]["customAttributes"][0];
    EXPECT_EQ(attrib["chunks"], chunks);
    EXPECT_EQ(attrib["class"], zyhost::Json::array({"0x7e571a90", "0x1d2c3b4a"}));
    EXPECT_EQ(attrib["refs"][0]["value"], 2.5);

    // The primitives are Lua globals; values convert both ways.
    zyhost::ScriptHost script(Host());
    EXPECT_EQ(script.RunString(R"(
        local m = getMaterialByName("Wood")
        assert(TestTagLabel(m) == "Ünïcode tag", "label")
        assert(TestSetTagCount(m, 9) == 1, "set")
        assert(TestNodeName(getNodeByName("Crate")) == "Crate", "node")
        assert(TestTagLabel(getMaterialByName("Nothing")) == nil, "undefined")
    )"), "");
    EXPECT_EQ(zyhost::WriteScene(Host())["nodes"][0]["material"]["customAttributes"][0]["chunks"],
              TagChunks(9, _M("Ünïcode tag")));

    std::string error = script.RunString("TestTagLabel()", "=test");
    EXPECT_EQ(error, "test:1: Wrong number of arguments in call to TestTagLabel: got 0, expected 1");
    error = script.RunString("TestTagLabel({})", "=test");
    EXPECT_NE(error.find("a table cannot be passed"), std::string::npos) << error;
    error = script.RunString("TestNodeName(5)", "=test");
    EXPECT_NE(error.find("Unable to convert"), std::string::npos) << error;
    Host().ResetScene();
}

TEST_F(PluginLoaderTest, PluginChunksThatTheObjectCannotReadAreReported) {
    zyhost::PluginLoader loader(Host().GetClassDirectory());
    ASSERT_EQ(loader.LoadDirectory(kPluginDir), 1);
    // The count chunk holds 2 bytes where the tag reads 4.
    std::string text = TaggedScene("0001080000000000");
    try {
        zyhost::ReadScene(zyhost::ParseSceneText(text), Host());
        FAIL();
    } catch (const zyhost::SceneError& e) {
        EXPECT_EQ(e.Where(), "/nodes/0/material/customAttributes/0/chunks");
        EXPECT_NE(e.Message().find("could not read its chunk data"), std::string::npos);
    }
    EXPECT_EQ(Host().GetRootNode()->NumberOfChildren(), 0);
}

TEST_F(PluginLoaderTest, WithoutThePluginItsClassIsUnknown) {
    try {
        zyhost::ReadScene(zyhost::ParseSceneText(TaggedScene(TagChunks(1, _M("x")))), Host());
        FAIL();
    } catch (const zyhost::SceneError& e) {
        EXPECT_EQ(e.Where(), "/nodes/0/material/customAttributes/0/class");
        EXPECT_NE(e.Message().find("is the plug-in that defines it loaded?"), std::string::npos);
    }
}

} // namespace
