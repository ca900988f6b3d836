// Keyframe controllers, the on/off controller and controller persistence.
#include <gtest/gtest.h>

#include <cmath>

#include "mem/ChunkStreams.h"
#include "mem/Controllers.h"
#include "scene/SceneBuilder.h"

namespace {

using zyscene::Key;
constexpr float kPi = 3.14159265358979f;

float F(Control* c, TimeValue t) {
    float v = 0;
    Interval iv = FOREVER;
    c->GetValue(t, &v, iv, CTRL_ABSOLUTE);
    return v;
}

Point3 P(Control* c, TimeValue t) {
    Point3 v;
    Interval iv = FOREVER;
    c->GetValue(t, &v, iv, CTRL_ABSOLUTE);
    return v;
}

class Controllers : public ::testing::Test {
protected:
    void TearDown() override { TheMemInterface().SetAnimateButtonState(FALSE); }
};

TEST_F(Controllers, LinearFloatInterpolatesAndClamps) {
    Control* c = zyscene::FloatKeys({{4800, 3.f}, {0, 1.f}});
    EXPECT_EQ(c->ClassID(), LININTERP_FLOAT_CLASS_ID);
    ASSERT_EQ(c->NumKeys(), 2);
    EXPECT_EQ(c->GetKeyTime(0), 0); // sorted
    EXPECT_FLOAT_EQ(F(c, -100), 1.f);
    EXPECT_FLOAT_EQ(F(c, 1200), 1.5f);
    EXPECT_FLOAT_EQ(F(c, 2400), 2.f);
    EXPECT_FLOAT_EQ(F(c, 9999), 3.f);
    float acc = 10.f;
    Interval iv = FOREVER;
    c->GetValue(2400, &acc, iv, CTRL_RELATIVE);
    EXPECT_FLOAT_EQ(acc, 12.f);
    EXPECT_EQ(c->GetTimeRange(0), Interval(0, 4800));
    c->DeleteMe();
}

TEST_F(Controllers, SetValueMakesKeysOnlyInAnimationMode) {
    struct Case {
        const char* what;
        bool animating;
        std::vector<Key<float>> keys;
        TimeValue t;
        float value;
        std::vector<Key<float>> expected; // empty: a constant
        float constant;
    };
    const std::vector<Case> cases = {
        {"no keys sets the constant", false, {}, 100, 5.f, {}, 5.f},
        {"animation mode adds a key", true, {}, 100, 5.f, {{100, 5.f}}, 0},
        {"the key at t changes", false, {{0, 1.f}, {4800, 3.f}}, 4800, 7.f, {{0, 1.f}, {4800, 7.f}}, 0},
        {"between keys every key moves", false, {{0, 1.f}, {4800, 3.f}}, 2400, 5.f, {{0, 4.f}, {4800, 6.f}}, 0},
        {"animation mode inserts", true, {{0, 1.f}, {4800, 3.f}}, 2400, 5.f, {{0, 1.f}, {2400, 5.f}, {4800, 3.f}}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TheMemInterface().SetAnimateButtonState(c.animating);
        Control* ctrl = zyscene::FloatKeys(c.keys);
        float v = c.value;
        ctrl->SetValue(c.t, &v, 1, CTRL_ABSOLUTE);
        EXPECT_FLOAT_EQ(F(ctrl, c.t), c.value);
        ASSERT_EQ(ctrl->NumKeys(), int(c.expected.size()));
        IKeyControl* kc = GetKeyControlInterface(ctrl);
        for (int i = 0; i < ctrl->NumKeys(); ++i) {
            ILinFloatKey k;
            kc->GetKey(i, &k);
            EXPECT_EQ(k.time, c.expected[std::size_t(i)].t);
            EXPECT_FLOAT_EQ(k.val, c.expected[std::size_t(i)].v);
        }
        if (c.expected.empty()) {
            EXPECT_FLOAT_EQ(F(ctrl, -5000), c.constant);
        }
        ctrl->DeleteMe();
    }
}

TEST_F(Controllers, TransformControllersApplyRelativeOntoTheMatrix) {
    Control* pos = zyscene::PositionKeys({{0, Point3(0, 0, 0)}, {100, Point3(2, 4, 6)}});
    Matrix3 m = RotateZMatrix(kPi / 2);
    Interval iv = FOREVER;
    pos->GetValue(50, &m, iv, CTRL_RELATIVE);
    EXPECT_TRUE(m.Equals(TransMatrix(Point3(1, 2, 3)) * RotateZMatrix(kPi / 2), 1e-6f));

    Control* rot = zyscene::RotationKeys({{0, Quat()}, {100, QFromAngAxis(kPi / 2, Point3(1, 0, 0))}});
    Quat q;
    rot->GetValue(50, &q, iv, CTRL_ABSOLUTE);
    Quat half = QFromAngAxis(kPi / 4, Point3(1, 0, 0));
    EXPECT_TRUE(q.Equals(half, 1e-5f));

    Control* scale = zyscene::ScaleKeys({{0, ScaleValue(Point3(1, 1, 1))}, {100, ScaleValue(Point3(3, 1, 1))}});
    Matrix3 s = TransMatrix(Point3(5, 0, 0));
    scale->GetValue(50, &s, iv, CTRL_RELATIVE);
    EXPECT_TRUE(s.Equals(ScaleMatrix(Point3(2, 1, 1)) * TransMatrix(Point3(5, 0, 0)), 1e-6f));
    pos->DeleteMe();
    rot->DeleteMe();
    scale->DeleteMe();
}

TEST_F(Controllers, BezierPointPassesThroughItsKeys) {
    Control* c = zyscene::Point3Keys({{0, Point3(0, 0, 0)}, {100, Point3(10, 0, 0)}, {200, Point3(0, 0, 0)}});
    EXPECT_EQ(c->SuperClassID(), CTRL_POINT3_CLASS_ID);
    EXPECT_TRUE(P(c, 100).Equals(Point3(10, 0, 0), 1e-5f));
    // Smooth: the middle key is a peak, the curve is symmetric about it.
    EXPECT_TRUE(P(c, 50).Equals(P(c, 150), 1e-4f));
    EXPECT_GT(P(c, 50).x, 5.f);
    // Two keys give a straight line.
    Control* line = zyscene::Point3Keys({{0, Point3(0, 0, 0)}, {100, Point3(0, 8, 0)}});
    EXPECT_TRUE(P(line, 25).Equals(Point3(0, 2, 0), 1e-5f));
    c->DeleteMe();
    line->DeleteMe();
}

TEST_F(Controllers, OnOffTogglesAtKeys) {
    Control* c = zyscene::OnOffKeys(true, {100, 200});
    EXPECT_EQ(c->ClassID(), ONOFF_CONTROL_CLASS_ID);
    EXPECT_FLOAT_EQ(F(c, 50), 1.f);
    EXPECT_FLOAT_EQ(F(c, 100), 0.f);
    EXPECT_FLOAT_EQ(F(c, 150), 0.f);
    EXPECT_FLOAT_EQ(F(c, 250), 1.f);

    // A fresh track set to 0 at time 0 outside animation mode is off everywhere.
    Control* fresh = NewOnOffControl();
    float off = 0.f;
    fresh->SetValue(0, &off, 1, CTRL_ABSOLUTE);
    EXPECT_FLOAT_EQ(F(fresh, 0), 0.f);
    EXPECT_FLOAT_EQ(F(fresh, 100000), 0.f);
    EXPECT_EQ(fresh->NumKeys(), 0);
    // In animation mode switching on makes a key.
    TheMemInterface().SetAnimateButtonState(TRUE);
    float on = 1.f;
    fresh->SetValue(300, &on, 1, CTRL_ABSOLUTE);
    EXPECT_EQ(fresh->NumKeys(), 1);
    EXPECT_FLOAT_EQ(F(fresh, 299), 0.f);
    EXPECT_FLOAT_EQ(F(fresh, 300), 1.f);
    c->DeleteMe();
    fresh->DeleteMe();
}

TEST_F(Controllers, SaveAndLoadKeepKeysAndConstant) {
    Control* rot = zyscene::RotationKeys({{0, Quat()}, {160, QFromAngAxis(1.f, Point3(0, 1, 0))}});
    MemSave s;
    s.BeginChunk(0x2003);
    ASSERT_EQ(rot->Save(&s), IO_OK);
    s.EndChunk();
    ASSERT_TRUE(s.Ok());

    Control* back = NewLinearRotationControl();
    MemLoad l(s.Bytes());
    ASSERT_EQ(l.OpenChunk(), IO_OK);
    ASSERT_EQ(back->Load(&l), IO_OK);
    ASSERT_EQ(back->NumKeys(), 2);
    Quat a, b;
    Interval iv = FOREVER;
    rot->GetValue(80, &a, iv, CTRL_ABSOLUTE);
    back->GetValue(80, &b, iv, CTRL_ABSOLUTE);
    EXPECT_EQ(a, b);

    // A key chunk cut in the middle of a key is refused.
    MemSave t;
    t.BeginChunk(0x0110);
    std::uint8_t junk[5] = {1, 2, 3, 4, 5};
    ULONG n;
    t.Write(junk, 5, &n);
    t.EndChunk();
    MemLoad bad(t.Bytes());
    EXPECT_EQ(back->Load(&bad), IO_ERROR);
    rot->DeleteMe();
    back->DeleteMe();
}

TEST_F(Controllers, CreatedThroughTheClassDirectory) {
    struct Case {
        SClass_ID sid;
        Class_ID cid;
    };
    for (const Case c : {Case{CTRL_FLOAT_CLASS_ID, LININTERP_FLOAT_CLASS_ID},
                         Case{CTRL_POSITION_CLASS_ID, LININTERP_POSITION_CLASS_ID},
                         Case{CTRL_ROTATION_CLASS_ID, LININTERP_ROTATION_CLASS_ID},
                         Case{CTRL_SCALE_CLASS_ID, LININTERP_SCALE_CLASS_ID},
                         Case{CTRL_POINT3_CLASS_ID, HYBRIDINTERP_POINT3_CLASS_ID},
                         Case{CTRL_FLOAT_CLASS_ID, ONOFF_CONTROL_CLASS_ID},
                         Case{CTRL_MATRIX3_CLASS_ID, PRS_CONTROL_CLASS_ID}}) {
        auto* ctrl = static_cast<Control*>(CreateInstance(c.sid, c.cid));
        ASSERT_NE(ctrl, nullptr);
        EXPECT_EQ(ctrl->ClassID(), c.cid);
        EXPECT_EQ(ctrl->SuperClassID(), c.sid);
        EXPECT_EQ(ctrl->GetInterface(I_CONTROL), ctrl);
        ctrl->DeleteMe();
    }
    EXPECT_EQ(CreateInstance(CTRL_FLOAT_CLASS_ID, Class_ID(1, 2)), nullptr);
}

} // namespace
