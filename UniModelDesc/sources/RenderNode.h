#pragma once
// A mesh drawn with one material, in parts: each part is a range of the
// index array moved by one control node. Every vertex stores the number of
// its part in its fourth position component.
#include <vector>

#include "BaseMeshRenderNode.h"

namespace model {

struct RenderPart {
    Node* control = nullptr;
    uint32_t start = 0; // first index of the part's range
    uint32_t end = 0;   // one past its last index
    int32_t argument = -1;
};

class RenderNode : public BaseMeshRenderNode {
public:
    // One part {no control node, 0, 0, -1}.
    RenderNode() : parts_(1) {}
    RenderNode(const RenderNode&) = default;

    NodeKind kind() const override { return NodeKind::RenderNode; }
    void accept(INodeWriter& writer) override;
    // Merging rules of render geometry (same material, compatible parts).
    bool canMerge(const BaseNode& other) const override;
    bool merge(BaseNode& other) override;

    // Besides the length check: one part {current control, 0, index count, -1},
    // and every vertex marked as part 0.
    bool setGeometry(const Vertices& vertices, const Indices& indices) override;

    uint32_t partCount() const override { return uint32_t(parts_.size()); }
    Node* partControl(uint32_t i) const override { return parts_.at(i).control; }
    void setPartControl(uint32_t i, Node* node) override { parts_.at(i).control = node; }
    void setPartArgument(uint32_t i, int32_t argument) override { parts_.at(i).argument = argument; }
    int32_t partArgument(uint32_t i) const override { return parts_.at(i).argument; }
    void transformPart(uint32_t slot, const osg::Mat4d& m) override;
    Box partBoundingBox(uint32_t slot) const override;

    const std::vector<RenderPart>& parts() const { return parts_; }
    // For passes that regroup the geometry; the ranges must stay adjacent and
    // cover the index array, and each vertex must carry its part number.
    std::vector<RenderPart>& parts() { return parts_; }

    // Also shrinks the parts' index ranges.
    uint32_t removeDegenerateTriangles() override;

    // The arguments of the parts that have one, then the material's.
    void collectArguments(ArgumentSet& arguments) const override;

private:
    std::vector<RenderPart> parts_;
};

} // namespace model
