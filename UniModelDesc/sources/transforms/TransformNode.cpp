#include "transforms/TransformNode.h"

#include "ModelFactoryManager.h"
#include "io/INodeWriter.h"

namespace model {

void TransformNode::accept(INodeWriter& writer)
{
    writer.visitTransformNode(*this);
}

void TransformNode::accumulateMatrix(const IModelArguments& arguments, osg::Mat4d& matrix) const
{
    matrix = matrix * matrix_;
    Node::accumulateMatrix(arguments, matrix);
}

bool TransformNode::equals(const Node& other) const
{
    if (this == &other)
        return true;
    return Node::equals(other) &&
           osg::equalWithin(matrix_, static_cast<const TransformNode&>(other).matrix_, kMatrixTolerance);
}

std::unique_ptr<Node> TransformNode::clone() const
{
    return std::make_unique<TransformNode>(*this);
}

namespace {
const zy::regClass<TransformNode, ModelFactoryManager> regTransformNode("model::TransformNode");
}

} // namespace model
