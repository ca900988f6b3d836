// Geometry cleanup of one large mesh next to meshoptimizer's exact vertex
// remap on the same data: the welding here merges within a tolerance, the
// remap only bit-identical vertices, so the remap is the speed to measure
// against.
#include <benchmark/benchmark.h>
#include <meshoptimizer.h>

#include <random>
#include <vector>

#include "PropertiesSet.h"
#include "RenderNode.h"
#include "RootNode.h"
#include "utils/GeometryCleanup.h"

namespace {

constexpr uint32_t kCorners = 1'000'002; // a multiple of 3
constexpr uint32_t kPositions = kCorners / 6;
constexpr double kTolerance = 1e-5;

// Position (x, y, z, part number), normal, one uv channel.
model::VertexFormat benchFormat()
{
    model::VertexFormat format;
    format.setCount(model::ChannelPosition, 4);
    format.setCount(model::ChannelNormal, 3);
    format.setCount(model::ChannelTexCoord0, 2);
    return format;
}

// An unwelded triangle soup as a scene export yields it: every corner its own
// vertex, each position shared by about six corners, every component (but the
// part number) carrying noise well below the tolerance.
struct Soup {
    std::vector<float> vertices;
    std::vector<uint32_t> indices;
    uint32_t stride = benchFormat().stride();

    Soup()
    {
        std::mt19937 rng(2024);
        std::uniform_real_distribution<float> coordinate(-10.0f, 10.0f);
        std::uniform_real_distribution<float> noise(-2e-6f, 2e-6f);
        std::uniform_int_distribution<uint32_t> pick(0, kPositions - 1);
        std::vector<float> shared(size_t(kPositions) * stride);
        for (float& value : shared)
            value = coordinate(rng);
        vertices.resize(size_t(kCorners) * stride);
        indices.resize(kCorners);
        for (uint32_t corner = 0; corner < kCorners; ++corner) {
            const float* from = &shared[size_t(pick(rng)) * stride];
            float* to = &vertices[size_t(corner) * stride];
            for (uint32_t c = 0; c < stride; ++c)
                to[c] = c == 3 ? 0.0f : from[c] + noise(rng);
            indices[corner] = corner;
        }
    }
};

const Soup& soup()
{
    static const Soup data;
    return data;
}

zy::Ref<model::RootNode> modelOf(const Soup& data)
{
    auto material = zy::makeRef<model::PropertiesSet>();
    material->setVertexFormat(benchFormat());
    auto node = zy::makeRef<model::RenderNode>();
    node->setMaterial(material);
    node->setGeometry(model::Vertices(kCorners, data.vertices), model::Indices(data.indices));
    auto root = zy::makeRef<model::RootNode>();
    root->addRenderNode(node);
    return root;
}

void BM_CleanGeometry(benchmark::State& state)
{
    const Soup& data = soup();
    uint64_t removed = 0;
    for (auto _ : state) {
        state.PauseTiming();
        zy::Ref<model::RootNode> root = modelOf(data);
        state.ResumeTiming();
        removed = model::cleanGeometry(*root, kTolerance).removedVertices;
        state.PauseTiming();
        root.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * kCorners);
    state.counters["vertices_left"] = double(kCorners - removed);
}
BENCHMARK(BM_CleanGeometry)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_MeshoptExactRemap(benchmark::State& state)
{
    const Soup& data = soup();
    std::vector<unsigned int> remap(kCorners);
    size_t unique = 0;
    for (auto _ : state) {
        unique = meshopt_generateVertexRemap(remap.data(), data.indices.data(), data.indices.size(),
                                             data.vertices.data(), kCorners, data.stride * sizeof(float));
        benchmark::DoNotOptimize(remap.data());
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * kCorners);
    state.counters["vertices_left"] = double(unique);
}
BENCHMARK(BM_MeshoptExactRemap)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
