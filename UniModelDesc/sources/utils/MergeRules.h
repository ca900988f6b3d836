#pragma once
// When two geometry nodes may become one, and how they are combined. A merge
// either happens completely or leaves both nodes as they were.
namespace model {

class BaseNode;
class RenderNode;

// Render nodes (kind 12): not the same object, same kind and category mask,
// same name when the category has the shell bit, the same material object
// (present, blending not 1), equal property lists, primitive type 1 or 5 in
// both, and no part of either moved by a billboard or a node below one.
// Number nodes are not merged: their digit parameters belong to their parts
// and the digit numbers in their vertices refer to those parameters.
bool canMergeRenderNodes(const RenderNode& node, const BaseNode& other);

// Appends other's vertices and indices to node. Each part of other joins the
// part of node with the same control node and argument (its indices move to
// the end of that part's range) or is appended as a new part; appended
// vertices carry the number of the part they went to.
bool mergeRenderNodes(RenderNode& node, const RenderNode& other);

// Dispatch by class: the rules above for render and number nodes, the node's
// own canMerge and merge for every other class.
bool canMergeGeometry(const BaseNode& node, const BaseNode& other);
bool mergeGeometry(BaseNode& into, BaseNode& other);

} // namespace model
