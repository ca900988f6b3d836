#include "NodeKind.h"

namespace model {

const char* nodeClassName(NodeKind kind) noexcept
{
    static const char* const names[kNodeKindCount] = {
        "model::ArgAnimatedBone",
        "model::ArgAnimationNode",
        "model::ArgRotationNode",
        "model::ArgScaleNode",
        "model::ArgPositionNode",
        "model::ArgVisibilityNode",
        "model::Bone",
        "model::IKBone",
        "model::Connector",
        "model::LightNode",
        "model::LodNode",
        "model::Node",
        "model::RenderNode",
        "model::BillboardNode",
        "model::ShellNode",
        "model::TreeShellNode",
        "model::SegmentsNode",
        "model::RootNode",
        "model::SkinNode",
        "model::TransformNode",
        "model::FakeOmniLightsNode",
        "model::FakeSpotLightsNode",
        "model::AnimatedFakeOmniLightsNode",
        "model::AnimatedFakeSpotLightsNode",
        "model::NumberNode",
        "model::TmpNumberRoot",
    };
    const int k = static_cast<int>(kind);
    return k >= 0 && k < kNodeKindCount ? names[k] : "UNKNOWN_NODE_ID";
}

} // namespace model
