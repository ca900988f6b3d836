#include "utils/TreeEdit.h"

#include <unordered_map>

#include "RootNode.h"
#include "transforms/TransformNode.h"
#include "utils/ReferenceIndex.h"

namespace model {
namespace {
constexpr double kLargestFoldedTranslation = 100000.0;
}

std::vector<Node*> postOrder(Node* top)
{
    std::vector<Node*> result;
    if (!top)
        return result;
    // Each stack entry is a node whose children are still to be listed.
    std::vector<std::pair<Node*, Node*>> stack{{top, top->firstChild()}};
    while (!stack.empty()) {
        auto& [node, next] = stack.back();
        if (next) {
            Node* child = next;
            next = child->nextSibling();
            stack.push_back({child, child->firstChild()});
        } else {
            result.push_back(node);
            stack.pop_back();
        }
    }
    return result;
}

void moveChildren(Node* from, Node* to)
{
    while (Node* child = from->firstChild())
        to->appendChild(child);
}

Node* replaceNode(RootNode& root, ReferenceIndex& references, Node* node, std::unique_ptr<Node> replacement)
{
    Node* fresh = replacement.get();
    moveChildren(node, fresh);
    references.redirect(node, fresh);
    if (Node* parent = node->parent()) {
        parent->insertChildBefore(replacement.release(), node);
        delete node;
    } else {
        root.setTopNode(std::move(replacement)); // deletes the old top node
    }
    return fresh;
}

void dissolveNode(ReferenceIndex& references, Node* node)
{
    Node* parent = node->parent();
    while (Node* child = node->firstChild())
        parent->insertChildBefore(child, node);
    references.redirect(node, parent);
    delete node;
}

bool isCollapsible(const Node* node, const ReferenceIndex& references)
{
    if (references.controlsConnectorOrLight(node))
        return false;
    for (const Node* child = node->firstChild(); child; child = child->nextSibling())
        if (isKind(child, NodeKind::BillboardNode) || isKind(child, NodeKind::Bone))
            return false;
    if (isKind(node, NodeKind::TransformNode)) {
        const osg::Vec3d t = static_cast<const TransformNode*>(node)->matrix().translation();
        if (!(t.length() <= kLargestFoldedTranslation))
            return false;
    }
    return true;
}

bool isRemovable(const Node* node, const ReferenceIndex& references)
{
    const Node* parent = node->parent();
    if (!parent || !isCollapsible(node, references))
        return false;
    if (!isKind(parent, NodeKind::LodNode))
        return true;
    return node->childCount() == 1 && !references.controlsGeometry(node);
}

std::vector<bool> unreferencedSubtrees(const std::vector<Node*>& nodes, const ReferenceIndex& references)
{
    std::unordered_map<const Node*, size_t> position;
    position.reserve(nodes.size());
    for (size_t i = 0; i < nodes.size(); ++i)
        position[nodes[i]] = i;
    std::vector<bool> result(nodes.size(), false);
    for (size_t i = 0; i < nodes.size(); ++i) { // children come first
        const Node* node = nodes[i];
        const Node* parent = node->parent();
        bool unreferenced = parent && !isKind(parent, NodeKind::LodNode) && !references.isReferenced(node);
        for (const Node* child = node->firstChild(); unreferenced && child; child = child->nextSibling())
            unreferenced = result[position.at(child)];
        result[i] = unreferenced;
    }
    return result;
}

} // namespace model
