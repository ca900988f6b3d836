#include "zyhost/SceneFile.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

#include "zyhost/JsonFormat.h"
#include "zyhost/SceneReader.h"
#include "zyhost/SceneWriter.h"

namespace zyhost {

namespace {

// Line and column (1-based) of a byte offset.
std::string Place(const std::string& text, std::size_t offset) {
    int line = 1, column = 1;
    for (std::size_t i = 0; i < offset && i < text.size(); ++i) {
        if (text[i] == '\n') {
            ++line;
            column = 1;
        } else {
            ++column;
        }
    }
    return "line " + std::to_string(line) + ", column " + std::to_string(column);
}

// nlohmann's message without its "[json.exception...] parse error at ...: " prefix.
std::string Reason(const std::string& what) {
    std::size_t colon = what.find(": ");
    std::string rest = colon == std::string::npos ? what : what.substr(colon + 2);
    return "syntax error: " + rest;
}

} // namespace

Json ParseSceneText(const std::string& text) {
    try {
        return Json::parse(text);
    } catch (const Json::parse_error& e) {
        std::size_t at = e.byte == 0 ? 0 : e.byte - 1;
        throw SceneError(Place(text, at), Reason(e.what()));
    }
}

void LoadSceneFile(const std::string& path, MemInterface& host) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error(path + ": cannot open the scene file");
    std::stringstream buffer;
    buffer << in.rdbuf();
    try {
        Json doc = ParseSceneText(buffer.str());
        ReadScene(doc, host);
        if (!doc.is_object() || !doc.contains("file")) host.SetCurFilePath(FromUTF8(path));
    } catch (const SceneError& e) {
        throw SceneError(path + ": " + (e.Where().empty() ? std::string("/") : e.Where()), e.Message(), e.RaisedAt());
    }
}

std::string SceneText(MemInterface& host) { return FormatJson(WriteScene(host)); }

void SaveSceneFile(const std::string& path, MemInterface& host) {
    std::string text = SceneText(host);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out || !out.write(text.data(), std::streamsize(text.size())) || !out.flush())
        throw std::runtime_error(path + ": cannot write the scene file");
}

} // namespace zyhost
