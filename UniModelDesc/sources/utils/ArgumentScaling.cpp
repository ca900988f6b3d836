#include "utils/ArgumentScaling.h"

#include <algorithm>
#include <utility>

#include "RootNode.h"
#include "transforms/ArgAnimationNode.h"
#include "transforms/ArgVisibilityNode.h"

namespace model {
namespace {

template <class K>
void scaleKeys(std::vector<K>& keys, double factor)
{
    for (K& key : keys)
        key.time *= factor;
    if (factor < 0)
        std::reverse(keys.begin(), keys.end());
}

void scaleTracks(ArgAnimationNode& node, double factor)
{
    for (auto& track : node.positionTracks())
        scaleKeys(track.keys, factor);
    for (auto& track : node.rotationTracks())
        scaleKeys(track.keys, factor);
    for (auto& track : node.scaleTracks()) {
        scaleKeys(track.orientationKeys, factor);
        scaleKeys(track.scaleKeys, factor);
    }
}

void scaleRanges(ArgVisibilityNode& node, double factor)
{
    for (VisibilityTrack& track : node.tracks()) {
        for (VisibilityRange& range : track.ranges) {
            range.start *= factor;
            range.end *= factor;
            if (factor < 0)
                std::swap(range.start, range.end);
        }
        if (factor < 0)
            std::reverse(track.ranges.begin(), track.ranges.end());
    }
}

} // namespace

void scaleArgumentValues(RootNode& root, double factor)
{
    forEachPreOrder(root.topNode(), [&](Node* node) {
        switch (node->kind()) {
        case NodeKind::ArgAnimatedBone:
        case NodeKind::ArgAnimationNode:
            scaleTracks(*static_cast<ArgAnimationNode*>(node), factor);
            break;
        case NodeKind::ArgVisibilityNode:
            scaleRanges(*static_cast<ArgVisibilityNode*>(node), factor);
            break;
        default:
            break;
        }
    });
}

} // namespace model
