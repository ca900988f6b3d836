#pragma once
// A node of the transform tree. Tree nodes own their children.
#include <memory>

#include "BaseNode.h"
#include "zy/EmTreeOf.h"

namespace model {

class IModelArguments;

class Node : public BaseNode, public zy::EmTreeOf<Node> {
public:
    Node() = default;
    explicit Node(const char* name) { setName(name); }
    // A copy carries the node's data but is linked into no tree.
    Node(const Node& other);
    ~Node() override = default;

    NodeKind kind() const override { return NodeKind::Node; }
    void accept(INodeWriter& writer) override;

    // Multiplies the node's local transform for the given argument values
    // into matrix (matrix = matrix * local), then lets the parent do the same,
    // so that starting from identity the result is the world matrix. A plain
    // node has no transform of its own and only passes on.
    virtual void accumulateMatrix(const IModelArguments& arguments, osg::Mat4d& matrix) const;
    // Clears visible when the node hides itself for these argument values,
    // then asks the parent. A plain node only passes on.
    virtual void updateVisibility(const IModelArguments& arguments, bool& visible) const;
    // Same kind and equal property sets (Node); subclasses add their data.
    virtual bool equals(const Node& other) const;
    bool differs(const Node& other) const { return !equals(other); }
    // An unlinked copy of the same class.
    virtual std::unique_ptr<Node> clone() const;

    // Position in the file's pre-order numbering; valid right after a
    // numbering pass only.
    int32_t treeIndex() const noexcept { return treeIndex_; }
    void setTreeIndex(int32_t index) noexcept { treeIndex_ = index; }

private:
    int32_t treeIndex_ = -1;
};

// Pre-order walk (a node, then each of its children first to last) without
// recursion, so deep trees cannot exhaust the stack.
template <class NodeT, class F>
void forEachPreOrder(NodeT* top, F&& visit)
{
    if (!top)
        return;
    NodeT* n = top;
    for (;;) {
        visit(n);
        if (n->firstChild()) {
            n = n->firstChild();
            continue;
        }
        while (n != top && !n->nextSibling())
            n = n->parent();
        if (n == top)
            return;
        n = n->nextSibling();
    }
}

} // namespace model
