#pragma once
// Collision lines: straight segments between two points each.
#include <vector>

#include "BaseShellNode.h"

namespace model {

struct Segment {
    osg::Vec3f start;
    osg::Vec3f end;
};

class SegmentsNode : public BaseShellNode {
public:
    SegmentsNode() = default;
    SegmentsNode(const SegmentsNode&) = default;

    NodeKind kind() const override { return NodeKind::SegmentsNode; }
    void accept(INodeWriter& writer) override;

    const std::vector<Segment>& segments() const { return segments_; }
    std::vector<Segment>& segments() { return segments_; }
    void addSegment(const osg::Vec3f& start, const osg::Vec3f& end) { segments_.push_back({start, end}); }

    // Another segments node with the same name, control node and category.
    bool canMerge(const BaseNode& other) const override;
    // Appends the other's segments when canMerge holds.
    bool merge(BaseNode& other) override;

    void transform(const osg::Mat4d& m) override;
    Box boundingBox() const override;
    bool isEmpty() const override { return segments_.empty(); }
    // Removes segments whose ends agree within 1e-5 on every axis.
    uint32_t removeDegenerates() override;

private:
    std::vector<Segment> segments_;
};

} // namespace model
