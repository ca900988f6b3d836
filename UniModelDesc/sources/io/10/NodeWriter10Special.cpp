// Records of connectors, lights and fake lights, format version 10.
#include "Connector.h"
#include "FakeLightsNodes.h"
#include "LightNode.h"
#include "io/10/ControlIndex10.h"
#include "io/10/NodeWriter10.h"
#include "io/IBinaryFileW.h"
#include "zy/ExtException.h"

namespace model {

namespace {

template <class List>
void writeControls(io::IBinaryFileW& out, const List& list, const BaseNode& node, const char* label)
{
    out.writeU32(uint32_t(list.controls().size()));
    for (const auto& control : list.controls()) {
        out.writeU32(controlIndex(control.node, node, label));
        out.writeU32(control.end);
        if constexpr (requires { control.direction; })
            out.writeVec3f(control.direction);
    }
}

void writeOmniFields(io::IBinaryFileW& out, const FakeOmniLight& light)
{
    out.writeVec3d(light.position);
    out.writeVec2f(light.lowerLeft);
    out.writeVec2f(light.upperRight);
    out.writeF32(light.size);
    out.writeU32(light.controlSlot);
}

// The animation block; an argument and a complete sample list are required.
void writeAnimation(io::IBinaryFileW& out, const FakeLightAnimation& animation, size_t lights, NodeKind kind)
{
    if (animation.argument() == -1)
        ZY_THROWF("Argument of animated fake omni lights must be valid. Node id: %s.", nodeClassName(kind));
    if (animation.samples().size() != lights * FakeLightAnimation::kSamplesPerLight)
        ZY_THROWF("Invalid data size. Node id: %s.", nodeClassName(kind));
    out.writeI32(animation.argument());
    out.writeU32(FakeLightAnimation::kSamplesPerLight);
    out.writeU32(uint32_t(animation.samples().size()));
    out.writeF32Array(animation.samples().data(), animation.samples().size());
}

} // namespace

void NodeWriter10::visitConnector(Connector& node)
{
    const uint32_t control = controlIndex(node.control(), node, "Connector");
    visitBaseNode(node);
    out_.writeU32(control);
    writePropertyList(out_, node.animatedProperties());
}

void NodeWriter10::visitLightNode(LightNode& node)
{
    const uint32_t control = controlIndex(node.control(), node, "LightNode");
    visitBaseNode(node);
    out_.writeU32(control);
    out_.writeU8(uint8_t(node.lightType()));
    writePropertyList(out_, node.lightProperties());
    out_.writeBool(node.texture().inUse());
    if (node.texture().inUse())
        node.texture().write(out_);
}

void NodeWriter10::visitFakeOmniLightsNode(FakeOmniLightsNode& node)
{
    visitBaseRenderNode(node);
    const FakeOmniLightList& list = node.lightList();
    writeControls(out_, list, node, "FakeOmniLightsNode");
    out_.writeU32(uint32_t(list.lights().size()));
    for (const FakeOmniLight& light : list.lights())
        writeOmniFields(out_, light);
}

void NodeWriter10::visitFakeSpotLightsNode(FakeSpotLightsNode& node)
{
    visitBaseRenderNode(node);
    const FakeSpotLightList& list = node.lightList();
    writeControls(out_, list, node, "FakeSpotLightsNode");
    out_.writeU32(uint32_t(list.lights().size()));
    for (const FakeSpotLight& light : list.lights()) {
        writeOmniFields(out_, light);
        out_.writeVec2f(light.backLowerLeft);
        out_.writeVec2f(light.backUpperRight);
        out_.writeBool(light.backUsed);
    }
}

void NodeWriter10::visitAnimatedFakeOmniLightsNode(AnimatedFakeOmniLightsNode& node)
{
    visitFakeOmniLightsNode(node);
    writeAnimation(out_, node, node.lightList().lights().size(), node.effectiveKind());
}

void NodeWriter10::visitAnimatedFakeSpotLightsNode(AnimatedFakeSpotLightsNode& node)
{
    visitFakeSpotLightsNode(node);
    writeAnimation(out_, node, node.lightList().lights().size(), node.effectiveKind());
}

} // namespace model
