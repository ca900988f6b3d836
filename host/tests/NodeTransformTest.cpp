// Node world matrices from keyed PRS controllers, against compositions by hand.
#include <gtest/gtest.h>

#include <cmath>

#include "scene/SceneBuilder.h"

namespace {

using zyscene::Key;
constexpr float kPi = 3.14159265358979f;

void ExpectPoint(const Point3& a, const Point3& b, float eps = 1e-4f) {
    EXPECT_NEAR(a.x, b.x, eps);
    EXPECT_NEAR(a.y, b.y, eps);
    EXPECT_NEAR(a.z, b.z, eps);
}

void ExpectMatrix(const Matrix3& a, const Matrix3& b, float eps = 1e-4f) {
    for (int i = 0; i < 4; ++i) ExpectPoint(a[i], b[i], eps);
}

class NodeTransform : public ::testing::Test {
protected:
    void SetUp() override { TheMemInterface().ResetScene(); }
    void TearDown() override { TheMemInterface().ResetScene(); }
    zyscene::SceneBuilder scene;
};

TEST_F(NodeTransform, KeyedHierarchyMatchesHandComposition) {
    // Parent: moves from the origin to (10, 0, 0) and turns a host quarter turn about
    // z over one second, uniformly scaled by 2. Child: one unit along x, stretched
    // along its own rotated axis.
    INode* parent = scene.Node("parent");
    scene.Place(parent, Point3(0, 0, 0), Quat(), ScaleValue(Point3(2, 2, 2)));
    scene.KeyPosition(parent, {{0, Point3(0, 0, 0)}, {4800, Point3(10, 0, 0)}});
    scene.KeyRotation(parent, {{0, Quat()}, {4800, Quat(AngAxis(Point3(0, 0, 1), kPi / 2))}});

    INode* child = scene.Node("child", nullptr, parent);
    const Quat axis = QFromAngAxis(kPi / 4, Point3(0, 0, 1));
    scene.Place(child, Point3(1, 0, 0));
    scene.KeyScale(child, {{0, ScaleValue(Point3(1, 1, 1), axis)}, {4800, ScaleValue(Point3(3, 1, 1), axis)}});

    struct Case {
        TimeValue t;
        float x, angle, stretch; // parent x position, host rotation angle, child stretch
    };
    for (const Case c : {Case{0, 0, 0, 1}, Case{2400, 5, kPi / 4, 2}, Case{4800, 10, kPi / 2, 3}, Case{9600, 10, kPi / 2, 3}}) {
        SCOPED_TRACE(c.t);
        // The host quaternion turns by -angle in the standard sense.
        Matrix3 parentWorld = ScaleMatrix(Point3(2, 2, 2)) * RotateZMatrix(-c.angle) * TransMatrix(Point3(c.x, 0, 0));
        Matrix3 axisM = RotateZMatrix(-kPi / 4);
        Matrix3 childLocal = Inverse(axisM) * ScaleMatrix(Point3(c.stretch, 1, 1)) * axisM * TransMatrix(Point3(1, 0, 0));
        ExpectMatrix(parent->GetNodeTM(c.t), parentWorld);
        ExpectMatrix(child->GetParentTM(c.t), parentWorld);
        ExpectMatrix(child->GetNodeTM(c.t), childLocal * parentWorld);
    }
    // A point worked through by hand at t = 4800: the child origin (1, 0, 0) in the
    // parent, scaled to (2, 0, 0), turned a quarter clockwise to (0, -2, 0), moved by 10.
    ExpectPoint(Point3(0, 0, 0) * child->GetNodeTM(4800), Point3(10, -2, 0));
    ExpectPoint(Point3(0, 0, 0) * child->GetNodeTM(2400), Point3(5 + std::sqrt(2.f), -std::sqrt(2.f), 0));
}

TEST_F(NodeTransform, ObjectOffsetComesBeforeTheNode) {
    INode* node = scene.Node("n");
    scene.Place(node, Point3(5, 0, 0), QFromAngAxis(kPi / 2, Point3(0, 0, 1)));
    node->SetObjOffsetPos(Point3(0, 1, 0));
    node->SetObjOffsetScale(ScaleValue(Point3(2, 2, 2)));
    Matrix3 offset = ScaleMatrix(Point3(2, 2, 2)) * TransMatrix(Point3(0, 1, 0));
    ExpectMatrix(node->GetObjectTM(0), offset * node->GetNodeTM(0));
    // Object point (1, 0, 0): scaled (2, 0, 0), offset (2, 1, 0), turned to (1, -2, 0), moved (6, -2, 0).
    ExpectPoint(Point3(1, 0, 0) * node->GetObjectTM(0), Point3(6, -2, 0));
}

TEST_F(NodeTransform, SetNodeTMAndAttachKeepTheWorldMatrix) {
    INode* a = scene.Node("a");
    scene.Place(a, Point3(1, 2, 3), QFromAngAxis(0.3f, Point3(1, 0, 0)), ScaleValue(Point3(2, 1, 1)));
    INode* b = scene.Node("b");
    Matrix3 world = RotateYMatrix(0.5f) * TransMatrix(Point3(4, 5, 6));
    b->SetNodeTM(0, world);
    ExpectMatrix(b->GetNodeTM(0), world);
    a->AttachChild(b, 1);
    EXPECT_EQ(b->GetParentNode(), a);
    ExpectMatrix(b->GetNodeTM(0), world);
    ExpectMatrix(b->GetNodeTM(0) * Inverse(b->GetParentTM(0)), world * Inverse(a->GetNodeTM(0)));
}

TEST_F(NodeTransform, StandInTransformControllersKeepThePlacement) {
    INode* biped = scene.Dummy("Bip01", Box3(Point3(-1, -1, -1), Point3(1, 1, 1)));
    Control* c = scene.UseTMControllerClass(biped, BIPSLAVE_CONTROL_CLASS_ID);
    EXPECT_EQ(biped->GetTMController(), c);
    EXPECT_EQ(c->ClassID(), BIPSLAVE_CONTROL_CLASS_ID);
    scene.Place(biped, Point3(0, 0, 7));
    ExpectPoint(biped->GetNodeTM(0).GetTrans(), Point3(0, 0, 7));
    EXPECT_EQ(TheMemInterface().GetRootNode()->GetTMController(), nullptr);
    EXPECT_TRUE(TheMemInterface().GetRootNode()->IsRootNode());
    EXPECT_FALSE(biped->IsRootNode());
}

} // namespace
