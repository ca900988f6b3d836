// The bundled example model: its file passes the check, and its dump
// describes the model it was saved from and builds back to the same bytes.
#include <gtest/gtest.h>

#include "BaseRenderNode.h"
#include "BaseShellNode.h"
#include "Connector.h"
#include "ExampleModel.h"
#include "LightNode.h"
#include "ZymTestSupport.h"
#include "zym/Checker.h"
#include "zym/FileReader.h"
#include "zym/Names.h"

namespace zym::test {
namespace {

// "class name" of each tree node in pre-order, from the model and from the dump.
std::vector<std::string> modelTree(model::RootNode& root)
{
    std::vector<std::string> out;
    model::forEachPreOrder(root.topNode(), [&](model::Node* n) {
        out.push_back(std::string(className(static_cast<Kind>(n->effectiveKind()))) + " " + n->name());
    });
    return out;
}

std::vector<std::string> dumpedTree(const Json& top)
{
    std::vector<std::string> out;
    std::vector<const Json*> stack{&top};
    while (!stack.empty()) {
        const Json& n = *stack.back();
        stack.pop_back();
        out.push_back("model::" + n["class"].get<std::string>() + " " + n["name"].get<std::string>());
        if (n.contains("children"))
            for (auto it = n["children"].rbegin(); it != n["children"].rend(); ++it)
                stack.push_back(&*it);
    }
    return out;
}

template <class List>
std::vector<std::string> modelNames(const List& list)
{
    std::vector<std::string> out;
    for (std::size_t i = 0; i < list.size(); ++i)
        out.push_back(list.node(i).name());
    return out;
}

std::vector<std::string> dumpedNames(const Json& dump, const char* section)
{
    std::vector<std::string> out;
    if (dump.contains(section))
        for (const Json& n : dump[section])
            out.push_back(n["name"].get<std::string>());
    return out;
}

TEST(ExampleModel, DumpDescribesTheModelAndBuildsBackToTheSameBytes)
{
    const zy::Ref<model::RootNode> root = example::buildExampleModel();
    const std::string path = tempPath("example.zym");
    root->save(path, 10);
    const std::vector<std::uint8_t> bytes = readFileBytes(path);
    const std::vector<Problem> problems = checkFile(bytes);
    EXPECT_TRUE(problems.empty()) << problems[0].offset << ": " << problems[0].message;

    const Json dumped = dumpBytes(bytes);
    EXPECT_EQ(dumped["root"]["name"], root->name());
    EXPECT_EQ(dumpedTree(dumped["tree"]), modelTree(*root));
    EXPECT_EQ(dumpedNames(dumped, "connectors"), modelNames(root->connectors()));
    EXPECT_EQ(dumpedNames(dumped, "lights"), modelNames(root->lights()));
    EXPECT_EQ(dumpedNames(dumped, "shells"), modelNames(root->shellNodes()));
    EXPECT_EQ(dumpedNames(dumped, "render_nodes"), modelNames(root->renderNodes()));
    EXPECT_EQ(readDescription(bytes).root.argumentCount, root->argumentCount());

    EXPECT_EQ(buildBytes(dumped), bytes);
}

} // namespace
} // namespace zym::test
