#pragma once
// A tree node that hides its subtree unless every track's argument lies in one
// of the track's ranges.
#include <vector>

#include "IAnimation.h"
#include "Node.h"

namespace model {

struct VisibilityRange {
    double start = 0; // visible from start (inclusive)
    double end = 0;   // to end (exclusive)
};

struct VisibilityTrack {
    int32_t argument = -1;
    std::vector<VisibilityRange> ranges;
};

class ArgVisibilityNode : public Node, public IAnimation {
public:
    ArgVisibilityNode() = default;
    // Takes the tracks normalised (see normalizeTracks).
    explicit ArgVisibilityNode(std::vector<VisibilityTrack> tracks);
    ArgVisibilityNode(const ArgVisibilityNode&) = default;

    NodeKind kind() const override { return NodeKind::ArgVisibilityNode; }
    void accept(INodeWriter& writer) override;

    void updateVisibility(const IModelArguments& arguments, bool& visible) const override;
    bool equals(const Node& other) const override;
    std::unique_ptr<Node> clone() const override;

    void collectArguments(ArgumentSet& arguments) const override;
    // True when no track has a range.
    bool isStatic() const;

    const std::vector<VisibilityTrack>& tracks() const { return tracks_; }
    // For passes that rescale argument values; ranges must stay normalised.
    std::vector<VisibilityTrack>& tracks() { return tracks_; }
    // Replaces the tracks, normalised.
    void setTracks(std::vector<VisibilityTrack> tracks);

    // Sorts the tracks by argument, drops tracks without ranges, orders each
    // range's ends, sorts ranges by start and merges overlapping ranges
    // (ranges that only touch stay separate).
    static std::vector<VisibilityTrack> normalizeTracks(std::vector<VisibilityTrack> tracks);

    static constexpr double kRangeTolerance = 1e-6;

private:
    std::vector<VisibilityTrack> tracks_;
};

} // namespace model
