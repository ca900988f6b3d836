// JSON description -> Description. Missing optional fields take the values a
// new object of the model library has, so hand-written descriptions stay short.
#include <cstring>
#include <limits>
#include <unordered_map>

#include "zym/DescriptionJson.h"
#include "zym/JsonNumbers.h"
#include "zym/Names.h"
#include "zym/NodePaths.h"

namespace zym {
namespace {

using Where = std::string;

[[noreturn]] void fail(const Where& where, const std::string& message)
{
    ZY_THROWF("%s: %s", where.empty() ? "(top)" : where.c_str(), message.c_str());
}

Where at(const Where& where, const char* key) { return where.empty() ? key : where + "." + key; }
Where at(const Where& where, std::size_t i) { return where + "[" + std::to_string(i) + "]"; }
Where at(const Where& where, int i) { return at(where, std::size_t(i)); }

const Json& field(const Json& obj, const char* key, const Where& where)
{
    if (!obj.is_object())
        fail(where, "an object is expected");
    const auto it = obj.find(key);
    if (it == obj.end())
        fail(where, std::string("the field \"") + key + "\" is missing");
    return *it;
}

const Json* optional(const Json& obj, const char* key)
{
    const auto it = obj.find(key);
    return it == obj.end() ? nullptr : &*it;
}

const Json& array(const Json& j, const Where& where)
{
    if (j.is_object() && j.contains("checksum"))
        fail(where, "a summarised array (from \"dump --summary\") cannot be built");
    if (!j.is_array())
        fail(where, "an array is expected");
    return j;
}

double number(const Json& j, const Where& where)
{
    double v = 0;
    if (!jsonToDouble(j, v))
        fail(where, "a number is expected");
    return v;
}

float f32(const Json& j, const Where& where) { return static_cast<float>(number(j, where)); }

template <class I>
I integer(const Json& j, const Where& where)
{
    if (!j.is_number_integer())
        fail(where, "an integer is expected");
    if (j.is_number_unsigned()) {
        const auto v = j.get<std::uint64_t>();
        if (v > std::uint64_t(std::numeric_limits<I>::max()))
            fail(where, "the integer is out of range");
        return static_cast<I>(v);
    }
    const auto v = j.get<std::int64_t>();
    if (v < std::int64_t(std::numeric_limits<I>::min()) || v > std::int64_t(std::numeric_limits<I>::max()))
        fail(where, "the integer is out of range");
    return static_cast<I>(v);
}

template <class I>
I integerOr(const Json& obj, const char* key, I fallback, const Where& where)
{
    const Json* j = optional(obj, key);
    return j ? integer<I>(*j, at(where, key)) : fallback;
}

bool boolean(const Json& j, const Where& where)
{
    if (!j.is_boolean())
        fail(where, "true or false is expected");
    return j.get<bool>();
}

std::string text(const Json& j, const Where& where)
{
    if (!j.is_string())
        fail(where, "a string is expected");
    return j.get<std::string>();
}

std::string textOr(const Json& obj, const char* key, const Where& where)
{
    const Json* j = optional(obj, key);
    return j ? text(*j, at(where, key)) : std::string();
}

template <class T, std::size_t N, class Convert>
std::array<T, N> fixed(const Json& j, const Where& where, Convert convert)
{
    if (!j.is_array() || j.size() != N)
        fail(where, "an array of " + std::to_string(N) + " values is expected");
    std::array<T, N> out;
    for (std::size_t i = 0; i < N; ++i)
        out[i] = convert(j[i], at(where, i));
    return out;
}

template <std::size_t N>
std::array<float, N> floats(const Json& j, const Where& where)
{
    return fixed<float, N>(j, where, f32);
}

template <std::size_t N>
std::array<double, N> doubles(const Json& j, const Where& where)
{
    return fixed<double, N>(j, where, number);
}

template <std::size_t N>
std::array<double, N> doublesOr(const Json& obj, const char* key, std::array<double, N> fallback, const Where& where)
{
    const Json* j = optional(obj, key);
    return j ? doubles<N>(*j, at(where, key)) : fallback;
}

Vec4f componentValue(const Json& j, int components, const Where& where)
{
    Vec4f v{};
    if (components == 1) {
        v[0] = f32(j, where);
        return v;
    }
    if (!j.is_array() || j.size() != std::size_t(components))
        fail(where, "an array of " + std::to_string(components) + " numbers is expected");
    for (int c = 0; c < components; ++c)
        v[c] = f32(j[c], at(where, c));
    return v;
}

Property property(const Json& j, const Where& where)
{
    Property p;
    const std::string tag = text(field(j, "type", where), at(where, "type"));
    const std::optional<PropertyType> type = propertyTypeFromTag(tag);
    if (!type)
        fail(at(where, "type"), "unknown property type \"" + tag + "\"");
    p.type = *type;
    p.name = textOr(j, "name", where);
    const int components = propertyComponents(p.type);
    switch (p.type) {
    case PropertyType::UInt: p.uintValue = integer<std::uint32_t>(field(j, "value", where), at(where, "value")); break;
    case PropertyType::String: p.text = text(field(j, "value", where), at(where, "value")); break;
    case PropertyType::Argument:
        p.argument = integer<std::int32_t>(field(j, "argument", where), at(where, "argument"));
        break;
    case PropertyType::Float:
    case PropertyType::Vec2f:
    case PropertyType::Vec3f:
    case PropertyType::Vec4f:
        p.value = componentValue(field(j, "value", where), components, at(where, "value"));
        break;
    default: {
        p.argument = integer<std::int32_t>(field(j, "argument", where), at(where, "argument"));
        const Where w = at(where, "keys");
        const Json& keys = array(field(j, "keys", where), w);
        for (std::size_t i = 0; i < keys.size(); ++i) {
            const Where kw = at(w, i);
            if (!keys[i].is_array() || keys[i].size() != 2)
                fail(kw, "a key is [time, value]");
            p.keys.push_back(PropertyKey{number(keys[i][0], at(kw, 0)),
                                         componentValue(keys[i][1], components, at(kw, 1))});
        }
    }
    }
    return p;
}

std::vector<Property> properties(const Json& obj, const char* key, const Where& where)
{
    std::vector<Property> out;
    const Json* j = optional(obj, key);
    if (!j)
        return out;
    const Where w = at(where, key);
    for (std::size_t i = 0; i < array(*j, w).size(); ++i)
        out.push_back(property((*j)[i], at(w, i)));
    return out;
}

Texture texture(const Json& j, const Where& where)
{
    Texture t;
    t.name = text(field(j, "name", where), at(where, "name"));
    t.codeA = integerOr<std::int32_t>(j, "code_a", t.codeA, where);
    t.addressU = integerOr<std::int32_t>(j, "address_u", t.addressU, where);
    t.addressV = integerOr<std::int32_t>(j, "address_v", t.addressV, where);
    t.codeB = integerOr<std::int32_t>(j, "code_b", t.codeB, where);
    t.codeC = integerOr<std::int32_t>(j, "code_c", t.codeC, where);
    if (const Json* m = optional(j, "matrix"))
        t.matrix = floats<16>(*m, at(where, "matrix"));
    return t;
}

VertexFormat vertexFormat(const Json& obj, const Where& where)
{
    const Json* j = optional(obj, "vertex_format");
    if (!j)
        return VertexFormat{};
    return fixed<std::uint8_t, 26>(*j, at(where, "vertex_format"), integer<std::uint8_t>);
}

Material material(const Json& j, const Where& where)
{
    Material m;
    m.name = textOr(j, "name", where);
    m.materialName = textOr(j, "material_name", where);
    m.blending = integerOr<std::uint8_t>(j, "blending", 0, where);
    if (const Json* b = optional(j, "depth_bias"))
        m.depthBias = boolean(*b, at(where, "depth_bias")) ? 1 : 0;
    if (const Json* s = optional(j, "shadows")) {
        const Where w = at(where, "shadows");
        const Json* cast = optional(*s, "cast");
        const Json* second = optional(*s, "second");
        m.shadows = static_cast<std::uint8_t>((!cast || boolean(*cast, at(w, "cast")) ? 1 : 0) |
                                              (second && boolean(*second, at(w, "second")) ? 4 : 0));
    }
    m.vertexFormat = vertexFormat(j, where);
    if (const Json* c = optional(j, "texture_coordinates"))
        m.coordinateChannels = fixed<std::int32_t, kCoordinateSlots>(*c, at(where, "texture_coordinates"),
                                                                     integer<std::int32_t>);
    if (const Json* textures = optional(j, "textures")) {
        const Where w = at(where, "textures");
        for (std::size_t i = 0; i < array(*textures, w).size(); ++i) {
            const Json& tj = (*textures)[i];
            const Where tw = at(w, i);
            const Json& slot = field(tj, "slot", tw);
            Texture t = texture(tj, tw);
            if (slot.is_string()) {
                const std::optional<std::size_t> s = textureSlotFromName(slot.get<std::string>());
                if (!s)
                    fail(at(tw, "slot"), "unknown texture slot \"" + slot.get<std::string>() + "\"");
                t.slot = static_cast<std::uint32_t>(*s);
            } else {
                t.slot = integer<std::uint32_t>(slot, at(tw, "slot"));
                if (t.slot >= kTextureSlots)
                    fail(at(tw, "slot"), "texture slots are numbered 0 to 16");
            }
            m.textures.push_back(std::move(t));
        }
    }
    m.uniforms = properties(j, "uniforms", where);
    m.animatedUniforms = properties(j, "animated_uniforms", where);
    if (const Json* b = optional(j, "billboard")) {
        const Where w = at(where, "billboard");
        m.billboard = Billboard{integerOr<std::uint8_t>(*b, "mode", 0, w), integerOr<std::uint8_t>(*b, "value", 6, w)};
    }
    if (const Json* d = optional(j, "decal"))
        m.decal = integer<std::uint8_t>(*d, at(where, "decal"));
    m.keyCount = 10 + (m.billboard ? 1 : 0) + (m.decal ? 1 : 0);
    return m;
}

Box box(const Json& obj, const char* key, const Where& where)
{
    const float big = std::numeric_limits<float>::max();
    Box b{{big, big, big}, {-big, -big, -big}};
    const Json* j = optional(obj, key);
    const Where w = at(where, key);
    if (!j || (j->is_string() && j->get<std::string>() == "empty"))
        return b;
    const Vec3f min = floats<3>(field(*j, "min", w), at(w, "min"));
    const Vec3f max = floats<3>(field(*j, "max", w), at(w, "max"));
    for (int c = 0; c < 3; ++c) {
        b.min[c] = min[c];
        b.max[c] = max[c];
    }
    return b;
}

template <class Key, std::size_t N>
std::vector<std::pair<double, std::array<double, N>>> trackKeys(const Json& obj, const char* key, const Where& where)
{
    std::vector<std::pair<double, std::array<double, N>>> out;
    const Json* j = optional(obj, key);
    if (!j)
        return out;
    const Where w = at(where, key);
    for (std::size_t i = 0; i < array(*j, w).size(); ++i) {
        const Where kw = at(w, i);
        if (!(*j)[i].is_array() || (*j)[i].size() != 2)
            fail(kw, "a key is [time, value]");
        out.emplace_back(number((*j)[i][0], at(kw, 0)), doubles<N>((*j)[i][1], at(kw, 1)));
    }
    return out;
}

template <class F>
void each(const Json& obj, const char* key, const Where& where, F f)
{
    const Json* j = optional(obj, key);
    if (!j)
        return;
    const Where w = at(where, key);
    for (std::size_t i = 0; i < array(*j, w).size(); ++i)
        f((*j)[i], at(w, i));
}

std::vector<std::pair<double, double>> ranges(const Json& obj, const char* key, const Where& where)
{
    std::vector<std::pair<double, double>> out;
    each(obj, key, where, [&](const Json& r, const Where& w) {
        const auto pair = doubles<2>(r, w);
        out.emplace_back(pair[0], pair[1]);
    });
    return out;
}

class JsonReader {
public:
    explicit JsonReader(const Json& j) : j_(j) {}

