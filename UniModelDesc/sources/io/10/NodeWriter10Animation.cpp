// Records of animated tree nodes, bones, LOD and billboard nodes, format version 10.
#include "io/10/NodeWriter10.h"
#include "io/IBinaryFileW.h"
#include "transforms/ArgAnimatedBone.h"
#include "transforms/ArgVisibilityNode.h"
#include "transforms/BillboardNode.h"
#include "transforms/Bone.h"
#include "transforms/LodNode.h"
#include "zy/ExtException.h"

namespace model {

namespace {

// A track without an argument cannot be driven by the engine.
template <class Track>
void checkHandles(const std::vector<Track>& tracks, const Node& node, const char* what)
{
    for (const Track& t : tracks)
        if (t.argument == -1)
            ZY_THROW("Node '" + node.name() + "' has invalid " + what + " handle.");
}

void writeKeys(io::IBinaryFileW& out, const std::vector<Key<osg::Vec3d>>& keys)
{
    out.writeU32(uint32_t(keys.size()));
    for (const auto& k : keys) {
        out.writeF64(k.time);
        out.writeVec3d(k.value);
    }
}

void writeKeys(io::IBinaryFileW& out, const std::vector<Key<osg::Quatd>>& keys)
{
    out.writeU32(uint32_t(keys.size()));
    for (const auto& k : keys) {
        out.writeF64(k.time);
        out.writeQuatd(k.value);
    }
}

} // namespace

void NodeWriter10::visitArgAnimationNode(ArgAnimationNode& node)
{
    checkHandles(node.positionTracks(), node, "position");
    checkHandles(node.rotationTracks(), node, "rotation");
    checkHandles(node.scaleTracks(), node, "scale");

    visitTransformNode(node);
    out_.writeVec3d(node.basePosition());
    out_.writeQuatd(node.baseRotation());
    out_.writeQuatd(node.scaleOrientation());
    out_.writeVec3d(node.baseScale());

    out_.writeU32(uint32_t(node.positionTracks().size()));
    for (const PositionTrack& t : node.positionTracks()) {
        out_.writeI32(t.argument);
        writeKeys(out_, t.keys);
    }
    out_.writeU32(uint32_t(node.rotationTracks().size()));
    for (const RotationTrack& t : node.rotationTracks()) {
        out_.writeI32(t.argument);
        writeKeys(out_, t.keys);
    }
    out_.writeU32(uint32_t(node.scaleTracks().size()));
    for (const ScaleTrack& t : node.scaleTracks()) {
        out_.writeI32(t.argument);
        writeKeys(out_, t.orientationKeys);
        writeKeys(out_, t.scaleKeys);
    }
}

void NodeWriter10::visitArgAnimatedBone(ArgAnimatedBone& node)
{
    visitArgAnimationNode(node);
    out_.writeMat4d(node.boneMatrix());
}

void NodeWriter10::visitArgVisibilityNode(ArgVisibilityNode& node)
{
    visitNode(node);
    out_.writeU32(uint32_t(node.tracks().size()));
    for (const VisibilityTrack& t : node.tracks()) {
        out_.writeI32(t.argument);
        out_.writeU32(uint32_t(t.ranges.size()));
        for (const VisibilityRange& r : t.ranges) {
            out_.writeF64(r.start);
            out_.writeF64(r.end);
        }
    }
}

void NodeWriter10::visitBone(Bone& node)
{
    visitTransformNode(node);
    out_.writeMat4d(node.boneMatrix());
}

void NodeWriter10::visitIKBone(IKBone& node)
{
    visitBone(node);
    out_.writeF64Array(node.limits().data(), node.limits().size());
}

void NodeWriter10::visitLodNode(LodNode& node)
{
    visitNode(node);
    out_.writeU32(uint32_t(node.ranges().size()));
    for (const LodRange& r : node.ranges()) {
        out_.writeF64(r.from);
        out_.writeF64(r.to);
    }
}

void NodeWriter10::visitBillboardNode(BillboardNode& node)
{
    visitNode(node);
    out_.writeU8(uint8_t(node.mode()));
    out_.writeU8(uint8_t(node.flag()));
    out_.writeMat4d(node.matrix());
    out_.writeVec3d(node.axis());
}

} // namespace model
