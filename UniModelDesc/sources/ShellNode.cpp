#include "ShellNode.h"

#include "DegenerateTriangles.h"
#include "ModelFactoryManager.h"
#include "VertexTransform.h"
#include "io/INodeWriter.h"

namespace model {

void ShellNode::accept(INodeWriter& writer)
{
    writer.visitShellNode(*this);
}

bool ShellNode::setGeometry(const VertexFormat& format, const Vertices& vertices, const Indices& indices)
{
    if (!vertices.fits(format.stride()))
        return false;
    format_ = format;
    vertices_ = vertices;
    indices_ = indices;
    return true;
}

void ShellNode::transform(const osg::Mat4d& m)
{
    const uint32_t size = stride();
    if (size == 0 || !vertices_.fits(size))
        return;
    const VertexTransform transform(format_, false);
    const osg::Mat4d normals = normalMatrix(m);
    for (uint32_t i = 0; i < vertices_.count(); ++i)
        transform.apply(vertices_.vertex(i, size), m, normals);
}

Box ShellNode::boundingBox() const
{
    Box box;
    const uint32_t size = stride();
    if (format_.count(ChannelPosition) < 3 || !vertices_.fits(size))
        return box;
    for (uint32_t i = 0; i < vertices_.count(); ++i) {
        const float* v = vertices_.vertex(i, size);
        box.expand(osg::Vec3f(v[0], v[1], v[2]));
    }
    return box;
}

uint32_t ShellNode::removeDegenerates()
{
    const bool hasPositions = format_.count(ChannelPosition) >= 3;
    return removedTriangles(removeDegenerateTriangles(vertices_, stride(), hasPositions, indices_));
}

namespace {
const zy::regClass<ShellNode, ModelFactoryManager> regShellNode("model::ShellNode");
}

} // namespace model
