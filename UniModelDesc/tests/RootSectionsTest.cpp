// The root's material list and the sections of non-tree nodes.
#include <gtest/gtest.h>

#include <algorithm>

#include "BaseRenderNode.h"
#include "ByteBuilder.h"
#include "Connector.h"
#include "LightNode.h"
#include "RootNode.h"
#include "SegmentsNode.h"
#include "TestFiles.h"
#include "io/IClassWriter.h"
#include "io/INodeWriter.h"
#include "io/MemBinaryFileW.h"

using namespace model;
using testing_bytes::ByteBuilder;
using testing_files::readBytes;
using testing_files::ScratchDir;

namespace {

constexpr double kEmptyMin = 3.4028234663852886e38;

// A material whose record is one tagged byte.
class TaggedMaterial : public BaseMaterial {
public:
    explicit TaggedMaterial(uint8_t tag) : tag_(tag) {}
    void write(io::IBinaryFileW& out) override { out.writeU8(tag_); }

private:
    uint8_t tag_;
};

// A rendering node that writes only the base node fields, drawn with a
// tagged material and using one argument.
class MinimalRenderNode : public BaseRenderNode {
public:
    MinimalRenderNode(const char* name, zy::Ref<BaseMaterial> material, int32_t argument)
        : material_(std::move(material)), argument_(argument)
    {
        setName(name);
    }
    NodeKind kind() const override { return NodeKind::RenderNode; }
    void accept(INodeWriter& writer) override { writer.visitBaseNode(*this); }
    BaseMaterial* renderMaterial() const override { return material_.get(); }
    void collectArguments(ArgumentSet& arguments) const override
    {
        if (argument_ >= 0)
            arguments.insert(argument_);
    }
    uint32_t partCount() const override { return 0; }
    Node* partControl(uint32_t) const override { return nullptr; }
    void setPartControl(uint32_t, Node*) override {}
    void setPartArgument(uint32_t, int32_t) override {}
    int32_t partArgument(uint32_t) const override { return argument_; }
    uint32_t primitiveCount() const override { return 0; }
    void transformPart(uint32_t, const osg::Mat4d&) override {}
    Box partBoundingBox(uint32_t) const override { return {}; }

private:
    zy::Ref<BaseMaterial> material_;
    int32_t argument_;
};

zy::Ref<RootNode> rootWithTop()
{
    zy::Ref<RootNode> root = zy::makeRef<RootNode>();
    root->setName("r");
    root->setTopNode(std::make_unique<Node>("top"));
    return root;
}

} // namespace

TEST(RootSections, RenderSectionListsEachMaterialOnceInRenderNodeOrder)
{
    zy::Ref<RootNode> root = rootWithTop();
    auto m1 = zy::makeRef<TaggedMaterial>(0xA1);
    auto m2 = zy::makeRef<TaggedMaterial>(0xB2);
    auto n1 = zy::makeRef<MinimalRenderNode>("n1", m2, 4);
    auto n2 = zy::makeRef<MinimalRenderNode>("n2", m1, -1);
    auto n3 = zy::makeRef<MinimalRenderNode>("n3", m2, 1);
    for (auto& n : {n1, n2, n3})
        root->addRenderNode(n);
    EXPECT_EQ(n1->root(), root.get());

    root->collectMaterials();
    ASSERT_EQ(root->materials().size(), 2u);
    EXPECT_EQ(root->materialIndex(m2.get()), 0);
    EXPECT_EQ(root->materialIndex(m1.get()), 1);
    EXPECT_EQ(root->materialIndex(nullptr), -1);
    root->clearMaterials();

    ByteBuilder e;
    e.u64(0);
    e.sidx("model::RootNode").lstr("r").u32(0).u32(1);
    e.sidx("model::Property<unsigned int>").sidx("__VERSION__").u32(3);
    for (int box = 0; box < 3; ++box)
        e.f64s({kEmptyMin, kEmptyMin, kEmptyMin, -kEmptyMin, -kEmptyMin, -kEmptyMin});
    e.u32(2).u8(0xB2).u8(0xA1); // materials by first use: m2, then m1
    e.u32(0).u32(5);            // arguments 4 and 1 used: count 5
    e.u32(1).sidx("model::Node").lstr("top").u32(0).u32(0).i32(-1);
    e.u32(1).sidx("RENDER_NODES").u32(3);
    for (const char* name : {"n1", "n2", "n3"})
        e.sidx("model::RenderNode").lstr(name).u32(1).u32(0);

    ScratchDir dir;
    root->save(dir.file("render.zym"), 10);
    EXPECT_EQ(readBytes(dir.file("render.zym")), e.file(10));
    EXPECT_TRUE(root->materials().empty()); // the list lives only while saving
}

TEST(RootSections, NonEmptyListsAreWrittenInFixedOrder)
{
    zy::Ref<RootNode> root = rootWithTop();
    // Added in the reverse of the file's order.
    root->addRenderNode(zy::makeRef<MinimalRenderNode>("render", zy::makeRef<TaggedMaterial>(1), -1));
    auto light = std::make_unique<LightNode>();
    light->setControl(root->topNode());
    root->addLight(std::move(light));
    auto segments = zy::makeRef<SegmentsNode>();
    segments->setControl(root->topNode());
    root->addShellNode(segments);
    auto connector = std::make_unique<Connector>();
    connector->setControl(root->topNode());
    root->addConnector(std::move(connector));
    EXPECT_EQ(root->lights()[0]->root(), root.get());
    EXPECT_EQ(segments->root(), root.get());

    io::MemBinaryFileW out;
    createClassWriter(10, out)->write(*root);
    const std::vector<uint8_t> image = out.buffer();

    // The pool lists strings in the order the writer met them, so the section
    // names appear in writing order; S counts the four sections.
    const io::StringPool& pool = out.pool();
    std::vector<std::string> sections;
    for (size_t i = 0; i < pool.count(); ++i) {
        const std::string s = pool.at(i);
        if (s == "CONNECTORS" || s == "SHELL_NODES" || s == "LIGHT_NODES" || s == "RENDER_NODES")
            sections.push_back(s);
    }
    EXPECT_EQ(sections, (std::vector<std::string>{"CONNECTORS", "SHELL_NODES", "LIGHT_NODES", "RENDER_NODES"}));

    // S directly follows the single parent entry (-1) of the only tree node.
    const std::vector<uint8_t> afterParents = ByteBuilder().i32(-1).u32(4).bytes();
    EXPECT_NE(std::search(image.begin(), image.end(), afterParents.begin(), afterParents.end()), image.end());
}
