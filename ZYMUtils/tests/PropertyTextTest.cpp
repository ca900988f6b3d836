// Writing properties back as text, and reading that text again.
#include "Property.h"
#include "PropertyText.h"
#include "TestSupport.h"

namespace {

using testing::ElementsAre;

TEST(PropertyText, ArrayTextForm)
{
    EXPECT_EQ(lu::arrayTextForm("w", {1.0f, -2.5f, 0.125f}), "w = array(1.000000,-2.500000,0.125000);");
    EXPECT_EQ(lu::arrayTextForm("one", {3.0f}), "one = array(3.000000);");
}

TEST(PropertyText, JoinsPlainThenAnimatedThenArraysInMapOrder)
{
    model::PropertyList plain{zy::makeRef<model::Property<unsigned int>>("n", 4u)};
    model::AnimatedPropertyList animated{zy::makeRef<model::ArgumentProperty>("a", 2)};
    lu::ArrayMap arrays{{"z", {1.0f}}, {"b", {2.0f}}};
    EXPECT_EQ(lu::userDefinesText(plain, animated, arrays),
              "\r\nn = uint(4);\r\na = argument(2);\r\nb = array(2.000000);\r\nz = array(1.000000);");
    EXPECT_EQ(lu::userDefinesText({}, {}, {}), "");
}

TEST(PropertyText, EveryPropertyReadsBackAsAnEqualProperty)
{
    using FloatKeys = std::vector<model::Key<float>>;
    model::PropertyList plain{
        zy::makeRef<model::Property<float>>("f", -1.25f),
        zy::makeRef<model::Property<zy::string>>("s", "renderable|lod_root"),
        zy::makeRef<model::Property<osg::Vec2f>>("v2", osg::Vec2f(1.5f, -2)),
        zy::makeRef<model::Property<osg::Vec3f>>("v3", osg::Vec3f(0.125f, 3, -4)),
        zy::makeRef<model::Property<osg::Vec4f>>("v4", osg::Vec4f(1, 0.5f, 0.25f, 1)),
    };
    model::AnimatedPropertyList animated{
        zy::makeRef<model::ArgumentProperty>("arg", 7),
        zy::makeRef<model::AnimatedProperty<float>>("anim1", 3, FloatKeys{{0, 0.5f}, {1.5, -2}}),
        zy::makeRef<model::AnimatedProperty<float>>("anim2", -1, FloatKeys{{1, 0.5f}, {0, 0.25f}}),
        zy::makeRef<model::AnimatedProperty<osg::Vec2f>>(
            "av2", 1, std::vector<model::Key<osg::Vec2f>>{{0, {1, 2}}, {0.5, {3, 4}}}),
        zy::makeRef<model::AnimatedProperty<osg::Vec3f>>(
            "av3", 0, std::vector<model::Key<osg::Vec3f>>{{0.25, {1, 2, 3}}}),
        zy::makeRef<model::AnimatedProperty<osg::Vec4f>>(
            "av4", 12, std::vector<model::Key<osg::Vec4f>>{{0, {1, 2, 3, 4}}, {2, {-1, -2, -3, -4}}}),
    };
    lu::ArrayMap arrays{{"weights", {0.5f, 1.0f, -3.0f}}};

    const zy::string text = lu::userDefinesText(plain, animated, arrays);
    model::PropertyList plainBack;
    model::AnimatedPropertyList animatedBack;
    lu::ArrayMap arraysBack;
    auto script = lu::test::loadedScript();
    script->parse(text, {zy::makeRef<lu::PropertiesHandler>(&plainBack),
                         zy::makeRef<lu::AnimatedPropertiesHandler>(&animatedBack),
                         zy::makeRef<lu::ArrayHandler>(&arraysBack)});

    ASSERT_EQ(plainBack.size(), plain.size()) << text;
    for (const auto& property : plain) {
        const auto* back = plainBack.find(property->name(), property->valueKind());
        ASSERT_NE(back, nullptr) << property->name();
        EXPECT_TRUE(back->equals(*property)) << property->textForm() << " vs " << back->textForm();
    }
    ASSERT_EQ(animatedBack.size(), animated.size()) << text;
    for (const auto& property : animated) {
        const auto* back = animatedBack.find(property->name(), property->valueKind());
        ASSERT_NE(back, nullptr) << property->name();
        EXPECT_TRUE(back->equals(*property)) << property->textForm() << " vs " << back->textForm();
    }
    EXPECT_EQ(arraysBack, arrays);
}

// A bare number ("u = 4000000000;") would read back as a float property,
// losing the type and, above 2^24, the value: the text form names the type.
TEST(PropertyText, UnsignedReadsBackAsUnsigned)
{
    model::PropertyList plain{zy::makeRef<model::Property<unsigned int>>("u", 4000000000u)};
    model::PropertyList back;
    lu::test::loadedScript()->parse(lu::userDefinesText(plain, {}, {}),
                                    {zy::makeRef<lu::PropertiesHandler>(&back)});
    ASSERT_EQ(back.size(), 1u);
    EXPECT_TRUE(back[0]->equals(*plain[0])) << back[0]->textForm();
}

// A string written without escaping ("s = "say "hi"";") would no longer
// parse, and rewriting a node's text would lose every property; names that
// are not identifiers or are keywords must come back under the same name.
TEST(PropertyText, StringsAndOddNamesReadBack)
{
    model::PropertyList plain{zy::makeRef<model::Property<zy::string>>("s", "say \"hi\"\\\n\r\x01" "9"),
                              zy::makeRef<model::Property<float>>("my name", 2.0f),
                              zy::makeRef<model::Property<float>>("end", 3.0f)};
    model::PropertyList back;
    lu::test::loadedScript()->parse(lu::userDefinesText(plain, {}, {}),
                                    {zy::makeRef<lu::PropertiesHandler>(&back)});
    ASSERT_EQ(back.size(), plain.size());
    for (const auto& property : plain) {
        const auto* found = back.find(property->name(), property->valueKind());
        ASSERT_NE(found, nullptr) << property->name();
        EXPECT_TRUE(found->equals(*property)) << found->textForm();
    }
}

} // namespace
