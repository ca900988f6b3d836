// Identities of the host's matrices, quaternions and affine decomposition.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "maxsdk/Box3.h"
#include "maxsdk/Decomp.h"
#include "maxsdk/Time.h"

namespace {

constexpr float kPi = 3.14159265358979f;

void ExpectPoint(const Point3& a, const Point3& b, float eps = 1e-5f) {
    EXPECT_NEAR(a.x, b.x, eps);
    EXPECT_NEAR(a.y, b.y, eps);
    EXPECT_NEAR(a.z, b.z, eps);
}

void ExpectMatrix(const Matrix3& a, const Matrix3& b, float eps = 1e-5f) {
    for (int i = 0; i < 4; ++i) ExpectPoint(a[i], b[i], eps);
}

// Same rotation: q or -q.
void ExpectSameRotation(const Quat& a, const Quat& b, float eps = 1e-5f) {
    Quat c = b;
    c.MakeClosest(a);
    EXPECT_TRUE(a.Equals(c, eps)) << a.x << " " << a.y << " " << a.z << " " << a.w;
}

const std::vector<Quat> kRotations = {
    Quat(),
    QFromAngAxis(kPi / 2, Point3(0, 0, 1)),
    QFromAngAxis(0.3f, Point3(1, 2, 3)),
    QFromAngAxis(2.9f, Point3(-1, 0.5f, 0.2f)),
    QFromAngAxis(kPi, Point3(0, 1, 0)),
    QFromAngAxis(-1.2f, Point3(0.3f, -0.7f, 0.1f)),
};

TEST(Quat, HostQuaternionTurnsTheOtherWayRound) {
    // The host quaternion of +90 degrees about z is (0, 0, sin 45, cos 45); as the
    // conjugate of the standard one it turns x onto -y.
    Quat q(AngAxis(Point3(0, 0, 1), kPi / 2));
    EXPECT_NEAR(q.z, std::sqrt(0.5f), 1e-6f);
    EXPECT_NEAR(q.w, std::sqrt(0.5f), 1e-6f);
    Matrix3 m;
    q.MakeMatrix(m);
    ExpectPoint(Point3(1, 0, 0) * m, Point3(0, -1, 0));
    ExpectPoint(Point3(0, 1, 0) * m, Point3(1, 0, 0));
    // The same rotation expressed as a counter-clockwise matrix by -90 degrees.
    ExpectMatrix(m, RotateZMatrix(-kPi / 2));
}

TEST(Quat, ProductComposesLikeRowVectorMatrices) {
    for (const Quat& p : kRotations) {
        for (const Quat& q : kRotations) {
            Matrix3 mp, mq, mpq;
            p.MakeMatrix(mp);
            q.MakeMatrix(mq);
            (p * q).MakeMatrix(mpq);
            ExpectMatrix(mpq, mp * mq);
        }
    }
}

TEST(Quat, MatrixRoundTripAndInverse) {
    for (const Quat& q : kRotations) {
        Matrix3 m;
        q.MakeMatrix(m);
        ExpectSameRotation(Quat(m), q);
        // Scaling the matrix does not change its rotation.
        ExpectSameRotation(Quat(ScaleMatrix(Point3(2, 3, 0.5f)) * m), q);
        EXPECT_TRUE((q * Inverse(q)).Equals(Quat(), 1e-6f));
        AngAxis aa(q);
        ExpectSameRotation(Quat(aa), q);
    }
}

TEST(Quat, MakeClosestPicksTheNearHemisphere) {
    struct Case {
        Quat q, to;
        bool flips;
    };
    const Quat a = QFromAngAxis(0.5f, Point3(0, 0, 1));
    const std::vector<Case> cases = {
        {a, Quat(), false},
        {-a, Quat(), true},
        {Quat(0, 0, 0.8f, -0.6f), Quat(0, 0, 0.8f, 0.6f), false}, // dot 0.28
        {Quat(0, 0, -0.8f, 0.6f), Quat(0, 0, 0.8f, 0.6f), true},  // dot -0.28
        {Quat(1, 0, 0, 0), Quat(0, 1, 0, 0), false},               // dot 0 keeps its sign
    };
    for (const Case& c : cases) {
        Quat r = c.q;
        r.MakeClosest(c.to);
        EXPECT_EQ(r, c.flips ? -c.q : c.q);
    }
}

TEST(Quat, SlerpHalfway) {
    Quat a;
    Quat b = QFromAngAxis(kPi / 2, Point3(1, 0, 0));
    ExpectSameRotation(Slerp(a, b, 0.5f), QFromAngAxis(kPi / 4, Point3(1, 0, 0)));
    // The short way even when b is given on the far hemisphere.
    ExpectSameRotation(Slerp(a, -b, 0.5f), QFromAngAxis(kPi / 4, Point3(1, 0, 0)));
}

TEST(Matrix3, RowVectorConvention) {
    Matrix3 m = RotateZMatrix(kPi / 2) * TransMatrix(Point3(10, 0, 0));
    // Rotate first, then translate.
    ExpectPoint(Point3(1, 0, 0) * m, Point3(10, 1, 0));
    ExpectPoint(VectorTransform(m, Point3(1, 0, 0)), Point3(0, 1, 0));
    Matrix3 pre;
    pre.PreTranslate(Point3(1, 2, 3));
    pre.Scale(Point3(2, 2, 2));
    ExpectPoint(Point3(0, 0, 0) * pre, Point3(2, 4, 6));
    EXPECT_FALSE(m.Parity());
    EXPECT_TRUE(ScaleMatrix(Point3(-1, 1, 1)).Parity());
}

TEST(Matrix3, InverseUndoes) {
    const std::vector<Matrix3> cases = {
        Matrix3(),
        TransMatrix(Point3(1, -2, 3)),
        RotateXMatrix(0.7f) * ScaleMatrix(Point3(2, 0.5f, 3)) * TransMatrix(Point3(4, 5, 6)),
        Matrix3(Point3(1, 0.2f, 0), Point3(0.3f, 1, 0.1f), Point3(0, 0.4f, -2), Point3(7, 8, 9)),
    };
    for (const Matrix3& m : cases) {
        ExpectMatrix(m * Inverse(m), Matrix3(), 1e-5f);
        ExpectMatrix(Inverse(m) * m, Matrix3(), 1e-5f);
    }
}

TEST(AffineParts, DecompositionRebuildsTheMatrix) {
    struct Case {
        Point3 k;
        Quat u, q;
        Point3 t;
        float f;
    };
    const std::vector<Case> cases = {
        {{1, 1, 1}, Quat(), Quat(), {0, 0, 0}, 1},
        {{1, 2, 3}, Quat(), QFromAngAxis(0.4f, Point3(0, 0, 1)), {5, 6, 7}, 1},
        {{2, 2, 2}, Quat(), QFromAngAxis(1.1f, Point3(1, 1, 0)), {-1, 0, 2}, -1},
        {{0.5f, 4, 1.5f}, QFromAngAxis(0.3f, Point3(0, 1, 0)), QFromAngAxis(-0.8f, Point3(1, 0, 2)), {1, 2, 3}, 1},
        {{3, 1, 2}, QFromAngAxis(0.2f, Point3(1, 0, 0)), QFromAngAxis(2.5f, Point3(0, 1, 1)), {0, 0, 9}, -1},
    };
    for (const Case& c : cases) {
        // Built by hand: f * stretch along u, then q, then t.
        Matrix3 um, qm;
        c.u.MakeMatrix(um);
        c.q.MakeMatrix(qm);
        Matrix3 m = Inverse(um) * ScaleMatrix(c.k * c.f) * um * qm;
        m.SetTrans(c.t);

        SCOPED_TRACE(::testing::Message() << "case k=" << c.k.x << "," << c.k.y << "," << c.k.z);
        AffineParts parts;
        decomp_affine(m, &parts);
        EXPECT_EQ(parts.f, c.f);
        ExpectPoint(parts.t, c.t);
        ExpectMatrix(ComposeAffine(parts), m, 1e-4f);
        EXPECT_GT(parts.k.x, 0);
        EXPECT_GT(parts.k.y, 0);
        EXPECT_GT(parts.k.z, 0);
        if (c.u.IsIdentity()) {
            // An axis-aligned stretch comes back unpermuted with the identity axes.
            ExpectPoint(parts.k, c.k, 1e-4f);
            ExpectSameRotation(parts.u, Quat(), 1e-4f);
            ExpectSameRotation(parts.q, c.q, 1e-4f);
        }
        // The scale value of the parts is the stretch of the matrix.
        Matrix3 stretch = ScaleValue(parts.k * parts.f, parts.u).ToMatrix();
        Matrix3 pq;
        parts.q.MakeMatrix(pq);
        Matrix3 rebuilt = stretch * pq;
        rebuilt.SetTrans(parts.t);
        ExpectMatrix(rebuilt, m, 1e-4f);
    }
}

TEST(Box3, TransformedCorners) {
    Box3 b(Point3(-1, -1, -1), Point3(1, 2, 3));
    Box3 r = b * (RotateZMatrix(kPi / 2) * TransMatrix(Point3(10, 0, 0)));
    ExpectPoint(r.Min(), Point3(8, -1, -1));
    ExpectPoint(r.Max(), Point3(11, 1, 3));
    EXPECT_TRUE(Box3().IsEmpty());
}

TEST(TimeInterval, IntersectionAndGrowth) {
    struct Case {
        Interval a, b, both;
    };
    const std::vector<Case> cases = {
        {Interval(0, 100), Interval(50, 200), Interval(50, 100)},
        {Interval(0, 100), Interval(100, 200), Interval(100, 100)},
        {Interval(0, 100), Interval(101, 200), NEVER},
        {FOREVER, Interval(-5, 5), Interval(-5, 5)},
        {NEVER, FOREVER, NEVER},
    };
    for (const Case& c : cases) {
        Interval r = c.a;
        r &= c.b;
        EXPECT_EQ(r, c.both) << c.a.Start() << " " << c.b.Start();
    }
    Interval grown = NEVER;
    EXPECT_TRUE(grown.Empty());
    EXPECT_FALSE(grown.InInterval(0));
    grown += 30;
    grown += -10;
    EXPECT_EQ(grown, Interval(-10, 30));
    EXPECT_TRUE(grown.InInterval(0));
    EXPECT_FALSE(grown.InInterval(31));
}

} // namespace
