#include "zym/FileReader.h"

#include <array>
#include <fstream>
#include <iterator>
#include <string_view>

#include "zym/Names.h"
#include "zym/Utf8.h"

namespace zym {
namespace {

constexpr std::size_t kMinPropertySize = 12;   // class, name, one u32
constexpr std::size_t kMinRecordSize = 16;     // class, empty name, category, no properties
constexpr std::size_t kTextureSize = 4 * 6 + 64;
constexpr std::size_t kOmniLightSize = 24 + 8 + 8 + 4 + 4;
constexpr std::size_t kSpotLightSize = kOmniLightSize + 8 + 8 + 1;

const std::array<std::string_view, 4> kSectionNames{"CONNECTORS", "SHELL_NODES", "LIGHT_NODES",
                                                    "RENDER_NODES"};

// Material keys in the order they are written; the last two are optional.
const std::array<std::string_view, 12> kMaterialKeys{
    "BLENDING", "DEPTH_BIAS", "VERTEX_FORMAT", "TEXTURE_COORDINATES_CHANNELS",
    "MATERIAL_NAME", "NAME", "SHADOWS", "TEXTURES", "UNIFORMS", "ANIMATED_UNIFORMS",
    "BILLBOARD", "DECAL"};
constexpr std::size_t kMandatoryMaterialKeys = 10;

bool isRootKind(Kind kind) { return kind == Kind::RootNode; }
bool isConnectorKind(Kind kind) { return kind == Kind::Connector; }
bool isLightKind(Kind kind) { return kind == Kind::LightNode; }

} // namespace

Description FileReader::read()
{
    Description d;
    const std::string_view magic = in_.bytes(3);
    if (magic != "ZYM")
        in_.fail(0, "not a ZYM file (the first three bytes are not \"ZYM\")");
    const std::size_t versionAt = in_.tell();
    d.version = in_.u16();
    if (d.version != kFormatVersion)
        in_.fail(versionAt, zy::format("format version %u is not supported (only %u is)",
                                       d.version, kFormatVersion));
    readStringPool();
    const std::size_t reservedAt = in_.tell();
    d.reservedHeader = in_.u64();
    if (d.reservedHeader != 0)
        in_.fail(reservedAt, "the eight bytes behind the string pool are not zero");
    readRoot(d.root);

    d.nodeCountOffset = in_.tell();
    const std::uint32_t n = in_.count(kMinRecordSize + 4, "node");
    d.nodes.reserve(n);
    for (std::uint32_t i = 0; i < n; ++i)
        d.nodes.push_back(readTreeNode());
    for (TreeNode& node : d.nodes) {
        node.parentOffset = in_.tell();
        node.parent = in_.i32();
    }
    readSections(d);
    if (!in_.atEnd())
        in_.fail(in_.tell(), zy::format("%zu bytes follow the last section", in_.left()));
    d.invalidTextOffset = invalidTextOffset_;
    return d;
}

void FileReader::readStringPool()
{
    const std::size_t at = in_.tell();
    const std::uint32_t length = in_.count(1, "string pool byte");
    const std::string_view pool = in_.bytes(length);
    if (!pool.empty() && pool.back() != '\0')
        in_.fail(at, "the string pool does not end with a NUL byte");
    std::size_t start = 0;
    const std::size_t poolAt = at + 4;
    while (start < pool.size()) {
        const std::size_t end = pool.find('\0', start);
        pool_.emplace_back(pool.substr(start, end - start));
        noteText(pool_.back(), poolAt + start);
        start = end + 1;
    }
}

const std::string& FileReader::string(const char* what)
{
    const std::size_t at = in_.tell();
    const std::uint32_t index = in_.u32();
    if (index >= pool_.size())
        in_.fail(at, zy::format("%s: string index %u is past the string pool (%zu strings)", what,
                                index, pool_.size()));
    return pool_[index];
}

void FileReader::noteText(std::string_view text, std::size_t offset)
{
    if (!invalidTextOffset_ && !isValidUtf8(text))
        invalidTextOffset_ = offset;
}

std::string FileReader::nodeName()
{
    const std::size_t at = in_.tell();
    const std::uint32_t length = in_.count(1, "node name byte");
    std::string name(in_.bytes(length));
    noteText(name, at);
    return name;
}

Kind FileReader::recordClass(const char* where, bool (*allowed)(Kind))
{
    const std::size_t at = in_.tell();
    const std::string& name = string("record class name");
    const std::optional<Kind> kind = kindFromClassName(name);
    if (!kind)
        in_.fail(at, zy::format("unknown record class \"%s\"", name.c_str()));
    if (!allowed(*kind))
        in_.fail(at, zy::format("a \"%s\" record cannot stand in %s", name.c_str(), where));
    return *kind;
}

void FileReader::readHeader(NodeHeader& header, const char* where, bool (*allowed)(Kind))
{
    header.offset = in_.tell();
    header.kind = recordClass(where, allowed);
    header.name = nodeName();
    header.category = in_.u32();
    readProperties(header.properties, "property");
}

void FileReader::readProperties(std::vector<Property>& out, const char* what)
{
    const std::uint32_t n = in_.count(kMinPropertySize, what);
    out.reserve(n);
    for (std::uint32_t i = 0; i < n; ++i)
        out.push_back(readProperty());
}

Property FileReader::readProperty()
{
    Property p;
    p.offset = in_.tell();
    const std::string& cls = string("property class name");
    const std::optional<PropertyType> type = propertyTypeFromClassName(cls);
    if (!type)
        in_.fail(p.offset, zy::format("unknown property class \"%s\"", cls.c_str()));
    p.type = *type;
    p.name = string("property name");
    const int components = propertyComponents(p.type);
    switch (p.type) {
    case PropertyType::UInt: p.uintValue = in_.u32(); break;
    case PropertyType::String: p.text = string("string property value"); break;
    case PropertyType::Argument: p.argument = in_.i32(); break;
    case PropertyType::Float:
    case PropertyType::Vec2f:
    case PropertyType::Vec3f:
    case PropertyType::Vec4f:
        for (int c = 0; c < components; ++c)
            p.value[c] = in_.f32();
        break;
    default: {
        p.argument = in_.i32();
        const std::uint32_t keys = in_.count(8 + 4 * components, "property key");
        p.keys.resize(keys);
        for (PropertyKey& key : p.keys) {
            key.time = in_.f64();
            for (int c = 0; c < components; ++c)
                key.value[c] = in_.f32();
        }
    }
    }
    return p;
}

NodeRef FileReader::nodeRef()
{
    NodeRef ref;
    ref.offset = in_.tell();
    ref.index = in_.u32();
    return ref;
}

Mat4d FileReader::mat4d()
{
    Mat4d m;
    for (double& v : m)
        v = in_.f64();
    return m;
}

Vec3d FileReader::vec3d()
{
    Vec3d v;
    for (double& c : v)
        c = in_.f64();
    return v;
}

Quatd FileReader::quatd()
{
    Quatd q;
    for (double& c : q)
        c = in_.f64();
    return q;
}

Vec2f FileReader::vec2f() { return {in_.f32(), in_.f32()}; }

Vec3f FileReader::vec3f()
{
    Vec3f v;
    for (float& c : v)
        c = in_.f32();
    return v;
}

void FileReader::readRoot(RootRecord& root)
{
    readHeader(root, "the root record", isRootKind);
    root.boxesOffset = in_.tell();
    for (Box* box : {&root.boundingBox, &root.userBox, &root.lightBox}) {
        box->min = vec3d();
        box->max = vec3d();
    }
    const std::uint32_t m = in_.count(4, "material");
    root.materials.reserve(m);
    for (std::uint32_t i = 0; i < m; ++i)
        root.materials.push_back(readMaterial(i + 1 == m));
    root.reserved = in_.u32();
    root.argumentCountOffset = in_.tell();
    root.argumentCount = in_.u32();
}

Texture FileReader::readTexture()
{
    Texture t;
    t.codeA = in_.i32();
    t.name = string("texture name");
    t.addressU = in_.i32();
    t.addressV = in_.i32();
    t.codeB = in_.i32();
    t.codeC = in_.i32();
    for (float& v : t.matrix)
        v = in_.f32();
    return t;
}

VertexFormat FileReader::readVertexFormat()
{
    const std::size_t at = in_.tell();
    const std::uint32_t n = in_.u32();
    if (n != 26)
        in_.fail(at, zy::format("a vertex format has 26 channels, not %u", n));
    VertexFormat f;
    for (std::uint8_t& c : f)
        c = in_.u8();
    return f;
}

Material FileReader::readMaterial(bool last)
{
    Material m;
    m.offset = in_.tell();
    m.keyCount = in_.count(5, "material key");
    if (m.keyCount < kMandatoryMaterialKeys || m.keyCount > kMaterialKeys.size())
        in_.fail(m.offset, zy::format("material key count %u is not %zu to %zu", m.keyCount, kMandatoryMaterialKeys,
                                      kMaterialKeys.size()));
    std::size_t next = 0; // position in kMaterialKeys of the next key allowed
    for (std::uint32_t i = 0; i < m.keyCount; ++i) {
        const std::size_t keyAt = in_.tell();
        const std::uint32_t index = in_.u32();
        const std::string_view key = index < pool_.size() ? std::string_view(pool_[index]) : "";
        std::size_t k = next;
        while (k < kMaterialKeys.size() && kMaterialKeys[k] != key)
            ++k;
        // A key out of order, unknown or missing means the count does not describe the entries.
        if (k == kMaterialKeys.size() || (k != next && next < kMandatoryMaterialKeys))
            in_.fail(m.offset, zy::format("material key count %u does not match the material's entries: "
                                          "entry %u at byte %zu is not the key that must follow",
                                          m.keyCount, i, keyAt));
        next = k + 1;
        switch (k) {
        case 0: m.blending = in_.u8(); break;
        case 1: m.depthBias = in_.u32(); break;
        case 2: m.vertexFormat = readVertexFormat(); break;
        case 3: {
            const std::size_t at = in_.tell();
            const std::uint32_t n = in_.u32();
            if (n != kCoordinateSlots)
                in_.fail(at, zy::format("a material has 13 texture coordinate slots, not %u", n));
            for (std::int32_t& c : m.coordinateChannels)
                c = in_.i32();
            break;
        }
        case 4: m.materialName = string("material shader name"); break;
        case 5: m.name = string("material name"); break;
        case 6: m.shadows = in_.u8(); break;
        case 7: {
            const std::uint32_t n = in_.count(4 + kTextureSize, "texture");
            m.textures.reserve(n);
            for (std::uint32_t t = 0; t < n; ++t) {
                const std::size_t slotAt = in_.tell();
                const std::uint32_t slot = in_.u32();
                if (slot >= kTextureSlots)
                    in_.fail(slotAt, zy::format("texture slot %u is past the 17 slots", slot));
                Texture texture = readTexture();
                texture.slot = slot;
                m.textures.push_back(std::move(texture));
            }
            break;
        }
        case 8: readProperties(m.uniforms, "uniform"); break;
        case 9: readProperties(m.animatedUniforms, "animated uniform"); break;
        case 10: m.billboard = Billboard{in_.u8(), in_.u8()}; break;
        case 11: m.decal = in_.u8(); break;
        }
    }
    if (next < kMandatoryMaterialKeys)
        in_.fail(m.offset, zy::format("material key count %u does not match the material's entries: "
                                      "\"%s\" is missing",
                                      m.keyCount, std::string(kMaterialKeys[next]).c_str()));
    checkNoKeyFollows(m, next, last);
    return m;
}

// An optional entry left out of the count would be read as whatever follows
// the material. What follows is known: the reserved u32 0 behind the last
// material, whose pool string is the root's class name and never a key, or the
// next material's key count, 10 to 12. A value that is neither but names an
// entry that could still follow is that entry.
void FileReader::checkNoKeyFollows(const Material& m, std::size_t next, bool last)
{
    if (in_.left() < 4)
        return;
    const std::size_t at = in_.tell();
    const std::uint32_t value = in_.u32();
    in_.seek(at);
    const bool expected = last ? value == 0 : value >= kMandatoryMaterialKeys && value <= kMaterialKeys.size();
    if (expected || value >= pool_.size())
        return;
    for (std::size_t k = std::max(next, kMandatoryMaterialKeys); k < kMaterialKeys.size(); ++k)
        if (pool_[value] == kMaterialKeys[k])
            in_.fail(m.offset, zy::format("material key count %u does not match the material's entries: "
                                          "\"%s\" follows its last counted entry at byte %zu",
                                          m.keyCount, pool_[value].c_str(), at));
}

Vertices FileReader::readVertices()
{
    Vertices v;
    v.offset = in_.tell();
    v.count = in_.u32();
    v.components = in_.u32();
    const std::uint64_t values = std::uint64_t(v.count) * v.components;
    if (values > in_.left() / 4)
        in_.fail(v.offset, zy::format("%u vertices of %u components need %llu bytes, %zu left in the file",
                                      v.count, v.components,
                                      static_cast<unsigned long long>(values * 4), in_.left()));
    v.values.resize(values);
    for (float& f : v.values)
        f = in_.f32();
    return v;
}

Indices FileReader::readIndices()
{
    Indices ix;
    ix.offset = in_.tell();
    ix.widthCode = in_.u8();
    if (ix.widthCode > 2)
        in_.fail(ix.offset, zy::format("index width code %u is not 0, 1 or 2", ix.widthCode));
    const std::size_t width = std::size_t(1) << ix.widthCode;
    const std::uint32_t n = in_.count(width, "index");
    ix.primitive = in_.u32();
    ix.values.resize(n);
    for (std::uint32_t& value : ix.values)
        value = width == 1 ? in_.u8() : width == 2 ? in_.u16() : in_.u32();
    return ix;
}

void FileReader::readArgAnimation(ArgAnimation& a)
{
    a.position = vec3d();
    a.rotation = quatd();
    a.scaleOrientation = quatd();
    a.scale = vec3d();
    const std::uint32_t positions = in_.count(8, "position track");
    a.positionTracks.resize(positions);
    for (PositionTrack& t : a.positionTracks) {
        t.argument = in_.i32();
        t.keys.resize(in_.count(32, "position key"));
        for (auto& [time, value] : t.keys) {
            time = in_.f64();
            value = vec3d();
        }
    }
    const std::uint32_t rotations = in_.count(8, "rotation track");
    a.rotationTracks.resize(rotations);
    for (RotationTrack& t : a.rotationTracks) {
        t.argument = in_.i32();
        t.keys.resize(in_.count(40, "rotation key"));
        for (auto& [time, value] : t.keys) {
            time = in_.f64();
            value = quatd();
        }
    }
    const std::uint32_t scales = in_.count(12, "scale track");
    a.scaleTracks.resize(scales);
    for (ScaleTrack& t : a.scaleTracks) {
        t.argument = in_.i32();
        t.orientationKeys.resize(in_.count(40, "scale orientation key"));
        for (auto& [time, value] : t.orientationKeys) {
            time = in_.f64();
            value = quatd();
        }
        t.scaleKeys.resize(in_.count(32, "scale key"));
        for (auto& [time, value] : t.scaleKeys) {
            time = in_.f64();
            value = vec3d();
        }
    }
}

TreeNode FileReader::readTreeNode()
{
    TreeNode node;
    readHeader(node, "the node tree", isTreeKind);
    const Kind kind = node.kind;
    if (kind == Kind::BillboardNode) {
        node.billboardMode = in_.u8();
        node.billboardFlag = in_.u8();
        node.matrix = mat4d();
        node.billboardAxis = vec3d();
        return node;
    }
    if (hasMatrix(kind))
        node.matrix = mat4d();
    if (isArgAnimationKind(kind))
        readArgAnimation(node.animation);
    if (isBoneKind(kind))
        node.boneMatrix = mat4d();
    if (kind == Kind::IKBone)
        for (double& limit : node.limits)
            limit = in_.f64();
    if (kind == Kind::ArgVisibilityNode) {
        node.visibility.resize(in_.count(8, "visibility track"));
        for (VisibilityTrack& t : node.visibility) {
            t.argument = in_.i32();
            t.ranges.resize(in_.count(16, "visibility range"));
            for (auto& [start, end] : t.ranges) {
                start = in_.f64();
                end = in_.f64();
            }
        }
    }
    if (kind == Kind::LodNode) {
        node.lodRanges.resize(in_.count(16, "LOD range"));
        for (auto& [from, to] : node.lodRanges) {
            from = in_.f64();
            to = in_.f64();
        }
    }
    return node;
}

Connector FileReader::readConnector()
{
    Connector c;
    readHeader(c, "the connector section", isConnectorKind);
    c.control = nodeRef();
    readProperties(c.connectorProperties, "connector property");
    return c;
}

Light FileReader::readLight()
{
    Light l;
    readHeader(l, "the light section", isLightKind);
    l.control = nodeRef();
    l.type = in_.u8();
    readProperties(l.lightProperties, "light property");
    const std::size_t at = in_.tell();
    const std::uint8_t hasTexture = in_.u8();
    if (hasTexture > 1)
        in_.fail(at, zy::format("the light's texture flag is %u, not 0 or 1", hasTexture));
    if (hasTexture)
        l.texture = readTexture();
    return l;
}

Shell FileReader::readShell()
{
    Shell s;
    readHeader(s, "the shell section", isShellKind);
    s.control = nodeRef();
    if (s.kind == Kind::ShellNode) {
        s.vertexFormat = readVertexFormat();
        s.vertices = readVertices();
        s.indices = readIndices();
    } else {
        s.segments.resize(in_.count(24, "segment"));
        for (auto& [start, end] : s.segments) {
            start = vec3f();
            end = vec3f();
        }
    }
    return s;
}

RenderItem FileReader::readRenderItem()
{
    RenderItem r;
    readHeader(r, "the render-node section", isRenderKind);
    r.reserved = in_.u32();
    r.materialOffset = in_.tell();
    r.material = in_.u32();
    if (isFakeLightKind(r.kind)) {
        readFakeLights(r);
        return r;
    }
    if (r.kind == Kind::SkinNode) {
        r.bones.resize(in_.count(4, "bone"));
        for (NodeRef& bone : r.bones)
            bone = nodeRef();
        r.argument = in_.i32();
    } else {
        const std::size_t at = in_.tell();
        const std::uint32_t parts = in_.count(8, "part");
        if (parts != 1 && parts > in_.left() / 12)
            in_.fail(at, zy::format("part count %u needs %llu bytes, %zu left in the file", parts,
                                    static_cast<unsigned long long>(parts) * 12, in_.left()));
        r.parts.resize(parts);
        for (Part& part : r.parts) {
            part.control = nodeRef();
            if (parts != 1)
                part.end = in_.u32();
            part.argument = in_.i32();
        }
    }
    r.vertices = readVertices();
    r.indices = readIndices();
    if (r.parts.size() == 1)
        r.parts[0].end = static_cast<std::uint32_t>(r.indices.values.size());
    if (r.kind == Kind::NumberNode)
        for (Part& part : r.parts) {
            part.digits.resize(in_.count(16, "digit"));
            for (auto& digit : part.digits) {
                const std::string_view bytes = in_.bytes(16);
                std::copy(bytes.begin(), bytes.end(), digit.begin());
            }
        }
    return r;
}

void FileReader::readFakeLights(RenderItem& r)
{
    const bool spot = isSpotFakeLightKind(r.kind);
    r.controls.resize(in_.count(spot ? 20 : 8, "fake-light control"));
    for (FakeControl& c : r.controls) {
        c.control = nodeRef();
        c.end = in_.u32();
        if (spot)
            c.direction = vec3f();
    }
    r.lights.resize(in_.count(spot ? kSpotLightSize : kOmniLightSize, "fake light"));
    for (FakeLight& l : r.lights) {
        l.position = vec3d();
        l.uvMin = vec2f();
        l.uvMax = vec2f();
        l.size = in_.f32();
        l.controlSlot = in_.u32();
        if (spot) {
            l.backUvMin = vec2f();
            l.backUvMax = vec2f();
            const std::size_t at = in_.tell();
            const std::uint8_t used = in_.u8();
            if (used > 1)
                in_.fail(at, zy::format("the back-side flag is %u, not 0 or 1", used));
            l.backUsed = used == 1;
        }
    }
    if (isAnimatedFakeLightKind(r.kind)) {
        r.argument = in_.i32();
        r.samplesPerLight = in_.u32();
        r.samples.resize(in_.count(4, "fake-light sample"));
        for (float& s : r.samples)
            s = in_.f32();
    }
}

void FileReader::readSections(Description& d)
{
    const std::size_t countAt = in_.tell();
    const std::uint32_t sections = in_.u32();
    if (sections > kSectionNames.size())
        in_.fail(countAt, zy::format("section count %u is more than the 4 sections there are", sections));
    std::size_t next = 0;
    for (std::uint32_t s = 0; s < sections; ++s) {
        const std::size_t at = in_.tell();
        const std::string& name = string("section name");
        std::size_t k = next;
        while (k < kSectionNames.size() && kSectionNames[k] != name)
            ++k;
        if (k == kSectionNames.size())
            in_.fail(at, zy::format("\"%s\" is not a section that may follow here", name.c_str()));
        next = k + 1;
        const std::size_t countAt = in_.tell();
        const std::uint32_t n = in_.count(kMinRecordSize + 4, "section record");
        if (n == 0)
            in_.fail(countAt, zy::format("section \"%s\" has no records", name.c_str()));
        for (std::uint32_t i = 0; i < n; ++i) {
            switch (k) {
            case 0: d.connectors.push_back(readConnector()); break;
            case 1: d.shells.push_back(readShell()); break;
            case 2: d.lights.push_back(readLight()); break;
            default: d.renderNodes.push_back(readRenderItem()); break;
            }
        }
    }
}

Description readDescription(std::span<const std::uint8_t> bytes)
{
    return FileReader(bytes).read();
}

std::vector<std::uint8_t> readFileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        ZY_THROW("Can't open " + path);
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad())
        ZY_THROW("Can't read " + path);
    return bytes;
}

} // namespace zym
