// The ZYM container: header, string pool, root record, numbered tree, parent
// indices, sections, version switch and the save's failure behaviour.
#include <gtest/gtest.h>

#include <cmath>

#include "ByteBuilder.h"
#include "Property.h"
#include "RootNode.h"
#include "TestFiles.h"
#include "io/10/ClassWriter10.h"
#include "io/INodeWriter.h"
#include "io/MemBinaryFileW.h"
#include "transforms/TransformNode.h"
#include "zy/ExtException.h"

using namespace model;
using testing_bytes::ByteBuilder;
using testing_files::readBytes;
using testing_files::ScratchDir;

namespace {

constexpr double kEmptyMin = 3.4028234663852886e38;

// The root record of a root with only its "__VERSION__" property, empty
// boxes and no materials.
void rootRecord(ByteBuilder& b, const char* name, uint32_t arguments = 0)
{
    b.sidx("model::RootNode").lstr(name).u32(0).u32(1);
    b.sidx("model::Property<unsigned int>").sidx("__VERSION__").u32(3);
    for (int box = 0; box < 3; ++box)
        b.f64s({kEmptyMin, kEmptyMin, kEmptyMin, -kEmptyMin, -kEmptyMin, -kEmptyMin});
    b.u32(0);                // M
    b.u32(0).u32(arguments); // u32 0, argument count
}

zy::Ref<RootNode> rootWithTop(const char* rootName, const char* topName)
{
    zy::Ref<RootNode> root = zy::makeRef<RootNode>();
    root->setName(rootName);
    root->setTopNode(std::make_unique<Node>(topName));
    return root;
}

std::vector<uint8_t> imageOf(RootNode& root, uint16_t version = 10)
{
    io::MemBinaryFileW out;
    auto writer = createClassWriter(version, out);
    writer->write(root);
    return out.buffer();
}

} // namespace

TEST(ZymContainer, RootWithOnlyTopNodeHasExactLayout)
{
    zy::Ref<RootNode> root = rootWithTop("model", "top");

    ByteBuilder b;
    b.u64(0);
    rootRecord(b, "model");
    b.u32(1);                                             // N
    b.sidx("model::Node").lstr("top").u32(0).u32(0);      // the top node
    b.i32(-1);                                            // its parent
    b.u32(0);                                             // S: no sections

    const std::vector<uint8_t> expected = b.file(10);
    EXPECT_EQ(imageOf(*root), expected);
    // The pool holds exactly the four names met, each with its NUL.
    using namespace std::string_view_literals;
    const std::string_view pool = "model::RootNode\0model::Property<unsigned int>\0__VERSION__\0model::Node\0"sv;
    ASSERT_EQ(pool.size(), 70u);
    ASSERT_EQ(std::string(expected.begin() + 5, expected.begin() + 9), std::string("\x46\0\0\0", 4));
    ASSERT_EQ(std::string(expected.begin() + 9, expected.begin() + 9 + 70), pool);

    ScratchDir dir;
    root->save(dir.file("top.zym"), 10);
    EXPECT_EQ(readBytes(dir.file("top.zym")), expected);
}

TEST(ZymContainer, Version11IsByteIdenticalToVersion10)
{
    zy::Ref<RootNode> root = rootWithTop("model", "top");
    root->topNode()->appendChild(new TransformNode(osg::Mat4d::translate({1, 2, 3})));
    ScratchDir dir;
    root->save(dir.file("v10.zym"), 10);
    root->save(dir.file("v11.zym"), 11);
    const std::vector<uint8_t> v10 = readBytes(dir.file("v10.zym"));
    EXPECT_EQ(readBytes(dir.file("v11.zym")), v10);
    ASSERT_GT(v10.size(), 5u);
    EXPECT_EQ(v10[3], 10);
    EXPECT_EQ(v10[4], 0);
}

