// Properties: equality with its tolerances, evaluation, accessors, records,
// text forms and the list look-ups.
#include <gtest/gtest.h>

#include <functional>

#include "ByteBuilder.h"
#include "IModelArguments.h"
#include "ModelFactoryManager.h"
#include "Property.h"
#include "PropertyList.h"
#include "io/MemBinaryFileW.h"
#include "zy/ExtException.h"

using namespace model;
using testing_bytes::ByteBuilder;

namespace {

using P = zy::Ref<BaseProperty>;

template <class T>
P prop(const char* name, T value)
{
    return zy::makeRef<Property<T>>(name, std::move(value));
}

P animatedFloat(const char* name, int32_t argument, std::vector<Key<float>> keys)
{
    return zy::makeRef<AnimatedProperty<float>>(name, argument, std::move(keys));
}

class FixedArguments : public IModelArguments {
public:
    explicit FixedArguments(float v) : v_(v) {}
    float value(int32_t) const override { return v_; }

private:
    float v_;
};

} // namespace

TEST(Property, EqualityFollowsKindNameClassAndTolerances)
{
    using V3 = osg::Vec3f;
    struct Case {
        const char* what;
        P a, b;
        bool equal;
    };
    const Case cases[] = {
        {"float within 1e-5", prop("x", 1.0f), prop("x", 1.00001f), true},
        {"float beyond 1e-5", prop("x", 1.0f), prop("x", 1.0001f), false},
        {"other name", prop("x", 1.0f), prop("y", 1.0f), false},
        {"name compared by bytes", prop("x", 1.0f), prop("X", 1.0f), false},
        {"uint exact", prop("n", 7u), prop("n", 7u), true},
        {"uint differs by one", prop("n", 7u), prop("n", 8u), false},
        {"string same bytes", prop("s", zy::string("a")), prop("s", zy::string("a")), true},
        {"string other bytes", prop("s", zy::string("a")), prop("s", zy::string("a ")), false},
        {"vec3 every component within", prop("v", V3(1, 2, 3)), prop("v", V3(1.000009f, 2, 2.999991f)), true},
        {"vec3 one component beyond", prop("v", V3(1, 2, 3)), prop("v", V3(1, 2.0001f, 3)), false},
        {"vec2 vs vec3 of one name", prop("v", osg::Vec2f(1, 2)), prop("v", V3(1, 2, 0)), false},
        {"float vs argument mirror", prop("a", 0.0f), zy::makeRef<ArgumentProperty>("a", 0), false},
        {"argument same", zy::makeRef<ArgumentProperty>("a", 3), zy::makeRef<ArgumentProperty>("a", 3), true},
        {"argument other", zy::makeRef<ArgumentProperty>("a", 3), zy::makeRef<ArgumentProperty>("a", 4), false},
        {"key times 1e-10 apart", animatedFloat("k", 1, {{0.5, 1.0f}}), animatedFloat("k", 1, {{0.5000000001, 1.0f}}),
         true},
        {"key times 1e-5 apart", animatedFloat("k", 1, {{0.5, 1.0f}}), animatedFloat("k", 1, {{0.50001, 1.0f}}),
         false},
        {"key values within 1e-5", animatedFloat("k", 1, {{0, 2.0f}}), animatedFloat("k", 1, {{0, 2.000009f}}),
         true},
        {"key values beyond", animatedFloat("k", 1, {{0, 2.0f}}), animatedFloat("k", 1, {{0, 2.0001f}}), false},
        {"key counts", animatedFloat("k", 1, {{0, 2.0f}}), animatedFloat("k", 1, {{0, 2.0f}, {1, 2.0f}}), false},
        {"animated arguments", animatedFloat("k", 1, {{0, 2.0f}}), animatedFloat("k", 2, {{0, 2.0f}}), false},
        {"animated vs argument", animatedFloat("k", 1, {}), zy::makeRef<ArgumentProperty>("k", 1), false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.a->equals(*c.b), c.equal) << c.what;
        EXPECT_EQ(c.b->equals(*c.a), c.equal) << c.what << " (reversed)";
    }
}

