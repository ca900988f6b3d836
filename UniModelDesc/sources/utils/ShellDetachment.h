#pragma once
// Collision shells must not switch with a level of detail: a shell whose
// control node lies inside a branch of a LOD node gets a copy of its branch
// chain outside the LOD node, and hangs on that copy instead.
namespace model {

class RootNode;

// For each shell node in list order: find the nearest LOD node above its
// control node; clone the chain from the control node up to (not including)
// the LOD node, link the copies as a chain below the LOD node's parent, and
// make the copy of the control node the shell's control node. The original
// chain stays for the rendering geometry. Shells without a LOD node above,
// shells controlled by a LOD node itself (already outside its branches) and
// shells below a LOD node that is the top node (nowhere to go) stay as they
// are. True when at least one shell was re-attached.
bool detachShellsFromLods(RootNode& root);

} // namespace model
