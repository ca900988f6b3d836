#pragma once
// Records refer to tree nodes by the index the file's numbering gave them.
#include <cstdint>

namespace model {

class BaseNode;
class Node;

// The tree index of a node that a record refers to (a control node, a bone).
// Raises "Control node isn't set. <holder>: <name>." for a missing node, and
// "Control node isn't in the model tree. <holder>: <name>." for one outside
// the tree being written (its index would name another node).
uint32_t controlIndex(const Node* control, const BaseNode& holder, const char* holderLabel);

} // namespace model