    Description run()
    {
        if (!j_.is_object())
            fail("", "the description is a JSON object");
        d_.version = integerOr<std::uint16_t>(j_, "version", kFormatVersion, "");
        const Json& root = field(j_, "root", "");
        header(d_.root, root, "root", Kind::RootNode);
        d_.root.boundingBox = box(root, "bounding_box", "root");
        d_.root.userBox = box(root, "user_box", "root");
        d_.root.lightBox = box(root, "light_box", "root");
        each(j_, "materials", "", [&](const Json& m, const Where& w) {
            const Json& id = field(m, "id", w);
            if (!materialIds_.emplace(id.dump(), d_.root.materials.size()).second)
                fail(at(w, "id"), "the material id " + id.dump() + " is used twice");
            d_.root.materials.push_back(material(m, w));
        });
        tree(field(j_, "tree", ""));
        const std::vector<std::string> paths = nodePaths(d_.nodes);
        for (std::size_t i = 0; i < paths.size(); ++i)
            if (!paths[i].empty())
                paths_.emplace(paths[i], static_cast<std::uint32_t>(i));
        each(j_, "connectors", "", [&](const Json& c, const Where& w) { d_.connectors.push_back(connector(c, w)); });
        each(j_, "shells", "", [&](const Json& s, const Where& w) { d_.shells.push_back(shell(s, w)); });
        each(j_, "lights", "", [&](const Json& l, const Where& w) { d_.lights.push_back(light(l, w)); });
        each(j_, "render_nodes", "", [&](const Json& r, const Where& w) { d_.renderNodes.push_back(renderItem(r, w)); });
        return std::move(d_);
    }

private:
    Kind kindOf(const Json& j, const Where& where, Kind fallback, bool (*allowed)(Kind))
    {
        const Json* cls = optional(j, "class");
        if (!cls)
            return fallback;
        const std::string name = text(*cls, at(where, "class"));
        std::optional<Kind> kind = kindFromShortName(name);
        if (!kind)
            kind = kindFromClassName(name);
        if (!kind || !allowed(*kind))
            fail(at(where, "class"), "\"" + name + "\" is not a class that can stand here");
        return *kind;
    }

