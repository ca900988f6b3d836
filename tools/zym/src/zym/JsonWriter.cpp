// Description -> JSON description.
#include <algorithm>
#include <cfloat>
#include <cstring>

#include "zym/DescriptionJson.h"
#include "zym/JsonNumbers.h"
#include "zym/Names.h"
#include "zym/NodePaths.h"

namespace zym {
namespace {

// Deeper trees would overflow the stack of the recursive JSON serialiser.
constexpr std::size_t kMaxJsonDepth = 1000;

std::uint32_t fnv1a(const void* data, std::size_t n, std::uint32_t hash = 2166136261u)
{
    const auto* bytes = static_cast<const unsigned char*>(data);
    for (std::size_t i = 0; i < n; ++i)
        hash = (hash ^ bytes[i]) * 16777619u;
    return hash;
}

template <class T>
Json summaryOf(const std::vector<T>& values)
{
    Json j;
    j["count"] = values.size();
    j["checksum"] = zy::format("%08x", fnv1a(values.data(), values.size() * sizeof(T)));
    return j;
}

template <std::size_t N>
Json floats(const std::array<float, N>& v, std::size_t n = N)
{
    Json j = Json::array();
    for (std::size_t i = 0; i < n; ++i)
        j.push_back(floatJson(v[i]));
    return j;
}

template <std::size_t N>
Json doubles(const std::array<double, N>& v)
{
    Json j = Json::array();
    for (double d : v)
        j.push_back(doubleJson(d));
    return j;
}

// A double that came from a float reads as the float's shortest form.
Json boxValue(double v)
{
    return double(float(v)) == v ? floatJson(float(v)) : doubleJson(v);
}

class JsonWriter {
public:
    JsonWriter(const Description& d, const DumpOptions& options)
        : d_(d), options_(options), paths_(nodePaths(d.nodes))
    {
    }

    Json run()
    {
        Json j;
        j["version"] = d_.version;
        Json root;
        header(root, d_.root, false);
        root["bounding_box"] = box(d_.root.boundingBox);
        root["user_box"] = box(d_.root.userBox);
        root["light_box"] = box(d_.root.lightBox);
        j["root"] = std::move(root);
        Json materials = Json::array();
        for (std::size_t i = 0; i < d_.root.materials.size(); ++i)
            materials.push_back(material(d_.root.materials[i], i));
        j["materials"] = std::move(materials);
        j["tree"] = tree();
        section(j, "connectors", d_.connectors, &JsonWriter::connector);
        section(j, "shells", d_.shells, &JsonWriter::shell);
        section(j, "lights", d_.lights, &JsonWriter::light);
        section(j, "render_nodes", d_.renderNodes, &JsonWriter::renderItem);
        return j;
    }

private:
    template <class T>
    void section(Json& j, const char* key, const std::vector<T>& items, Json (JsonWriter::*one)(const T&))
    {
        if (items.empty())
            return;
        Json list = Json::array();
        for (const T& item : items)
            list.push_back((this->*one)(item));
        j[key] = std::move(list);
    }

    static Json box(const Box& b)
    {
        bool empty = true;
        for (int c = 0; c < 3; ++c)
            empty = empty && b.min[c] == double(FLT_MAX) && b.max[c] == -double(FLT_MAX);
        if (empty)
            return "empty";
        Json j;
        j["min"] = {boxValue(b.min[0]), boxValue(b.min[1]), boxValue(b.min[2])};
        j["max"] = {boxValue(b.max[0]), boxValue(b.max[1]), boxValue(b.max[2])};
        return j;
    }

    void header(Json& j, const NodeHeader& h, bool withClass)
    {
        if (withClass)
            j["class"] = std::string(shortClassName(h.kind));
        j["name"] = h.name;
        if (!h.properties.empty())
            j["properties"] = properties(h.properties);
    }

