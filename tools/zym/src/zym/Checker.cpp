#include "zym/Checker.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

#include "zym/Arguments.h"
#include "zym/FileReader.h"
#include "zym/Names.h"

namespace zym {
namespace {

std::uint32_t expectedCategory(Kind kind)
{
    if (isRenderKind(kind))
        return 1;
    if (kind == Kind::Connector)
        return 2;
    if (kind == Kind::LightNode)
        return 4;
    if (isShellKind(kind))
        return 16;
    return 0;
}

// The class name a writer chooses for an argument-animated node from its tracks.
Kind effectiveAnimationKind(const TreeNode& n)
{
    if (n.kind == Kind::ArgAnimatedBone)
        return Kind::ArgAnimatedBone;
    const bool positions = !n.animation.positionTracks.empty();
    const bool rotations = !n.animation.rotationTracks.empty();
    const bool scales = !n.animation.scaleTracks.empty();
    if (!positions && !rotations)
        return Kind::ArgScaleNode;
    if (rotations && !positions && !scales)
        return Kind::ArgRotationNode;
    if (positions && !rotations && !scales)
        return Kind::ArgPositionNode;
    return Kind::ArgAnimationNode;
}

std::uint8_t minimalWidthCode(const std::vector<std::uint32_t>& values)
{
    const std::uint32_t top = values.empty() ? 0 : *std::max_element(values.begin(), values.end());
    return top < 256 ? 0 : top < 65536 ? 1 : 2;
}

std::uint32_t stride(const VertexFormat& format)
{
    std::uint32_t sum = 0;
    for (std::uint8_t c : format)
        sum += c;
    return sum;
}

class Checker {
public:
    explicit Checker(const Description& d) : d_(d) {}

    std::vector<Problem> run()
    {
        checkHeaderFields();
        checkBoxes();
        for (const Material& m : d_.root.materials)
            checkMaterial(m);
        checkTree();
        for (const Connector& c : d_.connectors) {
            checkCategory(c);
            checkRef(c.control, "connector control");
        }
        for (const Shell& s : d_.shells)
            checkShell(s);
        for (const Light& l : d_.lights) {
            checkCategory(l);
            checkRef(l.control, "light control");
        }
        for (const RenderItem& r : d_.renderNodes)
            checkRenderItem(r);
        // The census needs every render node's material; a bad reference is reported on its own.
        const bool materialsKnown = std::all_of(d_.renderNodes.begin(), d_.renderNodes.end(), [&](const RenderItem& r) {
            return r.material < d_.root.materials.size();
        });
        const std::uint32_t expected = expectedArgumentCount(d_);
        if (materialsKnown && d_.root.argumentCount != expected)
            add(d_.root.argumentCountOffset,
                zy::format("argument count %u, but the file uses arguments up to %u", d_.root.argumentCount,
                           expected));
        std::stable_sort(problems_.begin(), problems_.end(),
                         [](const Problem& a, const Problem& b) { return a.offset < b.offset; });
        return std::move(problems_);
    }

private:
    void add(std::uint64_t offset, std::string message) { problems_.push_back({offset, std::move(message)}); }

    std::string label(const NodeHeader& h) const
    {
        return zy::format("%s '%s'", std::string(shortClassName(h.kind)).c_str(), h.name.c_str());
    }

    void checkHeaderFields()
    {
        if (d_.invalidTextOffset)
            add(*d_.invalidTextOffset, "a string of the file is not UTF-8");
        if (d_.root.reserved != 0)
            add(d_.root.argumentCountOffset - 4, "the reserved field behind the materials is not 0");
    }

    void checkBoxes()
    {
        const char* names[] = {"bounding box", "user box", "light box"};
        const Box* boxes[] = {&d_.root.boundingBox, &d_.root.userBox, &d_.root.lightBox};
        for (int b = 0; b < 3; ++b) {
            const Box& box = *boxes[b];
            const std::uint64_t at = d_.root.boxesOffset + b * 48;
            bool finite = true, single = true, ordered = true, empty = true;
            for (int c = 0; c < 3; ++c) {
                for (double v : {box.min[c], box.max[c]}) {
                    finite = finite && std::isfinite(v);
                    single = single && double(float(v)) == v;
                }
                ordered = ordered && box.min[c] <= box.max[c];
                empty = empty && box.min[c] == double(FLT_MAX) && box.max[c] == -double(FLT_MAX);
            }
            if (!finite)
                add(at, zy::format("the %s has a value that is not finite", names[b]));
            else if (!single)
                add(at, zy::format("the %s has a value that is not a single-precision number", names[b]));
            else if (!ordered && !empty)
                add(at, zy::format("the %s is neither valid (minimum <= maximum) nor empty", names[b]));
        }
    }

