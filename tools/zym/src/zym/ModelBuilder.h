#pragma once
// Builds model library objects from a description and saves them through
// RootNode::save, the code path of an export.
#include <cstdint>
#include <string>

#include "RootNode.h"
#include "zym/Description.h"

namespace zym {

// Raises zy::ExtException for a description the model cannot hold
// (references past the tree, unknown materials, parents out of order).
zy::Ref<model::RootNode> buildModel(const Description& d);

// buildModel, then RootNode::save(path, version).
void buildFile(const Description& d, const std::string& path, std::uint16_t version);

} // namespace zym
