#include "transforms/ArgAnimationNode.h"

#include <cmath>

#include "IModelArguments.h"
#include "ModelFactoryManager.h"
#include "io/INodeWriter.h"

namespace model {

namespace {

// O·S·O⁻¹: a scale along the axes of an orientation.
osg::Mat4d orientedScale(const osg::Quatd& orientation, const osg::Vec3d& scale)
{
    const double n2 = orientation.norm2();
    const osg::Quatd c = orientation.conjugate();
    const osg::Quatd inverse = n2 > 0 ? osg::Quatd(c.x / n2, c.y / n2, c.z / n2, c.w / n2) : c;
    return osg::Mat4d::rotate(orientation) * osg::Mat4d::scale(scale) * osg::Mat4d::rotate(inverse);
}

bool within(double a, double b, double tolerance)
{
    return std::fabs(a - b) <= tolerance;
}

bool within(const osg::Vec3d& a, const osg::Vec3d& b, double tolerance)
{
    return within(a[0], b[0], tolerance) && within(a[1], b[1], tolerance) && within(a[2], b[2], tolerance);
}

bool within(const osg::Quatd& a, const osg::Quatd& b, double tolerance)
{
    return within(a.x, b.x, tolerance) && within(a.y, b.y, tolerance) && within(a.z, b.z, tolerance) &&
           within(a.w, b.w, tolerance);
}

template <class T>
bool sameKeys(const std::vector<Key<T>>& a, const std::vector<Key<T>>& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (!within(a[i].time, b[i].time, ArgAnimationNode::kKeyTolerance) ||
            !within(a[i].value, b[i].value, ArgAnimationNode::kKeyTolerance))
            return false;
    return true;
}

} // namespace

NodeKind ArgAnimationNode::effectiveKind() const
{
    const bool position = !positionTracks_.empty();
    const bool rotation = !rotationTracks_.empty();
    const bool scale = !scaleTracks_.empty();
    if (!position && !rotation)
        return NodeKind::ArgScaleNode;
    if (rotation && !position && !scale)
        return NodeKind::ArgRotationNode;
    if (position && !rotation && !scale)
        return NodeKind::ArgPositionNode;
    return NodeKind::ArgAnimationNode;
}

void ArgAnimationNode::accept(INodeWriter& writer)
{
    writer.visitArgAnimationNode(*this);
}

osg::Mat4d ArgAnimationNode::transformFor(const IModelArguments* arguments) const
{
    const auto value = [&](int32_t argument) { return arguments ? double(arguments->value(argument)) : 0.0; };

    osg::Vec3d translation = basePosition_;
    osg::Quatd rotation;
    osg::Mat4d scale;
    if (arguments) {
        for (const PositionTrack& t : positionTracks_)
            translation += evaluateKeys(t.keys, value(t.argument), osg::Vec3d(0.0, 0.0, 0.0));
        // Each later track acts after the ones before it.
        for (const RotationTrack& t : rotationTracks_)
            rotation = evaluateKeys(t.keys, value(t.argument), osg::Quatd()) * rotation;
        for (const ScaleTrack& t : scaleTracks_) {
            const double v = value(t.argument);
            if (t.orientationKeys.empty() && t.scaleKeys.empty())
                continue;
            scale *= orientedScale(evaluateKeys(t.orientationKeys, v, osg::Quatd()),
                                   evaluateKeys(t.scaleKeys, v, osg::Vec3d(1.0, 1.0, 1.0)));
        }
    }
    // The base rotation acts last.
    rotation = baseRotation_ * rotation;
    scale *= orientedScale(scaleOrientation_, baseScale_);
    return scale * osg::Mat4d::rotate(rotation) * osg::Mat4d::translate(translation) * matrix();
}

osg::Mat4d ArgAnimationNode::localTransform(const IModelArguments& arguments) const
{
    return transformFor(&arguments);
}

osg::Mat4d ArgAnimationNode::staticTransform() const
{
    return transformFor(nullptr);
}

void ArgAnimationNode::accumulateMatrix(const IModelArguments& arguments, osg::Mat4d& matrix) const
{
    matrix = matrix * localTransform(arguments);
    Node::accumulateMatrix(arguments, matrix);
}

bool ArgAnimationNode::isStatic() const
{
    for (const PositionTrack& t : positionTracks_)
        if (!t.keys.empty())
            return false;
    for (const RotationTrack& t : rotationTracks_)
        if (!t.keys.empty())
            return false;
    for (const ScaleTrack& t : scaleTracks_)
        if (!t.orientationKeys.empty() || !t.scaleKeys.empty())
            return false;
    return true;
}

void ArgAnimationNode::collectArguments(ArgumentSet& arguments) const
{
    const auto add = [&](int32_t argument) {
        if (argument != -1)
            arguments.insert(argument);
    };
    for (const PositionTrack& t : positionTracks_)
        add(t.argument);
    for (const RotationTrack& t : rotationTracks_)
        add(t.argument);
    for (const ScaleTrack& t : scaleTracks_)
        add(t.argument);
}

bool ArgAnimationNode::equals(const Node& other) const
{
    if (this == &other)
        return true;
    if (!TransformNode::equals(other))
        return false;
    const auto& o = static_cast<const ArgAnimationNode&>(other);
    if (positionTracks_.size() != o.positionTracks_.size() || rotationTracks_.size() != o.rotationTracks_.size() ||
        scaleTracks_.size() != o.scaleTracks_.size())
        return false;
    for (size_t i = 0; i < positionTracks_.size(); ++i)
        if (positionTracks_[i].argument != o.positionTracks_[i].argument ||
            !sameKeys(positionTracks_[i].keys, o.positionTracks_[i].keys))
            return false;
    for (size_t i = 0; i < rotationTracks_.size(); ++i)
        if (rotationTracks_[i].argument != o.rotationTracks_[i].argument ||
            !sameKeys(rotationTracks_[i].keys, o.rotationTracks_[i].keys))
            return false;
    for (size_t i = 0; i < scaleTracks_.size(); ++i)
        if (scaleTracks_[i].argument != o.scaleTracks_[i].argument ||
            !sameKeys(scaleTracks_[i].orientationKeys, o.scaleTracks_[i].orientationKeys) ||
            !sameKeys(scaleTracks_[i].scaleKeys, o.scaleTracks_[i].scaleKeys))
            return false;
    return within(basePosition_, o.basePosition_, kBaseTolerance) &&
           within(baseRotation_, o.baseRotation_, kQuatTolerance) &&
           within(scaleOrientation_, o.scaleOrientation_, kQuatTolerance) &&
           within(baseScale_, o.baseScale_, kBaseTolerance);
}

std::unique_ptr<Node> ArgAnimationNode::clone() const
{
    return std::make_unique<ArgAnimationNode>(*this);
}

namespace {
// The three single-track names create the general class: the file layout is the same.
const zy::regClass<ArgAnimationNode, ModelFactoryManager> regArgAnimationNode("model::ArgAnimationNode");
const zy::regClass<ArgAnimationNode, ModelFactoryManager> regArgPositionNode("model::ArgPositionNode");
const zy::regClass<ArgAnimationNode, ModelFactoryManager> regArgRotationNode("model::ArgRotationNode");
const zy::regClass<ArgAnimationNode, ModelFactoryManager> regArgScaleNode("model::ArgScaleNode");
} // namespace

} // namespace model
