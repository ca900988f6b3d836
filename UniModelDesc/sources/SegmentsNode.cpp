#include "SegmentsNode.h"

#include <algorithm>
#include <cmath>

#include "ModelFactoryManager.h"
#include "VertexTransform.h"
#include "io/INodeWriter.h"

namespace model {

void SegmentsNode::accept(INodeWriter& writer)
{
    writer.visitSegmentsNode(*this);
}

bool SegmentsNode::canMerge(const BaseNode& other) const
{
    const auto* segments = dynamic_cast<const SegmentsNode*>(&other);
    return segments && segments != this && segments->name() == name() && segments->control() == control() &&
           segments->category() == category();
}

bool SegmentsNode::merge(BaseNode& other)
{
    if (!canMerge(other))
        return false;
    const auto& more = static_cast<SegmentsNode&>(other).segments_;
    segments_.insert(segments_.end(), more.begin(), more.end());
    return true;
}

void SegmentsNode::transform(const osg::Mat4d& m)
{
    for (Segment& s : segments_) {
        transformPointAt(s.start.data(), m);
        transformPointAt(s.end.data(), m);
    }
}

Box SegmentsNode::boundingBox() const
{
    Box box;
    for (const Segment& s : segments_) {
        box.expand(s.start);
        box.expand(s.end);
    }
    return box;
}

uint32_t SegmentsNode::removeDegenerates()
{
    const auto degenerate = [](const Segment& s) {
        for (int axis = 0; axis < 3; ++axis)
            if (!(std::fabs(s.start[axis] - s.end[axis]) <= 1e-5f))
                return false;
        return true;
    };
    const size_t before = segments_.size();
    segments_.erase(std::remove_if(segments_.begin(), segments_.end(), degenerate), segments_.end());
    return uint32_t(before - segments_.size());
}

namespace {
const zy::regClass<SegmentsNode, ModelFactoryManager> regSegmentsNode("model::SegmentsNode");
}

} // namespace model
