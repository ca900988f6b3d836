#include "Node.h"

#include "ModelFactoryManager.h"
#include "io/INodeWriter.h"

namespace model {

Node::Node(const Node& other) : BaseNode(other), zy::EmTreeOf<Node>(), treeIndex_(other.treeIndex_)
{
}

void Node::accept(INodeWriter& writer)
{
    writer.visitNode(*this);
}

void Node::accumulateMatrix(const IModelArguments& arguments, osg::Mat4d& matrix) const
{
    if (parent())
        parent()->accumulateMatrix(arguments, matrix);
}

void Node::updateVisibility(const IModelArguments& arguments, bool& visible) const
{
    if (parent())
        parent()->updateVisibility(arguments, visible);
}

bool Node::equals(const Node& other) const
{
    if (this == &other)
        return true;
    return kind() == other.kind() && equalPropertySets(properties(), other.properties());
}

std::unique_ptr<Node> Node::clone() const
{
    return std::make_unique<Node>(*this);
}

namespace {
const zy::regClass<Node, ModelFactoryManager> regNode("model::Node");
}

} // namespace model