    static Json properties(const std::vector<Property>& list)
    {
        Json j = Json::array();
        for (const Property& p : list)
            j.push_back(property(p));
        return j;
    }

    static Json componentValue(const Vec4f& v, int components)
    {
        return components == 1 ? floatJson(v[0]) : floats(v, components);
    }

    static Json property(const Property& p)
    {
        Json j;
        j["name"] = p.name;
        j["type"] = std::string(propertyTypeTag(p.type));
        const int components = propertyComponents(p.type);
        switch (p.type) {
        case PropertyType::UInt: j["value"] = p.uintValue; break;
        case PropertyType::String: j["value"] = p.text; break;
        case PropertyType::Argument: j["argument"] = p.argument; break;
        case PropertyType::Float:
        case PropertyType::Vec2f:
        case PropertyType::Vec3f:
        case PropertyType::Vec4f: j["value"] = componentValue(p.value, components); break;
        default: {
            j["argument"] = p.argument;
            Json keys = Json::array();
            for (const PropertyKey& k : p.keys)
                keys.push_back({doubleJson(k.time), componentValue(k.value, components)});
            j["keys"] = std::move(keys);
        }
        }
        return j;
    }

    static Json texture(const Texture& t)
    {
        Json j;
        j["name"] = t.name;
        j["code_a"] = t.codeA;
        j["address_u"] = t.addressU;
        j["address_v"] = t.addressV;
        j["code_b"] = t.codeB;
        j["code_c"] = t.codeC;
        j["matrix"] = floats(t.matrix);
        return j;
    }

    static Json material(const Material& m, std::size_t id)
    {
        Json j;
        j["id"] = id;
        j["name"] = m.name;
        j["material_name"] = m.materialName;
        j["blending"] = m.blending;
        j["depth_bias"] = m.depthBias != 0;
        j["shadows"] = {{"cast", (m.shadows & 1) != 0}, {"second", (m.shadows & 4) != 0}};
        j["vertex_format"] = m.vertexFormat;
        j["texture_coordinates"] = m.coordinateChannels;
        Json textures = Json::array();
        for (const Texture& t : m.textures) {
            Json tj;
            tj["slot"] = std::string(textureSlotName(t.slot));
            tj.update(texture(t));
            textures.push_back(std::move(tj));
        }
        j["textures"] = std::move(textures);
        j["uniforms"] = properties(m.uniforms);
        j["animated_uniforms"] = properties(m.animatedUniforms);
        if (m.billboard)
            j["billboard"] = {{"mode", m.billboard->mode}, {"value", m.billboard->value}};
        if (m.decal)
            j["decal"] = *m.decal;
        return j;
    }

    Json ref(const NodeRef& r) const
    {
        if (r.index < paths_.size() && !paths_[r.index].empty())
            return paths_[r.index];
        return r.index;
    }

    template <class T, class F>
    Json array(const std::vector<T>& list, F each)
    {
        Json j = Json::array();
        for (const T& item : list)
            j.push_back(each(item));
        return j;
    }

    template <class Key, class Value>
    static Json keys(const std::vector<std::pair<Key, Value>>& list)
    {
        Json j = Json::array();
        for (const auto& [time, value] : list)
            j.push_back({doubleJson(time), doubles(value)});
        return j;
    }

