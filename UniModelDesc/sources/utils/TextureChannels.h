#pragma once
// Texture-coordinate channel cleanup of the mesh rendering nodes (render,
// skin and number nodes): duplicate channels are dropped, the channels are
// renumbered into the order the coordinate slots name them, and the present
// channels are packed to consecutive numbers. A node whose layout changes
// gets its own copy of its material.
#include <cstdint>

namespace model {

class RootNode;

// count is increased by the number of channels dropped. True when any node
// changed. Raises zy::ExtException (without a source location) when the
// renumbered vertices fail their own check, which would be a fault here.
//
// A present channel that no coordinate slot names keeps its number through
// the renumbering, and slots that name an absent channel keep naming it.
bool cleanTextureChannels(RootNode& root, double tolerance, uint32_t& count);

} // namespace model