    void header(NodeHeader& h, const Json& j, const Where& where, Kind kind)
    {
        if (!j.is_object())
            fail(where, "an object is expected");
        h.kind = kind;
        h.name = textOr(j, "name", where);
        h.properties = properties(j, "properties", where);
    }

    NodeRef ref(const Json& j, const Where& where)
    {
        if (j.is_string()) {
            const auto it = paths_.find(j.get<std::string>());
            if (it == paths_.end())
                fail(where, "no node has the path \"" + j.get<std::string>() +
                                "\" (a node whose path is ambiguous is referred to by its index)");
            return NodeRef{it->second, 0};
        }
        return NodeRef{integer<std::uint32_t>(j, where), 0};
    }

    // Flattens the nested tree into pre-order, without recursion.
    void tree(const Json& top)
    {
        struct Pending {
            const Json* json;
            std::int32_t parent;
            Where where;
        };
        std::vector<Pending> stack{{&top, -1, "tree"}};
        while (!stack.empty()) {
            Pending p = std::move(stack.back());
            stack.pop_back();
            const auto index = static_cast<std::int32_t>(d_.nodes.size());
            d_.nodes.push_back(treeNode(*p.json, p.where));
            d_.nodes.back().parent = p.parent;
            if (const Json* children = optional(*p.json, "children")) {
                const Where w = at(p.where, "children");
                for (std::size_t i = array(*children, w).size(); i-- > 0;)
                    stack.push_back({&(*children)[i], index, at(w, i)});
            }
        }
    }

