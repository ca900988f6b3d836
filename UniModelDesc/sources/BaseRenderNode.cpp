#include "BaseRenderNode.h"

#include "io/INodeWriter.h"

namespace model {

void BaseRenderNode::accept(INodeWriter& writer)
{
    writer.visitBaseRenderNode(*this);
}

void BaseRenderNode::collectArguments(ArgumentSet& arguments) const
{
    if (material_)
        material_->collectArguments(arguments);
}

} // namespace model
