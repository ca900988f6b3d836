#include "utils/ReferenceIndex.h"

#include <algorithm>

#include "BaseRenderNode.h"
#include "BaseShellNode.h"
#include "Connector.h"
#include "LightNode.h"
#include "RootNode.h"

namespace model {

Node* Reference::control() const
{
    switch (holder) {
    case Holder::Connector:
        return static_cast<Connector*>(node)->control();
    case Holder::Light:
        return static_cast<LightNode*>(node)->control();
    case Holder::Shell:
        return static_cast<BaseShellNode*>(node)->control();
    case Holder::RenderPart:
        return static_cast<BaseRenderNode*>(node)->partControl(part);
    }
    return nullptr;
}

bool Reference::setControl(Node* control) const
{
    switch (holder) {
    case Holder::Connector:
        static_cast<Connector*>(node)->setControl(control);
        break;
    case Holder::Light:
        static_cast<LightNode*>(node)->setControl(control);
        break;
    case Holder::Shell:
        static_cast<BaseShellNode*>(node)->setControl(control);
        break;
    case Holder::RenderPart:
        static_cast<BaseRenderNode*>(node)->setPartControl(part, control);
        break;
    }
    return this->control() == control;
}

void Reference::transformGeometry(const osg::Mat4d& m) const
{
    if (holder == Holder::Shell)
        static_cast<BaseShellNode*>(node)->transform(m);
    else if (holder == Holder::RenderPart)
        static_cast<BaseRenderNode*>(node)->transformPart(part, m);
}

ReferenceIndex::ReferenceIndex(RootNode& root) : root_(root)
{
    for (size_t i = 0; i < root.connectors().size(); ++i)
        add({Reference::Holder::Connector, root.connectors()[i], 0});
    for (size_t i = 0; i < root.lights().size(); ++i)
        add({Reference::Holder::Light, root.lights()[i], 0});
    for (Reference r : geometryReferences())
        add(r);
}

std::vector<Reference> ReferenceIndex::geometryReferences() const
{
    std::vector<Reference> result;
    for (size_t i = 0; i < root_.renderNodes().size(); ++i) {
        BaseRenderNode* node = root_.renderNodes()[i];
        for (uint32_t part = 0; part < node->partCount(); ++part)
            result.push_back({Reference::Holder::RenderPart, node, part});
    }
    for (size_t i = 0; i < root_.shellNodes().size(); ++i)
        result.push_back({Reference::Holder::Shell, root_.shellNodes()[i], 0});
    return result;
}

void ReferenceIndex::add(const Reference& reference)
{
    if (Node* control = reference.control())
        byNode_[control].push_back(reference);
}

const std::vector<Reference>& ReferenceIndex::referencesTo(const Node* node) const
{
    static const std::vector<Reference> none;
    const auto found = byNode_.find(node);
    return found == byNode_.end() ? none : found->second;
}

bool ReferenceIndex::controlsConnectorOrLight(const Node* node) const
{
    const auto& refs = referencesTo(node);
    return std::any_of(refs.begin(), refs.end(), [](const Reference& r) { return !r.isGeometry(); });
}

bool ReferenceIndex::controlsGeometry(const Node* node) const
{
    const auto& refs = referencesTo(node);
    return std::any_of(refs.begin(), refs.end(), [](const Reference& r) { return r.isGeometry(); });
}

void ReferenceIndex::redirect(Node* from, Node* to)
{
    if (from == to)
        return;
    const auto found = byNode_.find(from);
    if (found == byNode_.end())
        return;
    std::vector<Reference> moved = std::move(found->second);
    byNode_.erase(found);
    std::vector<Reference>& target = byNode_[to];
    for (const Reference& r : moved) {
        r.setControl(to);
        target.push_back(r);
    }
}

void ReferenceIndex::move(const Reference& reference, Node* from, Node* to)
{
    if (from == to)
        return;
    auto found = byNode_.find(from);
    if (found != byNode_.end()) {
        auto& refs = found->second;
        refs.erase(std::remove_if(refs.begin(), refs.end(),
                                  [&](const Reference& r) {
                                      return r.holder == reference.holder && r.node == reference.node &&
                                             r.part == reference.part;
                                  }),
                   refs.end());
        if (refs.empty())
            byNode_.erase(found);
    }
    reference.setControl(to);
    byNode_[to].push_back(reference);
}

void ReferenceIndex::transformGeometryOf(const Node* node, const osg::Mat4d& m) const
{
    for (const Reference& r : referencesTo(node))
        r.transformGeometry(m);
}

} // namespace model
