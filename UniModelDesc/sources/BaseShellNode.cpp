#include "BaseShellNode.h"

#include "io/INodeWriter.h"

namespace model {

void BaseShellNode::accept(INodeWriter& writer)
{
    writer.visitBaseShellNode(*this);
}

} // namespace model
