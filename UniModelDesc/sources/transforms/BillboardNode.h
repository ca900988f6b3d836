#pragma once
// A transform node the engine turns towards the viewer, by mode, flag and axis.
// The exporter does not create it; the class and its record serve files built
// by other means.
#include "transforms/TransformNode.h"

namespace model {

class BillboardNode : public TransformNode {
public:
    // All zero; "__VERSION__" = 1.
    BillboardNode();
    BillboardNode(const BillboardNode&) = default;

    NodeKind kind() const override { return NodeKind::BillboardNode; }
    void accept(INodeWriter& writer) override;
    // TransformNode equality, equal mode and flag, axis within 1e-6.
    bool equals(const Node& other) const override;
    std::unique_ptr<Node> clone() const override;

    int32_t mode() const { return mode_; }
    void setMode(int32_t mode) { mode_ = mode; }
    int32_t flag() const { return flag_; }
    void setFlag(int32_t flag) { flag_ = flag; }
    const osg::Vec3d& axis() const { return axis_; }
    void setAxis(const osg::Vec3d& axis) { axis_ = axis; }

private:
    int32_t mode_ = 0;
    int32_t flag_ = 0;
    osg::Vec3d axis_{0.0, 0.0, 0.0};
};

} // namespace model
