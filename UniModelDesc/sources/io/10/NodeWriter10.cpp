#include "io/10/NodeWriter10.h"

#include "RootNode.h"
#include "io/IBinaryFileW.h"
#include "transforms/TransformNode.h"

namespace model {

namespace {
void writeBoxCorner(io::IBinaryFileW& out, const osg::Vec3f& corner)
{
    out.writeVec3d({corner[0], corner[1], corner[2]});
}
} // namespace

void NodeWriter10::visitBaseNode(BaseNode& node)
{
    out_.writeString(nodeClassName(node.effectiveKind()));
    out_.writeLString(node.name());
    out_.writeU32(node.category());
    writePropertyList(out_, node.properties());
}

void NodeWriter10::visitNode(Node& node)
{
    visitBaseNode(node);
}

void NodeWriter10::visitTransformNode(TransformNode& node)
{
    visitNode(node);
    out_.writeMat4d(node.matrix());
}

void NodeWriter10::visitRootNode(RootNode& root)
{
    visitBaseNode(root);
    for (const Box* box : {&root.boundingBox(), &root.userBox(), &root.lightBox()}) {
        writeBoxCorner(out_, box->min);
        writeBoxCorner(out_, box->max);
    }
    out_.writeU32(static_cast<uint32_t>(root.materials().size()));
    for (const zy::Ref<BaseMaterial>& material : root.materials())
        material->write(out_);
    out_.writeU32(0);
    out_.writeU32(root.argumentCount());
}

} // namespace model
