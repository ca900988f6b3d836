#pragma once
// The visitor that turns each node into its file record. Every node class
// answers accept(INodeWriter&) by calling the operation for its own class; an
// operation writes its base class's record first, then the fields its class
// adds. The operations are declared in slot order.
//
// Operations that have no writer yet raise "No writer for record <class>."
namespace model {

class RootNode;
class Connector;
class LightNode;
class NumberNode;
class SkinNode;
class RenderNode;
class AnimatedFakeSpotLightsNode;
class FakeSpotLightsNode;
class AnimatedFakeOmniLightsNode;
class FakeOmniLightsNode;
class BaseRenderNode;
class SegmentsNode;
class TreeShellNode;
class ShellNode;
class BaseShellNode;
class LodNode;
class IKBone;
class Bone;
class BillboardNode;
class ArgVisibilityNode;
class ArgAnimatedBone;
class ArgAnimationNode;
class TransformNode;
class Node;
class BaseNode;

class INodeWriter {
public:
    virtual ~INodeWriter() = default;

    virtual void visitRootNode(RootNode& node) = 0;
    virtual void visitConnector(Connector& node);
    virtual void visitLightNode(LightNode& node);
    virtual void visitNumberNode(NumberNode& node);
    virtual void visitSkinNode(SkinNode& node);
    virtual void visitRenderNode(RenderNode& node);
    virtual void visitAnimatedFakeSpotLightsNode(AnimatedFakeSpotLightsNode& node);
    virtual void visitFakeSpotLightsNode(FakeSpotLightsNode& node);
    virtual void visitAnimatedFakeOmniLightsNode(AnimatedFakeOmniLightsNode& node);
    virtual void visitFakeOmniLightsNode(FakeOmniLightsNode& node);
    virtual void visitBaseRenderNode(BaseRenderNode& node);
    virtual void visitSegmentsNode(SegmentsNode& node);
    virtual void visitTreeShellNode(TreeShellNode& node);
    virtual void visitShellNode(ShellNode& node);
    virtual void visitBaseShellNode(BaseShellNode& node);
    virtual void visitLodNode(LodNode& node);
    virtual void visitIKBone(IKBone& node);
    virtual void visitBone(Bone& node);
    virtual void visitBillboardNode(BillboardNode& node);
    virtual void visitArgVisibilityNode(ArgVisibilityNode& node);
    virtual void visitArgAnimatedBone(ArgAnimatedBone& node);
    virtual void visitArgAnimationNode(ArgAnimationNode& node);
    virtual void visitTransformNode(TransformNode& node) = 0;
    virtual void visitNode(Node& node) = 0;
    virtual void visitBaseNode(BaseNode& node) = 0;
};

} // namespace model
