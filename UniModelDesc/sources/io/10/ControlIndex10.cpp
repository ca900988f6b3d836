#include "io/10/ControlIndex10.h"

#include "Node.h"
#include "RootNode.h"
#include "zy/ExtException.h"

namespace model {

uint32_t controlIndex(const Node* control, const BaseNode& holder, const char* holderLabel)
{
    if (!control)
        ZY_THROWF("Control node isn't set. %s: %s.", holderLabel, holder.name().c_str());
    const Node* top = control;
    while (top->parent())
        top = top->parent();
    const bool inTree = holder.root() ? top == holder.root()->topNode() : control->treeIndex() >= 0;
    if (!inTree || control->treeIndex() < 0)
        ZY_THROWF("Control node isn't in the model tree. %s: %s.", holderLabel, holder.name().c_str());
    return uint32_t(control->treeIndex());
}

} // namespace model
