#include "utils/GeometryCleanup.h"

#include <atomic>
#include <vector>

#include "BaseMeshRenderNode.h"
#include "RootNode.h"
#include "ShellNode.h"
#include "utils/VertexWelder.h"
#include "zy/TaskPool.h"

namespace model {
namespace {

constexpr const char* kPoolName = "ZYMUTILS";

struct Counters {
    std::atomic<uint64_t> vertices{0};
    std::atomic<uint64_t> triangles{0};
};

// Welds one vertex array in place; false when the array does not fit the layout.
bool weld(Vertices& vertices, Indices& indices, const VertexFormat& format, double tolerance, Counters& counters)
{
    const WeldLayout layout{format.stride(), format.count(ChannelPosition)};
    if (vertices.empty() || indices.empty() || !vertices.fits(layout.stride))
        return false;
    uint32_t count = vertices.count();
    const WeldResult result = weldVertices(vertices.data(), count, indices.values(), layout, tolerance);
    vertices.assign(count, std::move(vertices.data()));
    counters.vertices.fetch_add(result.removed(), std::memory_order_relaxed);
    return true;
}

void cleanMesh(BaseMeshRenderNode& node, double tolerance, Counters& counters)
{
    if (!node.material() || !weld(node.vertices(), node.indices(), node.material()->vertexFormat(), tolerance, counters))
        return;
    counters.triangles.fetch_add(node.removeDegenerateTriangles(), std::memory_order_relaxed);
}

void cleanShell(ShellNode& shell, double tolerance, Counters& counters)
{
    if (!weld(shell.vertices(), shell.indices(), shell.vertexFormat(), tolerance, counters))
        return;
    counters.triangles.fetch_add(shell.removeDegenerates(), std::memory_order_relaxed);
}

template <class T, class Keep>
void keepOnly(SharedNodeList<T>& list, Keep keep)
{
    std::vector<zy::Ref<T>> kept;
    for (size_t i = 0; i < list.size(); ++i)
        if (keep(*list[i]))
            kept.push_back(list.ref(i));
    if (kept.size() == list.size())
        return;
    list.clear();
    for (const auto& node : kept)
        list.push_back(node);
}

} // namespace

GeometryCleanupCounts cleanGeometry(RootNode& root, double tolerance)
{
    zy::TaskPool& pool = zy::TaskPool::named(kPoolName);
    Counters counters;
    // Each task touches only its own node; the lists stay as they are until
    // every task of the round has finished.
    for (size_t i = 0; i < root.renderNodes().size(); ++i)
        if (auto* mesh = dynamic_cast<BaseMeshRenderNode*>(root.renderNodes()[i]))
            pool.submit([mesh, tolerance, &counters] { cleanMesh(*mesh, tolerance, counters); });
    pool.waitAll();
    keepOnly(root.renderNodes(), [](const BaseRenderNode& node) { return node.primitiveCount() != 0; });

    for (size_t i = 0; i < root.shellNodes().size(); ++i)
        if (root.shellNodes()[i]->kind() == NodeKind::ShellNode) {
            auto* shell = static_cast<ShellNode*>(root.shellNodes()[i]);
            pool.submit([shell, tolerance, &counters] { cleanShell(*shell, tolerance, counters); });
        }
    pool.waitAll();
    keepOnly(root.shellNodes(), [](const BaseShellNode& shell) { return !shell.isEmpty(); });

    return {counters.vertices.load(), counters.triangles.load()};
}

} // namespace model
