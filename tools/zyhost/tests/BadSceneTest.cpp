// Bad scene files: each gives one SceneError naming the place in the file, and the
// host's scene is left empty (nothing half-loaded, nothing leaked).
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "mem/MemInterface.h"
#include "zyhost/Cli.h"
#include "zyhost/SceneFile.h"
#include "zyhost/SceneReader.h"

namespace {

struct BadCase {
    const char* name;
    const char* text;
    const char* where;   // expected place: JSON pointer or "line L, column C"
    const char* message; // expected part of the message
};

const char* const kBox =
    R"("vertices": [[0,0,0],[1,0,0],[0,1,0]], "faces": [[0,1,2]])";

std::string Scene(const std::string& nodes) { return R"({"format": "zyhost-scene", "version": 1, "nodes": [)" + nodes + "]}"; }

class BadScene : public testing::TestWithParam<BadCase> {};

TEST_P(BadScene, ReportsThePlaceAndLeavesNoScene) {
    MemInterface& host = TheMemInterface();
    host.ResetScene();
    host.CreateNode(_M("Leftover"));
    try {
        zyhost::ReadScene(zyhost::ParseSceneText(GetParam().text), host);
        FAIL() << "no error for " << GetParam().text;
    } catch (const zyhost::SceneError& e) {
        EXPECT_EQ(e.Where(), GetParam().where) << e.what();
        EXPECT_NE(e.Message().find(GetParam().message), std::string::npos) << e.what();
    }
    // A file that does not parse leaves the scene alone; one that parses replaces it,
    // and on failure nothing of it stays.
    bool parsed = std::string(GetParam().where).rfind("line ", 0) != 0;
    EXPECT_EQ(host.GetRootNode()->NumberOfChildren(), parsed ? 0 : 1);
    EXPECT_EQ(host.GetSceneMtls().Count(), 0);
    host.ResetScene();
}

TEST_P(BadScene, CommandLineFailsWithTheMessage) {
    std::string path = (std::filesystem::temp_directory_path() /
                        ("zyhost-bad-" + std::to_string(::getpid()) + "-" + GetParam().name + ".json")).string();
    std::ofstream(path) << GetParam().text;
    std::ostringstream out, err;
    int status = zyhost::RunCli({"scene", path}, zyhost::CliDefaults{"/nonexistent/plugins", ZY_PLUGCFG_DIR}, out, err, false);
    std::remove(path.c_str());
    EXPECT_EQ(status, 1);
    EXPECT_NE(err.str().find(path + ": " + GetParam().where + ": "), std::string::npos) << err.str();
    EXPECT_NE(err.str().find(GetParam().message), std::string::npos) << err.str();
    EXPECT_EQ(out.str(), "");
}

const std::string kSyntax = "{\n  \"nodes\": [\n    {\"name\": \"a\",}\n  ]\n}";
const std::string kWrongType = Scene(R"({"name": "a", "hidden": "yes"})");
const std::string kNotArray = R"({"nodes": 5})";
const std::string kUnknownType = Scene(R"({"name": "a", "object": {"type": "sphere"}})");
const std::string kUnknownClass = Scene(
    R"({"name": "a", "visibility": {"type": "plugin", "superClass": "0x9003", "class": ["0x1234", "0x5678"], "chunks": ""}})");
const std::string kDangling = Scene(R"({"name": "a", "material": {"$ref": "mtl:Nothing"}})");
// A linear float controller stored the way plug-in objects are, with its constant
// chunk cut short: the chunk declares 10 bytes, 7 follow.
const std::string kTruncated = Scene(
    R"({"name": "a", "visibility": {"type": "plugin", "superClass": "0x9003", "class": ["0x2001", "0x0"], "chunks": "00010a0000000000"}})");
const std::string kBadHex = Scene(
    R"({"name": "a", "visibility": {"type": "plugin", "superClass": "0x9003", "class": ["0x2001", "0x0"], "chunks": "0g"}})");
// The chunk is complete but holds 2 bytes where the controller reads a float.
const std::string kShortData = Scene(
    R"({"name": "a", "visibility": {"type": "plugin", "superClass": "0x9003", "class": ["0x2001", "0x0"], "chunks": "0001080000000000"}})");
const std::string kFaceIndex = Scene(std::string(R"({"name": "a", "object": {"type": "mesh", "vertices": [[0,0,0],[1,0,0],[0,1,0]], "faces": [[0,1,3]]}})"));
const std::string kKeyTwice = Scene(R"({"name": "a", "visibility": {"type": "linearFloat", "keys": [[0, 1.0], [0, 2.0]]}})");
const std::string kIdTwice = Scene(R"({"$id": "x", "name": "a"}, {"$id": "x", "name": "b"})");
const std::string kWrongKind = Scene(R"({"$id": "n", "name": "a"}, {"name": "b", "material": {"$ref": "n"}})");
const std::string kCycle = Scene(R"({"name": "a", "material": {"$id": "m", "type": "multi", "subs": [{"$ref": "m"}]}})");
const std::string kOtherFormat = R"({"format": "something-else", "nodes": []})";
const std::string kMissingName = Scene(R"({"hidden": true})");
const std::string kBadMap = Scene(std::string(R"({"name": "a", "object": {"type": "mesh", )") + kBox +
                                  R"(, "maps": [{"channel": 100, "vertices": [], "faces": []}]}})");
const std::string kUnknownParam = Scene(R"({"name": "a", "object": {"type": "light", "kind": "omni", "params": {"brightness": 2}}})");
const std::string kMissingBone = Scene(std::string(R"({"$id": "m", "name": "m", "object": {"type": "derived", "base": {"type": "mesh", )") + kBox +
                                       R"(}, "modifiers": [{"type": "skin", "bones": [], "weights": [{"node": {"$ref": "m"}, "vertices": [[[0, 1.0]]]}]}]}})");

// The data is fine, the owner's super class is not: nothing may be kept of the data.
const std::string kAppData = Scene(R"({"name": "a", "appData": [{"class": [1, 2], "superClass": "zz", "subId": 0, "data": "0102"}]})");

const BadCase kCases[] = {
    {"SyntaxError", kSyntax.c_str(), "line 3, column 18", "syntax error"},
    {"WrongType", kWrongType.c_str(), "/nodes/0/hidden", "expected true or false, found string"},
    {"NodesNotAnArray", kNotArray.c_str(), "/nodes", "expected an array, found number"},
    {"UnknownObjectType", kUnknownType.c_str(), "/nodes/0/object/type", "unknown object type \"sphere\""},
    {"UnknownClassId", kUnknownClass.c_str(), "/nodes/0/visibility/class", "unknown class id (0x1234, 0x5678)"},
    {"DanglingReference", kDangling.c_str(), "/nodes/0/material/$ref", "dangling reference"},
    {"TruncatedChunk", kTruncated.c_str(), "/nodes/0/visibility/chunks", "truncated"},
    {"ChunksNotHex", kBadHex.c_str(), "/nodes/0/visibility/chunks", "hexadecimal"},
    {"ChunkDataTooShort", kShortData.c_str(), "/nodes/0/visibility/chunks", "could not read its chunk data"},
    {"FaceIndexOutOfRange", kFaceIndex.c_str(), "/nodes/0/object/faces/0/2", "out of range"},
    {"TwoKeysAtOneTime", kKeyTwice.c_str(), "/nodes/0/visibility/keys/1/0", "two keys at time 0"},
    {"IdDefinedTwice", kIdTwice.c_str(), "/nodes/1/$id", "defined twice"},
    {"ReferenceOfTheWrongKind", kWrongKind.c_str(), "/nodes/1/material", "expected a material, found a node"},
    {"ReferenceCycle", kCycle.c_str(), "/nodes/0/material", "refers to itself"},
    {"NotASceneFile", kOtherFormat.c_str(), "/format", "not a scene file"},
    {"MissingName", kMissingName.c_str(), "/nodes/0", "missing member \"name\""},
    {"MapChannelOutOfRange", kBadMap.c_str(), "/nodes/0/object/maps/0/channel", "map channels"},
    {"UnknownParameter", kUnknownParam.c_str(), "/nodes/0/object/params/brightness", "no parameter \"brightness\""},
    {"ApplicationDataOwner", kAppData.c_str(), "/nodes/0/appData/0/superClass", "hexadecimal identifier"},
    {"BoneIndexOutOfRange", kMissingBone.c_str(), "/nodes/0/object/modifiers/0/weights/0/vertices/0/0/0", "out of range"},
};

INSTANTIATE_TEST_SUITE_P(Files, BadScene, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<BadCase>& info) { return std::string(info.param.name); });

TEST(BadSceneFile, NamesTheFileInFrontOfThePlace) {
    try {
        zyhost::LoadSceneFile("/nonexistent/scene.json", TheMemInterface());
        FAIL();
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("/nonexistent/scene.json: cannot open"), std::string::npos);
    }
}

} // namespace
