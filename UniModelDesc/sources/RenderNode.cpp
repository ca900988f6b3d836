#include "RenderNode.h"

#include "DegenerateTriangles.h"
#include "ModelFactoryManager.h"
#include "io/INodeWriter.h"
#include "utils/MergeRules.h"

namespace model {

void RenderNode::accept(INodeWriter& writer)
{
    writer.visitRenderNode(*this);
}

bool RenderNode::canMerge(const BaseNode& other) const
{
    return canMergeRenderNodes(*this, other);
}

bool RenderNode::merge(BaseNode& other)
{
    const auto* render = dynamic_cast<const RenderNode*>(&other);
    return render && canMerge(other) && mergeRenderNodes(*this, *render);
}

bool RenderNode::setGeometry(const Vertices& vertices, const Indices& indices)
{
    if (!BaseMeshRenderNode::setGeometry(vertices, indices))
        return false;
    Node* control = parts_.empty() ? nullptr : parts_.front().control;
    parts_.assign(1, RenderPart{control, 0, indices_.size(), -1});
    const uint32_t size = stride();
    if (material()->vertexFormat().count(ChannelPosition) >= 4)
        for (uint32_t i = 0; i < vertices_.count(); ++i)
            vertices_.vertex(i, size)[3] = 0.0f;
    return true;
}

void RenderNode::transformPart(uint32_t slot, const osg::Mat4d& m)
{
    transformVertices(m, slot);
}

Box RenderNode::partBoundingBox(uint32_t slot) const
{
    return boundsOf(slot);
}

uint32_t RenderNode::removeDegenerateTriangles()
{
    const bool hasPositions = material() && material()->vertexFormat().count(ChannelPosition) >= 3;
    const std::vector<uint32_t> keptBefore =
        model::removeDegenerateTriangles(vertices_, stride(), hasPositions, indices_);
    const auto moved = [&](uint32_t position) {
        return keptBefore[std::min<size_t>(position, keptBefore.size() - 1)];
    };
    for (RenderPart& part : parts_) {
        part.start = moved(part.start);
        part.end = moved(part.end);
    }
    return removedTriangles(keptBefore);
}

void RenderNode::collectArguments(ArgumentSet& arguments) const
{
    for (const RenderPart& part : parts_)
        if (part.argument != -1)
            arguments.insert(part.argument);
    BaseMeshRenderNode::collectArguments(arguments);
}

namespace {
const zy::regClass<RenderNode, ModelFactoryManager> regRenderNode("model::RenderNode");
}

} // namespace model
