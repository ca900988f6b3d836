#include "SkinNode.h"

#include "IBone.h"
#include "ModelFactoryManager.h"
#include "Node.h"
#include "io/INodeWriter.h"

namespace model {

void SkinNode::accept(INodeWriter& writer)
{
    writer.visitSkinNode(*this);
}

bool SkinNode::addBone(Node* bone)
{
    if (!dynamic_cast<IBone*>(bone))
        return false;
    bones_.push_back(bone);
    return true;
}

void SkinNode::setPartControl(uint32_t i, Node* node)
{
    Node*& slot = bones_.at(i);
    if (dynamic_cast<IBone*>(node))
        slot = node;
}

void SkinNode::transformPart(uint32_t slot, const osg::Mat4d& m)
{
    if (slot == 0)
        transformVertices(m, kAllParts);
}

Box SkinNode::partBoundingBox(uint32_t) const
{
    return boundsOf(kAllParts);
}

void SkinNode::collectArguments(ArgumentSet& arguments) const
{
    if (argument_ != -1)
        arguments.insert(argument_);
    BaseMeshRenderNode::collectArguments(arguments);
}

namespace {
const zy::regClass<SkinNode, ModelFactoryManager> regSkinNode("model::SkinNode");
}

} // namespace model