    TreeNode treeNode(const Json& j, const Where& where)
    {
        TreeNode n;
        header(n, j, where, kindOf(j, where, Kind::Node, isTreeKind));
        if (const Json* m = optional(j, "matrix"); m && hasMatrix(n.kind))
            n.matrix = doubles<16>(*m, at(where, "matrix"));
        if (isArgAnimationKind(n.kind)) {
            ArgAnimation& a = n.animation;
            a.position = doublesOr<3>(j, "base_position", a.position, where);
            a.rotation = doublesOr<4>(j, "base_rotation", a.rotation, where);
            a.scaleOrientation = doublesOr<4>(j, "scale_orientation", a.scaleOrientation, where);
            a.scale = doublesOr<3>(j, "base_scale", a.scale, where);
            each(j, "position_tracks", where, [&](const Json& t, const Where& w) {
                a.positionTracks.push_back({trackArgument(t, w), trackKeys<Vec3d, 3>(t, "keys", w)});
            });
            each(j, "rotation_tracks", where, [&](const Json& t, const Where& w) {
                a.rotationTracks.push_back({trackArgument(t, w), trackKeys<Quatd, 4>(t, "keys", w)});
            });
            each(j, "scale_tracks", where, [&](const Json& t, const Where& w) {
                a.scaleTracks.push_back({trackArgument(t, w), trackKeys<Quatd, 4>(t, "orientation_keys", w),
                                         trackKeys<Vec3d, 3>(t, "scale_keys", w)});
            });
        }
        if (isBoneKind(n.kind))
            n.boneMatrix = doublesOr<16>(j, "bone_matrix", kIdentity, where);
        if (n.kind == Kind::IKBone) {
            constexpr double pi = 3.14159265358979323846;
            n.limits = doublesOr<6>(j, "limits", {-pi, pi, -pi / 2, pi / 2, -pi, pi}, where);
        }
        if (n.kind == Kind::ArgVisibilityNode)
            each(j, "visibility_tracks", where, [&](const Json& t, const Where& w) {
                n.visibility.push_back({trackArgument(t, w), ranges(t, "ranges", w)});
            });
        if (n.kind == Kind::LodNode)
            n.lodRanges = ranges(j, "lod_ranges", where);
        if (n.kind == Kind::BillboardNode) {
            n.billboardMode = integerOr<std::uint8_t>(j, "billboard_mode", 0, where);
            n.billboardFlag = integerOr<std::uint8_t>(j, "billboard_flag", 0, where);
            n.billboardAxis = doublesOr<3>(j, "billboard_axis", n.billboardAxis, where);
        }
        return n;
    }

