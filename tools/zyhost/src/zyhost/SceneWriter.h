#pragma once
// Writes the in-memory host's scene as a scene-file document (see README.md).
// Objects of plug-in classes are stored as their class ids, the chunks their Save
// writes and their references.
#include <stdexcept>

#include "mem/MemInterface.h"
#include "zyhost/JsonCursor.h"

namespace zyhost {

// A scene that cannot be written (a plug-in's Save failed, an unsupported reference).
class SaveError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

Json WriteScene(MemInterface& host);

} // namespace zyhost
