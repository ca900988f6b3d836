#pragma once
// Makes equal materials shared objects and merges the rendering and shell
// nodes that can be drawn or tested as one.
namespace model {

class RootNode;

// In order: removes rendering nodes without primitives (fake-light nodes
// without lights); shares equal materials (raises "There is still equal
// properties sets." should two distinct equal materials remain); merges each
// rendering node into the first earlier survivor it can join (same LOD
// branch, same nearest visibility node, one part, canMerge and merge); merges
// shell nodes the same way. True when anything changed.
bool mergeNodes(RootNode& root);

} // namespace model
