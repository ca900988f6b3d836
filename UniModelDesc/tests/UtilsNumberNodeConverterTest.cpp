// Number conversion: digits of a number root become one number node.
#include <gtest/gtest.h>

#include "NumberNode.h"
#include "SkinNode.h"
#include "UtilsTestModels.h"
#include "transforms/Bone.h"
#include "transforms/TmpNumberRoot.h"
#include "utils/NumberNodeConverter.h"
#include "zy/ExtException.h"

namespace model {
namespace {

using test::addChild;
using test::makeMaterial;
using test::makeRenderNode;

constexpr uint32_t kVerticesPerDigit = 10;

// A digit mesh of ten vertices (position and one uv channel) whose x
// coordinates are 100·digit + vertex, and four triangles.
zy::Ref<RenderNode> makeDigit(const zy::Ref<PropertiesSet>& material, Node* control, int digit)
{
    std::vector<float> data;
    for (uint32_t v = 0; v < kVerticesPerDigit; ++v)
        data.insert(data.end(), {float(100 * digit + int(v)), 0, 0, 0, 0.5f, 0.25f});
    return makeRenderNode(material, data, {0, 1, 2, 3, 4, 5, 6, 7, 8, 7, 8, 9}, control);
}

struct NumberModel {
    zy::Ref<RootNode> root = test::makeRoot();
    zy::Ref<PropertiesSet> material = makeMaterial({{ChannelTexCoord0, 2}});
    Node* holder = nullptr;
    TmpNumberRoot* number = nullptr;
    std::vector<zy::Ref<RenderNode>> digits;

    explicit NumberModel(int digitCount, int entries = -1)
    {
        holder = addChild<TransformNode>(root->topNode());
        number = addChild<TmpNumberRoot>(holder);
        DigitParameterList parameters;
        for (int k = 0; k < (entries < 0 ? digitCount : entries); ++k)
            parameters.push_back({k, 0.5f * float(k), -1, 1.0f});
        number->setDigits(parameters);
        for (int k = 0; k < digitCount; ++k) {
            digits.push_back(makeDigit(material, number, k));
            root->addRenderNode(digits.back());
        }
    }
};

void expectRaises(RootNode& root, const std::string& message)
{
    try {
        NumberNodeConverter::convert(root);
        ADD_FAILURE() << "expected: " << message;
    } catch (const zy::ExtException& e) {
        EXPECT_EQ(e.message(), message);
    }
}

TEST(UtilsNumberNodeConverter, FourDigitsBecomeOneNumberNode)
{
    NumberModel model(4);
    auto other = makeRenderNode(makeMaterial(), test::triangleAt(0), {0, 1, 2}, model.root->topNode());
    model.root->addRenderNode(other);
    const DigitParameterList parameters = model.number->digits();

    ASSERT_TRUE(NumberNodeConverter::convert(*model.root));

    ASSERT_EQ(model.root->renderNodes().size(), 2u);
    EXPECT_EQ(model.root->renderNodes()[0], other.get());
    ASSERT_EQ(model.root->renderNodes()[1]->kind(), NodeKind::NumberNode);
    const auto& number = *static_cast<NumberNode*>(model.root->renderNodes()[1]);
    EXPECT_EQ(number.root(), model.root.get());
    EXPECT_EQ(number.vertices().count(), 4 * kVerticesPerDigit);
    EXPECT_EQ(number.stride(), model.material->vertexFormat().stride() + 1);
    EXPECT_EQ(number.material()->vertexFormat().count(ChannelWeights), 1);
    EXPECT_FALSE(model.material->vertexFormat().has(ChannelWeights)) << "the digits' material is untouched";

    // Vertex 25 is vertex 5 of digit 2: x = 205, then the uv, then the digit number.
    const float* v25 = number.vertices().vertex(25, number.stride());
    EXPECT_EQ(std::vector<float>(v25, v25 + number.stride()), (std::vector<float>{205, 0, 0, 0, 0.5f, 0.25f, 2}));
    EXPECT_EQ(number.indices().size(), 4 * 12u);
    EXPECT_EQ(number.indices().values()[12], kVerticesPerDigit) << "second digit's indices are shifted";
    ASSERT_EQ(number.parts().size(), 1u);
    EXPECT_EQ(number.parts()[0].control, model.holder);
    EXPECT_EQ(number.parts()[0].end, number.indices().size());
    EXPECT_EQ(number.digits(0), parameters);

    EXPECT_FALSE(model.holder->hasChildren()) << "the number root left the tree";
}

TEST(UtilsNumberNodeConverter, ModelWithoutDigitsIsUnchanged)
{
    auto root = test::makeRoot();
    auto mesh = makeRenderNode(makeMaterial(), test::triangleAt(0), {0, 1, 2}, root->topNode());
    root->addRenderNode(mesh);

    EXPECT_FALSE(NumberNodeConverter::convert(*root));
    ASSERT_EQ(root->renderNodes().size(), 1u);
    EXPECT_EQ(root->renderNodes()[0], mesh.get());
}

TEST(UtilsNumberNodeConverter, RejectedNumbersLeaveTheModelAlone)
{
    struct Case {
        const char* message;
        void (*spoil)(NumberModel&);
        int digits = 3;
    };
    const Case cases[] = {
        {"Can't merge digits.", [](NumberModel&) {}, 9},
        {"Can't merge digits.",
         [](NumberModel& m) { m.digits[1]->setMaterial(zy::makeRef<PropertiesSet>(*m.material)); }},
        {"Can't merge digits.",
         [](NumberModel& m) { m.number->setDigits({{0, 0, 0, 0}}); }},
        {"TmpNumberRoot must be childfree.", [](NumberModel& m) { addChild<Node>(m.number); }},
        {"Number of control nodes must be == 1.",
         [](NumberModel& m) { m.digits[2]->parts().push_back({m.number, 12, 12, -1}); }},
        {"Only render nodes can be digits.",
         [](NumberModel& m) {
             auto skin = zy::makeRef<SkinNode>();
             skin->setMaterial(m.material);
             skin->addBone(addChild<Bone>(m.number));
             m.root->addRenderNode(skin);
         },
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        NumberModel model(c.digits);
        c.spoil(model);
        const size_t renderNodes = model.root->renderNodes().size();
        expectRaises(*model.root, c.message);
        EXPECT_EQ(model.root->renderNodes().size(), renderNodes);
        EXPECT_EQ(model.number->parent(), model.holder);
    }
}

} // namespace
} // namespace model
