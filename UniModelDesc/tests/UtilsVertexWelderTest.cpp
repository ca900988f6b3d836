// Vertex welding: the grid search must give exactly the in-order search result.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>
#include <random>

#include "utils/VertexWelder.h"
#include "zy/ExtException.h"

namespace model {
namespace {

struct Mesh {
    std::vector<float> data;
    uint32_t count = 0;
    std::vector<uint32_t> indices;
};

// The definition, searched by brute force: every earlier unmarked vertex
// claims every later match, later claims win.
Mesh referenceWeld(Mesh in, const WeldLayout& layout, double tolerance)
{
    const uint32_t n = in.count, stride = layout.stride;
    const bool hasPart = layout.positionComponents >= 4;
    std::vector<bool> used(n, false);
    for (uint32_t i : in.indices)
        used[i] = true;
    auto at = [&](uint32_t v, uint32_t c) { return in.data[size_t(v) * stride + c]; };
    auto matches = [&](uint32_t v, uint32_t w) {
        if (hasPart && std::bit_cast<uint32_t>(at(v, 3)) != std::bit_cast<uint32_t>(at(w, 3)))
            return false;
        for (uint32_t c = 0; c < stride; ++c)
            if (!(hasPart && c == 3) && !(std::fabs(double(at(v, c)) - double(at(w, c))) <= tolerance))
                return false;
        return true;
    };
    std::vector<int64_t> target(n, -1);
    for (uint32_t v = 0; v < n; ++v) {
        if (!used[v] || target[v] >= 0)
            continue;
        for (uint32_t w = v + 1; w < n; ++w)
            if (used[w] && matches(v, w))
                target[w] = v;
    }
    Mesh out;
    std::vector<uint32_t> newIndex(n, 0);
    for (uint32_t v = 0; v < n; ++v) {
        if (!used[v] || target[v] >= 0)
            continue;
        newIndex[v] = out.count++;
        out.data.insert(out.data.end(), in.data.begin() + size_t(v) * stride,
                        in.data.begin() + size_t(v + 1) * stride);
    }
    for (uint32_t i : in.indices)
        out.indices.push_back(newIndex[target[i] >= 0 ? uint32_t(target[i]) : i]);
    return out;
}

Mesh gridWeld(Mesh mesh, const WeldLayout& layout, double tolerance, WeldResult* result = nullptr)
{
    const WeldResult r = weldVertices(mesh.data, mesh.count, mesh.indices, layout, tolerance);
    if (result)
        *result = r;
    return mesh;
}

// Vertices scattered around a few base points, with noise on the order of
// the tolerance, so that many lie just inside and just outside each other's
// reach; several part numbers; a few vertices no index uses.
Mesh randomCluster(std::mt19937& rng, const WeldLayout& layout, uint32_t count, double tolerance,
                   float spread)
{
    std::uniform_int_distribution<int> base(0, 7), part(0, 2), pick(0, int(count) - 1);
    std::uniform_real_distribution<float> noise(-1.5f * float(tolerance), 1.5f * float(tolerance));
    std::bernoulli_distribution exactCopy(0.2);
    Mesh m;
    m.count = count;
    for (uint32_t v = 0; v < count; ++v) {
        const int b = base(rng);
        for (uint32_t c = 0; c < layout.stride; ++c) {
            float value = spread * float((b >> (c % 3)) & 1) + float(c) * 0.25f;
            if (c == 3 && layout.positionComponents >= 4)
                value = float(part(rng));
            else if (!exactCopy(rng))
                value += noise(rng);
            m.data.push_back(value);
        }
    }
    for (uint32_t i = 0; i < count * 2; ++i)
        m.indices.push_back(uint32_t(pick(rng)));
    return m;
}

void expectSame(const Mesh& expected, const Mesh& actual)
{
    ASSERT_EQ(expected.count, actual.count);
    ASSERT_EQ(expected.indices, actual.indices);
    ASSERT_EQ(expected.data.size(), actual.data.size());
    for (size_t i = 0; i < expected.data.size(); ++i)
        ASSERT_EQ(std::bit_cast<uint32_t>(expected.data[i]), std::bit_cast<uint32_t>(actual.data[i]));
}

TEST(UtilsVertexWelder, MatchesBruteForceOnRandomNearDuplicates)
{
    struct Case {
        WeldLayout layout;
        double tolerance;
        float spread; // distance between base points
    };
    const Case cases[] = {
        {{6, 4}, 1e-5, 1.0f},     // position with part number + uv
        {{6, 4}, 1e-5, 1e3f},     // large coordinates
        {{3, 3}, 1e-5, 1.0f},     // shell layout: no part number
        {{8, 4}, 1e-3, 2e-3f},    // base points closer than the noise reach
        {{5, 4}, 0.0, 1.0f},      // exact matches only
    };
    std::mt19937 rng(12345);
    for (const Case& c : cases) {
        for (int round = 0; round < 20; ++round) {
            SCOPED_TRACE(testing::Message() << "stride " << c.layout.stride << " tol " << c.tolerance
                                            << " spread " << c.spread << " round " << round);
            const Mesh input = randomCluster(rng, c.layout, 300, c.tolerance, c.spread);
            WeldResult result;
            const Mesh expected = referenceWeld(input, c.layout, c.tolerance);
            const Mesh actual = gridWeld(input, c.layout, c.tolerance, &result);
            expectSame(expected, actual);
            EXPECT_EQ(result.removed(), input.count - expected.count);
        }
    }
}

TEST(UtilsVertexWelder, LastClaimingVertexWins)
{
    // v2 lies within reach of v0 and of v1, which are too far apart to weld.
    const float t = 1e-5f;
    Mesh m{{0, 0, 0, 0, /**/ 1.6f * t, 0, 0, 0, /**/ 0.8f * t, 0, 0, 0}, 3, {0, 1, 2}};
    const Mesh out = gridWeld(m, {4, 4}, 1e-5);
    EXPECT_EQ(out.count, 2u);
    EXPECT_EQ(out.indices, (std::vector<uint32_t>{0, 1, 1}));
}

TEST(UtilsVertexWelder, TextureCoordinateAndPartNumberDecide)
{
    struct Case {
        float uvOffset;
        float secondPart;
        uint32_t expectedCount;
    };
    const Case cases[] = {
        {5e-6f, 0, 1},  // within tolerance: welded
        {2e-5f, 0, 2},  // beyond tolerance
        {5e-6f, 1, 2},  // part numbers differ
        {0.0f, -0.0f, 2}, // part numbers compare by bits
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.uvOffset << " part " << c.secondPart);
        Mesh m{{1, 2, 3, 0, 0.5f, 0.5f, /**/ 1, 2, 3, c.secondPart, 0.5f, 0.5f + c.uvOffset}, 2, {0, 1, 1}};
        EXPECT_EQ(gridWeld(m, {6, 4}, 1e-5).count, c.expectedCount);
    }
}

TEST(UtilsVertexWelder, DropsUnusedVerticesKeepingOrder)
{
    Mesh m{{0, 0, 0, /**/ 1, 1, 1, /**/ 2, 2, 2, /**/ 3, 3, 3}, 4, {3, 1, 3}};
    WeldResult result;
    const Mesh out = gridWeld(m, {3, 3}, 1e-5, &result);
    EXPECT_EQ(out.data, (std::vector<float>{1, 1, 1, 3, 3, 3}));
    EXPECT_EQ(out.indices, (std::vector<uint32_t>{1, 0, 1}));
    EXPECT_EQ(result.unusedRemoved, 2u);
    EXPECT_EQ(result.copiesRemoved, 0u);
}

TEST(UtilsVertexWelder, NonFinitePositionsNeverWeld)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    Mesh m{{nan, 0, 0, nan, 0, 0, inf, 0, 0, inf, 0, 0, 1, 1, 1, 1, 1, 1}, 6, {0, 1, 2, 3, 4, 5}};
    EXPECT_EQ(gridWeld(m, {3, 3}, 1e-5).count, 5u);
}

TEST(UtilsVertexWelder, NegativeToleranceOnlyDropsUnused)
{
    Mesh m{{1, 1, 1, 1, 1, 1, 2, 2, 2}, 3, {0, 1}};
    EXPECT_EQ(gridWeld(m, {3, 3}, -1.0).count, 2u);
}

TEST(UtilsVertexWelder, RejectsBrokenInput)
{
    Mesh outOfRange{{1, 1, 1}, 1, {0, 1}};
    EXPECT_THROW(gridWeld(outOfRange, {3, 3}, 1e-5), zy::ExtException);
    Mesh shortArray{{1, 1}, 1, {0}};
    EXPECT_THROW(gridWeld(shortArray, {3, 3}, 1e-5), zy::ExtException);
}

} // namespace
} // namespace model
