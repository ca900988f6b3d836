#pragma once
// A real light source: omni or spot, moved by a control node, described by
// seven light properties and an optional texture.
#include <cstdint>

#include "BaseNode.h"
#include "IAnimation.h"
#include "PropertyList.h"
#include "TextureSlot.h"

namespace model {

class Node;

enum LightType : int32_t {
    LightOmni = 0,
    LightSpot = 1,
};

class LightNode : public BaseNode, public IAnimation {
public:
    static constexpr size_t kLightPropertyCount = 7;

    // Slot 0 a Vec3f (0, 0, 0), slots 1 to 4 floats 0, slot 5 float 1, slot 6
    // float 0, all unnamed; "__VERSION__" = 2.
    LightNode();
    LightNode(const LightNode&) = default;

    NodeKind kind() const override { return NodeKind::LightNode; }
    void accept(INodeWriter& writer) override;

    Node* control() const { return control_; }
    void setControl(Node* node) { control_ = node; }
    int32_t lightType() const { return type_; }
    void setLightType(int32_t type) { type_ = type; }

    // The seven slots; their names and meaning are the exporter's. Slot i is
    // replaced as a whole (an index beyond 6 raises std::out_of_range).
    const PropertyList& lightProperties() const { return lightProperties_; }
    BaseProperty* lightProperty(size_t slot) const { return lightProperties_.at(slot).get(); }
    void setLightProperty(size_t slot, zy::Ref<BaseProperty> property)
    {
        lightProperties_.set(slot, std::move(property));
    }

    // Written only when it names a texture.
    const TextureSlot& texture() const { return texture_; }
    TextureSlot& texture() { return texture_; }
    void setTexture(const TextureSlot& texture) { texture_ = texture; }

    // The arguments of the animated light properties.
    void collectArguments(ArgumentSet& arguments) const override;

private:
    Node* control_ = nullptr;
    int32_t type_ = LightOmni;
    PropertyList lightProperties_;
    TextureSlot texture_;
};

} // namespace model
