#include "utils/TransformOptimizer.h"

#include <map>
#include <unordered_set>
#include <utility>

#include "transforms/LodNode.h"
#include "RootNode.h"
#include "transforms/ArgAnimatedBone.h"
#include "transforms/ArgAnimationNode.h"
#include "transforms/ArgVisibilityNode.h"
#include "transforms/Bone.h"
#include "transforms/TransformNode.h"
#include "utils/KeyReduction.h"
#include "utils/ReferenceIndex.h"
#include "utils/TreeEdit.h"
#include "zy/ExtException.h"

namespace model {
namespace {

[[noreturn]] void raiseUnknownKind(const Node* node)
{
    ZY_THROW(zy::string("Unknown id of transform node: ") + nodeClassName(node->effectiveKind()) + ".");
}

std::vector<Node*> preOrder(Node* top)
{
    std::vector<Node*> nodes;
    forEachPreOrder(top, [&](Node* n) { nodes.push_back(n); });
    return nodes;
}

// A replacement node takes over the name, category and properties.
template <class N>
std::unique_ptr<Node> takeIdentity(std::unique_ptr<N> replacement, const Node& old)
{
    replacement->setName(old.name());
    replacement->setCategory(old.category());
    replacement->properties() = old.properties();
    return replacement;
}

class TreeOptimization {
public:
    TreeOptimization(RootNode& root, double tolerance) : root_(root), references_(root), tolerance_(tolerance) {}

    bool run()
    {
        if (!root_.topNode())
            return false;
        rejectUnusedBones();
        replaceStaticAnimation();
        pushTransformsDown();
        collapse();
        liftGeometry();
        prune();
        mergeEqualSiblings();
        verify();
        return changed_;
    }

private:
    Node* top() const { return root_.topNode(); }

    // 1. A bone that heads an unreferenced subtree moves nothing.
    void rejectUnusedBones()
    {
        const std::vector<Node*> nodes = postOrder(top());
        const std::vector<bool> unreferenced = unreferencedSubtrees(nodes, references_);
        std::unordered_set<const Node*> unused;
        for (size_t i = 0; i < nodes.size(); ++i)
            if (unreferenced[i] && (isKind(nodes[i], NodeKind::Bone) || isKind(nodes[i], NodeKind::ArgAnimatedBone)))
                unused.insert(nodes[i]);
        if (unused.empty())
            return;
        for (Node* node : preOrder(top()))
            if (unused.count(node))
                ZY_THROW("The bone '" + node->name() + "' is unused.");
    }

    // 2. Animated nodes without a single key or range become static nodes.
    void replaceStaticAnimation()
    {
        for (Node* node : preOrder(top())) {
            std::unique_ptr<Node> replacement;
            switch (node->kind()) {
            case NodeKind::ArgAnimatedBone: {
                const auto* bone = static_cast<const ArgAnimatedBone*>(node);
                if (bone->isStatic())
                    replacement = takeIdentity(std::make_unique<Bone>(bone->staticTransform(), bone->boneMatrix()), *node);
                break;
            }
            case NodeKind::ArgAnimationNode:
                if (const auto* animation = static_cast<const ArgAnimationNode*>(node); animation->isStatic())
                    replacement = takeIdentity(std::make_unique<TransformNode>(animation->staticTransform()), *node);
                break;
            case NodeKind::ArgVisibilityNode:
                if (static_cast<const ArgVisibilityNode*>(node)->isStatic())
                    replacement = takeIdentity(std::make_unique<Node>(), *node);
                break;
            default:
                break;
            }
            if (replacement) {
                replaceNode(root_, references_, node, std::move(replacement));
                changed_ = true;
            }
        }
    }

    bool reduceKeys(ArgAnimationNode& node)
    {
        bool reduced = false;
        for (auto& track : node.positionTracks())
            reduced |= model::reduceKeys(track.keys, tolerance_);
        for (auto& track : node.rotationTracks())
            reduced |= model::reduceKeys(track.keys, tolerance_);
        for (auto& track : node.scaleTracks()) {
            reduced |= model::reduceKeys(track.orientationKeys, tolerance_);
            reduced |= model::reduceKeys(track.scaleKeys, tolerance_);
        }
        return reduced;
    }

