#pragma once
// Small builders for the optimisation-pass tests: materials, render nodes with
// given vertices, and a root with a tree.
#include <initializer_list>
#include <memory>
#include <vector>

#include "PropertiesSet.h"
#include "RenderNode.h"
#include "RootNode.h"
#include "transforms/TransformNode.h"

namespace model::test {

// Position with part number (4 components) plus the given channels.
inline zy::Ref<PropertiesSet> makeMaterial(std::initializer_list<std::pair<int, uint8_t>> channels = {})
{
    auto material = zy::makeRef<PropertiesSet>();
    material->vertexFormat().setCount(ChannelPosition, 4);
    for (const auto& [channel, count] : channels)
        material->vertexFormat().setCount(channel, count);
    return material;
}

// A render node with the given vertex data (whole vertices in the material's
// layout) and triangle indices, hanging on control.
inline zy::Ref<RenderNode> makeRenderNode(const zy::Ref<PropertiesSet>& material, std::vector<float> data,
                                         std::vector<uint32_t> indices, Node* control = nullptr)
{
    auto node = zy::makeRef<RenderNode>();
    node->setMaterial(material);
    const uint32_t stride = material->vertexFormat().stride();
    const uint32_t count = uint32_t(data.size() / stride);
    node->setPartControl(0, control);
    node->setGeometry(Vertices(count, std::move(data)), Indices(std::move(indices)));
    return node;
}

// A triangle at offset (x, y, z) in the 4-component position layout.
inline std::vector<float> triangleAt(float x, float y = 0, float z = 0)
{
    return {x, y, z, 0, x + 1, y, z, 0, x, y + 1, z, 0};
}

// A root whose top node is a plain node.
inline zy::Ref<RootNode> makeRoot()
{
    auto root = zy::makeRef<RootNode>();
    root->setTopNode(std::make_unique<Node>("top"));
    return root;
}

// Appends a new child of type N to parent and returns it.
template <class N, class... Args>
N* addChild(Node* parent, Args&&... args)
{
    auto* child = new N(std::forward<Args>(args)...);
    parent->appendChild(child);
    return child;
}

} // namespace model::test
