// Render normals from smoothing groups.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "scene/SceneBuilder.h"

namespace {

std::vector<RNormal> Normals(RVertex* rv) {
    std::vector<RNormal> out;
    if (rv->NormalCount() == 1 || rv->HasSpecifiedNormal()) out.push_back(rv->rn);
    else
        for (int i = 0; i < rv->NormalCount(); ++i) out.push_back(rv->ern[i]);
    return out;
}

bool Has(const std::vector<RNormal>& ns, const Point3& n, DWORD group) {
    return std::any_of(ns.begin(), ns.end(), [&](const RNormal& r) {
        return r.getNormal().Equals(n, 1e-5f) && r.getSmGroup() == group;
    });
}

// Vertex 0 of the box is the corner (-, -, -); its sides are -z (group bit 0),
// -y (bit 2) and -x (bit 4).
TEST(RenderNormals, OneGroupPerSideGivesThreeNormalsPerCorner) {
    TriObject* box = zyscene::BoxMesh(Point3(2, 2, 2), true);
    Mesh& m = box->GetMesh();
    for (int v = 0; v < m.getNumVerts(); ++v) EXPECT_EQ(m.getRVertPtr(v)->NormalCount(), 3);
    std::vector<RNormal> ns = Normals(m.getRVertPtr(0));
    EXPECT_TRUE(Has(ns, Point3(0, 0, -1), 1u << 0));
    EXPECT_TRUE(Has(ns, Point3(0, -1, 0), 1u << 2));
    EXPECT_TRUE(Has(ns, Point3(-1, 0, 0), 1u << 4));
    box->DeleteMe();
}

TEST(RenderNormals, OneGroupGivesTheAveragedNormal) {
    TriObject* box = zyscene::BoxMesh(Point3(2, 4, 6), false);
    Mesh& m = box->GetMesh();
    // Whatever the triangulation and size, each corner sees three right angles of
    // three perpendicular sides: the mean is the diagonal.
    const float d = 1 / std::sqrt(3.f);
    for (int v = 0; v < 8; ++v) {
        RVertex* rv = m.getRVertPtr(v);
        ASSERT_EQ(rv->NormalCount(), 1);
        Point3 expected((v & 1) ? d : -d, (v & 2) ? d : -d, (v & 4) ? d : -d);
        EXPECT_TRUE(rv->rn.getNormal().Equals(expected, 1e-5f)) << v;
        EXPECT_EQ(rv->rn.getSmGroup(), 1u);
    }
    box->DeleteMe();
}

TEST(RenderNormals, SpecifiedNormalWins) {
    TriObject* box = zyscene::BoxMesh(Point3(2, 2, 2), true);
    Mesh& m = box->GetMesh();
    m.setNormal(0, Point3(0, 0, 2));
    RVertex* rv = m.getRVertPtr(0);
    EXPECT_TRUE(rv->HasSpecifiedNormal());
    EXPECT_TRUE(rv->rn.getNormal().Equals(Point3(0, 0, 1), 1e-6f));
    EXPECT_EQ(m.getRVertPtr(1)->NormalCount(), 3); // the others keep theirs
    box->DeleteMe();
}

TEST(RenderNormals, GroupsJoinThroughSharedBitsAndZeroIsFaceted) {
    // A fan of three triangles around vertex 0 in the planes z = 0 and x = 0.
    std::vector<Point3> v = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {0, -1, 0}};
    zyscene::Triangles tris = {{0, 1, 2}, {0, 2, 3}, {0, 3, 4}};
    struct Case {
        DWORD g0, g1, g2;
        int normalsAtCentre;
    };
    for (const Case c : {Case{1, 3, 2, 1}, Case{1, 2, 4, 3}, Case{1, 2, 1, 2}, Case{0, 0, 0, 0}, Case{0, 1, 1, 1}}) {
        TriObject* obj = zyscene::TriMesh(v, tris);
        Mesh& m = obj->GetMesh();
        m.faces[0].setSmGroup(c.g0);
        m.faces[1].setSmGroup(c.g1);
        m.faces[2].setSmGroup(c.g2);
        m.buildNormals();
        EXPECT_EQ(m.getRVertPtr(0)->NormalCount(), c.normalsAtCentre) << c.g0 << c.g1 << c.g2;
        obj->DeleteMe();
    }
}

TEST(RenderNormals, FacesNamingMissingVerticesAreIgnored) {
    TriObject* obj = zyscene::TriMesh({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {{0, 1, 2}, {0, 1, 7}});
    Mesh& m = obj->GetMesh();
    m.buildNormals();
    EXPECT_EQ(m.getFaceNormal(1), Point3());
    EXPECT_EQ(m.FaceCenter(1), Point3());
    ASSERT_EQ(m.getRVertPtr(0)->NormalCount(), 1);
    EXPECT_TRUE(m.getRVertPtr(0)->rn.getNormal().Equals(Point3(0, 0, 1), 1e-6f));
    obj->DeleteMe();
}

} // namespace