    void checkMaterial(const Material& m)
    {
        const std::uint32_t keys = 10 + (m.billboard ? 1 : 0) + (m.decal ? 1 : 0);
        if (m.keyCount != keys)
            add(m.offset, zy::format("material key count %u, but it has %u entries", m.keyCount, keys));
        if (m.depthBias > 1)
            add(m.offset, zy::format("material '%s': depth bias %u is not 0 or 1", m.name.c_str(), m.depthBias));
        if (m.shadows & ~0x05u)
            add(m.offset, zy::format("material '%s': shadow byte %u has bits other than 0 and 2", m.name.c_str(),
                                     m.shadows));
        for (std::size_t i = 1; i < m.textures.size(); ++i)
            if (m.textures[i].slot <= m.textures[i - 1].slot)
                add(m.offset, zy::format("material '%s': texture slots are not in ascending order",
                                         m.name.c_str()));
    }

    void checkCategory(const NodeHeader& h)
    {
        const std::uint32_t expected = expectedCategory(h.kind);
        if (h.category != expected)
            add(h.offset + 8 + h.name.size(), zy::format("%s has category mask %u, its class has %u",
                                                         label(h).c_str(), h.category, expected));
    }

    void checkRef(const NodeRef& ref, const char* what)
    {
        if (ref.index >= d_.nodes.size())
            add(ref.offset, zy::format("%s index %u is past the %zu tree nodes", what, ref.index, d_.nodes.size()));
    }

    void checkTree()
    {
        if (d_.nodes.empty()) {
            add(d_.nodeCountOffset, "the tree has no top node");
            return;
        }
        std::vector<std::uint32_t> path; // the current node and its ancestors
        std::vector<std::uint32_t> children(d_.nodes.size(), 0);
        for (std::uint32_t i = 0; i < d_.nodes.size(); ++i) {
            const TreeNode& n = d_.nodes[i];
            checkCategory(n);
            checkTreeNode(n);
            if (i == 0) {
                if (n.parent != -1)
                    add(n.parentOffset, zy::format("the top node's parent index is %d, not -1", n.parent));
                path.push_back(0);
                continue;
            }
            while (!path.empty() && std::int64_t(path.back()) != n.parent)
                path.pop_back();
            if (path.empty()) {
                add(n.parentOffset, zy::format("parent index %d of node %u is not in pre-order", n.parent, i));
                path.push_back(0);
            } else {
                ++children[path.back()];
            }
            path.push_back(i);
        }
        for (std::uint32_t i = 0; i < d_.nodes.size(); ++i) {
            const TreeNode& n = d_.nodes[i];
            if (n.kind == Kind::LodNode && n.lodRanges.size() != children[i])
                add(n.offset, zy::format("%s has %zu ranges for %u children", label(n).c_str(), n.lodRanges.size(),
                                         children[i]));
        }
    }

    void checkTreeNode(const TreeNode& n)
    {
        if (!isArgAnimationKind(n.kind))
            return;
        const Kind effective = effectiveAnimationKind(n);
        if (effective != n.kind)
            add(n.offset, zy::format("%s is written as \"%s\", its tracks make it \"%s\"", label(n).c_str(),
                                     std::string(className(n.kind)).c_str(),
                                     std::string(className(effective)).c_str()));
        auto invalid = [&](const char* what) {
            add(n.offset, zy::format("%s has a %s track without argument", label(n).c_str(), what));
        };
        for (const PositionTrack& t : n.animation.positionTracks)
            if (t.argument == -1)
                invalid("position");
        for (const RotationTrack& t : n.animation.rotationTracks)
            if (t.argument == -1)
                invalid("rotation");
        for (const ScaleTrack& t : n.animation.scaleTracks)
            if (t.argument == -1)
                invalid("scale");
    }

    void checkGeometry(const NodeHeader& h, const VertexFormat& format, const Vertices& v, const Indices& ix)
    {
        const std::uint32_t expected = v.count == 0 ? 0 : stride(format);
        if (v.components != expected)
            add(v.offset + 4, zy::format("%s has %u components per vertex, its vertex format has %u",
                                         label(h).c_str(), v.components, expected));
        const std::uint8_t minimal = minimalWidthCode(ix.values);
        if (ix.widthCode != minimal)
            add(ix.offset, zy::format("%s has index width code %u, its largest index needs %u", label(h).c_str(),
                                      ix.widthCode, minimal));
        const std::uint64_t width = std::uint64_t(1) << ix.widthCode;
        for (std::size_t j = 0; j < ix.values.size(); ++j)
            if (ix.values[j] >= v.count) {
                add(ix.offset + 9 + j * width, zy::format("%s: index %zu is %u, past the %u vertices",
                                                          label(h).c_str(), j, ix.values[j], v.count));
                break;
            }
    }