    Json treeNode(const TreeNode& n)
    {
        Json j;
        header(j, n, true);
        if (n.kind == Kind::BillboardNode) {
            j["billboard_mode"] = n.billboardMode;
            j["billboard_flag"] = n.billboardFlag;
        }
        if (hasMatrix(n.kind))
            j["matrix"] = doubles(n.matrix);
        if (n.kind == Kind::BillboardNode)
            j["billboard_axis"] = doubles(n.billboardAxis);
        if (isArgAnimationKind(n.kind)) {
            const ArgAnimation& a = n.animation;
            j["base_position"] = doubles(a.position);
            j["base_rotation"] = doubles(a.rotation);
            j["scale_orientation"] = doubles(a.scaleOrientation);
            j["base_scale"] = doubles(a.scale);
            j["position_tracks"] = array(a.positionTracks, [](const PositionTrack& t) {
                return Json{{"argument", t.argument}, {"keys", keys(t.keys)}};
            });
            j["rotation_tracks"] = array(a.rotationTracks, [](const RotationTrack& t) {
                return Json{{"argument", t.argument}, {"keys", keys(t.keys)}};
            });
            j["scale_tracks"] = array(a.scaleTracks, [](const ScaleTrack& t) {
                return Json{{"argument", t.argument},
                            {"orientation_keys", keys(t.orientationKeys)},
                            {"scale_keys", keys(t.scaleKeys)}};
            });
        }
        if (isBoneKind(n.kind))
            j["bone_matrix"] = doubles(n.boneMatrix);
        if (n.kind == Kind::IKBone)
            j["limits"] = doubles(n.limits);
        if (n.kind == Kind::ArgVisibilityNode)
            j["visibility_tracks"] = array(n.visibility, [](const VisibilityTrack& t) {
                Json ranges = Json::array();
                for (const auto& [start, end] : t.ranges)
                    ranges.push_back({doubleJson(start), doubleJson(end)});
                return Json{{"argument", t.argument}, {"ranges", std::move(ranges)}};
            });
        if (n.kind == Kind::LodNode) {
            Json ranges = Json::array();
            for (const auto& [from, to] : n.lodRanges)
                ranges.push_back({doubleJson(from), doubleJson(to)});
            j["lod_ranges"] = std::move(ranges);
        }
        return j;
    }

    // Nests the pre-order node list, without recursion.
    Json tree()
    {
        const std::size_t n = d_.nodes.size();
        if (n == 0)
            ZY_THROW("the file has no top node");
        std::vector<std::vector<std::uint32_t>> children(n);
        std::vector<std::size_t> depth(n, 0);
        for (std::uint32_t i = 1; i < n; ++i) {
            const std::int32_t parent = d_.nodes[i].parent;
            if (parent < 0 || std::uint32_t(parent) >= i)
                ZY_THROWF("node %u has parent index %d, not an earlier node", i, parent);
            children[parent].push_back(i);
            depth[i] = depth[parent] + 1;
            if (depth[i] > kMaxJsonDepth)
                ZY_THROWF("the tree is deeper than %zu levels", kMaxJsonDepth);
        }
        std::vector<Json> done(n);
        for (std::size_t i = n; i-- > 0;) {
            Json j = treeNode(d_.nodes[i]);
            if (!children[i].empty()) {
                Json list = Json::array();
                for (std::uint32_t c : children[i])
                    list.push_back(std::move(done[c]));
                j["children"] = std::move(list);
            }
            done[i] = std::move(j);
        }
        return std::move(done[0]);
    }

    Json connector(const Connector& c)
    {
        Json j;
        header(j, c, false);
        j["control"] = ref(c.control);
        j["connector_properties"] = properties(c.connectorProperties);
        return j;
    }

    Json light(const Light& l)
    {
        Json j;
        header(j, l, false);
        j["control"] = ref(l.control);
        if (l.type <= 1)
            j["type"] = l.type == 0 ? "omni" : "spot";
        else
            j["type"] = l.type;
        j["light_properties"] = properties(l.lightProperties);
        if (l.texture)
            j["texture"] = texture(*l.texture);
        return j;
    }

    Json vertices(const Vertices& v)
    {
        if (options_.summary && v.values.size() > kSummaryThreshold) {
            Json j = summaryOf(v.values);
            j["count"] = v.count;
            j["components"] = v.components;
            return j;
        }
        Json j = Json::array();
        for (std::uint32_t i = 0; i < v.count; ++i) {
            Json vertex = Json::array();
            for (std::uint32_t c = 0; c < v.components; ++c)
                vertex.push_back(floatJson(v.values[std::size_t(i) * v.components + c]));
            j.push_back(std::move(vertex));
        }
        return j;
    }

