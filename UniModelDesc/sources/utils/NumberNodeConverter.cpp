#include "utils/NumberNodeConverter.h"

#include <unordered_map>
#include <vector>

#include "NumberNode.h"
#include "RootNode.h"
#include "transforms/TmpNumberRoot.h"
#include "utils/ReferenceIndex.h"
#include "utils/TreeEdit.h"
#include "zy/ExtException.h"

namespace model {
namespace {

constexpr size_t kMostDigits = 8;

struct Number {
    TmpNumberRoot* root;
    std::vector<RenderNode*> digits;
};

// The number root at or above the control node of part 0, if any.
TmpNumberRoot* numberRootOf(const BaseRenderNode& node)
{
    if (node.partCount() == 0)
        return nullptr;
    for (Node* n = node.partControl(0); n; n = n->parent())
        if (isKind(n, NodeKind::TmpNumberRoot))
            return static_cast<TmpNumberRoot*>(n);
    return nullptr;
}

std::vector<Number> gatherDigits(const RootNode& root)
{
    std::vector<Number> numbers;
    std::unordered_map<const TmpNumberRoot*, size_t> position;
    for (size_t i = 0; i < root.renderNodes().size(); ++i) {
        BaseRenderNode* node = root.renderNodes()[i];
        TmpNumberRoot* number = numberRootOf(*node);
        if (!number)
            continue;
        if (node->kind() != NodeKind::RenderNode)
            ZY_THROW("Only render nodes can be digits.");
        if (number->hasChildren())
            ZY_THROW("TmpNumberRoot must be childfree.");
        if (node->partCount() != 1)
            ZY_THROW("Number of control nodes must be == 1.");
        const auto [at, added] = position.emplace(number, numbers.size());
        if (added)
            numbers.push_back({number, {}});
        numbers[at->second].digits.push_back(static_cast<RenderNode*>(node));
    }
    return numbers;
}

// Builds the number node from the digits; false when they cannot be merged.
bool mergeDigits(NumberNode& target, const TmpNumberRoot& number, const std::vector<RenderNode*>& digits)
{
    if (digits.empty() || digits.size() > kMostDigits || number.digits().size() != digits.size())
        return false;
    const RenderNode& first = *digits.front();
    const PropertiesSet* material = first.material();
    if (!material || material->vertexFormat().has(ChannelWeights) || target.partCount() != 1)
        return false;
    for (const RenderNode* digit : digits)
        if (digit->partCount() != 1 || digit->partControl(0) != first.partControl(0) ||
            digit->material() != material || digit->indices().primitiveType() != first.indices().primitiveType() ||
            !digit->vertices().fits(material->vertexFormat().stride()))
            return false;

    auto numberMaterial = zy::makeRef<PropertiesSet>(*material);
    numberMaterial->vertexFormat().setCount(ChannelWeights, 1);
    const uint32_t oldStride = material->vertexFormat().stride();
    const uint32_t digitAt = material->vertexFormat().offset(ChannelWeights);

    std::vector<float> data;
    std::vector<uint32_t> indices;
    uint64_t vertexCount = 0;
    for (size_t k = 0; k < digits.size(); ++k) {
        const RenderNode& digit = *digits[k];
        for (uint32_t index : digit.indices().values())
            indices.push_back(uint32_t(vertexCount + index));
        const std::vector<float>& from = digit.vertices().data();
        for (size_t v = 0; v < digit.vertices().count(); ++v) {
            const float* vertex = from.data() + v * oldStride;
            data.insert(data.end(), vertex, vertex + digitAt);
            data.push_back(float(k));
            data.insert(data.end(), vertex + digitAt, vertex + oldStride);
        }
        vertexCount += digit.vertices().count();
    }
    if (vertexCount > UINT32_MAX)
        return false;

    target.setMaterial(numberMaterial);
    target.vertices().assign(uint32_t(vertexCount), std::move(data));
    target.indices() = Indices(std::move(indices), first.indices().primitiveType());
    // One part over all digits' indices, with the first digit's control node
    // and argument.
    RenderPart part = first.parts().front();
    part.start = 0;
    part.end = target.indices().size();
    target.parts().assign(1, part);
    target.setDigits(0, number.digits());
    return true;
}

} // namespace

bool NumberNodeConverter::convert(RootNode& root)
{
    const std::vector<Number> numbers = gatherDigits(root);
    if (numbers.empty())
        return false;

    // Build everything first: a failure leaves the model as it was.
    std::vector<zy::Ref<NumberNode>> built;
    for (const Number& number : numbers) {
        auto node = zy::makeRef<NumberNode>();
        if (!mergeDigits(*node, *number.root, number.digits))
            ZY_THROW("Can't merge digits.");
        node->setPartControl(0, number.root->parent());
        built.push_back(node);
    }

    std::vector<zy::Ref<BaseRenderNode>> kept;
    for (size_t i = 0; i < root.renderNodes().size(); ++i)
        if (!numberRootOf(*root.renderNodes()[i]))
            kept.push_back(root.renderNodes().ref(i));
    root.renderNodes().clear();
    for (const auto& node : kept)
        root.renderNodes().push_back(node);
    for (const auto& node : built)
        root.addRenderNode(node);

    // Anything else still hanging on a number root moves to its parent before
    // the number root is destroyed.
    ReferenceIndex references(root);
    for (const Number& number : numbers) {
        Node* parent = number.root->parent();
        if (!parent)
            continue; // a number root at the top stays: there is nowhere to move to
        references.redirect(number.root, parent);
        delete number.root;
    }
    return true;
}

} // namespace model
