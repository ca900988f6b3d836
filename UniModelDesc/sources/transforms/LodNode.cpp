#include "transforms/LodNode.h"

#include <cmath>

#include "ModelFactoryManager.h"
#include "io/INodeWriter.h"

namespace model {

void LodNode::accept(INodeWriter& writer)
{
    writer.visitLodNode(*this);
}

bool LodNode::equals(const Node& other) const
{
    if (this == &other)
        return true;
    if (!Node::equals(other))
        return false;
    const auto& o = static_cast<const LodNode&>(other).ranges_;
    if (ranges_.size() != o.size())
        return false;
    for (size_t i = 0; i < ranges_.size(); ++i)
        if (!(std::fabs(ranges_[i].from - o[i].from) <= 1e-6) || !(std::fabs(ranges_[i].to - o[i].to) <= 1e-6))
            return false;
    return true;
}

std::unique_ptr<Node> LodNode::clone() const
{
    return std::make_unique<LodNode>(*this);
}

namespace {
const zy::regClass<LodNode, ModelFactoryManager> regLodNode("model::LodNode");
}

} // namespace model