TEST(Property, UpdateInterpolatesBetweenBisectedNeighbours)
{
    auto p = zy::makeRef<AnimatedProperty<float>>("k", 0,
                                                  std::vector<Key<float>>{{0.0, 0.0f}, {1.0, 10.0f}, {3.0, -10.0f}});
    struct Case {
        float argument;
        float expected;
    };
    // (1 - s)·a + s·b with single-precision weights.
    const Case cases[] = {
        {-1.0f, 0.0f}, {0.0f, 0.0f}, {0.25f, 2.5f}, {1.0f, 10.0f}, {2.0f, 0.0f}, {2.5f, -5.0f}, {3.0f, -10.0f},
        {7.0f, -10.0f},
    };
    for (const Case& c : cases) {
        p->update(FixedArguments(c.argument));
        EXPECT_FLOAT_EQ(p->value(), c.expected) << c.argument;
        EXPECT_FLOAT_EQ(p->asFloat(), c.expected) << c.argument;
    }

    // The weights are rounded to single precision before they scale the values.
    auto fine = zy::makeRef<AnimatedProperty<float>>("f", 0, std::vector<Key<float>>{{0.0, 1.0f}, {3.0, 16777216.0f}});
    fine->update(FixedArguments(1.0f));
    const double s = 1.0 / 3.0;
    EXPECT_EQ(fine->value(), static_cast<float>(1.0 - s) * 1.0f + static_cast<float>(s) * 16777216.0f);

    // Vectors interpolate per component; no keys keep the previous value.
    auto v = zy::makeRef<AnimatedProperty<osg::Vec2f>>(
        "v", 0, std::vector<Key<osg::Vec2f>>{{0.0, {0.0f, 4.0f}}, {2.0, {2.0f, 0.0f}}});
    v->update(FixedArguments(0.5f));
    EXPECT_EQ(v->value(), osg::Vec2f(0.5f, 3.0f));
    AnimatedProperty<float> empty("e", 0, {});
    empty.update(FixedArguments(1.0f));
    EXPECT_EQ(empty.value(), 0.0f);

    ArgumentProperty mirror("m", 5);
    mirror.update(FixedArguments(0.75f));
    EXPECT_EQ(mirror.value(), 0.75f);
    mirror.update(DummyArguments());
    EXPECT_EQ(mirror.value(), 0.0f);
}

TEST(Property, KeyRange)
{
    double first = -1, last = -1;
    AnimatedProperty<float>("k", 0, {{0.25, 1.0f}, {4.0, 2.0f}}).keyRange(first, last);
    EXPECT_EQ(first, 0.25);
    EXPECT_EQ(last, 4.0);
    AnimatedProperty<float>("k", 0, {}).keyRange(first, last);
    EXPECT_EQ(first, 0.0);
    EXPECT_EQ(last, 0.0);
}

TEST(Property, AccessorsAnswerOnlyTheirOwnValue)
{
    const std::pair<const char*, std::function<void(const BaseProperty&)>> accessors[] = {
        {"This property doesn't contain float value.", [](const BaseProperty& p) { p.asFloat(); }},
        {"This property doesn't contain unsigned int value.", [](const BaseProperty& p) { p.asUInt(); }},
        {"This property doesn't contain osg::Vec2f value.", [](const BaseProperty& p) { p.asVec2f(); }},
        {"This property doesn't contain osg::Vec3f value.", [](const BaseProperty& p) { p.asVec3f(); }},
        {"This property doesn't contain osg::Vec4f value.", [](const BaseProperty& p) { p.asVec4f(); }},
        {"This property doesn't contain zy::string value.", [](const BaseProperty& p) { p.asString(); }},
    };
    // Each property with the accessor index it answers.
    const std::pair<P, int> properties[] = {
        {prop("f", 1.0f), 0},
        {prop("u", 1u), 1},
        {prop("v2", osg::Vec2f(1, 2)), 2},
        {prop("v3", osg::Vec3f(1, 2, 3)), 3},
        {prop("v4", osg::Vec4f(1, 2, 3, 4)), 4},
        {prop("s", zy::string("x")), 5},
        {animatedFloat("af", 0, {}), 0},
        {zy::makeRef<AnimatedProperty<osg::Vec3f>>("a3", 0, std::vector<Key<osg::Vec3f>>{}), 3},
        {zy::makeRef<ArgumentProperty>("arg", 0), 0},
    };
    for (const auto& [p, answers] : properties)
        for (int i = 0; i < 6; ++i) {
            if (i == answers) {
                EXPECT_NO_THROW(accessors[i].second(*p)) << p->name();
                continue;
            }
            try {
                accessors[i].second(*p);
                ADD_FAILURE() << p->name() << " answered accessor " << i;
            } catch (const zy::ExtException& e) {
                EXPECT_EQ(e.message(), accessors[i].first) << p->name();
            }
        }
    EXPECT_EQ(prop("s", zy::string("text"))->asString(), "text");
    EXPECT_EQ(prop("v4", osg::Vec4f(1, 2, 3, 4))->asVec4f(), osg::Vec4f(1, 2, 3, 4));
}

