#pragma once
// An attachment point for the engine: a control node plus properties, some of
// them argument-driven.
#include "BaseNode.h"
#include "IAnimation.h"
#include "PropertyList.h"

namespace model {

class Node;

class Connector : public BaseNode, public IAnimation {
public:
    Connector() : BaseNode(CATEGORY_CONNECTOR) {}
    Connector(const Connector&) = default;

    NodeKind kind() const override { return NodeKind::Connector; }
    void accept(INodeWriter& writer) override;

    Node* control() const { return control_; }
    void setControl(Node* node) { control_ = node; }

    // Animated and argument properties, besides the node's own property list.
    AnimatedPropertyList& animatedProperties() { return animatedProperties_; }
    const AnimatedPropertyList& animatedProperties() const { return animatedProperties_; }

    // The arguments of the animated properties (those that have one).
    void collectArguments(ArgumentSet& arguments) const override;

private:
    Node* control_ = nullptr;
    AnimatedPropertyList animatedProperties_;
};

} // namespace model
