#include "transforms/BillboardNode.h"

#include <cmath>

#include "ModelFactoryManager.h"
#include "io/INodeWriter.h"

namespace model {

BillboardNode::BillboardNode()
{
    setVersion(1);
}

void BillboardNode::accept(INodeWriter& writer)
{
    writer.visitBillboardNode(*this);
}

bool BillboardNode::equals(const Node& other) const
{
    if (this == &other)
        return true;
    if (!TransformNode::equals(other))
        return false;
    const auto& o = static_cast<const BillboardNode&>(other);
    if (mode_ != o.mode_ || flag_ != o.flag_)
        return false;
    for (int i = 0; i < 3; ++i)
        if (!(std::fabs(axis_[i] - o.axis_[i]) <= 1e-6))
            return false;
    return true;
}

std::unique_ptr<Node> BillboardNode::clone() const
{
    return std::make_unique<BillboardNode>(*this);
}

namespace {
const zy::regClass<BillboardNode, ModelFactoryManager> regBillboardNode("model::BillboardNode");
}

} // namespace model
