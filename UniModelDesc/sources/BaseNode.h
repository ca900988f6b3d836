#pragma once
// The base of every model node: tree nodes, the root, and the nodes the root
// keeps in its lists (connectors, lights, rendering and shell nodes).
#include <cstdint>

#include "NodeKind.h"
#include "PropertyList.h"

namespace model {

class INodeWriter;
class RootNode;
class BaseMaterial;

// Category mask written into every record.
enum NodeCategory : uint32_t {
    CATEGORY_TREE = 0,
    CATEGORY_RENDER = 1,
    CATEGORY_CONNECTOR = 2,
    CATEGORY_LIGHT = 4,
    CATEGORY_SHELL = 16,
};

class BaseNode {
public:
    explicit BaseNode(uint32_t category = CATEGORY_TREE) : category_(category) {}
    BaseNode(const BaseNode&) = default;
    BaseNode& operator=(const BaseNode&) = delete;
    virtual ~BaseNode() = default;

    // Empty by default; subclasses may hook in before the node is used.
    virtual void prepare() {}
    // Geometry merging (false unless a class supports it).
    virtual bool canMerge(const BaseNode& other) const { return false; }
    virtual bool merge(BaseNode& other) { return false; }
    // The kind the file records the node under; differs from kind() only for
    // argument animation nodes that use a single track type.
    virtual NodeKind effectiveKind() const { return kind(); }
    virtual NodeKind kind() const = 0;
    // Calls the writer's operation for the node's own class.
    virtual void accept(INodeWriter& writer) = 0;

    // The material the root lists for this node in the file; null for nodes
    // that do not render. Rendering node classes (model::BaseRenderNode)
    // answer their material here, which is how RootNode::collectMaterials
    // finds them.
    virtual BaseMaterial* renderMaterial() const { return nullptr; }

    // The root whose list holds the node; null for tree nodes.
    RootNode* root() const noexcept { return root_; }
    void setRoot(RootNode* root) noexcept { root_ = root; }

    uint32_t category() const noexcept { return category_; }
    void setCategory(uint32_t category) noexcept { category_ = category; }

    const zy::string& name() const noexcept { return name_; }
    void setName(const char* name) { name_ = name ? name : ""; }
    void setName(zy::string name) { name_ = std::move(name); }

    PropertyList& properties() noexcept { return properties_; }
    const PropertyList& properties() const noexcept { return properties_; }
    void addProperty(zy::Ref<BaseProperty> property) { properties_.push_back(std::move(property)); }

    // Puts "__VERSION__" = version (unsigned int): replaces an unsigned
    // "__VERSION__" in place, leaves a "__VERSION__" of another type alone,
    // appends one otherwise.
    void setVersion(uint32_t version);

private:
    RootNode* root_ = nullptr;
    uint32_t category_;
    zy::string name_;
    PropertyList properties_;
};

} // namespace model
