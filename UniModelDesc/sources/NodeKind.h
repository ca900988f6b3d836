#pragma once
// The kind number every node class reports, and the class name the file
// carries for it.

namespace model {

enum class NodeKind : int {
    ArgAnimatedBone = 0,
    ArgAnimationNode = 1,
    ArgRotationNode = 2,
    ArgScaleNode = 3,
    ArgPositionNode = 4,
    ArgVisibilityNode = 5,
    Bone = 6,
    IKBone = 7,
    Connector = 8,
    LightNode = 9,
    LodNode = 10,
    Node = 11,
    RenderNode = 12,
    BillboardNode = 13,
    ShellNode = 14,
    TreeShellNode = 15,
    SegmentsNode = 16,
    RootNode = 17,
    SkinNode = 18,
    TransformNode = 19,
    FakeOmniLightsNode = 20,
    FakeSpotLightsNode = 21,
    AnimatedFakeOmniLightsNode = 22,
    AnimatedFakeSpotLightsNode = 23,
    NumberNode = 24,
    TmpNumberRoot = 25,
};

constexpr int kNodeKindCount = 26;

// "model::Bone" for NodeKind::Bone and so on; "UNKNOWN_NODE_ID" outside the table.
const char* nodeClassName(NodeKind kind) noexcept;

} // namespace model
