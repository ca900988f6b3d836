#pragma once
// A tree node whose local transform follows arguments: position, rotation and
// scale tracks on top of base values, followed by the inherited local matrix.
#include <vector>

#include "IAnimation.h"
#include "transforms/AnimationTracks.h"
#include "transforms/TransformNode.h"

namespace model {

class ArgAnimationNode : public TransformNode, public IAnimation {
public:
    ArgAnimationNode() = default;
    ArgAnimationNode(const ArgAnimationNode&) = default;

    NodeKind kind() const override { return NodeKind::ArgAnimationNode; }
    // 2 (rotation tracks only), 4 (position tracks only), 3 (neither position
    // nor rotation tracks), otherwise 1.
    NodeKind effectiveKind() const override;
    void accept(INodeWriter& writer) override;

    void accumulateMatrix(const IModelArguments& arguments, osg::Mat4d& matrix) const override;
    bool equals(const Node& other) const override;
    std::unique_ptr<Node> clone() const override;

    // The arguments of all tracks (those that have one).
    void collectArguments(ArgumentSet& arguments) const override;
    // True when no track has a key.
    virtual bool isStatic() const;

    // scale · rotation · translation · local matrix for these argument values.
    osg::Mat4d localTransform(const IModelArguments& arguments) const;
    // The same with every track left out: base values and local matrix only.
    osg::Mat4d staticTransform() const;

    const osg::Vec3d& basePosition() const { return basePosition_; }
    void setBasePosition(const osg::Vec3d& p) { basePosition_ = p; }
    const osg::Quatd& baseRotation() const { return baseRotation_; }
    void setBaseRotation(const osg::Quatd& q) { baseRotation_ = q; }
    const osg::Quatd& scaleOrientation() const { return scaleOrientation_; }
    void setScaleOrientation(const osg::Quatd& q) { scaleOrientation_ = q; }
    const osg::Vec3d& baseScale() const { return baseScale_; }
    void setBaseScale(const osg::Vec3d& s) { baseScale_ = s; }

    const std::vector<PositionTrack>& positionTracks() const { return positionTracks_; }
    std::vector<PositionTrack>& positionTracks() { return positionTracks_; }
    const std::vector<RotationTrack>& rotationTracks() const { return rotationTracks_; }
    std::vector<RotationTrack>& rotationTracks() { return rotationTracks_; }
    const std::vector<ScaleTrack>& scaleTracks() const { return scaleTracks_; }
    std::vector<ScaleTrack>& scaleTracks() { return scaleTracks_; }

    static constexpr double kKeyTolerance = 1e-10;
    static constexpr double kBaseTolerance = 1e-6;
    // 1e-6 rounded to single precision, as the quaternion comparison uses it.
    static constexpr double kQuatTolerance = 9.999999974752427e-07;

private:
    osg::Mat4d transformFor(const IModelArguments* arguments) const;

    osg::Vec3d basePosition_{0.0, 0.0, 0.0};
    osg::Quatd baseRotation_;
    osg::Quatd scaleOrientation_;
    osg::Vec3d baseScale_{1.0, 1.0, 1.0};
    std::vector<PositionTrack> positionTracks_;
    std::vector<RotationTrack> rotationTracks_;
    std::vector<ScaleTrack> scaleTracks_;
};

} // namespace model
