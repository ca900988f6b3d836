// The standard handlers: what each value function becomes, and the messages
// for malformed values.
#include "Property.h"
#include "TestSupport.h"
#include "luaFuncHandlers.h"

namespace {

using lu::test::throwsMessage;
using testing::ElementsAre;

template <class P>
const P& as(const model::BaseProperty* property)
{
    auto* typed = dynamic_cast<const P*>(property);
    if (!typed)
        throw std::runtime_error("property has another class");
    return *typed;
}

class ValueHandlersTest : public testing::Test {
protected:
    void parse(const zy::string& text)
    {
        script->parse(text, {zy::makeRef<lu::PropertiesHandler>(&properties),
                             zy::makeRef<lu::AnimatedPropertiesHandler>(&animated),
                             zy::makeRef<lu::ArrayHandler>(&arrays)});
    }
    void expectParseThrows(const zy::string& text, const std::string& message)
    {
        EXPECT_THAT([&] { parse(text); }, throwsMessage(message)) << text;
    }

    std::unique_ptr<lu::PropertyScript> script = lu::test::loadedScript();
    model::PropertyList properties;
    model::AnimatedPropertyList animated;
    lu::ArrayMap arrays;
};

TEST_F(ValueHandlersTest, PlainValues)
{
    parse("f = 2.5, t = true, s = '2', u = uint(7.9), str = 'hi', str2 = string('x y'), "
          "v2 = vec2(1, -2), v3 = vec3('3', 4, 5.5), v4 = vec4(1, 2, 3, 4), ff = float(-0.25), junk = 'abc'");
    ASSERT_EQ(properties.size(), 11u);
    EXPECT_TRUE(animated.empty());
    EXPECT_FLOAT_EQ(as<model::Property<float>>(properties.find("f", model::ValueKind::Float)).value(), 2.5f);
    EXPECT_FLOAT_EQ(as<model::Property<float>>(properties.find("t", model::ValueKind::Float)).value(), 1.0f);
    EXPECT_FLOAT_EQ(as<model::Property<float>>(properties.find("s", model::ValueKind::Float)).value(), 2.0f);
    EXPECT_FLOAT_EQ(as<model::Property<float>>(properties.find("ff", model::ValueKind::Float)).value(), -0.25f);
    EXPECT_EQ(as<model::Property<unsigned int>>(properties.find("u", model::ValueKind::UInt)).value(), 7u);
    EXPECT_EQ(as<model::Property<zy::string>>(properties.find("str", model::ValueKind::String)).value(), "hi");
    EXPECT_EQ(as<model::Property<zy::string>>(properties.find("str2", model::ValueKind::String)).value(), "x y");
    EXPECT_EQ(as<model::Property<zy::string>>(properties.find("junk", model::ValueKind::String)).value(), "abc");
    EXPECT_EQ(as<model::Property<osg::Vec2f>>(properties.find("v2", model::ValueKind::Vec2f)).value(),
              osg::Vec2f(1, -2));
    EXPECT_EQ(as<model::Property<osg::Vec3f>>(properties.find("v3", model::ValueKind::Vec3f)).value(),
              osg::Vec3f(3, 4, 5.5f));
    EXPECT_EQ(as<model::Property<osg::Vec4f>>(properties.find("v4", model::ValueKind::Vec4f)).value(),
              osg::Vec4f(1, 2, 3, 4));
}

TEST_F(ValueHandlersTest, ArgumentAndAnimations)
{
    parse("a = argument(3), sorted = animation(0, 1, 0.5, 0, 0.25), kept = anim(1, 0.5, 0, 0.25), "
          "v2 = animation_vec2(2, 1, vec2(1, 2), 0, vec2(3, 4)), "
          "v3 = animation_vec3(4, 0.5, vec3(1, 2, 3)), v4 = animation_vec4(5, 0, vec4(1, 2, 3, 4))");
    ASSERT_EQ(animated.size(), 6u);
    EXPECT_TRUE(properties.empty());

    const auto& a = as<model::ArgumentProperty>(animated.find("a", model::ValueKind::Float));
    EXPECT_EQ(a.argument(), 3);
    EXPECT_EQ(a.value(), 0.0f);

    using FloatKey = model::Key<float>;
    const auto& sorted = as<model::AnimatedProperty<float>>(animated.find("sorted", model::ValueKind::Float));
    EXPECT_EQ(sorted.argument(), 0);
    EXPECT_THAT(sorted.keys(), ElementsAre(FloatKey{0, 0.25f}, FloatKey{1, 0.5f}));

    const auto& kept = as<model::AnimatedProperty<float>>(animated.find("kept", model::ValueKind::Float));
    EXPECT_EQ(kept.argument(), -1);
    EXPECT_THAT(kept.keys(), ElementsAre(FloatKey{1, 0.5f}, FloatKey{0, 0.25f}));

    using Vec2Key = model::Key<osg::Vec2f>;
    const auto& v2 = as<model::AnimatedProperty<osg::Vec2f>>(animated.find("v2", model::ValueKind::Vec2f));
    EXPECT_EQ(v2.argument(), 2);
    EXPECT_THAT(v2.keys(), ElementsAre(Vec2Key{0, {3, 4}}, Vec2Key{1, {1, 2}}));

    const auto& v3 = as<model::AnimatedProperty<osg::Vec3f>>(animated.find("v3", model::ValueKind::Vec3f));
    EXPECT_EQ(v3.argument(), 4);
    EXPECT_THAT(v3.keys(), ElementsAre(model::Key<osg::Vec3f>{0.5, {1, 2, 3}}));

    const auto& v4 = as<model::AnimatedProperty<osg::Vec4f>>(animated.find("v4", model::ValueKind::Vec4f));
    EXPECT_EQ(v4.argument(), 5);
    EXPECT_THAT(v4.keys(), ElementsAre(model::Key<osg::Vec4f>{0, {1, 2, 3, 4}}));
}

TEST_F(ValueHandlersTest, KeyTimesKeepDoublePrecision)
{
    parse("a = animation(0, 0.1234567891234, 1)");
    const auto& a = as<model::AnimatedProperty<float>>(animated[0]);
    EXPECT_DOUBLE_EQ(a.keys()[0].time, 0.1234567891234);
}

TEST_F(ValueHandlersTest, Arrays)
{
    parse("a = array(1, 2.5, -3), b = array('4')");
    EXPECT_THAT(arrays.at("a"), ElementsAre(1.0f, 2.5f, -3.0f));
    EXPECT_THAT(arrays.at("b"), ElementsAre(4.0f));
    EXPECT_TRUE(properties.empty());
}

TEST_F(ValueHandlersTest, MalformedValuesAreRejected)
{
    const std::pair<const char*, const char*> cases[] = {
        {"x = float()", "Wrong arguments number in 'float'."},
        {"x = string()", "Wrong arguments number in 'string'."},
        {"x = uint(1, 2)", "Wrong arguments number in 'uint'."},
        {"x = uint()", "Wrong arguments number in 'uint'."},
        {"x = vec2(1)", "Wrong arguments number in 'vec2'."},
        {"x = vec3(1, 2, 3, 4)", "Wrong arguments number in 'vec3'."},
        {"x = vec4(1, 2, 3)", "Wrong arguments number in 'vec4'."},
        {"x = argument()", "Wrong arguments number in 'argument'."},
        {"x = argument(1, 2)", "Wrong arguments number in 'argument'."},
        {"x = argument(-1)", "Invalid argument in property 'x'."},
        {"x = animation(0, 1)", "Wrong arguments number in 'animation'."},
        {"x = animation(0, 1, 2, 3)", "Wrong arguments number in 'animation'."},
        {"x = animation(-1, 0, 1)", "Parameter 'x' must be positive."},
        {"x = anim(1)", "Wrong arguments number in 'animation'."},
        {"x = anim(1, 2, 3)", "Wrong arguments number in 'animation'."},
        {"x = animation_vec2(0)", "Wrong arguments number in 'animation_vec2'."},
        {"x = animation_vec2(0, 1, vec2(1, 2), 2)", "Wrong arguments number in 'animation_vec2'."},
        {"x = animation_vec2(0, 1, vec3(1, 2, 3))", "Wrong arguments number in 'animation_vec2'."},
        {"x = animation_vec2(0, 1, 'vec3', 1, 2)", "Invalid animation set in 'animation_vec2'."},
        {"x = animation_vec2(-2, 1, vec2(1, 2))", "Parameter 'x' must be positive."},
        {"x = animation_vec3(0, 1, vec2(1, 2), 1)", "Invalid animation set in 'animation_vec3'."},
        {"x = animation_vec4(0, 1, vec4(1, 2, 3))", "Wrong arguments number in 'animation_vec4'."},
        {"x = array()", "Wrong arguments number in 'array'."},
    };
    for (const auto& [text, message] : cases)
        expectParseThrows(text, message);
    EXPECT_TRUE(properties.empty());
    EXPECT_TRUE(animated.empty());
    EXPECT_TRUE(arrays.empty());
}

TEST_F(ValueHandlersTest, ReservedNamesAndUnknownTagsAreLeftAlone)
{
    parse("TYPE = 'renderable', SMOOTH_NORMALS = 1, NO_CONNECTOR = argument(1), DAMAGE_ARGUMENT = array(1), "
          "other = {'unknown_tag', 1}, __VERSION__ = 3");
    // __VERSION__ is not reserved here: the model classes reject it later.
    ASSERT_EQ(properties.size(), 1u);
    EXPECT_EQ(properties[0]->name(), "__VERSION__");
    EXPECT_TRUE(animated.empty());
    EXPECT_TRUE(arrays.empty());
}

TEST_F(ValueHandlersTest, LaterArrayOfTheSameNameReplacesTheEarlier)
{
    lu::ArrayHandler handler(&arrays);
    handler.handle("a", {"array", "1", "2"});
    handler.handle("a", {"array", "3"});
    EXPECT_THAT(arrays.at("a"), ElementsAre(3.0f));
}

} // namespace
