#include "transforms/TmpNumberRoot.h"

#include "zy/ExtException.h"

namespace model {

void TmpNumberRoot::accept(INodeWriter&)
{
    ZY_THROWF("Node %s is temporary, it should be eleminated before saving.", name().c_str());
}

std::unique_ptr<Node> TmpNumberRoot::clone() const
{
    ZY_THROWF("Node %s is temporary, so no clone.", name().c_str());
}

} // namespace model
