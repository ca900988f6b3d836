#include "BaseMeshRenderNode.h"

#include "DegenerateTriangles.h"
#include "VertexTransform.h"

namespace model {

uint32_t BaseMeshRenderNode::stride() const
{
    return material() ? material()->vertexFormat().stride() : 0;
}

bool BaseMeshRenderNode::fitsFormat(const Vertices& vertices) const
{
    return material() && vertices.fits(stride());
}

bool BaseMeshRenderNode::setGeometry(const Vertices& vertices, const Indices& indices)
{
    if (!fitsFormat(vertices))
        return false;
    vertices_ = vertices;
    indices_ = indices;
    return true;
}

uint32_t BaseMeshRenderNode::partOf(const float* vertex, const VertexFormat& format)
{
    if (format.count(ChannelPosition) < 4)
        return 0;
    // Out-of-range values (negative, NaN, huge) must not reach the integer conversion.
    const float w = vertex[3] + 0.5f;
    if (!(w >= 1.0f))
        return 0;
    return w < 4294967040.0f ? uint32_t(w) : UINT32_MAX;
}

void BaseMeshRenderNode::transformVertices(const osg::Mat4d& m, int64_t part)
{
    const uint32_t size = stride();
    if (!material() || size == 0 || !vertices_.fits(size))
        return;
    const VertexFormat& format = material()->vertexFormat();
    const VertexTransform transform(format);
    const osg::Mat4d normals = normalMatrix(m);
    for (uint32_t i = 0; i < vertices_.count(); ++i) {
        float* v = vertices_.vertex(i, size);
        if (part == kAllParts || partOf(v, format) == part)
            transform.apply(v, m, normals);
    }
}

Box BaseMeshRenderNode::boundsOf(int64_t part) const
{
    Box box;
    const uint32_t size = stride();
    if (!material() || material()->vertexFormat().count(ChannelPosition) < 3 || !vertices_.fits(size))
        return box;
    const VertexFormat& format = material()->vertexFormat();
    for (uint32_t i = 0; i < vertices_.count(); ++i) {
        const float* v = vertices_.vertex(i, size);
        if (part == kAllParts || partOf(v, format) == part)
            box.expand(osg::Vec3f(v[0], v[1], v[2]));
    }
    return box;
}

uint32_t BaseMeshRenderNode::removeDegenerateTriangles()
{
    const bool hasPositions = material() && material()->vertexFormat().count(ChannelPosition) >= 3;
    return removedTriangles(model::removeDegenerateTriangles(vertices_, stride(), hasPositions, indices_));
}

} // namespace model