    void checkShell(const Shell& s)
    {
        checkCategory(s);
        checkRef(s.control, "shell control");
        if (s.kind == Kind::ShellNode)
            checkGeometry(s, s.vertexFormat, s.vertices, s.indices);
    }

    void checkRenderItem(const RenderItem& r)
    {
        checkCategory(r);
        if (r.reserved != 0)
            add(r.materialOffset - 4, zy::format("%s: the reserved field before the material is not 0",
                                                 label(r).c_str()));
        const bool materialKnown = r.material < d_.root.materials.size();
        if (!materialKnown)
            add(r.materialOffset, zy::format("%s: material %u is past the %zu materials", label(r).c_str(),
                                             r.material, d_.root.materials.size()));
        if (isFakeLightKind(r.kind)) {
            checkFakeLights(r);
            return;
        }
        for (const NodeRef& bone : r.bones) {
            checkRef(bone, "bone");
            if (bone.index < d_.nodes.size() && !isBoneKind(d_.nodes[bone.index].kind))
                add(bone.offset, zy::format("%s: bone %u is a %s, not a bone", label(r).c_str(), bone.index,
                                            std::string(shortClassName(d_.nodes[bone.index].kind)).c_str()));
        }
        if (r.kind != Kind::SkinNode) {
            if (r.parts.empty())
                add(r.materialOffset + 4, zy::format("%s has no parts", label(r).c_str()));
            std::uint32_t start = 0;
            for (const Part& part : r.parts) {
                checkRef(part.control, "part control");
                if (part.end < start || part.end > r.indices.values.size())
                    add(part.control.offset + 4, zy::format("%s: part end %u is outside %u..%zu", label(r).c_str(),
                                                            part.end, start, r.indices.values.size()));
                start = std::max(start, part.end);
            }
            if (!r.parts.empty() && start != r.indices.values.size())
                add(r.materialOffset + 4, zy::format("%s: the parts cover %u of %zu indices", label(r).c_str(),
                                                     start, r.indices.values.size()));
        }
        const VertexFormat format = materialKnown ? d_.root.materials[r.material].vertexFormat : VertexFormat{};
        if (materialKnown)
            checkGeometry(r, format, r.vertices, r.indices);
    }

    void checkFakeLights(const RenderItem& r)
    {
        std::uint32_t start = 0;
        for (std::size_t c = 0; c < r.controls.size(); ++c) {
            const FakeControl& control = r.controls[c];
            checkRef(control.control, "fake-light control");
            if (control.end < start || control.end > r.lights.size())
                add(control.control.offset + 4, zy::format("%s: control %zu ends at light %u, outside %u..%zu",
                                                           label(r).c_str(), c, control.end, start,
                                                           r.lights.size()));
            for (std::uint32_t i = start; i < std::min<std::size_t>(control.end, r.lights.size()); ++i)
                if (r.lights[i].controlSlot != c) {
                    add(r.offset, zy::format("%s: light %u has control slot %u but lies in the run of control %zu",
                                             label(r).c_str(), i, r.lights[i].controlSlot, c));
                    break;
                }
            start = std::max(start, control.end);
        }
        if (start != r.lights.size())
            add(r.offset, zy::format("%s: the controls cover %u of %zu lights", label(r).c_str(), start,
                                     r.lights.size()));
        if (!isAnimatedFakeLightKind(r.kind))
            return;
        if (r.argument == -1)
            add(r.offset, zy::format("%s has no argument", label(r).c_str()));
        if (r.samplesPerLight != kFakeLightSamples || r.samples.size() != std::size_t(kFakeLightSamples) * r.lights.size())
            add(r.offset, zy::format("%s has %zu samples at %u per light for %zu lights (128 per light expected)",
                                     label(r).c_str(), r.samples.size(), r.samplesPerLight, r.lights.size()));
    }

    const Description& d_;
    std::vector<Problem> problems_;
};

} // namespace

std::vector<Problem> checkDescription(const Description& d) { return Checker(d).run(); }

std::vector<Problem> checkFile(std::span<const std::uint8_t> bytes)
{
    FileReader reader(bytes);
    Description d;
    try {
        d = reader.read();
    } catch (const zy::ExtException&) {
        return {Problem{reader.failureOffset(), reader.failureMessage()}};
    }
    return checkDescription(d);
}

} // namespace zym
