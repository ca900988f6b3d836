// Matrix conventions: row vectors, translation in 12..14, products applied
// left first; the inverse.
#include <gtest/gtest.h>

#include <cmath>

#include "Math.h"

using osg::Mat4d;
using osg::Vec3d;

TEST(Mat4d, TransformPointFollowsRowVectorFormula)
{
    Mat4d m;
    for (int i = 0; i < 16; ++i)
        m[i] = i + 1; // m0 = 1 ... m15 = 16
    // x' = x·m0 + y·m4 + z·m8 + m12, with m_i = i + 1.
    const Vec3d p = m.transformPoint({1, 2, 3});
    EXPECT_EQ(p, Vec3d(1 * 1 + 2 * 5 + 3 * 9 + 13, 1 * 2 + 2 * 6 + 3 * 10 + 14, 1 * 3 + 2 * 7 + 3 * 11 + 15));
    EXPECT_EQ(m.transformVector({1, 2, 3}), Vec3d(38, 44, 50));
}

TEST(Mat4d, ProductAppliesLeftFactorFirst)
{
    const Mat4d move = Mat4d::translate({1, 0, 0});
    const Mat4d scale = Mat4d::scale({3, 3, 3});
    EXPECT_EQ((move * scale).transformPoint({0, 0, 0}), Vec3d(3, 0, 0));
    EXPECT_EQ((scale * move).transformPoint({0, 0, 0}), Vec3d(1, 0, 0));
}

TEST(Mat4d, RotationOfQuaternionTurnsXIntoY)
{
    // 90 degrees about z.
    const double h = std::sqrt(0.5);
    const Vec3d r = Mat4d::rotate(osg::Quatd(0, 0, h, h)).transformVector({1, 0, 0});
    EXPECT_NEAR(r[0], 0, 1e-12);
    EXPECT_NEAR(r[1], 1, 1e-12);
    EXPECT_NEAR(r[2], 0, 1e-12);
}

TEST(Mat4d, InverseUndoesAGeneralMatrix)
{
    const double h = std::sqrt(0.5);
    const Mat4d m = Mat4d::scale({2, 0.5, 4}) * Mat4d::rotate(osg::Quatd(h, 0, 0, h)) *
                    Mat4d::translate({3, -1, 7});
    EXPECT_TRUE(osg::equalWithin(m * m.inverse(), Mat4d::identity(), 1e-12));
    EXPECT_TRUE(osg::equalWithin(m.inverse() * m, Mat4d::identity(), 1e-12));
    EXPECT_NEAR(m.determinant(), 4.0, 1e-12);
    EXPECT_EQ(Mat4d::scale({1, 0, 1}).inverse(), Mat4d::zero());
}
