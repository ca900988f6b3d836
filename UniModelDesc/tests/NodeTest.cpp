// The model tree core: versions, equality, cloning, matrices, the argument
// census, bone detection and the class registry.
#include <gtest/gtest.h>

#include "IBone.h"
#include "IModelArguments.h"
#include "ModelFactoryManager.h"
#include "Property.h"
#include "RootNode.h"
#include "transforms/TransformNode.h"

using namespace model;

namespace {

// A tree node that uses the given arguments.
class ArgumentNode : public Node, public IAnimation {
public:
    explicit ArgumentNode(std::vector<int32_t> arguments) : arguments_(arguments) {}
    void collectArguments(ArgumentSet& set) const override { set.insert(arguments_.begin(), arguments_.end()); }

private:
    std::vector<int32_t> arguments_;
};

class TestBone : public TransformNode, public IBone {
public:
    void setBoneMatrix(const osg::Mat4d& m) override { bone_ = m; }
    const osg::Mat4d& boneMatrix() const override { return bone_; }
    Node* node() override { return this; }
    const Node* node() const override { return this; }
    const osg::Mat4d& localMatrix() const override { return matrix(); }

private:
    osg::Mat4d bone_;
};

const BaseProperty* version(const BaseNode& node)
{
    for (const auto& p : node.properties())
        if (p->name() == "__VERSION__")
            return p.get();
    return nullptr;
}

} // namespace

TEST(BaseNode, SetVersion)
{
    Node fresh;
    fresh.setVersion(2);
    ASSERT_EQ(fresh.properties().size(), 1u);
    EXPECT_EQ(version(fresh)->asUInt(), 2u);

    // An unsigned "__VERSION__" is replaced in place, keeping its position.
    RootNode root;
    root.addProperty(zy::makeRef<Property<float>>("after", 1.0f));
    root.setVersion(5);
    ASSERT_EQ(root.properties().size(), 2u);
    EXPECT_EQ(root.properties()[0]->name(), "__VERSION__");
    EXPECT_EQ(root.properties()[0]->asUInt(), 5u);

    // One of another type is left alone and nothing is added.
    Node floatVersion;
    auto asFloat = zy::makeRef<Property<float>>("__VERSION__", 1.5f);
    floatVersion.addProperty(asFloat);
    floatVersion.setVersion(3);
    ASSERT_EQ(floatVersion.properties().size(), 1u);
    EXPECT_EQ(floatVersion.properties()[0], asFloat.get());
    EXPECT_EQ(asFloat->value(), 1.5f);
}

TEST(BaseNode, NullNameIsEmpty)
{
    Node n("x");
    n.setName(static_cast<const char*>(nullptr));
    EXPECT_EQ(n.name(), "");
    EXPECT_EQ(Property<float>(static_cast<const char*>(nullptr), 1.0f).name(), "");
}

TEST(RootNode, StartsEmptyWithVersion3)
{
    RootNode root;
    EXPECT_EQ(root.kind(), NodeKind::RootNode);
    EXPECT_EQ(version(root)->asUInt(), 3u);
    for (const Box* box : {&root.boundingBox(), &root.userBox(), &root.lightBox()}) {
        EXPECT_TRUE(box->isEmpty());
        EXPECT_EQ(box->min, osg::Vec3f(3.4028235e38f, 3.4028235e38f, 3.4028235e38f));
        EXPECT_EQ(box->max, osg::Vec3f(-3.4028235e38f, -3.4028235e38f, -3.4028235e38f));
    }
    EXPECT_EQ(root.nodeCount(), 0u);
    EXPECT_TRUE(root.connectors().empty() && root.renderNodes().empty() && root.lights().empty() &&
                root.shellNodes().empty());
}

TEST(RootNode, ArgumentCount)
{
    struct Case {
        const char* what;
        std::vector<std::vector<int32_t>> nodes;
        uint32_t count;
    };
    const Case cases[] = {
        {"no arguments", {{}}, 0},
        {"only argument 0", {{0}}, 1},
        {"highest of several nodes", {{3}, {1, 12}, {}}, 13},
        {"no-argument marker alone", {{-1}}, 0},
    };
    for (const Case& c : cases) {
        RootNode root;
        root.setTopNode(std::make_unique<Node>("top"));
        Node* parent = root.topNode();
        for (const auto& arguments : c.nodes) {
            auto* n = new ArgumentNode(arguments);
            parent->appendChild(n);
            parent = n; // nest them: the census walks the whole tree
        }
        EXPECT_EQ(root.argumentCount(), c.count) << c.what;
    }
}

TEST(RootNode, HasBonesSearchesTheWholeTree)
{
    RootNode root;
    root.setTopNode(std::make_unique<Node>("top"));
    auto* a = new Node("a");
    root.topNode()->appendChild(a);
    a->appendChild(new TransformNode());
    EXPECT_FALSE(root.hasBones());
    a->lastChild()->appendChild(new TestBone());
    EXPECT_TRUE(root.hasBones());
    EXPECT_EQ(root.nodeCount(), 4u);
}

