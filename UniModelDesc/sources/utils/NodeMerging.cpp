#include "utils/NodeMerging.h"

#include <functional>
#include <map>
#include <tuple>
#include <unordered_map>
#include <vector>

#include "BaseRenderNode.h"
#include "BaseShellNode.h"
#include "RootNode.h"
#include "utils/MergeRules.h"
#include "utils/TreeEdit.h"
#include "zy/ExtException.h"

namespace model {
namespace {

template <class T>
void replaceList(SharedNodeList<T>& list, const std::vector<zy::Ref<T>>& nodes)
{
    list.clear();
    for (const zy::Ref<T>& node : nodes)
        list.push_back(node);
}

template <class T>
std::vector<zy::Ref<T>> listed(const SharedNodeList<T>& list)
{
    std::vector<zy::Ref<T>> nodes;
    nodes.reserve(list.size());
    for (size_t i = 0; i < list.size(); ++i)
        nodes.push_back(list.ref(i));
    return nodes;
}

// 1. Rendering nodes without primitives (fake-light nodes without lights).
bool removeEmptyRenderNodes(RootNode& root)
{
    std::vector<zy::Ref<BaseRenderNode>> kept;
    for (const auto& node : listed(root.renderNodes()))
        if (node->primitiveCount() != 0)
            kept.push_back(node);
    if (kept.size() == root.renderNodes().size())
        return false;
    replaceList(root.renderNodes(), kept);
    return true;
}

// Material equality compares these fields exactly, so equal materials always
// fall into the same group and only materials of one group need comparing.
size_t materialGroup(const PropertiesSet& m)
{
    size_t h = std::hash<zy::string>()(m.name()) ^ (std::hash<zy::string>()(m.materialName()) << 1);
    h = h * 31 + size_t(m.blending());
    for (uint8_t count : m.vertexFormat().counts())
        h = h * 31 + count;
    for (int32_t channel : m.texCoordChannels())
        h = h * 31 + size_t(channel);
    h = h * 31 + m.uniforms().size();
    h = h * 31 + m.animatedUniforms().size();
    return h;
}

// 2. Equal materials become one shared object.
bool shareMaterials(RootNode& root)
{
    bool changed = false;
    std::unordered_map<const PropertiesSet*, zy::Ref<PropertiesSet>> sharedFor;
    std::unordered_map<size_t, std::vector<zy::Ref<PropertiesSet>>> distinct;
    std::vector<zy::Ref<PropertiesSet>> keepAlive; // pointers in sharedFor stay unique
    for (size_t i = 0; i < root.renderNodes().size(); ++i) {
        BaseRenderNode* node = root.renderNodes()[i];
        const zy::Ref<PropertiesSet> material = node->materialRef();
        if (!material)
            continue;
        auto known = sharedFor.find(material.get());
        if (known == sharedFor.end()) {
            keepAlive.push_back(material);
            auto& group = distinct[materialGroup(*material)];
            zy::Ref<PropertiesSet> shared = material;
            for (const auto& candidate : group)
                if (candidate->equals(*material)) {
                    shared = candidate;
                    break;
                }
            if (shared == material)
                group.push_back(material);
            known = sharedFor.emplace(material.get(), shared).first;
        }
        if (known->second != material) {
            node->setMaterial(known->second);
            changed = true;
        }
    }
    for (const auto& [key, group] : distinct)
        for (size_t a = 0; a < group.size(); ++a)
            for (size_t b = a + 1; b < group.size(); ++b)
                if (group[a]->equals(*group[b]) || group[b]->equals(*group[a]))
                    ZY_THROW("There is still equal properties sets.");
    return changed;
}

// The child of the nearest LOD node above the control node of the first part
// not controlled by a LOD node itself; null outside every LOD node.
const Node* lodBranch(const BaseRenderNode& node)
{
    for (uint32_t i = 0; i < node.partCount(); ++i) {
        const Node* control = node.partControl(i);
        if (!control || isKind(control, NodeKind::LodNode))
            continue;
        const Node* child = control;
        for (const Node* up = control->parent(); up; child = up, up = up->parent())
            if (isKind(up, NodeKind::LodNode))
                return child;
        return nullptr;
    }
    return nullptr;
}

// The nearest visibility node at or above the control node of part 0.
const Node* visibilityOwner(const BaseRenderNode& node)
{
    if (node.partCount() == 0)
        return nullptr;
    for (const Node* n = node.partControl(0); n; n = n->parent())
        if (isKind(n, NodeKind::ArgVisibilityNode))
            return n;
    return nullptr;
}

// 3. Each rendering node joins the first earlier survivor it can join.
bool mergeRenderNodes(RootNode& root)
{
    // Survivors a node might join: same branch, same visibility node, and (as
    // every merge rule asks) the same kind and material object.
    using Group = std::tuple<const Node*, const Node*, const BaseMaterial*, NodeKind>;
    std::map<Group, std::vector<BaseRenderNode*>> groups;
    std::vector<zy::Ref<BaseRenderNode>> survivors;
    for (const auto& node : listed(root.renderNodes())) {
        auto& group = groups[{lodBranch(*node), visibilityOwner(*node), node->renderMaterial(), node->kind()}];
        bool merged = false;
        if (node->partCount() == 1)
            for (BaseRenderNode* survivor : group)
                if (canMergeGeometry(*node, *survivor) && mergeGeometry(*survivor, *node)) {
                    merged = true;
                    break;
                }
        if (merged)
            continue;
        group.push_back(node.get());
        survivors.push_back(node);
    }
    if (survivors.size() == root.renderNodes().size())
        return false;
    replaceList(root.renderNodes(), survivors);
    return true;
}

// 4. Shell nodes merge when the survivor's own rule accepts them.
bool mergeShellNodes(RootNode& root)
{
    // Every shell merge rule asks for the same kind and control node.
    std::map<std::pair<NodeKind, const Node*>, std::vector<BaseShellNode*>> groups;
    std::vector<zy::Ref<BaseShellNode>> survivors;
    for (const auto& shell : listed(root.shellNodes())) {
        auto& group = groups[{shell->kind(), shell->control()}];
        bool merged = false;
        for (BaseShellNode* survivor : group)
            if (mergeGeometry(*survivor, *shell)) {
                merged = true;
                break;
            }
        if (merged)
            continue;
        group.push_back(shell.get());
        survivors.push_back(shell);
    }
    if (survivors.size() == root.shellNodes().size())
        return false;
    replaceList(root.shellNodes(), survivors);
    return true;
}

} // namespace

bool mergeNodes(RootNode& root)
{
    bool changed = removeEmptyRenderNodes(root);
    changed |= shareMaterials(root);
    changed |= mergeRenderNodes(root);
    changed |= mergeShellNodes(root);
    return changed;
}

} // namespace model
