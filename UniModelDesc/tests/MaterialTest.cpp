// Materials: defaults, copies, equality tolerances and the argument census.
#include <gtest/gtest.h>

#include <functional>

#include "Property.h"
#include "PropertiesSet.h"

using namespace model;

TEST(PropertiesSet, Defaults)
{
    const PropertiesSet m;
    EXPECT_EQ(m.blending(), 0);
    EXPECT_FALSE(m.depthBias());
    EXPECT_TRUE(m.shadowFlag1());
    EXPECT_FALSE(m.shadowFlag2());
    EXPECT_EQ(m.singleSided(), 1);
    EXPECT_EQ(m.decal(), 0);
    EXPECT_FALSE(m.billboard());
    EXPECT_EQ(m.billboardMode(), 0);
    EXPECT_EQ(m.billboardValue(), 6);
    EXPECT_EQ(m.vertexFormat().stride(), 0u);
    for (int k = 0; k < PropertiesSet::kCoordinateSlotCount; ++k)
        EXPECT_EQ(m.texCoordChannel(k), -1);
    for (int slot = 0; slot < PropertiesSet::kTextureSlotCount; ++slot) {
        const TextureSlot& t = m.texture(slot);
        EXPECT_FALSE(t.inUse());
        EXPECT_EQ(t.addressU(), 2);
        EXPECT_EQ(t.addressV(), 2);
        EXPECT_EQ(t.codeA(), -1);
        EXPECT_EQ(t.codeB(), 10);
        EXPECT_EQ(t.codeC(), 6);
        for (int e = 0; e < 16; ++e)
            EXPECT_EQ(t.matrix()[e], e % 5 == 0 ? 1.0f : 0.0f);
    }
    EXPECT_STREQ(PropertiesSet::textureSlotName(13), "MetRoughMap");
    EXPECT_STREQ(PropertiesSet::textureSlotName(16), "FLIRMap");
    EXPECT_EQ(PropertiesSet::textureSlotName(17), nullptr);
    EXPECT_EQ(PropertiesSet::textureSlotOfCoordinateSlot(11), 11);
    EXPECT_EQ(PropertiesSet::textureSlotOfCoordinateSlot(12), TextureMetRoughMap);
}

TEST(PropertiesSet, CopySharesUniformsAndKeepsEveryField)
{
    PropertiesSet m;
    m.setName("hull");
    m.setMaterialName("def_material");
    m.setBlending(2);
    m.setSingleSided(0);
    m.setDecal(3);
    m.texture(TextureNormalMap).setName("hull_n.dds");
    m.setTexCoordChannel(1, 0);
    m.vertexFormat().setCount(ChannelPosition, 4);
    auto uniform = zy::makeRef<Property<float>>("gloss", 0.5f);
    m.uniforms().push_back(uniform);

    const PropertiesSet copy(m);
    EXPECT_TRUE(copy.equals(m));
    EXPECT_EQ(copy.singleSided(), 0);
    EXPECT_EQ(copy.texture(TextureNormalMap).name(), "hull_n.dds");
    ASSERT_EQ(copy.uniforms().size(), 1u);
    EXPECT_EQ(copy.uniforms()[0], uniform.get());
}

