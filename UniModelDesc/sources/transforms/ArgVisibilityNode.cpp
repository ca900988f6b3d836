#include "transforms/ArgVisibilityNode.h"

#include <algorithm>
#include <cmath>

#include "IModelArguments.h"
#include "ModelFactoryManager.h"
#include "io/INodeWriter.h"

namespace model {

ArgVisibilityNode::ArgVisibilityNode(std::vector<VisibilityTrack> tracks)
    : tracks_(normalizeTracks(std::move(tracks)))
{
}

void ArgVisibilityNode::setTracks(std::vector<VisibilityTrack> tracks)
{
    tracks_ = normalizeTracks(std::move(tracks));
}

std::vector<VisibilityTrack> ArgVisibilityNode::normalizeTracks(std::vector<VisibilityTrack> tracks)
{
    std::stable_sort(tracks.begin(), tracks.end(),
                     [](const VisibilityTrack& a, const VisibilityTrack& b) { return a.argument < b.argument; });
    std::erase_if(tracks, [](const VisibilityTrack& t) { return t.ranges.empty(); });
    for (VisibilityTrack& track : tracks) {
        auto& ranges = track.ranges;
        for (VisibilityRange& r : ranges)
            if (r.end < r.start)
                std::swap(r.start, r.end);
        std::stable_sort(ranges.begin(), ranges.end(),
                         [](const VisibilityRange& a, const VisibilityRange& b) { return a.start < b.start; });
        size_t last = 0;
        for (size_t i = 1; i < ranges.size(); ++i) {
            if (ranges[last].end > ranges[i].start)
                ranges[last].end = std::max(ranges[last].end, ranges[i].end);
            else
                ranges[++last] = ranges[i];
        }
        ranges.resize(last + 1);
    }
    return tracks;
}

void ArgVisibilityNode::accept(INodeWriter& writer)
{
    writer.visitArgVisibilityNode(*this);
}

void ArgVisibilityNode::updateVisibility(const IModelArguments& arguments, bool& visible) const
{
    for (const VisibilityTrack& track : tracks_) {
        const double v = arguments.value(track.argument);
        const bool passes = std::any_of(track.ranges.begin(), track.ranges.end(),
                                        [&](const VisibilityRange& r) { return r.start <= v && v < r.end; });
        if (!passes) {
            visible = false;
            return;
        }
    }
    Node::updateVisibility(arguments, visible);
}

bool ArgVisibilityNode::isStatic() const
{
    return std::all_of(tracks_.begin(), tracks_.end(), [](const VisibilityTrack& t) { return t.ranges.empty(); });
}

void ArgVisibilityNode::collectArguments(ArgumentSet& arguments) const
{
    for (const VisibilityTrack& track : tracks_)
        if (track.argument != -1)
            arguments.insert(track.argument);
}

bool ArgVisibilityNode::equals(const Node& other) const
{
    if (this == &other)
        return true;
    if (!Node::equals(other))
        return false;
    const auto& o = static_cast<const ArgVisibilityNode&>(other);
    if (tracks_.size() != o.tracks_.size())
        return false;
    for (size_t t = 0; t < tracks_.size(); ++t) {
        const VisibilityTrack& a = tracks_[t];
        const VisibilityTrack& b = o.tracks_[t];
        if (a.argument != b.argument || a.ranges.size() != b.ranges.size())
            return false;
        for (size_t r = 0; r < a.ranges.size(); ++r)
            if (!(std::fabs(a.ranges[r].start - b.ranges[r].start) <= kRangeTolerance) ||
                !(std::fabs(a.ranges[r].end - b.ranges[r].end) <= kRangeTolerance))
                return false;
    }
    return true;
}

std::unique_ptr<Node> ArgVisibilityNode::clone() const
{
    return std::make_unique<ArgVisibilityNode>(*this);
}

namespace {
const zy::regClass<ArgVisibilityNode, ModelFactoryManager> regArgVisibilityNode("model::ArgVisibilityNode");
}

} // namespace model