    static std::int32_t trackArgument(const Json& t, const Where& w)
    {
        return integer<std::int32_t>(field(t, "argument", w), at(w, "argument"));
    }

    Connector connector(const Json& j, const Where& where)
    {
        Connector c;
        header(c, j, where, kindOf(j, where, Kind::Connector, [](Kind k) { return k == Kind::Connector; }));
        c.control = ref(field(j, "control", where), at(where, "control"));
        c.connectorProperties = properties(j, "connector_properties", where);
        return c;
    }

    Light light(const Json& j, const Where& where)
    {
        Light l;
        header(l, j, where, kindOf(j, where, Kind::LightNode, [](Kind k) { return k == Kind::LightNode; }));
        l.control = ref(field(j, "control", where), at(where, "control"));
        if (const Json* type = optional(j, "type")) {
            if (type->is_string()) {
                const std::string t = type->get<std::string>();
                if (t != "omni" && t != "spot")
                    fail(at(where, "type"), "a light is \"omni\" or \"spot\"");
                l.type = t == "omni" ? 0 : 1;
            } else {
                l.type = integer<std::uint8_t>(*type, at(where, "type"));
            }
        }
        if (optional(j, "light_properties")) {
            l.lightProperties = properties(j, "light_properties", where);
        } else {
            // The seven slots of a new light.
            l.lightProperties.resize(7);
            l.lightProperties[0].type = PropertyType::Vec3f;
            l.lightProperties[5].value[0] = 1.0f;
        }
        if (const Json* t = optional(j, "texture"))
            l.texture = texture(*t, at(where, "texture"));
        return l;
    }

