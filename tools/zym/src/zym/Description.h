#pragma once
// The in-memory description of one ZYM file: every record of the file, in
// file order, with the byte offsets that checks and error messages point at.
// It is plain data; reading, checking, JSON, statistics and building are
// separate units that take it as input or produce it.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace zym {

using Vec2f = std::array<float, 2>;
using Vec3f = std::array<float, 3>;
using Vec4f = std::array<float, 4>;
using Vec3d = std::array<double, 3>;
using Quatd = std::array<double, 4>;
using Mat4d = std::array<double, 16>;
using Mat4f = std::array<float, 16>;
using VertexFormat = std::array<std::uint8_t, 26>;

constexpr std::uint16_t kFormatVersion = 10;
constexpr std::size_t kTextureSlots = 17;
constexpr std::size_t kCoordinateSlots = 13;
constexpr std::uint32_t kFakeLightSamples = 128;

// Record kinds, numbered as the model library numbers its node classes.
enum class Kind : int {
    ArgAnimatedBone = 0,
    ArgAnimationNode = 1,
    ArgRotationNode = 2,
    ArgScaleNode = 3,
    ArgPositionNode = 4,
    ArgVisibilityNode = 5,
    Bone = 6,
    IKBone = 7,
    Connector = 8,
    LightNode = 9,
    LodNode = 10,
    Node = 11,
    RenderNode = 12,
    BillboardNode = 13,
    ShellNode = 14,
    TreeShellNode = 15,
    SegmentsNode = 16,
    RootNode = 17,
    SkinNode = 18,
    TransformNode = 19,
    FakeOmniLightsNode = 20,
    FakeSpotLightsNode = 21,
    AnimatedFakeOmniLightsNode = 22,
    AnimatedFakeSpotLightsNode = 23,
    NumberNode = 24,
    TmpNumberRoot = 25,
};

enum class PropertyType {
    Float,
    UInt,
    Vec2f,
    Vec3f,
    Vec4f,
    String,
    AnimatedFloat,
    AnimatedVec2f,
    AnimatedVec3f,
    AnimatedVec4f,
    Argument,
};

struct PropertyKey {
    double time = 0;
    Vec4f value{}; // the first componentCount() components are used
};

struct Property {
    std::uint64_t offset = 0;
    PropertyType type = PropertyType::Float;
    std::string name;
    Vec4f value{};            // Float and Vec*: the first componentCount() components
    std::uint32_t uintValue = 0;
    std::string text;         // String
    std::int32_t argument = -1; // animated and argument properties
    std::vector<PropertyKey> keys;
};

struct Vertices {
    std::uint64_t offset = 0;
    std::uint32_t count = 0;
    std::uint32_t components = 0; // per vertex; 0 when count is 0
    std::vector<float> values;    // count * components
};

struct Indices {
    std::uint64_t offset = 0;
    std::uint8_t widthCode = 0;   // 0: u8, 1: u16, 2: u32
    std::uint32_t primitive = 5;
    std::vector<std::uint32_t> values;
};

