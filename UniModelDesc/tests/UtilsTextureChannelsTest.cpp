// Texture-channel cleanup: duplicate channels, channel order, packing.
#include <gtest/gtest.h>

#include "UtilsTestModels.h"
#include "utils/TextureChannels.h"

namespace model {
namespace {

using test::makeMaterial;
using test::makeRenderNode;

constexpr int kUv0 = ChannelTexCoord0;

struct Cleaned {
    bool changed;
    uint32_t dropped;
};

Cleaned clean(RootNode& root, double tolerance = 1e-5)
{
    uint32_t dropped = 0;
    const bool changed = cleanTextureChannels(root, tolerance, dropped);
    return {changed, dropped};
}

TEST(UtilsTextureChannels, RepeatedChannelIsDroppedAndItsSlotsReadTheFirst)
{
    struct Case {
        float difference; // between channel 1 and channel 0
        bool dropped;
    };
    for (const Case c : {Case{0.0f, true}, Case{5e-6f, true}, Case{2e-5f, false}}) {
        SCOPED_TRACE(c.difference);
        auto material = makeMaterial({{kUv0, 2}, {kUv0 + 1, 2}});
        material->setTexCoordChannel(0, 0);
        material->setTexCoordChannel(1, 1);
        material->setTexCoordChannel(4, 1);
        // x y z part | uv0 | uv1
        auto node = makeRenderNode(material,
                                   {0, 0, 0, 0, 0.25f, 0.5f, 0.25f, 0.5f + c.difference, //
                                    1, 0, 0, 0, 0.75f, 1.0f, 0.75f, 1.0f, //
                                    0, 1, 0, 0, 0.5f, 0.5f, 0.5f, 0.5f},
                                   {0, 1, 2});
        auto root = test::makeRoot();
        root->addRenderNode(node);

        const Cleaned result = clean(*root);

        EXPECT_EQ(result.dropped, c.dropped ? 1u : 0u);
        EXPECT_EQ(result.changed, c.dropped);
        const PropertiesSet& after = *node->material();
        if (c.dropped) {
            EXPECT_NE(&after, material.get()) << "the node gets its own copy";
            EXPECT_EQ(material->vertexFormat().count(kUv0 + 1), 2) << "the shared material is untouched";
            EXPECT_EQ(after.vertexFormat().count(kUv0 + 1), 0);
            EXPECT_EQ(after.texCoordChannel(1), 0);
            EXPECT_EQ(after.texCoordChannel(4), 0);
            EXPECT_EQ(node->vertices().data(),
                      (std::vector<float>{0, 0, 0, 0, 0.25f, 0.5f, 1, 0, 0, 0, 0.75f, 1.0f, 0, 1, 0, 0, 0.5f, 0.5f}));
        } else {
            EXPECT_EQ(&after, material.get());
        }
    }
}

TEST(UtilsTextureChannels, ChannelsFollowTheOrderOfTheirSlots)
{
    // Slot 0 reads channel 1 and slot 1 reads channel 0: the channels swap
    // numbers, and so do their data and component counts.
    auto material = makeMaterial({{kUv0, 2}, {kUv0 + 1, 3}});
    material->setTexCoordChannel(0, 1);
    material->setTexCoordChannel(1, 0);
    auto node = makeRenderNode(material, {0, 0, 0, 0, /*uv0*/ 1, 2, /*uv1*/ 3, 4, 5, //
                                          1, 0, 0, 0, 6, 7, 8, 9, 10, //
                                          0, 1, 0, 0, 11, 12, 13, 14, 15},
                               {0, 1, 2});
    auto root = test::makeRoot();
    root->addRenderNode(node);

    const Cleaned result = clean(*root);

    EXPECT_TRUE(result.changed);
    EXPECT_EQ(result.dropped, 0u);
    const PropertiesSet& after = *node->material();
    EXPECT_EQ(after.texCoordChannel(0), 0);
    EXPECT_EQ(after.texCoordChannel(1), 1);
    EXPECT_EQ(after.vertexFormat().count(kUv0), 3);
    EXPECT_EQ(after.vertexFormat().count(kUv0 + 1), 2);
    EXPECT_EQ(node->vertices().data(), (std::vector<float>{0, 0, 0, 0, 3, 4, 5, 1, 2, //
                                                           1, 0, 0, 0, 8, 9, 10, 6, 7, //
                                                           0, 1, 0, 0, 13, 14, 15, 11, 12}));
}

TEST(UtilsTextureChannels, PresentChannelsArePackedDownward)
{
    auto material = makeMaterial({{kUv0 + 2, 2}, {kUv0 + 5, 2}});
    material->setTexCoordChannel(0, 2);
    material->setTexCoordChannel(3, 5);
    const std::vector<float> data = {0, 0, 0, 0, 1, 2, 3, 4, 1, 0, 0, 0, 5, 6, 7, 8, 0, 1, 0, 0, 9, 1, 2, 3};
    auto node = makeRenderNode(material, data, {0, 1, 2});
    auto root = test::makeRoot();
    root->addRenderNode(node);

    EXPECT_TRUE(clean(*root).changed);

    const PropertiesSet& after = *node->material();
    EXPECT_EQ(after.vertexFormat().count(kUv0), 2);
    EXPECT_EQ(after.vertexFormat().count(kUv0 + 1), 2);
    EXPECT_EQ(after.vertexFormat().count(kUv0 + 2), 0);
    EXPECT_EQ(after.vertexFormat().count(kUv0 + 5), 0);
    EXPECT_EQ(after.texCoordChannel(0), 0);
    EXPECT_EQ(after.texCoordChannel(3), 1);
    EXPECT_EQ(node->vertices().data(), data) << "absent channels take no room, so the data stays";
}

TEST(UtilsTextureChannels, TidyNodeIsLeftAlone)
{
    auto material = makeMaterial({{kUv0, 2}});
    material->setTexCoordChannel(0, 0);
    auto node = makeRenderNode(material, {0, 0, 0, 0, 1, 2, 1, 0, 0, 0, 3, 4, 0, 1, 0, 0, 5, 6}, {0, 1, 2});
    auto root = test::makeRoot();
    root->addRenderNode(node);

    EXPECT_FALSE(clean(*root).changed);
    EXPECT_EQ(node->material(), material.get());
}

} // namespace
} // namespace model
