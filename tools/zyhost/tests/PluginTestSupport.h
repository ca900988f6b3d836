#pragma once
// What the plug-in and command-line tests share: where the test plug-in is, its
// class, and the chunks its Save writes.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "maxsdk/Max.h"
#include "mem/ChunkStreams.h"
#include "zyhost/ChunkText.h"

namespace zyhost_test {

inline const std::string kPluginDir = ZYHOST_TEST_PLUGIN_DIR;
inline const std::string kBadPluginDir = ZYHOST_BAD_PLUGIN_DIR;
inline constexpr Class_ID kTagClassId(0x7e571a90, 0x1d2c3b4a);

// The test plug-in's chunks, written here independently of the plug-in.
inline std::string TagChunks(int count, const MSTR& label) {
    MemSave save;
    ULONG n;
    save.BeginChunk(0x100);
    save.Write(&count, 4, &n);
    save.EndChunk();
    save.BeginChunk(0x110);
    save.WriteWString(label);
    save.EndChunk();
    return zyhost::ToHex(save.Bytes());
}

// A scene with one box whose material carries a test tag referring to a controller.
inline std::string TaggedScene(const std::string& chunks) {
    return R"({"format": "zyhost-scene", "version": 1, "nodes": [{"name": "Crate", "material": {"type": "standard", "name": "Wood", "customAttributes": [{"type": "plugin", "superClass": "0x1160", "class": ["0x7e571a90", "0x1d2c3b4a"], "chunks": ")" +
           chunks + R"(", "refs": [{"type": "linearFloat", "value": 2.5}]}]}}]})";
}

inline std::string TempPath(const std::string& name) {
    return (std::filesystem::temp_directory_path() / ("zyhost-test-" + std::to_string(::getpid()) + "-" + name)).string();
}

inline void WriteFile(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

} // namespace zyhost_test
