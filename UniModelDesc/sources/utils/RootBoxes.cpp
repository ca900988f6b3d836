#include "utils/RootBoxes.h"

#include <algorithm>

#include "BaseRenderNode.h"
#include "IModelArguments.h"
#include "LightNode.h"
#include "Property.h"
#include "RootNode.h"
#include "utils/ArgumentScaling.h"

namespace model {
namespace {

constexpr size_t kLightReachSlot = 4;

// The eight corners of box moved by m, added to bounds.
void expandByTransformedBox(Box& bounds, const Box& box, const osg::Mat4d& m)
{
    for (int corner = 0; corner < 8; ++corner) {
        const osg::Vec3d p{corner & 1 ? box.max[0] : box.min[0], corner & 2 ? box.max[1] : box.min[1],
                           corner & 4 ? box.max[2] : box.min[2]};
        const osg::Vec3d q = m.transformPoint(p);
        bounds.expand(osg::Vec3f(float(q[0]), float(q[1]), float(q[2])));
    }
}

// The reach of one light: its slot-4 value, or the largest key of an
// animated float; other animated kinds have no keys to read and add nothing.
float lightReach(const LightNode& light)
{
    const BaseProperty* property = light.lightProperty(kLightReachSlot);
    if (!property)
        return 0.0f;
    if (!property->isAnimated())
        return property->asFloat();
    float reach = 0.0f;
    if (const auto* animated = dynamic_cast<const AnimatedProperty<float>*>(property))
        for (const auto& key : animated->keys())
            reach = std::max(reach, key.value);
    return reach;
}

} // namespace

Box computeBoundingBox(const RootNode& root)
{
    Box bounds;
    const DummyArguments restPose;
    for (size_t i = 0; i < root.renderNodes().size(); ++i) {
        const BaseRenderNode* node = root.renderNodes()[i];
        for (uint32_t part = 0; part < node->partCount(); ++part) {
            const Box local = node->partBoundingBox(part);
            if (local.isEmpty())
                continue;
            osg::Mat4d world;
            if (const Node* control = node->partControl(part))
                control->accumulateMatrix(restPose, world);
            expandByTransformedBox(bounds, local, world);
        }
    }
    return bounds;
}

Box computeLightBox(const RootNode& root)
{
    float reach = 0.0f;
    for (size_t i = 0; i < root.lights().size(); ++i)
        reach = std::max(reach, lightReach(*root.lights()[i]));
    Box box = root.boundingBox();
    for (int axis = 0; axis < 3; ++axis) {
        box.min[axis] -= reach;
        box.max[axis] += reach;
    }
    return box;
}

std::vector<zy::ExtException> settleRootBoxes(RootNode& root, std::optional<double> keyTimeFactor)
{
    std::vector<zy::ExtException> messages;
    if (root.boundingBox().isEmpty()) {
        if (root.hasBones())
            messages.emplace_back(kBonesNeedBoundingBox, __FILE__, __LINE__);
        else
            root.boundingBox() = computeBoundingBox(root);
    }
    if (keyTimeFactor)
        scaleArgumentValues(root, *keyTimeFactor);
    if (root.userBox().isEmpty())
        root.userBox() = root.boundingBox();
    if (root.lights().empty())
        root.lightBox() = Box();
    else if (root.lightBox().isEmpty())
        root.lightBox() = computeLightBox(root);
    return messages;
}

} // namespace model