TEST(ZymContainer, PreOrderNumberingAndParentIndices)
{
    // top ─┬─ a ─┬─ a1
    //      │     └─ a2 ── a2x
    //      └─ b
    zy::Ref<RootNode> root = rootWithTop("r", "top");
    Node* top = root->topNode();
    auto* a = new Node("a");
    auto* b = new TransformNode();
    b->setName("b");
    auto* a1 = new Node("a1");
    auto* a2 = new Node("a2");
    auto* a2x = new Node("a2x");
    top->appendChild(a);
    top->appendChild(b);
    a->appendChild(a1);
    a->appendChild(a2);
    a2->appendChild(a2x);

    ByteBuilder e;
    e.u64(0);
    rootRecord(e, "r");
    e.u32(6);
    for (const char* name : {"top", "a", "a1", "a2", "a2x"}) {
        e.sidx("model::Node").lstr(name).u32(0).u32(0);
        if (std::string(name) == "a2x") {
            e.sidx("model::TransformNode").lstr("b").u32(0).u32(0).identity4x4();
        }
    }
    for (int parent : {-1, 0, 1, 1, 3, 0})
        e.i32(parent);
    e.u32(0);

    EXPECT_EQ(imageOf(*root), e.file(10));
    EXPECT_EQ(root->nodeCount(), 6u);
    int expectedIndex = 0;
    for (Node* n : {top, static_cast<Node*>(a), a1, a2, a2x, static_cast<Node*>(b)})
        EXPECT_EQ(n->treeIndex(), expectedIndex++) << n->name();
}

TEST(ZymContainer, EqualStringsShareOnePoolEntry)
{
    zy::Ref<RootNode> root = rootWithTop("m", "top");
    auto* a = new Node("a");
    auto* b = new Node("b");
    root->topNode()->appendChild(a);
    root->topNode()->appendChild(b);
    // The same property name in two nodes, and a string value equal to a name.
    a->addProperty(zy::makeRef<Property<float>>("speed", 1.5f));
    b->addProperty(zy::makeRef<Property<float>>("speed", 2.5f));
    b->addProperty(zy::makeRef<Property<zy::string>>("label", zy::string("speed")));
    b->addProperty(zy::makeRef<Property<zy::string>>("empty", zy::string()));

    ByteBuilder e;
    e.u64(0);
    rootRecord(e, "m");
    e.u32(3);
    e.sidx("model::Node").lstr("top").u32(0).u32(0);
    e.sidx("model::Node").lstr("a").u32(0).u32(1);
    e.sidx("model::Property<float>").sidx("speed").f32(1.5f);
    e.sidx("model::Node").lstr("b").u32(0).u32(3);
    e.sidx("model::Property<float>").sidx("speed").f32(2.5f);
    e.sidx("model::Property<const char*>").sidx("label").sidx("speed");
    e.sidx("model::Property<const char*>").sidx("empty").sidx("");
    e.i32(-1).i32(0).i32(0);
    e.u32(0);

    const std::vector<uint8_t> image = imageOf(*root);
    EXPECT_EQ(image, e.file(10));
    // Ten distinct strings, one of them empty (a lone NUL).
    ASSERT_EQ(e.pool().size(), 10u);
    size_t poolLength = 0;
    for (const std::string& s : e.pool())
        poolLength += s.size() + 1;
    EXPECT_EQ(image[5] | image[6] << 8 | image[7] << 16 | image[8] << 24, static_cast<int>(poolLength));
}

TEST(ZymContainer, NodeNameWithNonAsciiBytesIsWrittenAsLengthPrefixedBytes)
{
    const std::string name = "Gr\xC3\xBC\xC3\x9F" "e \xE2\x82\xAC"; // "Grüße €": 7 characters, 11 bytes
    zy::Ref<RootNode> root = rootWithTop("r", name.c_str());

    ByteBuilder e;
    e.u64(0);
    rootRecord(e, "r");
    e.u32(1).sidx("model::Node").u32(11).raw(name).u32(0).u32(0).i32(-1).u32(0);
    EXPECT_EQ(imageOf(*root), e.file(10));
    // Names never enter the pool.
    for (const std::string& s : e.pool())
        EXPECT_NE(s, name);
}

