#pragma once
// Node paths: "/" is the top node, "/Body/Door" the child "Door" of the top
// node's child "Body". A node has a path only when every name on the way is
// non-empty, holds no '/' and is unique among its siblings; otherwise it is
// referred to by its pre-order index.
#include <string>
#include <vector>

#include "zym/Description.h"

namespace zym {

// The path of every node (empty where a node has none). Parents must be in pre-order.
std::vector<std::string> nodePaths(const std::vector<TreeNode>& nodes);

} // namespace zym