    // Multiplies the matrix a node's parents no longer carry into its own.
    void absorb(TransformNode& node, const osg::Mat4d& above)
    {
        if (above.isIdentity())
            return;
        node.setMatrix(node.matrix() * above);
        changed_ = true;
    }

    // 3. Static transforms travel down the tree into the geometry; animated
    // nodes, bones and kept transforms absorb what comes from above.
    void pushTransformsDown()
    {
        std::vector<std::pair<Node*, osg::Mat4d>> stack{{top(), osg::Mat4d::identity()}};
        while (!stack.empty()) {
            auto [node, above] = stack.back();
            stack.pop_back();
            osg::Mat4d below = osg::Mat4d::identity();
            switch (node->kind()) {
            case NodeKind::ArgAnimatedBone:
            case NodeKind::ArgAnimationNode:
                changed_ |= reduceKeys(*static_cast<ArgAnimationNode*>(node));
                absorb(*static_cast<TransformNode*>(node), above);
                break;
            case NodeKind::Bone:
                absorb(*static_cast<TransformNode*>(node), above);
                break;
            case NodeKind::ArgVisibilityNode:
            case NodeKind::LodNode:
            case NodeKind::Node:
            case NodeKind::TmpNumberRoot:
                below = above;
                break;
            case NodeKind::TransformNode: {
                auto* transform = static_cast<TransformNode*>(node);
                if (!isCollapsible(node, references_)) {
                    absorb(*transform, above);
                    // A large translation cancelled by the transforms above
                    // would make the node collapsible after all, and the
                    // collapse would then drop its matrix: fold it now.
                    if (!isCollapsible(node, references_))
                        break;
                    above = osg::Mat4d::identity();
                }
                below = transform->matrix() * above;
                if (!transform->matrix().isIdentity()) {
                    transform->setMatrix(osg::Mat4d::identity());
                    changed_ = true;
                }
                break;
            }
            case NodeKind::BillboardNode:
                if (!above.isIdentity()) {
                    auto* carrier = new TransformNode(above);
                    node->parent()->insertChildBefore(carrier, node);
                    carrier->appendChild(node);
                    changed_ = true;
                }
                break;
            default:
                raiseUnknownKind(node);
            }
            if (!below.isIdentity()) {
                references_.transformGeometryOf(node, below);
                changed_ |= references_.controlsGeometry(node);
            }
            for (Node* child = node->lastChild(); child; child = child->prevSibling())
                stack.push_back({child, below});
        }
    }

    std::unique_ptr<Node> plainNodeFor(const Node& node) { return takeIdentity(std::make_unique<Node>(), node); }

    // 4. Nodes left without a purpose are dissolved into their parents.
    void collapse()
    {
        for (Node* node : postOrder(top())) {
            switch (node->kind()) {
            case NodeKind::ArgAnimatedBone:
            case NodeKind::ArgAnimationNode:
            case NodeKind::ArgVisibilityNode:
            case NodeKind::Bone:
            case NodeKind::LodNode:
            case NodeKind::BillboardNode:
            case NodeKind::TmpNumberRoot:
                break;
            case NodeKind::Node:
                if (isRemovable(node, references_)) {
                    dissolveNode(references_, node);
                    changed_ = true;
                }
                break;
            case NodeKind::TransformNode:
                if (isRemovable(node, references_)) {
                    dissolveNode(references_, node);
                    changed_ = true;
                } else if (isCollapsible(node, references_)) {
                    replaceNode(root_, references_, node, plainNodeFor(*node));
                    changed_ = true;
                }
                break;
            default:
                raiseUnknownKind(node);
            }
        }
    }

    // 5. Geometry climbs to the highest node it can hang on, taking the
    // matrices of the transforms it passes with it.
    void liftGeometry()
    {
        for (const Reference& reference : references_.geometryReferences()) {
            Node* const start = reference.control();
            Node* control = start;
            if (!control)
                continue;
            osg::Mat4d passed;
            while (control->parent() && !isKind(control->parent(), NodeKind::LodNode)) {
                if (isKind(control, NodeKind::TransformNode))
                    passed = passed * static_cast<TransformNode*>(control)->matrix();
                else if (!isKind(control, NodeKind::Node))
                    break;
                control = control->parent();
            }
            if (control == start)
                continue;
            if (!passed.isIdentity())
                reference.transformGeometry(passed);
            references_.move(reference, start, control);
            changed_ = true;
        }
    }

