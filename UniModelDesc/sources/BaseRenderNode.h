#pragma once
// Rendering nodes: drawn geometry kept outside the tree in the root's render
// list. Each is moved by tree nodes, its parts' control nodes, and drawn with
// one material.
#include <cstdint>

#include "BaseNode.h"
#include "Box.h"
#include "IAnimation.h"
#include "Math.h"
#include "PropertiesSet.h"
#include "zy/Shared.h"

namespace model {

class Node;

class BaseRenderNode : public BaseNode, public zy::Shared, public IAnimation {
public:
    BaseRenderNode() : BaseNode(CATEGORY_RENDER) {}
    BaseRenderNode(const BaseRenderNode&) = default;

    void accept(INodeWriter& writer) override;
    BaseMaterial* renderMaterial() const override { return material_.get(); }

    PropertiesSet* material() const { return material_.get(); }
    const zy::Ref<PropertiesSet>& materialRef() const { return material_; }
    void setMaterial(zy::Ref<PropertiesSet> material) { material_ = std::move(material); }

    // Parts: the pieces of the node moved by one control node each. An index
    // beyond the list raises std::out_of_range.
    virtual uint32_t partCount() const = 0;
    virtual Node* partControl(uint32_t i) const = 0;
    virtual void setPartControl(uint32_t i, Node* node) = 0;
    virtual void setPartArgument(uint32_t i, int32_t argument) = 0;
    virtual int32_t partArgument(uint32_t i) const = 0;
    virtual uint32_t primitiveCount() const = 0;
    // Applies m (row-vector convention) to the geometry of one part.
    virtual void transformPart(uint32_t slot, const osg::Mat4d& m) = 0;
    // Bounds of one part's positions; empty when it has none.
    virtual Box partBoundingBox(uint32_t slot) const = 0;

    // The material's arguments.
    void collectArguments(ArgumentSet& arguments) const override;

private:
    zy::Ref<PropertiesSet> material_;
};

} // namespace model
