#include "transforms/Bone.h"

#include <cmath>

#include "ModelFactoryManager.h"
#include "io/INodeWriter.h"

namespace model {

void Bone::accept(INodeWriter& writer)
{
    writer.visitBone(*this);
}

bool Bone::equals(const Node& other) const
{
    if (this == &other)
        return true;
    return TransformNode::equals(other) &&
           osg::equalWithin(boneMatrix_, static_cast<const Bone&>(other).boneMatrix_, kMatrixTolerance);
}

std::unique_ptr<Node> Bone::clone() const
{
    return std::make_unique<Bone>(*this);
}

void IKBone::accept(INodeWriter& writer)
{
    writer.visitIKBone(*this);
}

bool IKBone::equals(const Node& other) const
{
    if (this == &other)
        return true;
    if (!Bone::equals(other))
        return false;
    const Limits& o = static_cast<const IKBone&>(other).limits_;
    for (size_t i = 0; i < limits_.size(); ++i)
        if (!(std::fabs(limits_[i] - o[i]) <= 1e-6))
            return false;
    return true;
}

std::unique_ptr<Node> IKBone::clone() const
{
    return std::make_unique<IKBone>(*this);
}

namespace {
const zy::regClass<Bone, ModelFactoryManager> regBone("model::Bone");
const zy::regClass<IKBone, ModelFactoryManager> regIKBone("model::IKBone");
} // namespace

} // namespace model
