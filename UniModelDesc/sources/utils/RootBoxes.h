#pragma once
// The root's three boxes: the bounding box of all rendering geometry at the
// rest pose, the user box, and the light box (the bounding box grown by the
// lights' reach).
#include <optional>
#include <vector>

#include "Box.h"
#include "zy/ExtException.h"

namespace model {

class RootNode;

// Bounds of every part of every rendering node, each part's box moved by the
// world matrix of its control node with every argument at 0. Parts without
// vertices add nothing; a part without a control node stays where it is.
// Shell nodes, connectors and lights do not contribute.
Box computeBoundingBox(const RootNode& root);

// The root's bounding box with every side pushed out by the largest reach of
// its lights (light property slot 4: its value, or its largest key when
// animated).
Box computeLightBox(const RootNode& root);

// The message settleRootBoxes reports for a model with bones and no box.
inline constexpr const char* kBonesNeedBoundingBox = "Model has bones so it must have manually set bounding box.";

// How the exporter settles the boxes once the passes are done, in order:
// 1. an empty bounding box is computed, unless the model has bones: then it
//    stays empty and the returned list holds kBonesNeedBoundingBox (with this
//    function as its source location);
// 2. with a key-time factor, argument values are scaled by it;
// 3. an empty user box becomes the bounding box;
// 4. with lights, an empty light box is computed; without, it is emptied.
// Returns the messages for the exporter's error list (empty when all is well).
std::vector<zy::ExtException> settleRootBoxes(RootNode& root, std::optional<double> keyTimeFactor);

} // namespace model
