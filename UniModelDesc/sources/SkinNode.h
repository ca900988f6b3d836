#pragma once
// A mesh deformed by bones. Its parts are its bones; one argument serves all.
#include <vector>

#include "BaseMeshRenderNode.h"

namespace model {

class SkinNode : public BaseMeshRenderNode {
public:
    SkinNode() = default;
    SkinNode(const SkinNode&) = default;

    NodeKind kind() const override { return NodeKind::SkinNode; }
    void accept(INodeWriter& writer) override;

    // Appends a bone; refused (false) when the node is not a bone.
    bool addBone(Node* bone);
    const std::vector<Node*>& bones() const { return bones_; }

    uint32_t partCount() const override { return uint32_t(bones_.size()); }
    Node* partControl(uint32_t i) const override { return bones_.at(i); }
    // Stores only nodes that are bones.
    void setPartControl(uint32_t i, Node* node) override;
    // The single argument, whatever the index.
    void setPartArgument(uint32_t, int32_t argument) override { argument_ = argument; }
    int32_t partArgument(uint32_t) const override { return argument_; }
    int32_t argument() const { return argument_; }
    void setArgument(int32_t argument) { argument_ = argument; }

    // Slot 0 moves every vertex; other slots move nothing.
    void transformPart(uint32_t slot, const osg::Mat4d& m) override;
    // Bounds of all vertices, whatever the slot.
    Box partBoundingBox(uint32_t slot) const override;

    // A box kept with the node (not written).
    const Box& box() const { return box_; }
    void setBox(const Box& box) { box_ = box; }

    void collectArguments(ArgumentSet& arguments) const override;

private:
    std::vector<Node*> bones_;
    int32_t argument_ = -1;
    Box box_;
};

} // namespace model
