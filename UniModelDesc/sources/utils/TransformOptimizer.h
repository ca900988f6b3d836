#pragma once
// Simplifies the transform tree of an exported model before it is saved:
// static animation becomes plain transforms, static transforms are folded
// into the geometry, nodes that serve nothing are dissolved or pruned, equal
// siblings are merged, and what is left is checked.
namespace model {

class RootNode;

class TransformOptimizer {
public:
    // Runs the eight steps in order; true when any of them changed the tree.
    // tolerance is the key-reduction tolerance (the exporter passes 1e-5).
    // Raises zy::ExtException on an unused bone, a node kind the tree may not
    // hold, a LOD node whose child count does not match its ranges, or a node
    // that should have been dissolved; the tree is then left half-optimised.
    static bool optimize(RootNode& root, double tolerance);
};

} // namespace model