TEST(Property, RecordsOfEveryClass)
{
    io::MemBinaryFileW out;
    ByteBuilder e;

    prop("f", 0.5f)->write(out);
    e.sidx("model::Property<float>").sidx("f").f32(0.5f);
    prop("u", 0xDEADBEEFu)->write(out);
    e.sidx("model::Property<unsigned int>").sidx("u").u32(0xDEADBEEF);
    prop("v2", osg::Vec2f(1, 2))->write(out);
    e.sidx("model::Property<osg::Vec2f>").sidx("v2").f32s({1, 2});
    prop("v3", osg::Vec3f(1, 2, 3))->write(out);
    e.sidx("model::Property<osg::Vec3f>").sidx("v3").f32s({1, 2, 3});
    prop("v4", osg::Vec4f(1, 2, 3, 4))->write(out);
    e.sidx("model::Property<osg::Vec4f>").sidx("v4").f32s({1, 2, 3, 4});
    prop("s", zy::string("f"))->write(out); // the value shares the pool entry of the name "f"
    e.sidx("model::Property<const char*>").sidx("s").sidx("f");
    animatedFloat("af", -1, {{0.0, 1.0f}, {2.5, 3.0f}})->write(out);
    e.sidx("model::AnimatedProperty<float>").sidx("af").u32(0xFFFFFFFF).u32(2).f64(0.0).f32(1.0f).f64(2.5).f32(3.0f);
    AnimatedProperty<osg::Vec2f>("a2", 3, {{1.0, {5, 6}}}).write(out);
    e.sidx("model::AnimatedProperty<osg::Vec2f>").sidx("a2").u32(3).u32(1).f64(1.0).f32s({5, 6});
    AnimatedProperty<osg::Vec3f>("a3", 4, {{1.0, {5, 6, 7}}}).write(out);
    e.sidx("model::AnimatedProperty<osg::Vec3f>").sidx("a3").u32(4).u32(1).f64(1.0).f32s({5, 6, 7});
    AnimatedProperty<osg::Vec4f>("a4", 5, {}).write(out);
    e.sidx("model::AnimatedProperty<osg::Vec4f>").sidx("a4").u32(5).u32(0);
    ArgumentProperty("arg", 9).write(out);
    e.sidx("model::ArgumentProperty").sidx("arg").u32(9);

    EXPECT_EQ(out.buffer(), e.bytes());
    EXPECT_EQ(out.pool().serialize(), e.poolBytes());
}

TEST(Property, TextForms)
{
    const std::pair<P, std::string> cases[] = {
        {prop("speed", 1.5f), "speed = 1.500000;"},
        {prop("count", 42u), "count = uint(42);"},
        {prop("label", zy::string("a b")), "label = \"a b\";"},
        {prop("quote", zy::string("say \"hi\"\\\n\r\t1")), "quote = \"say \\\"hi\\\"\\\\\\n\\r\\0091\";"},
        {prop("my name", 1.0f), "[\"my name\"] = 1.000000;"},
        {prop("end", 1.0f), "[\"end\"] = 1.000000;"},
        {prop("_x1", 1.0f), "_x1 = 1.000000;"},
        {zy::makeRef<ArgumentProperty>("2d", 3), "[\"2d\"] = argument(3);"},
        {prop("uv", osg::Vec2f(1, 2)), "uv = vec2(1.000000,2.000000);"},
        {prop("pos", osg::Vec3f(1, 2, 3)), "pos = vec3(1.000000,2.000000,3.000000);"},
        {prop("rgba", osg::Vec4f(1, 0, 0, 0.5f)), "rgba = vec4(1.000000,0.000000,0.000000,0.500000);"},
        {zy::makeRef<ArgumentProperty>("door", 3), "door = argument(3);"},
        {animatedFloat("a", 2, {{0, 1}, {0.5, 2}}), "a = animation(2,0.000000,1.000000,0.500000,2.000000);"},
        {animatedFloat("a", -1, {{1, 0.5f}, {0, 0.25f}}), "a = anim(1.000000,0.500000,0.000000,0.250000);"},
        {zy::makeRef<AnimatedProperty<osg::Vec2f>>("c", 1, std::vector<Key<osg::Vec2f>>{{0, {1, 2}}, {1, {3, 4}}}),
         "c = animation_vec2(1,0.000000,vec2(1.000000,2.000000),1.000000,vec2(3.000000,4.000000));"},
        {zy::makeRef<AnimatedProperty<osg::Vec3f>>("c", 1, std::vector<Key<osg::Vec3f>>{{0, {1, 2, 3}}}),
         "c = animation_vec3(1,0.000000,vec3(1.000000,2.000000,3.000000));"},
        {zy::makeRef<AnimatedProperty<osg::Vec4f>>("c", 1, std::vector<Key<osg::Vec4f>>{{0, {1, 2, 3, 4}}}),
         "c = animation_vec4(1,0.000000,vec4(1.000000,2.000000,3.000000,4.000000));"},
    };
    for (const auto& [p, text] : cases)
        EXPECT_EQ(p->textForm(), text);
}

