// The zyhost command line: commands, exit status, messages on standard error,
// error dialogs, Ctrl-C during a progress bar and the export command.
#include <gtest/gtest.h>

#include <unistd.h>

#include <sstream>

#include "PluginTestSupport.h"
#include "zyhost/Cli.h"

namespace {

using namespace zyhost_test;

struct RunResult {
    int status;
    std::string out, err;
};

RunResult Zyhost(std::vector<std::string> args, const std::string& pluginDir = kPluginDir) {
    std::ostringstream out, err;
    zyhost::CliDefaults defaults{pluginDir, ZY_PLUGCFG_DIR};
    int status = zyhost::RunCli(args, defaults, out, err, false);
    return RunResult{status, out.str(), err.str()};
}

class CliTest : public testing::Test {
protected:
    void TearDown() override {
        for (const std::string& f : files_) std::remove(f.c_str());
    }
    std::string File(const std::string& name, const std::string& text) {
        std::string path = TempPath(name);
        WriteFile(path, text);
        files_.push_back(path);
        return path;
    }
    std::string Output(const std::string& name) {
        files_.push_back(TempPath(name));
        return files_.back();
    }
    std::vector<std::string> files_;
    const std::string example_ = std::string(ZY_PLUGCFG_DIR) + "/scenes/example.json";
};

TEST_F(CliTest, InfoListsPluginsClassesAndPrimitives) {
    RunResult r = Zyhost({"info"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("\"zyhost test plug-in\""), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("class \"TestTag\" super 0x1160 id (0x7e571a90, 0x1d2c3b4a)"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("  TestTagLabel\n"), std::string::npos) << r.out;
}

TEST_F(CliTest, ScenePrintsTheTree) {
    RunResult r = Zyhost({"scene", example_});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("\n    Turret_Pivot  [Point]\n      Turret  [Editable Mesh, 8 vertices, 12 faces]  material: Turret\n"),
              std::string::npos)
        << r.out;
}

TEST_F(CliTest, BadSceneFilesFailWithThePlace) {
    std::string bad = File("bad.json", R"({"nodes": 5})");
    RunResult r = Zyhost({"scene", bad});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find(bad + ": /nodes: expected an array, found number"), std::string::npos) << r.err;
    std::string broken = File("broken.json", "{\n\"nodes\": [\n");
    r = Zyhost({"scene", broken});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find(broken + ": line 3, column 1: syntax error"), std::string::npos) << r.err;
}

TEST_F(CliTest, ScriptsChangeAndSaveTheScene) {
    std::string script = File("rename.lua", R"(
        local hull = getNodeByName("Hull")
        hull.userProps = "TYPE = \"hull\""
        assert(hull.parent.name == "Vehicle")
        assert(hull.material == getMaterialByName("Hull_Paint"))
        setController(hull, "position", getController(getNodeByName("Cockpit"), "position"))
    )");
    std::string saved = Output("saved.json");
    RunResult r = Zyhost({"script", example_, script, "--save", saved});
    ASSERT_EQ(r.status, 0) << r.err;
    r = Zyhost({"scene", saved});
    EXPECT_EQ(r.status, 0) << r.err;
    std::string text = ReadFile(saved);
    EXPECT_NE(text.find(R"("userProps": "TYPE = \"hull\"")"), std::string::npos);
    // The position controller is now shared by two nodes: stored once, referred to once.
    EXPECT_NE(text.find(R"("$ref": )"), std::string::npos);
}

TEST_F(CliTest, ScriptErrorsStopWithTheHostsMessage) {
    std::string script = File("wrong.lua", "TestTagLabel()\nerror('not reached')\n");
    RunResult r = Zyhost({"script", example_, script});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("wrong.lua:1: Wrong number of arguments in call to TestTagLabel: got 0, expected 1"),
              std::string::npos)
        << r.err;
}

TEST_F(CliTest, AnErrorMessageBoxMakesTheRunFail) {
    std::string script = File("box.lua", "TestShowError('Something broke')\n");
    RunResult r = Zyhost({"script", example_, script});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("[Error] Something broke"), std::string::npos) << r.err;
}

TEST_F(CliTest, CtrlCDuringProgressCancelsAndProgressIsPrinted) {
    std::string script = File("progress.lua", "assert(TestProgress(10, 5) == 1, 'not cancelled')\n");
    RunResult r = Zyhost({"script", example_, script});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("Testing: 0%\nTesting: 10%\n"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("Testing: 60%"), std::string::npos) << r.err;
}

TEST_F(CliTest, ExportRunsTheExporterOrSaysThereIsNone) {
    std::string out = Output("example.zym");
    RunResult r = Zyhost({"export", example_, "-o", out});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadFile(out), "2\n");

    r = Zyhost({"export", example_, "-o", out}, "/nonexistent/plugins");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("no exporter is loaded"), std::string::npos) << r.err;
}

TEST_F(CliTest, WrongUsageShowsHowToCall) {
    for (const auto& args : std::vector<std::vector<std::string>>{{}, {"scene"}, {"frobnicate"}, {"info", "--bogus"}, {"script", "a.json"}}) {
        RunResult r = Zyhost(args);
        EXPECT_EQ(r.status, 2);
        EXPECT_NE(r.err.find("usage: zyhost"), std::string::npos);
    }
}

} // namespace
