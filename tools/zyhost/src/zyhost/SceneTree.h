#pragma once
// The scene as an indented text tree: one line per node with its object, modifiers,
// material and flags.
#include <ostream>

#include "maxsdk/Interface.h"

namespace zyhost {

void PrintSceneTree(Interface& host, std::ostream& out);

} // namespace zyhost