    Json indices(const Indices& ix)
    {
        Json j;
        j["primitive"] = ix.primitive;
        if (options_.summary && ix.values.size() > kSummaryThreshold)
            j["values"] = summaryOf(ix.values);
        else
            j["values"] = ix.values;
        return j;
    }

    Json shell(const Shell& s)
    {
        Json j;
        header(j, s, true);
        j["control"] = ref(s.control);
        if (s.kind == Kind::ShellNode) {
            j["vertex_format"] = s.vertexFormat;
            j["vertices"] = vertices(s.vertices);
            j["indices"] = indices(s.indices);
            return j;
        }
        if (options_.summary && s.segments.size() * 6 > kSummaryThreshold) {
            j["segments"] = summaryOf(s.segments);
            return j;
        }
        j["segments"] = array(s.segments, [](const std::pair<Vec3f, Vec3f>& seg) {
            Json p = floats(seg.first);
            for (float v : seg.second)
                p.push_back(floatJson(v));
            return p;
        });
        return j;
    }

    Json renderItem(const RenderItem& r)
    {
        Json j;
        header(j, r, true);
        j["material"] = r.material;
        if (isFakeLightKind(r.kind)) {
            fakeLights(j, r);
            return j;
        }
        if (r.kind == Kind::SkinNode) {
            j["bones"] = array(r.bones, [this](const NodeRef& b) { return ref(b); });
            j["argument"] = r.argument;
        } else {
            j["parts"] = array(r.parts, [&](const Part& p) {
                Json pj;
                pj["control"] = ref(p.control);
                pj["argument"] = p.argument;
                if (r.parts.size() != 1)
                    pj["end"] = p.end;
                if (r.kind == Kind::NumberNode)
                    pj["digits"] = array(p.digits, [](const std::array<std::uint8_t, 16>& d) {
                        std::int32_t a, c;
                        float b, e;
                        std::memcpy(&a, d.data(), 4);
                        std::memcpy(&b, d.data() + 4, 4);
                        std::memcpy(&c, d.data() + 8, 4);
                        std::memcpy(&e, d.data() + 12, 4);
                        return Json{a, floatJson(b), c, floatJson(e)};
                    });
                return pj;
            });
        }
        j["vertices"] = vertices(r.vertices);
        j["indices"] = indices(r.indices);
        return j;
    }

    void fakeLights(Json& j, const RenderItem& r)
    {
        const bool spot = isSpotFakeLightKind(r.kind);
        j["controls"] = array(r.controls, [&](const FakeControl& c) {
            Json cj;
            cj["control"] = ref(c.control);
            cj["end"] = c.end;
            if (spot)
                cj["direction"] = floats(c.direction);
            return cj;
        });
        j["lights"] = array(r.lights, [&](const FakeLight& l) {
            Json lj;
            lj["position"] = doubles(l.position);
            lj["uv_min"] = floats(l.uvMin);
            lj["uv_max"] = floats(l.uvMax);
            lj["size"] = floatJson(l.size);
            lj["control_slot"] = l.controlSlot;
            if (spot) {
                lj["back_uv_min"] = floats(l.backUvMin);
                lj["back_uv_max"] = floats(l.backUvMax);
                lj["back_used"] = l.backUsed;
            }
            return lj;
        });
        if (!isAnimatedFakeLightKind(r.kind))
            return;
        j["argument"] = r.argument;
        if (options_.summary && r.samples.size() > kSummaryThreshold) {
            j["samples"] = summaryOf(r.samples);
            return;
        }
        j["samples"] = array(r.samples, [](float s) { return floatJson(s); });
    }

    const Description& d_;
    DumpOptions options_;
    std::vector<std::string> paths_;
};

} // namespace

Json toJson(const Description& d, const DumpOptions& options) { return JsonWriter(d, options).run(); }

} // namespace zym