TEST(ZymContainer, UnsupportedVersionsRaiseAndWriteNothing)
{
    for (uint16_t version : {9, 12, 0}) {
        ScratchDir dir;
        zy::Ref<RootNode> root = rootWithTop("r", "top");
        try {
            root->save(dir.file("out.zym"), version);
            ADD_FAILURE() << "version " << version << " was accepted";
        } catch (const zy::ExtException& e) {
            EXPECT_EQ(e.message(), "Unsupported version " + std::to_string(version));
        }
        EXPECT_EQ(dir.entryCount(), 0u) << version;
    }
    io::MemBinaryFileW sink;
    EXPECT_EQ(createClassWriter(9, sink), nullptr);
    EXPECT_EQ(createClassWriter(11, sink)->version(), 10);
}

TEST(ZymContainer, UnopenablePathRaisesAndCreatesNothing)
{
    ScratchDir dir;
    const std::string path = dir.file("missing/dir/out.zym");
    zy::Ref<RootNode> root = rootWithTop("r", "top");
    try {
        root->save(path, 10);
        ADD_FAILURE() << "saved into a missing directory";
    } catch (const zy::ExtException& e) {
        EXPECT_EQ(e.message(), "Can't open " + path);
    }
    EXPECT_EQ(dir.entryCount(), 0u);
}

namespace {
// A tree node whose record cannot be written.
class UnwritableNode : public Node {
public:
    void accept(INodeWriter&) override { ZY_THROW("Node 'bad' cannot be written."); }
};
} // namespace

TEST(ZymContainer, FailedSaveLeavesExistingFileUntouched)
{
    struct Case {
        const char* what;
        uint16_t version;
        bool unwritableNode;
        const char* message;
    };
    const Case cases[] = {
        {"bad version", 12, false, "Unsupported version 12"},
        {"record writer raising", 10, true, "Node 'bad' cannot be written."},
    };
    for (const Case& c : cases) {
        ScratchDir dir;
        const std::string path = dir.file("model.zym");
        testing_files::writeBytes(path, "previous contents");
        zy::Ref<RootNode> root = rootWithTop("r", "top");
        if (c.unwritableNode)
            root->topNode()->appendChild(new UnwritableNode);
        try {
            root->save(path, c.version);
            ADD_FAILURE() << c.what << ": save succeeded";
        } catch (const zy::ExtException& e) {
            EXPECT_EQ(e.message(), c.message) << c.what;
        }
        const std::vector<uint8_t> after = readBytes(path);
        EXPECT_EQ(std::string(after.begin(), after.end()), "previous contents") << c.what;
        EXPECT_EQ(dir.entryCount(), 1u) << c.what;
        EXPECT_TRUE(root->materials().empty()) << c.what;
    }

    // A target that cannot be opened for writing: a directory of that name.
    ScratchDir dir;
    const std::string path = dir.file("taken");
    std::filesystem::create_directory(path);
    testing_files::writeBytes(dir.file("taken/inside"), "kept");
    zy::Ref<RootNode> root = rootWithTop("r", "top");
    EXPECT_THROW(root->save(path, 10), zy::ExtException);
    EXPECT_TRUE(std::filesystem::is_directory(path));
    EXPECT_EQ(dir.entryCount(), 1u);
}

TEST(ZymContainer, RootWithoutTopNodeRaisesInsteadOfCrashing)
{
    ScratchDir dir;
    zy::Ref<RootNode> root = zy::makeRef<RootNode>();
    root->setName("empty");
    try {
        root->save(dir.file("x.zym"), 10);
        ADD_FAILURE();
    } catch (const zy::ExtException& e) {
        EXPECT_EQ(e.message(), "Root node 'empty' has no top node.");
    }
    EXPECT_EQ(dir.entryCount(), 0u);
}
