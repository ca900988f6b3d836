#pragma once
// Who points at which tree node: connectors, lights, shell nodes and the parts
// of rendering nodes (skin bones, fake-light controls). The tree passes ask it
// whether a node is referenced and use it to move references when they
// replace, dissolve or merge nodes, without scanning every list each time.
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "Math.h"

namespace model {

class BaseNode;
class Node;
class RootNode;

struct Reference {
    enum class Holder { Connector, Light, Shell, RenderPart };
    Holder holder;
    BaseNode* node; // the connector, light, shell or rendering node
    uint32_t part;  // part number for RenderPart, 0 otherwise

    bool isGeometry() const { return holder == Holder::Shell || holder == Holder::RenderPart; }
    Node* control() const;
    // Points the reference at node; false when the holder refuses it (a skin
    // part only takes bones).
    bool setControl(Node* node) const;
    // Applies m to the geometry behind the reference (transformPart or transform).
    void transformGeometry(const osg::Mat4d& m) const;
};

class ReferenceIndex {
public:
    explicit ReferenceIndex(RootNode& root);

    const std::vector<Reference>& referencesTo(const Node* node) const;
    bool isReferenced(const Node* node) const { return !referencesTo(node).empty(); }
    bool controlsConnectorOrLight(const Node* node) const;
    bool controlsGeometry(const Node* node) const;

    // Moves every reference from one node to another.
    void redirect(Node* from, Node* to);
    // Moves one reference (currently pointing at from) to another node.
    void move(const Reference& reference, Node* from, Node* to);
    // Applies m to all geometry that hangs directly on node.
    void transformGeometryOf(const Node* node, const osg::Mat4d& m) const;

    // Every geometry reference (rendering parts, then shells), in list order.
    std::vector<Reference> geometryReferences() const;

private:
    void add(const Reference& reference);

    RootNode& root_;
    std::unordered_map<const Node*, std::vector<Reference>> byNode_;
};

} // namespace model