    // 6. Subtrees nothing refers to are deleted.
    void prune()
    {
        const std::vector<Node*> nodes = postOrder(top());
        const std::vector<bool> unreferenced = unreferencedSubtrees(nodes, references_);
        std::unordered_set<const Node*> flagged;
        for (size_t i = 0; i < nodes.size(); ++i)
            if (unreferenced[i])
                flagged.insert(nodes[i]);
        std::vector<Node*> heads;
        for (Node* node : nodes)
            if (flagged.count(node) && !flagged.count(node->parent()))
                heads.push_back(node);
        for (Node* head : heads)
            delete head;
        changed_ |= !heads.empty();
    }

    // LOD nodes and number roots are never merged with a sibling: their
    // children stand for separate levels or digits, and a merged LOD node
    // would hold more children than ranges.
    static bool mayMergeSiblings(const Node* node)
    {
        return !isKind(node, NodeKind::LodNode) && !isKind(node, NodeKind::TmpNumberRoot);
    }

    void mergeEqualChildren(Node* parent)
    {
        // Only nodes of the same kind with as many properties can be equal.
        std::map<std::pair<NodeKind, size_t>, std::vector<Node*>> survivors;
        std::vector<Node*> children;
        for (Node* child = parent->firstChild(); child; child = child->nextSibling())
            children.push_back(child);
        for (Node* child : children) {
            if (!mayMergeSiblings(child))
                continue;
            auto& group = survivors[{child->kind(), child->properties().size()}];
            Node* const* equal = nullptr;
            for (Node* const& earlier : group)
                if (earlier->equals(*child)) {
                    equal = &earlier;
                    break;
                }
            if (!equal) {
                group.push_back(child);
                continue;
            }
            moveChildren(child, *equal);
            references_.redirect(child, *equal);
            delete child;
            changed_ = true;
        }
    }

    // 7. Equal siblings become one node holding the children of both.
    void mergeEqualSiblings()
    {
        std::vector<Node*> stack{top()};
        while (!stack.empty()) {
            Node* node = stack.back();
            stack.pop_back();
            if (!isKind(node, NodeKind::LodNode))
                mergeEqualChildren(node);
            for (Node* child = node->lastChild(); child; child = child->prevSibling())
                stack.push_back(child);
        }
    }

    // 8. What is left must be a tree the file can hold.
    void verify()
    {
        forEachPreOrder(top(), [&](Node* node) {
            switch (node->kind()) {
            case NodeKind::ArgAnimatedBone:
            case NodeKind::ArgAnimationNode:
            case NodeKind::ArgVisibilityNode:
            case NodeKind::Bone:
            case NodeKind::BillboardNode:
            case NodeKind::TmpNumberRoot:
                break;
            case NodeKind::LodNode: {
                const size_t ranges = static_cast<const LodNode*>(node)->ranges().size();
                const size_t children = size_t(node->childCount());
                if (children < ranges)
                    ZY_THROW("The number of children is less than the number of lods. Node: '" + node->name() + "'.");
                if (children > ranges)
                    ZY_THROW("The number of children is larger than the number of lods. Node: '" + node->name() + "'.");
                break;
            }
            case NodeKind::Node:
                if (isRemovable(node, references_))
                    ZY_THROW("Optimization error: there is undeleted model::Node '" + node->name() + "'.");
                break;
            case NodeKind::TransformNode:
                if (isRemovable(node, references_))
                    ZY_THROW("Optimization error: there is undeleted model::TransformNode '" + node->name() + "'.");
                break;
            default:
                raiseUnknownKind(node);
            }
        });
    }

    RootNode& root_;
    ReferenceIndex references_;
    double tolerance_;
    bool changed_ = false;
};

} // namespace

bool TransformOptimizer::optimize(RootNode& root, double tolerance)
{
    return TreeOptimization(root, tolerance).run();
}

} // namespace model
