#pragma once
// Simplifies the transform tree of an exported model before it is saved:
// static animation becomes plain transforms, static transforms are folded
// into the geometry, nodes that serve nothing are dissolved or pruned, equal
// siblings are merged, and what is left is checked.
//
// Every reference to a node that is replaced, dissolved or merged (parts of
// rendering nodes, skin bones, fake-light controls, shells, connectors and
// lights) follows it to the node that takes its place.
//
// Two rules keep the result exact where the plain steps would not:
// - a transform kept for its large translation whose translation becomes
//   small once the transforms above are multiplied in is folded right away,
//   since the collapse would otherwise drop its matrix;
// - LOD nodes and number roots are not merged with equal siblings: a merged
//   LOD node would hold more children than ranges, and merged number roots
//   would mix the digits of two numbers.
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
