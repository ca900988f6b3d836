#pragma once
// Bones: tree nodes that also carry the matrix a skin binds to.
#include <array>
#include <numbers>

#include "IBone.h"
#include "transforms/TransformNode.h"

namespace model {

class Bone : public TransformNode, public IBone {
public:
    Bone() = default;
    Bone(const osg::Mat4d& localMatrix, const osg::Mat4d& boneMatrix)
        : TransformNode(localMatrix), boneMatrix_(boneMatrix)
    {
    }
    Bone(const Bone&) = default;

    NodeKind kind() const override { return NodeKind::Bone; }
    void accept(INodeWriter& writer) override;
    // TransformNode equality and every bone-matrix element within 1e-6.
    bool equals(const Node& other) const override;
    std::unique_ptr<Node> clone() const override;

    void setBoneMatrix(const osg::Mat4d& matrix) override { boneMatrix_ = matrix; }
    const osg::Mat4d& boneMatrix() const override { return boneMatrix_; }
    Node* node() override { return this; }
    const Node* node() const override { return this; }
    const osg::Mat4d& localMatrix() const override { return matrix(); }

private:
    osg::Mat4d boneMatrix_;
};

// A bone with angle limits for inverse kinematics, in radians: minimum and
// maximum about x, about y, about z.
class IKBone : public Bone {
public:
    using Limits = std::array<double, 6>;
    static constexpr Limits kDefaultLimits = {-std::numbers::pi, std::numbers::pi,
                                              -std::numbers::pi / 2, std::numbers::pi / 2,
                                              -std::numbers::pi, std::numbers::pi};

    IKBone() = default;
    explicit IKBone(const osg::Mat4d& localMatrix) : Bone(localMatrix, osg::Mat4d()) {}
    IKBone(const IKBone&) = default;

    NodeKind kind() const override { return NodeKind::IKBone; }
    void accept(INodeWriter& writer) override;
    // Bone equality and the six limits within 1e-6.
    bool equals(const Node& other) const override;
    std::unique_ptr<Node> clone() const override;

    const Limits& limits() const { return limits_; }
    void setLimits(const Limits& limits) { limits_ = limits; }

private:
    Limits limits_ = kDefaultLimits;
};

} // namespace model