TEST(TransformNode, EqualityToleranceOnMatrixElements)
{
    const std::pair<double, bool> cases[] = {{0.0, true}, {5e-7, true}, {9e-7, true}, {2e-6, false}, {-2e-6, false}};
    for (int element : {0, 7, 14})
        for (const auto& [delta, equal] : cases) {
            TransformNode a, b;
            osg::Mat4d m = osg::Mat4d::translate({1, 2, 3});
            a.setMatrix(m);
            m[element] += delta;
            b.setMatrix(m);
            EXPECT_EQ(a.equals(b), equal) << "element " << element << " delta " << delta;
            EXPECT_EQ(b.differs(a), !equal);
        }
}

TEST(Node, EqualityNeedsSameKindAndEqualPropertySets)
{
    Node a, b;
    TransformNode t;
    EXPECT_TRUE(a.equals(b));
    EXPECT_FALSE(a.equals(t)); // the same data, another kind
    EXPECT_FALSE(t.equals(a));

    a.addProperty(zy::makeRef<Property<float>>("x", 1.0f));
    a.addProperty(zy::makeRef<Property<unsigned int>>("n", 2u));
    b.addProperty(zy::makeRef<Property<unsigned int>>("n", 2u));
    EXPECT_FALSE(a.equals(b));
    b.addProperty(zy::makeRef<Property<float>>("x", 1.000001f));
    EXPECT_TRUE(a.equals(b)); // order does not matter
    b.setName("other");
    EXPECT_TRUE(a.equals(b)); // nor does the name
}

TEST(Node, CloneCopiesDataButNoLinks)
{
    RootNode root;
    auto* parent = new Node("parent");
    root.setTopNode(std::unique_ptr<Node>(parent));
    auto* t = new TransformNode(osg::Mat4d::translate({4, 5, 6}));
    t->setName("t");
    t->setCategory(CATEGORY_RENDER);
    t->setTreeIndex(7);
    auto p = zy::makeRef<Property<float>>("x", 1.0f);
    t->addProperty(p);
    parent->appendChild(t);
    t->appendChild(new Node("child"));

    std::unique_ptr<Node> copy = t->clone();
    auto* c = dynamic_cast<TransformNode*>(copy.get());
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->name(), "t");
    EXPECT_EQ(c->category(), static_cast<uint32_t>(CATEGORY_RENDER));
    EXPECT_EQ(c->treeIndex(), 7);
    EXPECT_EQ(c->matrix(), t->matrix());
    ASSERT_EQ(c->properties().size(), 1u);
    EXPECT_EQ(c->properties()[0], p.get()); // the same shared property
    EXPECT_EQ(c->parent(), nullptr);
    EXPECT_EQ(c->firstChild(), nullptr);
    EXPECT_EQ(c->nextSibling(), nullptr);
    EXPECT_EQ(parent->childCount(), 1);
    EXPECT_TRUE(c->equals(*t));
}

TEST(Node, AccumulateMatrixComposesLocalThenParents)
{
    Node top("top");
    auto* scale = new TransformNode(osg::Mat4d::scale({2, 2, 2}));
    auto* plain = new Node("plain");
    auto* move = new TransformNode(osg::Mat4d::translate({1, 0, 0}));
    top.appendChild(scale);
    scale->appendChild(plain);
    plain->appendChild(move);

    osg::Mat4d world;
    move->accumulateMatrix(DummyArguments(), world);
    // The point is moved first, then scaled: (0,0,0) -> (1,0,0) -> (2,0,0).
    EXPECT_EQ(world.transformPoint({0, 0, 0}), osg::Vec3d(2, 0, 0));
    EXPECT_EQ(world.transformPoint({1, 1, 1}), osg::Vec3d(4, 2, 2));
}

TEST(Node, DeletingANodeDeletesItsChildren)
{
    static int alive = 0;
    struct Counted : Node {
        Counted() { ++alive; }
        ~Counted() override { --alive; }
    };
    {
        RootNode root;
        root.setTopNode(std::make_unique<Counted>());
        root.topNode()->appendChild(new Counted);
        root.topNode()->firstChild()->appendChild(new Counted);
        EXPECT_EQ(alive, 3);
    }
    EXPECT_EQ(alive, 0);
}

TEST(ModelFactoryManager, CreatesTheCoreClassesByName)
{
    const std::pair<const char*, NodeKind> classes[] = {
        {"model::Node", NodeKind::Node},
        {"model::TransformNode", NodeKind::TransformNode},
        {"model::RootNode", NodeKind::RootNode},
    };
    for (const auto& [name, kind] : classes) {
        const zy::Factory* factory = ModelFactoryManager::instance().find(name);
        ASSERT_NE(factory, nullptr) << name;
        void* object = factory->create();
        if (kind == NodeKind::RootNode) {
            zy::Ref<RootNode> root(static_cast<RootNode*>(object));
            EXPECT_EQ(root->kind(), kind);
        } else {
            std::unique_ptr<Node> node(static_cast<Node*>(object));
            EXPECT_EQ(node->kind(), kind);
        }
    }
    EXPECT_STREQ(nodeClassName(NodeKind::ArgScaleNode), "model::ArgScaleNode");
    EXPECT_STREQ(nodeClassName(static_cast<NodeKind>(26)), "UNKNOWN_NODE_ID");
    EXPECT_STREQ(nodeClassName(static_cast<NodeKind>(-1)), "UNKNOWN_NODE_ID");
}
