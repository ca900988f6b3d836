#include "transforms/ArgAnimatedBone.h"

#include "ModelFactoryManager.h"
#include "io/INodeWriter.h"

namespace model {

void ArgAnimatedBone::accept(INodeWriter& writer)
{
    writer.visitArgAnimatedBone(*this);
}

const osg::Mat4d& ArgAnimatedBone::localMatrix() const
{
    static const osg::Mat4d identity;
    return identity;
}

bool ArgAnimatedBone::equals(const Node& other) const
{
    if (this == &other)
        return true;
    return ArgAnimationNode::equals(other) &&
           osg::equalWithin(boneMatrix_, static_cast<const ArgAnimatedBone&>(other).boneMatrix_, kMatrixTolerance);
}

std::unique_ptr<Node> ArgAnimatedBone::clone() const
{
    return std::make_unique<ArgAnimatedBone>(*this);
}

namespace {
const zy::regClass<ArgAnimatedBone, ModelFactoryManager> regArgAnimatedBone("model::ArgAnimatedBone");
}

} // namespace model
