#pragma once
// An argument-animated node that is also a bone.
#include "IBone.h"
#include "transforms/ArgAnimationNode.h"

namespace model {

class ArgAnimatedBone : public ArgAnimationNode, public IBone {
public:
    ArgAnimatedBone() = default;
    // A copy of the animation node (name, category, properties, local matrix,
    // base values, tracks) with an identity bone matrix.
    explicit ArgAnimatedBone(const ArgAnimationNode& animation) : ArgAnimationNode(animation) {}
    ArgAnimatedBone(const ArgAnimatedBone&) = default;

    NodeKind kind() const override { return NodeKind::ArgAnimatedBone; }
    NodeKind effectiveKind() const override { return NodeKind::ArgAnimatedBone; }
    void accept(INodeWriter& writer) override;
    // Animation-node equality and every bone-matrix element within 1e-6.
    bool equals(const Node& other) const override;
    std::unique_ptr<Node> clone() const override;

    void setBoneMatrix(const osg::Mat4d& matrix) override { boneMatrix_ = matrix; }
    const osg::Mat4d& boneMatrix() const override { return boneMatrix_; }
    Node* node() override { return this; }
    const Node* node() const override { return this; }
    // The transform follows the tracks, so the bone answers no fixed local matrix.
    const osg::Mat4d& localMatrix() const override;

private:
    osg::Mat4d boneMatrix_;
};

} // namespace model
