// Building a ZYM image of about 50 MB in memory (MemBinaryFileW through
// ClassWriter10), next to a plain copy of the same number of bytes.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <vector>

#include "Property.h"
#include "RootNode.h"
#include "io/10/ClassWriter10.h"
#include "io/MemBinaryFileW.h"
#include "transforms/TransformNode.h"

using namespace model;

namespace {

constexpr int kNodes = 5000;
constexpr int kPropertiesPerNode = 64;
constexpr size_t kBlockFloats = 2048; // an 8 KB raw block per node, like a small vertex array

// A transform node followed by a raw float block, written the way vertex
// blocks are: one bulk array write into the image.
class BlockNode : public TransformNode {
public:
    BlockNode(io::IBinaryFileW** sink, int seed) : sink_(sink), block_(kBlockFloats)
    {
        for (size_t i = 0; i < block_.size(); ++i)
            block_[i] = static_cast<float>(seed) + static_cast<float>(i) * 0.25f;
    }
    void accept(INodeWriter& writer) override
    {
        writer.visitTransformNode(*this);
        (*sink_)->writeU32(static_cast<uint32_t>(block_.size()));
        (*sink_)->writeF32Array(block_.data(), block_.size());
    }

private:
    io::IBinaryFileW** sink_;
    std::vector<float> block_;
};

struct Model {
    io::IBinaryFileW* sink = nullptr;
    zy::Ref<RootNode> root = zy::makeRef<RootNode>();

    Model()
    {
        root->setName("bench");
        root->setTopNode(std::make_unique<Node>("top"));
        for (int n = 0; n < kNodes; ++n) {
            auto* node = new BlockNode(&sink, n);
            node->setName("node" + std::to_string(n));
            node->setMatrix(osg::Mat4d::translate({double(n), 1, 2}));
            for (int p = 0; p < kPropertiesPerNode; ++p) {
                const std::string name = "prop" + std::to_string(p);
                switch (p % 6) {
                case 0: node->addProperty(zy::makeRef<Property<float>>(name, float(n + p))); break;
                case 1: node->addProperty(zy::makeRef<Property<osg::Vec3f>>(name, osg::Vec3f(1, 2, float(p)))); break;
                case 2: node->addProperty(zy::makeRef<Property<osg::Vec4f>>(name, osg::Vec4f(1, 2, 3, float(n)))); break;
                case 3: node->addProperty(zy::makeRef<Property<zy::string>>(name, "value" + std::to_string(p))); break;
                case 4: node->addProperty(zy::makeRef<Property<unsigned int>>(name, unsigned(n))); break;
                default:
                    node->addProperty(zy::makeRef<AnimatedProperty<float>>(
                        name, p, std::vector<Key<float>>{{0, 0}, {0.5, 1}, {1, 2}, {2, float(n)}}));
                }
            }
            root->topNode()->appendChild(node);
        }
    }

    std::unique_ptr<io::MemBinaryFileW> write()
    {
        auto image = std::make_unique<io::MemBinaryFileW>();
        sink = image.get();
        ClassWriter10(*image).write(*root);
        return image;
    }
};

Model& model()
{
    static Model m;
    return m;
}

size_t imageSize()
{
    static const size_t size = model().write()->size();
    return size;
}

void BM_BuildZymImage(benchmark::State& state)
{
    Model& m = model();
    for (auto _ : state) {
        std::unique_ptr<io::MemBinaryFileW> image = m.write();
        benchmark::DoNotOptimize(image.get());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(imageSize()));
    state.counters["image_MB"] = static_cast<double>(imageSize()) / 1e6;
}

// The floor: the same number of bytes copied into a fresh buffer.
void BM_CopySameBytes(benchmark::State& state)
{
    const size_t size = imageSize();
    const std::vector<uint8_t> source = model().write()->buffer();
    for (auto _ : state) {
        auto target = std::make_unique_for_overwrite<uint8_t[]>(size);
        std::memcpy(target.get(), source.data(), size);
        benchmark::DoNotOptimize(target.get());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(size));
}

// The same copy into a buffer that is already mapped: memory bandwidth alone.
void BM_CopySameBytesWarm(benchmark::State& state)
{
    const size_t size = imageSize();
    const std::vector<uint8_t> source = model().write()->buffer();
    std::vector<uint8_t> target(size);
    for (auto _ : state) {
        std::memcpy(target.data(), source.data(), size);
        benchmark::DoNotOptimize(target.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(size));
}

} // namespace

BENCHMARK(BM_BuildZymImage)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CopySameBytes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CopySameBytesWarm)->Unit(benchmark::kMillisecond);
