// Records of rendering and shell nodes, format version 10.
#include <algorithm>

#include "NumberNode.h"
#include "RenderNode.h"
#include "RootNode.h"
#include "SegmentsNode.h"
#include "ShellNode.h"
#include "SkinNode.h"
#include "io/10/ControlIndex10.h"
#include "io/10/GeometryBlocks10.h"
#include "io/10/NodeWriter10.h"
#include "io/IBinaryFileW.h"
#include "zy/ExtException.h"

namespace model {

namespace {

// Vertex and index blocks of a mesh. Data that does not match its layout
// would make the file unreadable, so it is refused.
void writeMesh(io::IBinaryFileW& out, const BaseNode& node, const Vertices& vertices, uint32_t stride,
               const Indices& indices)
{
    if (!vertices.fits(stride))
        ZY_THROW("Vertex data doesn't match the vertex format. Node: " + node.name() + ".");
    const auto& values = indices.values();
    if (!values.empty()) {
        const uint32_t largest = *std::max_element(values.begin(), values.end());
        if (largest >= vertices.count())
            ZY_THROWF("Index %u is outside the %u vertices. Node: %s.", largest, vertices.count(),
                      node.name().c_str());
    }
    vertices.write(out, stride);
    indices.write(out);
}

} // namespace

void NodeWriter10::visitBaseRenderNode(BaseRenderNode& node)
{
    const int32_t material = node.root() && node.material() ? node.root()->materialIndex(node.material()) : -1;
    if (material < 0)
        ZY_THROW("Unknown properties set. Node: " + node.name() + ".");
    visitBaseNode(node);
    out_.writeU32(0);
    out_.writeU32(uint32_t(material));
}

void NodeWriter10::visitRenderNode(RenderNode& node)
{
    visitBaseRenderNode(node);
    const auto& parts = node.parts();
    out_.writeU32(uint32_t(parts.size()));
    if (parts.size() == 1) {
        out_.writeU32(controlIndex(parts[0].control, node, "RenderNode"));
        out_.writeI32(parts[0].argument);
    } else {
        for (const RenderPart& part : parts) {
            out_.writeU32(controlIndex(part.control, node, "RenderNode"));
            out_.writeU32(part.end);
            out_.writeI32(part.argument);
        }
    }
    writeMesh(out_, node, node.vertices(), node.stride(), node.indices());
}

void NodeWriter10::visitNumberNode(NumberNode& node)
{
    visitRenderNode(node);
    for (uint32_t part = 0; part < node.partCount(); ++part) {
        const DigitParameterList& digits = node.digits(part);
        out_.writeU32(uint32_t(digits.size()));
        for (const DigitParameters& d : digits) {
            out_.writeI32(d.a);
            out_.writeF32(d.b);
            out_.writeI32(d.c);
            out_.writeF32(d.d);
        }
    }
}

void NodeWriter10::visitSkinNode(SkinNode& node)
{
    visitBaseRenderNode(node);
    out_.writeU32(uint32_t(node.bones().size()));
    for (const Node* bone : node.bones())
        out_.writeU32(controlIndex(bone, node, "SkinNode"));
    out_.writeI32(node.argument());
    writeMesh(out_, node, node.vertices(), node.stride(), node.indices());
}

void NodeWriter10::visitBaseShellNode(BaseShellNode& node)
{
    const uint32_t control = controlIndex(node.control(), node, "BaseShellNode");
    visitBaseNode(node);
    out_.writeU32(control);
}

void NodeWriter10::visitShellNode(ShellNode& node)
{
    visitBaseShellNode(node);
    writeVertexFormat(out_, node.vertexFormat());
    writeMesh(out_, node, node.vertices(), node.stride(), node.indices());
}

void NodeWriter10::visitSegmentsNode(SegmentsNode& node)
{
    visitBaseShellNode(node);
    out_.writeU32(uint32_t(node.segments().size()));
    for (const Segment& s : node.segments()) {
        out_.writeVec3f(s.start);
        out_.writeVec3f(s.end);
    }
}

} // namespace model