    Vertices vertices(const Json& obj, const Where& where)
    {
        Vertices v;
        const Json* j = optional(obj, "vertices");
        if (!j)
            return v;
        const Where w = at(where, "vertices");
        v.count = static_cast<std::uint32_t>(array(*j, w).size());
        for (std::size_t i = 0; i < j->size(); ++i) {
            const Where vw = at(w, i);
            const Json& vertex = array((*j)[i], vw);
            if (i == 0)
                v.components = static_cast<std::uint32_t>(vertex.size());
            else if (vertex.size() != v.components)
                fail(vw, "every vertex has " + std::to_string(v.components) + " components");
            for (std::size_t c = 0; c < vertex.size(); ++c)
                v.values.push_back(f32(vertex[c], at(vw, c)));
        }
        return v;
    }

    Indices indices(const Json& obj, const Where& where)
    {
        Indices ix;
        const Json* j = optional(obj, "indices");
        if (!j)
            return ix;
        const Where w = at(where, "indices");
        ix.primitive = integerOr<std::uint32_t>(*j, "primitive", 5, w);
        each(*j, "values", w, [&](const Json& v, const Where& vw) { ix.values.push_back(integer<std::uint32_t>(v, vw)); });
        return ix;
    }

    Shell shell(const Json& j, const Where& where)
    {
        Shell s;
        header(s, j, where, kindOf(j, where, Kind::ShellNode, isShellKind));
        s.control = ref(field(j, "control", where), at(where, "control"));
        if (s.kind == Kind::ShellNode) {
            s.vertexFormat = vertexFormat(j, where);
            s.vertices = vertices(j, where);
            s.indices = indices(j, where);
        } else {
            each(j, "segments", where, [&](const Json& seg, const Where& w) {
                const auto v = floats<6>(seg, w);
                s.segments.push_back({{v[0], v[1], v[2]}, {v[3], v[4], v[5]}});
            });
        }
        return s;
    }

    RenderItem renderItem(const Json& j, const Where& where)
    {
        RenderItem r;
        header(r, j, where, kindOf(j, where, Kind::RenderNode, isRenderKind));
        const Json& id = field(j, "material", where);
        const auto material = materialIds_.find(id.dump());
        if (material == materialIds_.end())
            fail(at(where, "material"), "no material has the id " + id.dump());
        r.material = static_cast<std::uint32_t>(material->second);
        if (isFakeLightKind(r.kind)) {
            fakeLights(r, j, where);
            return r;
        }
        if (r.kind == Kind::SkinNode) {
            each(j, "bones", where, [&](const Json& b, const Where& w) { r.bones.push_back(ref(b, w)); });
            r.argument = integerOr<std::int32_t>(j, "argument", -1, where);
        } else {
            each(j, "parts", where, [&](const Json& p, const Where& w) {
                Part part;
                part.control = ref(field(p, "control", w), at(w, "control"));
                part.argument = integerOr<std::int32_t>(p, "argument", -1, w);
                part.end = integerOr<std::uint32_t>(p, "end", 0, w);
                each(p, "digits", w, [&](const Json& digit, const Where& dw) {
                    if (!digit.is_array() || digit.size() != 4)
                        fail(dw, "a digit entry is [integer, number, integer, number]");
                    const std::int32_t a = integer<std::int32_t>(digit[0], at(dw, 0));
                    const float b = f32(digit[1], at(dw, 1));
                    const std::int32_t c = integer<std::int32_t>(digit[2], at(dw, 2));
                    const float e = f32(digit[3], at(dw, 3));
                    std::array<std::uint8_t, 16> bytes;
                    std::memcpy(bytes.data(), &a, 4);
                    std::memcpy(bytes.data() + 4, &b, 4);
                    std::memcpy(bytes.data() + 8, &c, 4);
                    std::memcpy(bytes.data() + 12, &e, 4);
                    part.digits.push_back(bytes);
                });
                r.parts.push_back(std::move(part));
            });
            if (r.parts.empty())
                fail(where, "a render node has at least one part");
        }
        r.vertices = vertices(j, where);
        r.indices = indices(j, where);
        if (r.parts.size() == 1)
            r.parts[0].end = static_cast<std::uint32_t>(r.indices.values.size());
        return r;
    }

