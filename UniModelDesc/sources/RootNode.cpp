#include "RootNode.h"

#include "IBone.h"
#include "ModelFactoryManager.h"
#include "Property.h"
#include "io/IClassWriter.h"
#include "io/INodeWriter.h"
#include "io/MemBinaryFileW.h"
#include "zy/ExtException.h"
#include "zy/FileSystem.h"

namespace model {

RootNode::RootNode()
{
    addProperty(zy::makeRef<Property<unsigned int>>("__VERSION__", 3u));
}

RootNode::~RootNode() = default;

void RootNode::accept(INodeWriter& writer)
{
    writer.visitRootNode(*this);
}

void RootNode::collectMaterials()
{
    clearMaterials();
    for (size_t i = 0; i < renderNodes_.size(); ++i) {
        BaseMaterial* material = renderNodes_.node(i).renderMaterial();
        if (!material)
            continue;
        const auto [it, added] = materialIndex_.emplace(material, static_cast<int32_t>(materials_.size()));
        if (added)
            materials_.emplace_back(material);
    }
}

void RootNode::clearMaterials() noexcept
{
    materials_.clear();
    materialIndex_.clear();
}

int32_t RootNode::materialIndex(const BaseMaterial* material) const noexcept
{
    const auto it = materialIndex_.find(material);
    return it == materialIndex_.end() ? -1 : it->second;
}

size_t RootNode::nodeCount() const
{
    size_t n = 0;
    forEachPreOrder(top_.get(), [&](const Node*) { ++n; });
    return n;
}

bool RootNode::hasBones() const
{
    bool found = false;
    forEachPreOrder(top_.get(), [&](const Node* n) { found = found || dynamic_cast<const IBone*>(n); });
    return found;
}

void RootNode::collectArguments(ArgumentSet& arguments) const
{
    const auto add = [&](const BaseNode& node) {
        if (const auto* animation = dynamic_cast<const IAnimation*>(&node))
            animation->collectArguments(arguments);
    };
    for (size_t i = 0; i < connectors_.size(); ++i)
        add(connectors_.node(i));
    for (size_t i = 0; i < renderNodes_.size(); ++i)
        add(renderNodes_.node(i));
    for (size_t i = 0; i < lights_.size(); ++i)
        add(lights_.node(i));
    for (size_t i = 0; i < shellNodes_.size(); ++i)
        add(shellNodes_.node(i));
    forEachPreOrder(top_.get(), [&](const Node* n) { add(*n); });
}

uint32_t RootNode::argumentCount() const
{
    ArgumentSet arguments;
    collectArguments(arguments);
    // "No argument" (-1) may be reported by properties without one; it does
    // not count.
    if (arguments.empty() || *arguments.rbegin() < 0)
        return 0;
    return static_cast<uint32_t>(*arguments.rbegin()) + 1;
}

void RootNode::save(const zy::string& path, uint16_t version)
{
    io::MemBinaryFileW image;
    const std::unique_ptr<IClassWriter> writer = createClassWriter(version, image);
    if (!writer)
        ZY_THROWF("Unsupported version %d", static_cast<int>(version));
    if (!top_)
        ZY_THROW("Root node '" + name() + "' has no top node.");

    // The material list lives only while the records are written.
    struct MaterialListScope {
        RootNode& root;
        explicit MaterialListScope(RootNode& r) : root(r) { root.collectMaterials(); }
        ~MaterialListScope() { root.clearMaterials(); }
    };
    {
        MaterialListScope materials(*this);
        writer->write(*this);
    }

    // Only a complete image reaches the file layer; its write files are
    // atomic, so a failure below leaves any existing file as it was.
    const std::unique_ptr<zy::fs::File> file = zy::fs::open(path, zy::fs::Mode::Write);
    if (!file)
        ZY_THROW("Can't open " + path);
    const bool written =
        image.forEachPiece([&](const uint8_t* data, size_t n) { return file->write(data, n) == n; });
    if (!written || !file->close())
        ZY_THROW("Can't write " + path);
}

namespace {
const zy::regClass<RootNode, ModelFactoryManager> regRootNode("model::RootNode");
}

} // namespace model
