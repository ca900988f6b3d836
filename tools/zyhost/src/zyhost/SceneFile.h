#pragma once
// Scene files on disk: reading (with syntax errors placed by line and column) and
// writing of the scene-file document.
#include <string>

#include "mem/MemInterface.h"
#include "zyhost/JsonCursor.h"

namespace zyhost {

// Parses scene-file text; a syntax error is a SceneError at "line L, column C".
Json ParseSceneText(const std::string& text);

// Loads the file into the host's scene (replacing what was there). The scene's
// current file path is the file's own path unless the document names one.
// Throws SceneError (with the file name in front of the place) or, when the file
// cannot be read, std::runtime_error.
void LoadSceneFile(const std::string& path, MemInterface& host);

// Writes the host's scene; throws SaveError or std::runtime_error.
void SaveSceneFile(const std::string& path, MemInterface& host);
std::string SceneText(MemInterface& host);

} // namespace zyhost