TEST(PropertyList, LookUps)
{
    PropertyList list{prop("Color", 1.0f), prop("Color", osg::Vec3f(1, 2, 3)), prop("uv", osg::Vec2f(3, 4)),
                      prop("name", zy::string("n")), prop("Color", 2.0f)};

    EXPECT_EQ(list.find("Color", ValueKind::Vec3f), list[1]);
    EXPECT_EQ(list.find("Color", ValueKind::Float), list[0]); // the first of two
    EXPECT_EQ(list.find("Color", ValueKind::Vec4f), nullptr);
    EXPECT_EQ(list.find("color", ValueKind::Float), nullptr);

    float f = -1;
    osg::Vec2f v(-1, -1);
    zy::string s = "unchanged";
    EXPECT_TRUE(list.getFloat("Color", f));
    EXPECT_EQ(f, 1.0f);
    EXPECT_TRUE(list.getVec2f("uv", v));
    EXPECT_EQ(v, osg::Vec2f(3, 4));
    EXPECT_TRUE(list.getString("name", s));
    EXPECT_EQ(s, "n");

    f = -1;
    s = "unchanged";
    EXPECT_FALSE(list.getFloat("uv", f));
    EXPECT_EQ(f, -1);
    EXPECT_FALSE(list.getString("Color", s));
    EXPECT_EQ(s, "unchanged");
    EXPECT_FALSE(list.getVec2f("missing", v));

    EXPECT_TRUE(list.has("uv"));
    EXPECT_FALSE(list.has("UV"));
}

TEST(PropertyList, SetEqualityIgnoresOrderAndUsesPropertyEquality)
{
    const auto makeList = [](int n, bool reversed, float bump) {
        PropertyList list;
        for (int i = 0; i < n; ++i) {
            const int k = reversed ? n - 1 - i : i;
            list.push_back(prop(("p" + std::to_string(k)).c_str(), static_cast<float>(k) + (k == 0 ? bump : 0)));
        }
        return list;
    };
    // Short lists and long ones (which take the by-name path).
    for (int n : {3, 40}) {
        EXPECT_TRUE(equalPropertySets(makeList(n, false, 0), makeList(n, true, 0))) << n;
        EXPECT_TRUE(equalPropertySets(makeList(n, false, 0), makeList(n, true, 5e-6f))) << n;
        EXPECT_FALSE(equalPropertySets(makeList(n, false, 0), makeList(n, true, 1e-3f))) << n;
        EXPECT_FALSE(equalPropertySets(makeList(n, false, 0), makeList(n + 1, false, 0))) << n;
    }
}

TEST(Property, RegistryCreatesEveryPropertyClassByName)
{
    const char* names[] = {
        "model::Property<float>",         "model::Property<unsigned int>",       "model::Property<osg::Vec2f>",
        "model::Property<osg::Vec3f>",    "model::Property<osg::Vec4f>",         "model::Property<const char*>",
        "model::AnimatedProperty<float>", "model::AnimatedProperty<osg::Vec2f>", "model::AnimatedProperty<osg::Vec3f>",
        "model::AnimatedProperty<osg::Vec4f>", "model::ArgumentProperty",
    };
    for (const char* name : names) {
        const zy::Factory* factory = ModelFactoryManager::instance().find(name);
        ASSERT_NE(factory, nullptr) << name;
        zy::Ref<BaseProperty> p(static_cast<BaseProperty*>(factory->create()));
        EXPECT_STREQ(p->className(), name);
    }
}
