#pragma once
// Collision geometry kept outside the tree in the root's shell list, moved by
// one control node.
#include <cstdint>

#include "BaseNode.h"
#include "Box.h"
#include "Math.h"
#include "zy/Shared.h"

namespace model {

class Node;

class BaseShellNode : public BaseNode, public zy::Shared {
public:
    BaseShellNode() : BaseNode(CATEGORY_SHELL) {}
    BaseShellNode(const BaseShellNode&) = default;

    void accept(INodeWriter& writer) override;

    // Must be set before saving.
    Node* control() const { return control_; }
    void setControl(Node* node) { control_ = node; }

    // Applies m (row-vector convention) to the geometry.
    virtual void transform(const osg::Mat4d& m) = 0;
    virtual Box boundingBox() const = 0;
    virtual bool isEmpty() const = 0;
    // Removes degenerate primitives; returns how many were removed.
    virtual uint32_t removeDegenerates() = 0;

private:
    Node* control_ = nullptr;
};

} // namespace model
