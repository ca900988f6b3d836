#pragma once
// The in-memory form of one model: the transform tree below the top node, the
// nodes kept outside the tree, the boxes, and the materials while saving.
#include <memory>
#include <unordered_map>
#include <vector>

#include "BaseMaterial.h"
#include "Box.h"
#include "IAnimation.h"
#include "Node.h"
#include "NodeLists.h"
#include "zy/Shared.h"

namespace model {

class Connector;
class LightNode;
class BaseRenderNode;
class BaseShellNode;

class RootNode : public BaseNode, public zy::Shared {
public:
    // Empty lists, empty boxes and "__VERSION__" = 3.
    RootNode();
    RootNode(const RootNode&) = delete;
    ~RootNode() override;

    NodeKind kind() const override { return NodeKind::RootNode; }
    void accept(INodeWriter& writer) override;

    // The node every tree node lies below; the root owns it.
    Node* topNode() const noexcept { return top_.get(); }
    void setTopNode(std::unique_ptr<Node> node) { top_ = std::move(node); }

    // Append and take ownership; the node's owning root becomes this root.
    template <class C>
    void addConnector(std::unique_ptr<C> connector)
    {
        static_cast<BaseNode*>(connector.get())->setRoot(this);
        connectors_.push_back(std::move(connector));
    }
    template <class L>
    void addLight(std::unique_ptr<L> light)
    {
        static_cast<BaseNode*>(light.get())->setRoot(this);
        lights_.push_back(std::move(light));
    }
    // Append a shared reference; the node's owning root becomes this root.
    template <class R>
    void addRenderNode(const zy::Ref<R>& node)
    {
        static_cast<BaseNode*>(node.get())->setRoot(this);
        renderNodes_.push_back(node);
    }
    template <class S>
    void addShellNode(const zy::Ref<S>& node)
    {
        static_cast<BaseNode*>(node.get())->setRoot(this);
        shellNodes_.push_back(node);
    }

    OwnedNodeList<Connector>& connectors() noexcept { return connectors_; }
    const OwnedNodeList<Connector>& connectors() const noexcept { return connectors_; }
    OwnedNodeList<LightNode>& lights() noexcept { return lights_; }
    const OwnedNodeList<LightNode>& lights() const noexcept { return lights_; }
    SharedNodeList<BaseRenderNode>& renderNodes() noexcept { return renderNodes_; }
    const SharedNodeList<BaseRenderNode>& renderNodes() const noexcept { return renderNodes_; }
    SharedNodeList<BaseShellNode>& shellNodes() noexcept { return shellNodes_; }
    const SharedNodeList<BaseShellNode>& shellNodes() const noexcept { return shellNodes_; }

    Box& boundingBox() noexcept { return boundingBox_; }
    const Box& boundingBox() const noexcept { return boundingBox_; }
    Box& userBox() noexcept { return userBox_; }
    const Box& userBox() const noexcept { return userBox_; }
    Box& lightBox() noexcept { return lightBox_; }
    const Box& lightBox() const noexcept { return lightBox_; }

    // Materials: filled only while the file is written.
    // Rebuilds the list: the distinct materials (by identity) of the render
    // nodes, in render-node order (see BaseNode::renderMaterial).
    void collectMaterials();
    void clearMaterials() noexcept;
    const std::vector<zy::Ref<BaseMaterial>>& materials() const noexcept { return materials_; }
    // Position of a material in the list, -1 when it is not listed.
    int32_t materialIndex(const BaseMaterial* material) const noexcept;

    // The top node plus every node below it (0 without a top node).
    size_t nodeCount() const;
    // True when any tree node is a bone of any kind.
    bool hasBones() const;
    // Every argument used by connectors, render nodes, lights, shell nodes and
    // tree nodes.
    void collectArguments(ArgumentSet& arguments) const;
    // 1 + the highest argument used, 0 when none is used.
    uint32_t argumentCount() const;

    // Writes the model as a ZYM file of the given format version (10 or 11).
    // Raises "Unsupported version %d" or "Can't open <path>"; a failed save
    // leaves no file behind and an existing file untouched.
    void save(const zy::string& path, uint16_t version);

private:
    std::unique_ptr<Node> top_;
    OwnedNodeList<Connector> connectors_;
    SharedNodeList<BaseRenderNode> renderNodes_;
    SharedNodeList<BaseShellNode> shellNodes_;
    OwnedNodeList<LightNode> lights_;
    Box boundingBox_;
    Box userBox_;
    Box lightBox_;
    std::vector<zy::Ref<BaseMaterial>> materials_;
    std::unordered_map<const BaseMaterial*, int32_t> materialIndex_;
};

} // namespace model