    void fakeLights(RenderItem& r, const Json& j, const Where& where)
    {
        const bool spot = isSpotFakeLightKind(r.kind);
        bool endsGiven = false;
        each(j, "controls", where, [&](const Json& c, const Where& w) {
            FakeControl control;
            control.control = ref(field(c, "control", w), at(w, "control"));
            if (const Json* end = optional(c, "end")) {
                control.end = integer<std::uint32_t>(*end, at(w, "end"));
                endsGiven = true;
            }
            if (spot)
                if (const Json* d = optional(c, "direction"))
                    control.direction = floats<3>(*d, at(w, "direction"));
            r.controls.push_back(control);
        });
        each(j, "lights", where, [&](const Json& l, const Where& w) {
            FakeLight light;
            light.position = doubles<3>(field(l, "position", w), at(w, "position"));
            if (const Json* v = optional(l, "uv_min"))
                light.uvMin = floats<2>(*v, at(w, "uv_min"));
            if (const Json* v = optional(l, "uv_max"))
                light.uvMax = floats<2>(*v, at(w, "uv_max"));
            if (const Json* v = optional(l, "size"))
                light.size = f32(*v, at(w, "size"));
            light.controlSlot = integerOr<std::uint32_t>(l, "control_slot", 0, w);
            if (spot) {
                if (const Json* v = optional(l, "back_uv_min"))
                    light.backUvMin = floats<2>(*v, at(w, "back_uv_min"));
                if (const Json* v = optional(l, "back_uv_max"))
                    light.backUvMax = floats<2>(*v, at(w, "back_uv_max"));
                if (const Json* v = optional(l, "back_used"))
                    light.backUsed = boolean(*v, at(w, "back_used"));
            }
            r.lights.push_back(light);
        });
        if (!endsGiven) {
            // Each control's run ends behind the lights of its slot and of the slots before it.
            std::vector<std::uint32_t> perSlot(r.controls.size(), 0);
            for (const FakeLight& l : r.lights)
                if (l.controlSlot < perSlot.size())
                    ++perSlot[l.controlSlot];
            std::uint32_t end = 0;
            for (std::size_t c = 0; c < r.controls.size(); ++c)
                r.controls[c].end = end += perSlot[c];
        }
        if (isAnimatedFakeLightKind(r.kind)) {
            r.argument = integer<std::int32_t>(field(j, "argument", where), at(where, "argument"));
            each(j, "samples", where, [&](const Json& s, const Where& w) { r.samples.push_back(f32(s, w)); });
        }
    }

    const Json& j_;
    Description d_;
    std::unordered_map<std::string, std::size_t> materialIds_;
    std::unordered_map<std::string, std::uint32_t> paths_;
};

} // namespace

Description fromJson(const Json& j) { return JsonReader(j).run(); }

} // namespace zym
