#include "FakeLightsNodes.h"

#include "ModelFactoryManager.h"
#include "VertexTransform.h"
#include "io/INodeWriter.h"

namespace model {

namespace {

template <class List>
void moveLightsOf(List& list, uint32_t slot, const osg::Mat4d& m)
{
    const auto& control = list.control(slot);
    for (uint32_t i = control.first; i < control.end; ++i) {
        auto& light = list.light(i);
        light.position = m.transformPoint(light.position);
    }
}

template <class List>
Box boundsOfLights(const List& list, uint32_t slot)
{
    Box box;
    const auto& control = list.control(slot);
    for (uint32_t i = control.first; i < control.end; ++i) {
        const osg::Vec3d& p = list.lights()[i].position;
        box.expand(osg::Vec3f(float(p[0]), float(p[1]), float(p[2])));
    }
    return box;
}

bool sameRenderClass(const BaseRenderNode& a, const BaseNode& b)
{
    const auto* other = dynamic_cast<const BaseRenderNode*>(&b);
    return other && other != &a && other->kind() == a.kind() && other->category() == a.category() &&
           other->material() == a.material();
}

} // namespace

// Omni lights

void FakeOmniLightsNode::accept(INodeWriter& writer)
{
    writer.visitFakeOmniLightsNode(*this);
}

void FakeOmniLightsNode::transformPart(uint32_t slot, const osg::Mat4d& m)
{
    moveLightsOf(lights_, slot, m);
}

Box FakeOmniLightsNode::partBoundingBox(uint32_t slot) const
{
    return boundsOfLights(lights_, slot);
}

bool FakeOmniLightsNode::canMerge(const BaseNode& other) const
{
    return sameRenderClass(*this, other);
}

std::vector<size_t> FakeOmniLightsNode::mergeLights(FakeOmniLightsNode& other)
{
    return lights_.combine(other.lights_,
                           [](const FakeLightControl& a, const FakeLightControl& b) { return a.node == b.node; });
}

bool FakeOmniLightsNode::merge(BaseNode& other)
{
    if (!canMerge(other))
        return false;
    mergeLights(static_cast<FakeOmniLightsNode&>(other));
    return true;
}

// Spot lights

FakeSpotLightsNode::FakeSpotLightsNode()
{
    setVersion(1);
}

void FakeSpotLightsNode::accept(INodeWriter& writer)
{
    writer.visitFakeSpotLightsNode(*this);
}

void FakeSpotLightsNode::transformPart(uint32_t slot, const osg::Mat4d& m)
{
    moveLightsOf(lights_, slot, m);
    transformNormalAt(lights_.control(slot).direction.data(), normalMatrix(m));
}

Box FakeSpotLightsNode::partBoundingBox(uint32_t slot) const
{
    return boundsOfLights(lights_, slot);
}

bool FakeSpotLightsNode::canMerge(const BaseNode& other) const
{
    return sameRenderClass(*this, other);
}

std::vector<size_t> FakeSpotLightsNode::mergeLights(FakeSpotLightsNode& other)
{
    return lights_.combine(other.lights_, [](const FakeSpotLightControl& a, const FakeSpotLightControl& b) {
        return a.node == b.node && a.direction == b.direction;
    });
}

bool FakeSpotLightsNode::merge(BaseNode& other)
{
    if (!canMerge(other))
        return false;
    mergeLights(static_cast<FakeSpotLightsNode&>(other));
    return true;
}

// Animation block

bool FakeLightAnimation::canCombine(const FakeLightAnimation& other, size_t lights, size_t otherLights) const
{
    return argument_ == other.argument_ && samples_.size() == lights * kSamplesPerLight &&
           other.samples_.size() == otherLights * kSamplesPerLight;
}

void FakeLightAnimation::combine(const FakeLightAnimation& other, const std::vector<size_t>& order)
{
    const size_t own = samples_.size() / kSamplesPerLight;
    std::vector<float> combined;
    combined.reserve(order.size() * kSamplesPerLight);
    for (size_t light : order) {
        const float* from = light < own ? samples_.data() + light * kSamplesPerLight
                                        : other.samples_.data() + (light - own) * kSamplesPerLight;
        combined.insert(combined.end(), from, from + kSamplesPerLight);
    }
    samples_ = std::move(combined);
}

// Animated omni lights

void AnimatedFakeOmniLightsNode::accept(INodeWriter& writer)
{
    writer.visitAnimatedFakeOmniLightsNode(*this);
}

void AnimatedFakeOmniLightsNode::collectArguments(ArgumentSet& arguments) const
{
    if (argument() != -1)
        arguments.insert(argument());
    FakeOmniLightsNode::collectArguments(arguments);
}

bool AnimatedFakeOmniLightsNode::canMerge(const BaseNode& other) const
{
    if (!FakeOmniLightsNode::canMerge(other))
        return false;
    const auto& o = static_cast<const AnimatedFakeOmniLightsNode&>(other);
    return canCombine(o, lightList().lights().size(), o.lightList().lights().size());
}

bool AnimatedFakeOmniLightsNode::merge(BaseNode& other)
{
    if (!canMerge(other))
        return false;
    auto& o = static_cast<AnimatedFakeOmniLightsNode&>(other);
    combine(o, mergeLights(o));
    return true;
}

// Animated spot lights

void AnimatedFakeSpotLightsNode::accept(INodeWriter& writer)
{
    writer.visitAnimatedFakeSpotLightsNode(*this);
}

void AnimatedFakeSpotLightsNode::collectArguments(ArgumentSet& arguments) const
{
    if (argument() != -1)
        arguments.insert(argument());
    FakeSpotLightsNode::collectArguments(arguments);
}

bool AnimatedFakeSpotLightsNode::canMerge(const BaseNode& other) const
{
    if (!FakeSpotLightsNode::canMerge(other))
        return false;
    const auto& o = static_cast<const AnimatedFakeSpotLightsNode&>(other);
    return canCombine(o, lightList().lights().size(), o.lightList().lights().size());
}

bool AnimatedFakeSpotLightsNode::merge(BaseNode& other)
{
    if (!canMerge(other))
        return false;
    auto& o = static_cast<AnimatedFakeSpotLightsNode&>(other);
    combine(o, mergeLights(o));
    return true;
}

namespace {
const zy::regClass<FakeOmniLightsNode, ModelFactoryManager> regFakeOmni("model::FakeOmniLightsNode");
const zy::regClass<FakeSpotLightsNode, ModelFactoryManager> regFakeSpot("model::FakeSpotLightsNode");
const zy::regClass<AnimatedFakeOmniLightsNode, ModelFactoryManager> regAnimatedFakeOmni(
    "model::AnimatedFakeOmniLightsNode");
} // namespace

} // namespace model
