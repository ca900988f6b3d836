#pragma once
// The records of format version 10.
#include "io/INodeWriter.h"

namespace io {
class IBinaryFileW;
}

namespace model {

class NodeWriter10 : public INodeWriter {
public:
    explicit NodeWriter10(io::IBinaryFileW& out) : out_(out) {}

    // Tree and root records: NodeWriter10.cpp
    void visitRootNode(RootNode& node) override;
    void visitTransformNode(TransformNode& node) override;
    void visitNode(Node& node) override;
    void visitBaseNode(BaseNode& node) override;

    // Geometry, material, animation and special records: NodeWriter10Geometry.cpp, NodeWriter10Special.cpp
    // (their overrides are declared in this block)
    void visitBaseRenderNode(BaseRenderNode& node) override;
    void visitRenderNode(RenderNode& node) override;
    void visitNumberNode(NumberNode& node) override;
    void visitSkinNode(SkinNode& node) override;
    void visitBaseShellNode(BaseShellNode& node) override;
    void visitShellNode(ShellNode& node) override;
    void visitSegmentsNode(SegmentsNode& node) override;
    // NodeWriter10Animation.cpp
    void visitArgAnimationNode(ArgAnimationNode& node) override;
    void visitArgAnimatedBone(ArgAnimatedBone& node) override;
    void visitArgVisibilityNode(ArgVisibilityNode& node) override;
    void visitBone(Bone& node) override;
    void visitIKBone(IKBone& node) override;
    void visitLodNode(LodNode& node) override;
    void visitBillboardNode(BillboardNode& node) override;
    // NodeWriter10Special.cpp
    void visitConnector(Connector& node) override;
    void visitLightNode(LightNode& node) override;
    void visitFakeOmniLightsNode(FakeOmniLightsNode& node) override;
    void visitFakeSpotLightsNode(FakeSpotLightsNode& node) override;
    void visitAnimatedFakeOmniLightsNode(AnimatedFakeOmniLightsNode& node) override;
    void visitAnimatedFakeSpotLightsNode(AnimatedFakeSpotLightsNode& node) override;

protected:
    io::IBinaryFileW& out_;
};

} // namespace model
