#pragma once
// Builds the in-memory host's scene from a scene-file document (see README.md).
// Objects of plug-in classes are created through their class descriptors and
// read their own chunks with Load; then their references are restored.
// Any problem is a SceneError naming the place in the document; the host's scene
// is then left empty.
#include "mem/MemInterface.h"
#include "zyhost/JsonCursor.h"

namespace zyhost {

void ReadScene(const Json& doc, MemInterface& host);

} // namespace zyhost