struct Texture {
    std::uint32_t slot = 0;
    std::int32_t codeA = -1;
    std::string name;
    std::int32_t addressU = 2;
    std::int32_t addressV = 2;
    std::int32_t codeB = 10;
    std::int32_t codeC = 6;
    Mat4f matrix{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
};

struct Billboard {
    std::uint8_t mode = 0;
    std::uint8_t value = 6;
};

struct Material {
    std::uint64_t offset = 0;
    std::uint32_t keyCount = 10;
    std::uint8_t blending = 0;
    std::uint32_t depthBias = 0;  // 0 or 1
    VertexFormat vertexFormat{};
    std::array<std::int32_t, kCoordinateSlots> coordinateChannels{-1, -1, -1, -1, -1, -1, -1,
                                                                  -1, -1, -1, -1, -1, -1};
    std::string materialName;     // the shader
    std::string name;
    std::uint8_t shadows = 1;     // bit 0: casts shadows, bit 2: second shadow flag
    std::vector<Texture> textures; // in slot order
    std::vector<Property> uniforms;
    std::vector<Property> animatedUniforms;
    std::optional<Billboard> billboard;
    std::optional<std::uint8_t> decal;
};

// A reference to a tree node: its pre-order index, and where the file keeps it.
struct NodeRef {
    std::uint32_t index = 0;
    std::uint64_t offset = 0;
};

struct PositionTrack {
    std::int32_t argument = -1;
    std::vector<std::pair<double, Vec3d>> keys;
};
struct RotationTrack {
    std::int32_t argument = -1;
    std::vector<std::pair<double, Quatd>> keys;
};
struct ScaleTrack {
    std::int32_t argument = -1;
    std::vector<std::pair<double, Quatd>> orientationKeys;
    std::vector<std::pair<double, Vec3d>> scaleKeys;
};

struct ArgAnimation {
    Vec3d position{0, 0, 0};
    Quatd rotation{0, 0, 0, 1};
    Quatd scaleOrientation{0, 0, 0, 1};
    Vec3d scale{1, 1, 1};
    std::vector<PositionTrack> positionTracks;
    std::vector<RotationTrack> rotationTracks;
    std::vector<ScaleTrack> scaleTracks;
};

struct VisibilityTrack {
    std::int32_t argument = -1;
    std::vector<std::pair<double, double>> ranges;
};

constexpr Mat4d kIdentity{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

// The fields every record starts with.
struct NodeHeader {
    std::uint64_t offset = 0;
    Kind kind = Kind::Node;
    std::string name;
    std::uint32_t category = 0;
    std::vector<Property> properties;
};

// A node of the tree. The fields beyond the header that are used depend on
// the kind; the others keep their defaults.
struct TreeNode : NodeHeader {
    std::int32_t parent = -1;
    std::uint64_t parentOffset = 0;
    Mat4d matrix = kIdentity;            // transform, bone, animation and billboard kinds
    ArgAnimation animation;              // kinds 0 to 4
    Mat4d boneMatrix = kIdentity;        // Bone, IKBone, ArgAnimatedBone
    std::array<double, 6> limits{};      // IKBone
    std::vector<VisibilityTrack> visibility;          // ArgVisibilityNode
    std::vector<std::pair<double, double>> lodRanges; // LodNode
    std::uint8_t billboardMode = 0;      // BillboardNode
    std::uint8_t billboardFlag = 0;
    Vec3d billboardAxis{0, 0, 0};
};

struct Connector : NodeHeader {
    NodeRef control;
    std::vector<Property> connectorProperties;
};

struct Light : NodeHeader {
    NodeRef control;
    std::uint8_t type = 0;
    std::vector<Property> lightProperties;
    std::optional<Texture> texture;
};

// ShellNode or SegmentsNode.
struct Shell : NodeHeader {
    NodeRef control;
    VertexFormat vertexFormat{};
    Vertices vertices;
    Indices indices;
    std::vector<std::pair<Vec3f, Vec3f>> segments;
};

struct Part {
    NodeRef control;
    std::uint32_t end = 0;  // exclusive end of its index range
    std::int32_t argument = -1;
    std::vector<std::array<std::uint8_t, 16>> digits; // NumberNode: i32, f32, i32, f32 each
};

struct FakeControl {
    NodeRef control;
    std::uint32_t end = 0;  // one past its last light
    Vec3f direction{0, 0, 0}; // spot lights
};

struct FakeLight {
    Vec3d position{0, 0, 0};
    Vec2f uvMin{0, 0};
    Vec2f uvMax{0, 0};
    float size = 0;
    std::uint32_t controlSlot = 0;
    Vec2f backUvMin{0, 0};   // spot lights
    Vec2f backUvMax{0, 0};
    bool backUsed = false;
};

// RenderNode, NumberNode, SkinNode and the four fake-light kinds.
struct RenderItem : NodeHeader {
    std::uint32_t reserved = 0;      // the u32 0 of every rendering record
    std::uint32_t material = 0;      // position in the material list
    std::uint64_t materialOffset = 0;
    std::vector<Part> parts;         // render and number nodes
    std::vector<NodeRef> bones;      // skin nodes
    std::int32_t argument = -1;      // skin and animated fake-light nodes
    Vertices vertices;
    Indices indices;
    std::vector<FakeControl> controls;
    std::vector<FakeLight> lights;
    std::uint32_t samplesPerLight = kFakeLightSamples;
    std::vector<float> samples;
};

struct Box {
    Vec3d min{};
    Vec3d max{};
};

struct RootRecord : NodeHeader {
    std::uint64_t boxesOffset = 0;
    Box boundingBox;
    Box userBox;
    Box lightBox;
    std::vector<Material> materials;
    std::uint32_t reserved = 0;
    std::uint32_t argumentCount = 0;
    std::uint64_t argumentCountOffset = 0;
};

struct Description {
    std::uint16_t version = kFormatVersion;
    std::uint64_t reservedHeader = 0; // the u64 0 behind the string pool
    RootRecord root;
    std::uint64_t nodeCountOffset = 0;
    // Where the first string that is not UTF-8 lies (pool entry or node name).
    std::optional<std::uint64_t> invalidTextOffset;
    std::vector<TreeNode> nodes;      // pre-order
    std::vector<Connector> connectors;
    std::vector<Shell> shells;
    std::vector<Light> lights;
    std::vector<RenderItem> renderNodes;
};

} // namespace zym