TEST(PropertiesSet, EqualityRules)
{
    using Change = std::function<void(PropertiesSet&)>;
    struct Case {
        const char* what;
        Change change;
        bool equal;
    };
    const Case cases[] = {
        {"texture matrix +5e-6", [](PropertiesSet& m) { m.texture(0).setMatrix({1.000005f, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}); }, true},
        {"texture matrix +2e-5", [](PropertiesSet& m) { m.texture(0).setMatrix({1.00002f, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}); }, false},
        {"unused slot addressing", [](PropertiesSet& m) { m.texture(3).setAddressing(4, 4); }, true},
        {"unused slot codes", [](PropertiesSet& m) { m.texture(5).setCodes(1, 2, 3); }, true},
        {"used slot addressing", [](PropertiesSet& m) { m.texture(0).setAddressing(4, 2); }, false},
        {"used slot code", [](PropertiesSet& m) { m.texture(0).setCodes(0, 10, 6); }, false},
        {"slot put in use", [](PropertiesSet& m) { m.texture(3).setName("decal.dds"); }, false},
        {"single-sided", [](PropertiesSet& m) { m.setSingleSided(0); }, true},
        {"name", [](PropertiesSet& m) { m.setName("other"); }, false},
        {"material name", [](PropertiesSet& m) { m.setMaterialName("glass"); }, false},
        {"blending", [](PropertiesSet& m) { m.setBlending(1); }, false},
        {"vertex format", [](PropertiesSet& m) { m.vertexFormat().setCount(ChannelColor, 4); }, false},
        {"coordinate channel", [](PropertiesSet& m) { m.setTexCoordChannel(12, 1); }, false},
        {"depth bias", [](PropertiesSet& m) { m.setDepthBias(true); }, false},
        {"shadow flag 1", [](PropertiesSet& m) { m.setShadowFlag1(false); }, false},
        {"shadow flag 2", [](PropertiesSet& m) { m.setShadowFlag2(true); }, false},
        {"decal", [](PropertiesSet& m) { m.setDecal(1); }, false},
        {"billboard", [](PropertiesSet& m) { m.setBillboard(true); }, false},
        {"billboard mode", [](PropertiesSet& m) { m.setBillboardMode(1); }, false},
        {"billboard value", [](PropertiesSet& m) { m.setBillboardValue(2); }, false},
        {"uniform value within 1e-5", [](PropertiesSet& m) { m.uniforms().set(0, zy::makeRef<Property<float>>("gloss", 0.500005f)); }, true},
        {"uniform value", [](PropertiesSet& m) { m.uniforms().set(0, zy::makeRef<Property<float>>("gloss", 0.6f)); }, false},
        {"extra uniform", [](PropertiesSet& m) { m.uniforms().push_back(zy::makeRef<Property<float>>("more", 1.0f)); }, false},
        {"animated uniform key", [](PropertiesSet& m) { m.animatedUniforms().set(0, zy::makeRef<AnimatedProperty<float>>("pulse", 2, std::vector<Key<float>>{{0.0, 0.0f}, {1.0, 2.0f}})); }, false},
        {"animated uniform argument", [](PropertiesSet& m) { m.animatedUniforms().set(0, zy::makeRef<AnimatedProperty<float>>("pulse", 3, std::vector<Key<float>>{{0.0, 0.0f}, {1.0, 1.0f}})); }, false},
    };
    const auto base = [] {
        PropertiesSet m;
        m.setName("hull");
        m.texture(0).setName("hull.dds");
        m.uniforms().push_back(zy::makeRef<Property<float>>("gloss", 0.5f));
        m.animatedUniforms().push_back(zy::makeRef<AnimatedProperty<float>>(
            "pulse", 2, std::vector<Key<float>>{{0.0, 0.0f}, {1.0, 1.0f}}));
        return m;
    };
    for (const Case& c : cases) {
        const PropertiesSet a = base();
        PropertiesSet b = base();
        c.change(b);
        EXPECT_EQ(a.equals(b), c.equal) << c.what;
        EXPECT_EQ(b.equals(a), c.equal) << c.what;
    }
}

TEST(PropertiesSet, UniformsCompareAsSets)
{
    PropertiesSet a, b;
    a.uniforms().push_back(zy::makeRef<Property<float>>("x", 1.0f));
    a.uniforms().push_back(zy::makeRef<Property<float>>("y", 2.0f));
    b.uniforms().push_back(zy::makeRef<Property<float>>("y", 2.0f));
    b.uniforms().push_back(zy::makeRef<Property<float>>("x", 1.0f));
    EXPECT_TRUE(a.equals(b));
}

TEST(PropertiesSet, CollectsArgumentsOfAnimatedUniforms)
{
    PropertiesSet m;
    m.animatedUniforms().push_back(zy::makeRef<ArgumentProperty>("a", 7));
    m.animatedUniforms().push_back(zy::makeRef<ArgumentProperty>("none", -1));
    m.animatedUniforms().push_back(
        zy::makeRef<AnimatedProperty<osg::Vec3f>>("c", 0, std::vector<Key<osg::Vec3f>>{}));
    ArgumentSet arguments;
    m.collectArguments(arguments);
    EXPECT_EQ(arguments, (ArgumentSet{0, 7}));
}
