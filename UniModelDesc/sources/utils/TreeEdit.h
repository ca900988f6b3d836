#pragma once
// Tree surgery shared by the optimisation passes: replacing and dissolving
// nodes with their references following, walk orders that tolerate edits, and
// the node tests the passes are built on.
#include <memory>
#include <vector>

#include "Node.h"

namespace model {

class RootNode;
class ReferenceIndex;

inline bool isKind(const Node* node, NodeKind kind) { return node && node->kind() == kind; }

// Nodes in post-order (children before their parent, siblings in order).
// Editing the tree while working through the list is safe as long as only
// nodes already visited, or the node at hand, are deleted.
std::vector<Node*> postOrder(Node* top);

// Puts replacement where node is (among its siblings, or as the root's top
// node), moves node's children below it in order, redirects every reference
// and deletes node. Returns the replacement.
Node* replaceNode(RootNode& root, ReferenceIndex& references, Node* node, std::unique_ptr<Node> replacement);

// Moves node's children, in order, to node's place in its parent's child list,
// redirects every reference to the parent and deletes node. node must have a
// parent.
void dissolveNode(ReferenceIndex& references, Node* node);

// Moves all children of from to the end of to's child list.
void moveChildren(Node* from, Node* to);

// A transform whose effect may be pushed into what hangs below it: it
// controls no connector and no light, no direct child is a billboard or a
// bone (kind 6), and a transform node translates by at most 100000.
bool isCollapsible(const Node* node, const ReferenceIndex& references);

// A collapsible node with a parent that may go: either the parent is not a
// LOD node, or the node has exactly one child and carries no geometry (so
// the LOD keeps its child count).
bool isRemovable(const Node* node, const ReferenceIndex& references);

// The tree nodes that head an unreferenced subtree: a parent that is not a
// LOD node, no reference to the node, and only such subtrees below it.
// Computed bottom-up in one pass.
std::vector<bool> unreferencedSubtrees(const std::vector<Node*>& postOrderNodes, const ReferenceIndex& references);

} // namespace model
