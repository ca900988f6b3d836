#include "ExampleModel.h"

#include <cmath>

#include "Connector.h"
#include "FakeLightsNodes.h"
#include "LightNode.h"
#include "NumberNode.h"
#include "Property.h"
#include "RenderNode.h"
#include "SegmentsNode.h"
#include "ShellNode.h"
#include "SkinNode.h"
#include "transforms/ArgAnimatedBone.h"
#include "transforms/ArgVisibilityNode.h"
#include "transforms/BillboardNode.h"
#include "transforms/Bone.h"
#include "transforms/LodNode.h"
#include "transforms/TransformNode.h"

namespace example {

using namespace model;

namespace {

template <class P, class... Args>
void addProperty(BaseNode& node, Args&&... args)
{
    node.addProperty(zy::makeRef<P>(std::forward<Args>(args)...));
}

TransformNode* addTransform(Node& parent, const char* name, const osg::Mat4d& matrix)
{
    auto* node = new TransformNode(matrix);
    node->setName(name);
    parent.appendChild(node);
    return node;
}

template <class N>
N* addChild(Node& parent, N* node, const char* name)
{
    node->setName(name);
    parent.appendChild(node);
    return node;
}

// Position (x, y, z, part), normal and one texture-coordinate pair per vertex.
zy::Ref<PropertiesSet> meshMaterial(const char* name, const char* texture)
{
    auto m = zy::makeRef<PropertiesSet>();
    m->setName(name);
    m->setMaterialName("def_material");
    m->vertexFormat().setCount(ChannelPosition, 4);
    m->vertexFormat().setCount(ChannelNormal, 3);
    m->vertexFormat().setCount(ChannelTexCoord0, 2);
    m->setTexCoordChannel(0, 0);
    m->texture(TextureDiffuse).setName(texture);
    return m;
}

// A unit quad in the xy plane at height z, facing +z.
void quad(std::vector<float>& vertices, std::vector<uint32_t>& indices, float z, float part)
{
    const uint32_t first = uint32_t(vertices.size() / 9);
    const float corners[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    for (const auto& c : corners)
        vertices.insert(vertices.end(), {c[0], c[1], z, part, 0, 0, 1, c[0], c[1]});
    for (uint32_t i : {0u, 1u, 2u, 0u, 2u, 3u})
        indices.push_back(first + i);
}

// Geometry nodes: a one-part and a two-part mesh, a skin and a number display.
void addRenderNodes(RootNode& root, Node& hull, Node& door, Node& wheel, Bone& bone)
{
    auto paint = meshMaterial("paint", "paint.dds");
    paint->setBlending(2);
    paint->texture(TextureNormalMap).setName("paint_n.dds");
    paint->setTexCoordChannel(1, 0);
    paint->uniforms().push_back(zy::makeRef<Property<float>>("specPower", 32.0f));
    paint->animatedUniforms().push_back(zy::makeRef<AnimatedProperty<osg::Vec4f>>(
        "damageTint", 4, std::vector<Key<osg::Vec4f>>{{0.0, {1, 1, 1, 1}}, {1.0, {0.3f, 0.3f, 0.3f, 1}}}));

    std::vector<float> v;
    std::vector<uint32_t> i;
    quad(v, i, 0, 0);
    auto body = zy::makeRef<RenderNode>();
    body->setName("body");
    body->setMaterial(paint);
    body->setGeometry(Vertices(uint32_t(v.size() / 9), v), Indices(i));
    body->setPartControl(0, &hull);
    body->setPartArgument(0, 4);
    root.addRenderNode(body);

    // A door and a wheel in one node: one part each.
    auto glass = meshMaterial("glass", "glass.dds");
    glass->setBlending(1);
    glass->setDecal(1);
    glass->texture(TextureSpecular).setName("glass_s.dds");
    glass->texture(TextureMetRoughMap).setName("glass_mr.dds");
    glass->setTexCoordChannel(12, 0);
    v.clear();
    i.clear();
    quad(v, i, 0, 0);
    quad(v, i, 1, 1);
    auto parts = zy::makeRef<RenderNode>();
    parts->setName("door_and_wheel");
    parts->setMaterial(glass);
    parts->vertices() = Vertices(uint32_t(v.size() / 9), v);
    parts->indices() = Indices(i);
    parts->parts() = {{&door, 0, 6, 2}, {&wheel, 6, 12, -1}};
    root.addRenderNode(parts);

    auto skinMaterial = zy::makeRef<PropertiesSet>();
    skinMaterial->setName("skin");
    skinMaterial->vertexFormat().setCount(ChannelPosition, 3);
    skinMaterial->vertexFormat().setCount(ChannelWeights, 4);
    skinMaterial->setBillboard(true);
    auto skin = zy::makeRef<SkinNode>();
    skin->setName("cable");
    skin->setMaterial(skinMaterial);
    skin->setGeometry(Vertices(3, {0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 1, 0, 0, 0, 0, 1, 0, 1, 0, 0, 0}),
                      Indices({0, 1, 2}));
    skin->addBone(&bone);
    root.addRenderNode(skin);

    auto digits = meshMaterial("digits", "digits.dds");
    digits->vertexFormat().setCount(ChannelWeights, 1);
    auto number = zy::makeRef<NumberNode>();
    number->setName("odometer");
    number->setMaterial(digits);
    // Two digits of one quad each; channel 21 holds the digit number.
    std::vector<float> dv;
    for (float digit : {0.0f, 1.0f})
        for (const auto& c : {std::pair{0.0f, 0.0f}, {1.0f, 0.0f}, {1.0f, 1.0f}})
            dv.insert(dv.end(), {c.first + 2 * digit, c.second, 0, 0, 0, 0, 1, c.first, c.second, digit});
    number->setGeometry(Vertices(6, dv), Indices({0, 1, 2, 3, 4, 5}));
    number->setPartControl(0, &hull);
    number->setDigits(0, {{0, 0.1f, -1, 1.0f}, {1, 0.1f, -1, 10.0f}});
    root.addRenderNode(number);
}

// Fake lights of each kind; the animated ones carry 128 samples per light.
void addFakeLights(RootNode& root, Node& hull, Node& wheel)
{
    auto sprite = meshMaterial("sprite", "flare.dds");
    FakeOmniLight omni;
    omni.position = {0, 1, 0};
    omni.lowerLeft = {0, 0};
    omni.upperRight = {0.5f, 0.5f};
    omni.size = 0.2f;
    auto omnis = zy::makeRef<FakeOmniLightsNode>();
    omnis->setName("position_lights");
    omnis->setMaterial(sprite);
    omnis->setPartControl(0, &hull);
    const uint32_t wheelSlot = omnis->lightList().addControl({&wheel});
    omnis->lightList().addLight(omni);
    omni.controlSlot = wheelSlot;
    omnis->lightList().addLight(omni);
    root.addRenderNode(omnis);

    FakeSpotLight spot;
    static_cast<FakeOmniLight&>(spot) = omni;
    spot.controlSlot = 0;
    spot.backLowerLeft = {0.5f, 0};
    spot.backUpperRight = {1, 0.5f};
    spot.backUsed = true;
    auto spots = zy::makeRef<FakeSpotLightsNode>();
    spots->setName("landing_lights");
    spots->setMaterial(sprite);
    spots->lightList().control(0) = {{&hull}, {0, 0, -1}};
    spots->lightList().addLight(spot);
    root.addRenderNode(spots);

    std::vector<float> blink(FakeLightAnimation::kSamplesPerLight);
    for (size_t k = 0; k < blink.size(); ++k)
        blink[k] = k % 32 < 16 ? 1.0f : 0.0f;

    auto animatedSprite = zy::makeRef<PropertiesSet>(*sprite);
    animatedSprite->setMaterialName("animated_fake_omni_lights2");
    auto blinking = zy::makeRef<AnimatedFakeOmniLightsNode>();
    blinking->setName("beacon");
    blinking->setMaterial(animatedSprite);
    blinking->setPartControl(0, &hull);
    FakeOmniLight beacon = omni;
    beacon.controlSlot = 0;
    blinking->lightList().addLight(beacon);
    blinking->setArgument(5);
    blinking->setSamples(blink);
    root.addRenderNode(blinking);

    auto animatedSpot = zy::makeRef<PropertiesSet>(*sprite);
    animatedSpot->setMaterialName("animated_fake_spot_lights2");
    auto sweeping = zy::makeRef<AnimatedFakeSpotLightsNode>();
    sweeping->setName("strobe");
    sweeping->setMaterial(animatedSpot);
    sweeping->lightList().control(0) = {{&wheel}, {1, 0, 0}};
    sweeping->lightList().addLight(spot);
    sweeping->setArgument(5);
    sweeping->setSamples(blink);
    root.addRenderNode(sweeping);
}

// Animated and special tree nodes, a connector, lights and collision geometry.
void addEveryRecordKind(RootNode& root, Node& top, Node& hull, Node& door, Node& wheel)
{
    const double half = std::sqrt(0.5);

    // Argument animation under each effective kind.
    auto* lift = addChild(top, new ArgAnimationNode, "lift");
    lift->positionTracks().push_back({1, {{0.0, {0, 0, 0}}, {1.0, {0, 0, 2}}}});
    auto* turret = addChild(*lift, new ArgAnimationNode, "turret");
    turret->rotationTracks().push_back({0, {{-1.0, {0, 0, -half, half}}, {1.0, {0, 0, half, half}}}});
    auto* pump = addChild(*turret, new ArgAnimationNode, "pump");
    pump->scaleTracks().push_back({6, {{0.0, osg::Quatd()}}, {{0.0, {1, 1, 1}}, {1.0, {1, 1, 1.5}}}});
    auto* arm = addChild(*turret, new ArgAnimationNode, "arm");
    arm->setBasePosition({0.5, 0, 1});
    arm->positionTracks().push_back({1, {{0.0, {0, 0, 0}}, {1.0, {1, 0, 0}}}});
    arm->rotationTracks().push_back({2, {{0.0, osg::Quatd()}, {1.0, {half, 0, 0, half}}}});

    // Bones: an animated bone, a plain bone below it and an IK bone.
    ArgAnimationNode boneAnimation;
    boneAnimation.rotationTracks().push_back({3, {{0.0, osg::Quatd()}, {1.0, {0, half, 0, half}}}});
    auto* shoulder = addChild(*arm, new ArgAnimatedBone(boneAnimation), "shoulder");
    shoulder->setBoneMatrix(osg::Mat4d::translate({0, 0, -1}));
    auto* elbow = addChild(*shoulder, new Bone(osg::Mat4d::translate({0, 0, 1}), osg::Mat4d::translate({0, 0, -2})),
                           "elbow");
    addChild(*elbow, new IKBone(osg::Mat4d::translate({0, 0, 1})), "wrist");

    auto* flap = addChild(door, new ArgVisibilityNode({{2, {{0.0, 0.5}}}, {7, {{0.25, 0.75}}}}), "flap");
    auto* lod = addChild(hull, new LodNode, "detail");
    auto* nearLod = addChild(*lod, new Node, "near");
    addChild(*lod, new Node, "far");
    lod->addRange(0, 2500);
    lod->addRange(2500, 250000);
    auto* sign = addChild(*nearLod, new BillboardNode, "sign");
    sign->setMode(1);
    sign->setAxis({0, 0, 1});

    addRenderNodes(root, hull, *flap, wheel, *elbow);
    addFakeLights(root, hull, wheel);

    auto hook = std::make_unique<Connector>();
    hook->setName("tow_hook");
    hook->setControl(sign);
    hook->addProperty(zy::makeRef<Property<zy::string>>("type", zy::string("tow")));
    hook->animatedProperties().push_back(zy::makeRef<ArgumentProperty>("release", 8));
    hook->animatedProperties().push_back(zy::makeRef<AnimatedProperty<osg::Vec2f>>(
        "sway", 8, std::vector<Key<osg::Vec2f>>{{0.0, {0, 0}}, {1.0, {0.1f, 0.2f}}}));
    root.addConnector(std::move(hook));

    auto headlight = std::make_unique<LightNode>();
    headlight->setName("headlight");
    headlight->setControl(&hull);
    headlight->setLightType(LightSpot);
    headlight->setLightProperty(0, zy::makeRef<Property<osg::Vec3f>>("color", osg::Vec3f(1, 0.95f, 0.8f)));
    headlight->setLightProperty(4, zy::makeRef<AnimatedProperty<float>>(
                                       "range", 9, std::vector<Key<float>>{{0.0, 5.0f}, {1.0, 40.0f}}));
    headlight->texture().setName("headlight_mask.dds");
    root.addLight(std::move(headlight));
    auto cabin = std::make_unique<LightNode>();
    cabin->setName("cabin");
    cabin->setControl(&door);
    root.addLight(std::move(cabin));

    VertexFormat shellFormat;
    shellFormat.setCount(ChannelPosition, 3);
    auto shell = zy::makeRef<ShellNode>();
    shell->setName("hull_shell");
    shell->setGeometry(shellFormat, Vertices(4, {0, 0, 0, 2, 0, 0, 2, 1, 0, 0, 1, 1}), Indices({0, 1, 2, 0, 2, 3}));
    shell->setControl(&hull);
    root.addShellNode(shell);
    auto rails = zy::makeRef<SegmentsNode>();
    rails->setName("rails");
    rails->addSegment({0, 0, 0}, {0, 4, 0});
    rails->addSegment({1, 0, 0}, {1, 4, 0});
    rails->setControl(&wheel);
    root.addShellNode(rails);
}

} // namespace

zy::Ref<RootNode> buildExampleModel()
{
    zy::Ref<RootNode> root = zy::makeRef<RootNode>();
    root->setName("example");

    // Z-up to Y-up: x' = x, y' = z, z' = -y.
    osg::Mat4d axisSwap;
    axisSwap(1, 1) = 0;
    axisSwap(1, 2) = -1;
    axisSwap(2, 1) = 1;
    axisSwap(2, 2) = 0;
    auto top = std::make_unique<TransformNode>(axisSwap);
    top->setName("Scene Root");

    TransformNode* hull = addTransform(*top, "hull", osg::Mat4d::translate({0, 0, 0.5}));
    addProperty<Property<float>>(*hull, "mass", 1200.0f);
    addProperty<Property<unsigned int>>(*hull, "hull_id", 7u);
    addProperty<Property<osg::Vec3f>>(*hull, "color", osg::Vec3f(0.8f, 0.1f, 0.1f));
    addProperty<Property<zy::string>>(*hull, "material_group", zy::string("metal"));

    TransformNode* door = addTransform(*hull, "door", osg::Mat4d::translate({1.2, 0.4, 0}));
    addProperty<AnimatedProperty<float>>(*door, "door_angle", 2,
                                         std::vector<Key<float>>{{0.0, 0.0f}, {1.0, 90.0f}});
    addProperty<ArgumentProperty>(*door, "door_arg", 2);
    addProperty<AnimatedProperty<osg::Vec3f>>(
        *door, "lamp_color", 3,
        std::vector<Key<osg::Vec3f>>{{0.0, {0.0f, 0.0f, 0.0f}}, {0.5, {1.0f, 0.9f, 0.6f}}});

    auto* handle = new Node("handle");
    addProperty<Property<osg::Vec2f>>(*handle, "uv_offset", osg::Vec2f(0.25f, 0.5f));
    addProperty<Property<osg::Vec4f>>(*handle, "tint", osg::Vec4f(1.0f, 1.0f, 1.0f, 0.5f));
    door->appendChild(handle);

    TransformNode* wheel = addTransform(*top, "wheel", osg::Mat4d::translate({-1.0, 0.0, 0.3}));
    wheel->setVersion(2);

    Node& topNode = *top;
    root->setTopNode(std::move(top));
    addEveryRecordKind(*root, topNode, *hull, *door, *wheel);
    return root;
}

} // namespace example
