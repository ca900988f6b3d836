#pragma once
// Fake lights: many small glowing sprites drawn as one rendering node. Parts
// are the controls; each light belongs to the control at its control slot.
// The animated variants add an argument and 128 brightness samples per light.
#include <vector>

#include "BaseRenderNode.h"
#include "FakeLightList.h"

namespace model {

using FakeOmniLightList = FakeLightList<FakeLightControl, FakeOmniLight>;
using FakeSpotLightList = FakeLightList<FakeSpotLightControl, FakeSpotLight>;

// What both fake-light kinds share: their light list, whose controls are the
// node's parts, with no argument of their own and one primitive per light.
template <class List>
class FakeLightsNodeOf : public BaseRenderNode {
public:
    List& lightList() { return lights_; }
    const List& lightList() const { return lights_; }

    uint32_t partCount() const override { return uint32_t(lights_.controls().size()); }
    Node* partControl(uint32_t i) const override { return lights_.control(i).node; }
    void setPartControl(uint32_t i, Node* node) override { lights_.control(i).node = node; }
    void setPartArgument(uint32_t, int32_t) override {}
    int32_t partArgument(uint32_t) const override { return -1; }
    uint32_t primitiveCount() const override { return uint32_t(lights_.lights().size()); }

protected:
    List lights_;
};

class FakeOmniLightsNode : public FakeLightsNodeOf<FakeOmniLightList> {
public:
    FakeOmniLightsNode() = default;
    FakeOmniLightsNode(const FakeOmniLightsNode&) = default;

    NodeKind kind() const override { return NodeKind::FakeOmniLightsNode; }
    void accept(INodeWriter& writer) override;

    // Moves the positions of the control's lights.
    void transformPart(uint32_t slot, const osg::Mat4d& m) override;
    Box partBoundingBox(uint32_t slot) const override;

    // Same kind, category and material object.
    bool canMerge(const BaseNode& other) const override;
    // Combines controls (those with the same control node are shared) and
    // lights, renumbering the control slots and recomputing the runs.
    bool merge(BaseNode& other) override;

protected:
    // The order of the combined lights (see FakeLightList::combine).
    std::vector<size_t> mergeLights(FakeOmniLightsNode& other);
};

class FakeSpotLightsNode : public FakeLightsNodeOf<FakeSpotLightList> {
public:
    // "__VERSION__" = 1.
    FakeSpotLightsNode();
    FakeSpotLightsNode(const FakeSpotLightsNode&) = default;

    NodeKind kind() const override { return NodeKind::FakeSpotLightsNode; }
    void accept(INodeWriter& writer) override;

    // Moves the positions of the control's lights and turns its light
    // direction by the normal matrix.
    void transformPart(uint32_t slot, const osg::Mat4d& m) override;
    Box partBoundingBox(uint32_t slot) const override;

    bool canMerge(const BaseNode& other) const override;
    // As for omni lights; controls are shared only when both the control node
    // and the light direction agree, so no light changes direction.
    bool merge(BaseNode& other) override;

protected:
    std::vector<size_t> mergeLights(FakeSpotLightsNode& other);
};

// The animation block of the animated variants: an argument and 128 f32
// samples per light, in light order.
class FakeLightAnimation {
public:
    static constexpr uint32_t kSamplesPerLight = 128;

    // -1 until set; must be set before saving.
    int32_t argument() const { return argument_; }
    void setArgument(int32_t argument) { argument_ = argument; }
    const std::vector<float>& samples() const { return samples_; }
    void setSamples(std::vector<float> samples) { samples_ = std::move(samples); }

protected:
    // Same argument, and both blocks complete for their lights.
    bool canCombine(const FakeLightAnimation& other, size_t lights, size_t otherLights) const;
    // Reorders the concatenated samples of both blocks like the lights.
    void combine(const FakeLightAnimation& other, const std::vector<size_t>& order);

private:
    int32_t argument_ = -1;
    std::vector<float> samples_;
};

class AnimatedFakeOmniLightsNode : public FakeOmniLightsNode, public FakeLightAnimation {
public:
    AnimatedFakeOmniLightsNode() = default;
    AnimatedFakeOmniLightsNode(const AnimatedFakeOmniLightsNode&) = default;

    NodeKind kind() const override { return NodeKind::AnimatedFakeOmniLightsNode; }
    void accept(INodeWriter& writer) override;
    void collectArguments(ArgumentSet& arguments) const override;

    // Also the same argument; the samples move with their lights.
    bool canMerge(const BaseNode& other) const override;
    bool merge(BaseNode& other) override;
};

class AnimatedFakeSpotLightsNode : public FakeSpotLightsNode, public FakeLightAnimation {
public:
    AnimatedFakeSpotLightsNode() = default;
    AnimatedFakeSpotLightsNode(const AnimatedFakeSpotLightsNode&) = default;

    NodeKind kind() const override { return NodeKind::AnimatedFakeSpotLightsNode; }
    void accept(INodeWriter& writer) override;
    void collectArguments(ArgumentSet& arguments) const override;

    bool canMerge(const BaseNode& other) const override;
    bool merge(BaseNode& other) override;
};

} // namespace model
