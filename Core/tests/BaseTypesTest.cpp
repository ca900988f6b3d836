// Intrusive tree links, reference counting and the class registry.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "zy/EmTreeOf.h"
#include "zy/FactoryManager.h"
#include "zy/Shared.h"

namespace {

struct Node : zy::EmTreeOf<Node> {
    Node(std::string n, std::vector<std::string>* log = nullptr) : name(std::move(n)), destroyed(log) {}
    ~Node() override
    {
        if (destroyed)
            destroyed->push_back(name);
    }
    std::string name;
    std::vector<std::string>* destroyed;
};

// "name(children...)" by walking first child / next sibling, checking the
// back links (parent, previous sibling, last child) on the way.
std::string shape(const Node* node)
{
    std::string out = node->name;
    if (!node->hasChildren())
        return out;
    out += "(";
    const Node* previous = nullptr;
    for (const Node* c = node->firstChild(); c; c = c->nextSibling()) {
        EXPECT_EQ(c->parent(), node) << c->name;
        EXPECT_EQ(c->prevSibling(), previous) << c->name;
        out += (previous ? "," : "") + shape(c);
        previous = c;
    }
    EXPECT_EQ(node->lastChild(), previous) << node->name;
    return out + ")";
}

TEST(EmTreeOf, LinkOperations)
{
    Node root("r");
    auto* a = new Node("a");
    auto* b = new Node("b");
    auto* c = new Node("c");
    root.appendChild(a);
    root.appendChild(c);
    root.insertChildBefore(b, c);
    EXPECT_EQ(shape(&root), "r(a,b,c)");
    EXPECT_EQ(root.childCount(), 3);

    root.insertChildBefore(c, a); // moves within the same parent
    EXPECT_EQ(shape(&root), "r(c,a,b)");
    root.insertChildBefore(c, c); // before itself: nothing changes
    EXPECT_EQ(shape(&root), "r(c,a,b)");

    a->appendChild(b); // moves to another parent
    EXPECT_EQ(shape(&root), "r(c,a(b))");

    for (Node* n : {c, a}) { // first, then only child
        n->unlink();
        EXPECT_EQ(n->parent(), nullptr);
        EXPECT_EQ(n->nextSibling(), nullptr);
        EXPECT_EQ(n->prevSibling(), nullptr);
    }
    EXPECT_EQ(shape(&root), "r");
    EXPECT_EQ(shape(a), "a(b)") << "an unlinked node keeps its children";
    root.appendChild(c);
    root.appendChild(a);
    a->unlink(); // the last child
    EXPECT_EQ(shape(&root), "r(c)");
    delete a;
}

TEST(EmTreeOf, DestroyingANodeDestroysItsChildrenLastFirstAndUnlinksIt)
{
    std::vector<std::string> destroyed;
    auto* root = new Node("r", &destroyed);
    auto* a = new Node("a", &destroyed);
    auto* b = new Node("b", &destroyed);
    auto* c = new Node("c", &destroyed);
    root->appendChild(a);
    root->appendChild(b);
    root->appendChild(c);
    a->appendChild(new Node("a1", &destroyed));
    a->appendChild(new Node("a2", &destroyed));

    delete b; // a middle child leaves its siblings linked
    EXPECT_EQ(shape(root), "r(a(a1,a2),c)");
    EXPECT_EQ(destroyed, std::vector<std::string>{"b"});

    destroyed.clear();
    delete root;
    EXPECT_EQ(destroyed, (std::vector<std::string>{"r", "c", "a", "a2", "a1"}));
}

struct Counted : zy::Shared {
    explicit Counted(int* deaths) : deaths(deaths) {}
    ~Counted() override { ++*deaths; }
    int* deaths;
};
struct DerivedCounted : Counted {
    using Counted::Counted;
};

TEST(Ref, CountsCopiesMovesAndConversions)
{
    int deaths = 0;
    {
        zy::Ref<DerivedCounted> a = zy::makeRef<DerivedCounted>(&deaths);
        EXPECT_EQ(a->refCount(), 1);
        zy::Ref<Counted> base = a; // conversion copies
        EXPECT_EQ(a->refCount(), 2);
        zy::Ref<Counted> moved = std::move(base);
        EXPECT_FALSE(base);
        EXPECT_EQ(a->refCount(), 2);
        moved = moved; // self-assignment keeps the object
        EXPECT_EQ(a->refCount(), 2);
        moved.reset();
        EXPECT_EQ(a->refCount(), 1);

        {
            Counted copy(*a); // a copy is a new object without references
            EXPECT_EQ(copy.refCount(), 0);
            EXPECT_EQ(a->refCount(), 1);
        }
        ASSERT_EQ(deaths, 1); // the copy
        deaths = 0;

        Counted* raw = a.detach();
        EXPECT_FALSE(a);
        EXPECT_EQ(raw->refCount(), 1);
        EXPECT_EQ(deaths, 0);
        raw->release();
        EXPECT_EQ(deaths, 1);
    }
    EXPECT_EQ(deaths, 1);

    zy::Ref<Counted> r = zy::makeRef<Counted>(&deaths);
    r = zy::makeRef<Counted>(&deaths); // the first object goes on reassignment
    EXPECT_EQ(deaths, 2);
    r = nullptr;
    EXPECT_EQ(deaths, 3);
}

TEST(Ref, CountingIsThreadSafe)
{
    int deaths = 0;
    zy::Ref<Counted> shared = zy::makeRef<Counted>(&deaths);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&shared] {
            for (int i = 0; i < 20000; ++i) {
                zy::Ref<Counted> copy = shared;
                zy::Ref<Counted> again = copy;
            }
        });
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(shared->refCount(), 1);
    shared.reset();
    EXPECT_EQ(deaths, 1);
}

struct Registry {
    static zy::TFactoryManager<zy::Factory>& instance()
    {
        static zy::TFactoryManager<zy::Factory> manager;
        return manager;
    }
};
struct Widget {
    int value = 7;
};

TEST(FactoryManager, RegistrationLastsAsLongAsItsObject)
{
    {
        zy::regClass<Widget, Registry> registration("model::Widget");
        const zy::Factory* factory = Registry::instance().find("model::Widget");
        ASSERT_NE(factory, nullptr);
        auto* widget = static_cast<Widget*>(factory->create());
        EXPECT_EQ(widget->value, 7);
        delete widget;
        EXPECT_EQ(Registry::instance().names(), std::vector<zy::string>{"model::Widget"});
    }
    EXPECT_EQ(Registry::instance().find("model::Widget"), nullptr);
}

} // namespace
