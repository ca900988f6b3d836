#include "zym/Arguments.h"

#include "zym/Names.h"

namespace zym {
namespace {

void addAnimated(const std::vector<Property>& properties, std::set<std::int32_t>& out)
{
    for (const Property& p : properties)
        if (isAnimatedProperty(p.type) || p.type == PropertyType::Argument)
            out.insert(p.argument);
}

} // namespace

std::set<std::int32_t> usedArguments(const Description& d)
{
    std::set<std::int32_t> args;
    for (const Connector& c : d.connectors)
        addAnimated(c.connectorProperties, args);
    for (const RenderItem& r : d.renderNodes) {
        for (const Part& part : r.parts)
            args.insert(part.argument);
        if (r.kind == Kind::SkinNode || isAnimatedFakeLightKind(r.kind))
            args.insert(r.argument);
        if (r.material < d.root.materials.size())
            addAnimated(d.root.materials[r.material].animatedUniforms, args);
    }
    for (const Light& l : d.lights)
        addAnimated(l.lightProperties, args);
    for (const TreeNode& n : d.nodes) {
        for (const PositionTrack& t : n.animation.positionTracks)
            args.insert(t.argument);
        for (const RotationTrack& t : n.animation.rotationTracks)
            args.insert(t.argument);
        for (const ScaleTrack& t : n.animation.scaleTracks)
            args.insert(t.argument);
        for (const VisibilityTrack& t : n.visibility)
            args.insert(t.argument);
    }
    args.erase(args.begin(), args.lower_bound(0));
    return args;
}

std::uint32_t expectedArgumentCount(const Description& d)
{
    const std::set<std::int32_t> args = usedArguments(d);
    return args.empty() ? 0 : static_cast<std::uint32_t>(*args.rbegin()) + 1;
}

} // namespace zym
