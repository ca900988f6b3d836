#include "zym/ModelBuilder.h"

#include <cstring>
#include <memory>
#include <type_traits>
#include <vector>

#include "Connector.h"
#include "FakeLightsNodes.h"
#include "LightNode.h"
#include "NumberNode.h"
#include "PropertiesSet.h"
#include "Property.h"
#include "RenderNode.h"
#include "SegmentsNode.h"
#include "ShellNode.h"
#include "SkinNode.h"
#include "transforms/ArgAnimatedBone.h"
#include "transforms/ArgAnimationNode.h"
#include "transforms/ArgVisibilityNode.h"
#include "transforms/BillboardNode.h"
#include "transforms/Bone.h"
#include "transforms/LodNode.h"
#include "transforms/TransformNode.h"
#include "zy/ExtException.h"
#include "zym/Names.h"

namespace zym {
namespace {

osg::Vec2f vec2(const Vec4f& v) { return {v[0], v[1]}; }
osg::Vec3f vec3(const Vec4f& v) { return {v[0], v[1], v[2]}; }
osg::Vec4f vec4(const Vec4f& v) { return {v[0], v[1], v[2], v[3]}; }

template <class T, class Convert>
zy::Ref<model::BaseProperty> animated(const Property& p, Convert convert)
{
    std::vector<model::Key<T>> keys;
    keys.reserve(p.keys.size());
    for (const PropertyKey& k : p.keys)
        keys.push_back({k.time, convert(k.value)});
    return zy::makeRef<model::AnimatedProperty<T>>(p.name, p.argument, std::move(keys));
}

zy::Ref<model::BaseProperty> makeProperty(const Property& p)
{
    switch (p.type) {
    case PropertyType::Float: return zy::makeRef<model::Property<float>>(p.name, p.value[0]);
    case PropertyType::UInt: return zy::makeRef<model::Property<unsigned int>>(p.name, p.uintValue);
    case PropertyType::Vec2f: return zy::makeRef<model::Property<osg::Vec2f>>(p.name, vec2(p.value));
    case PropertyType::Vec3f: return zy::makeRef<model::Property<osg::Vec3f>>(p.name, vec3(p.value));
    case PropertyType::Vec4f: return zy::makeRef<model::Property<osg::Vec4f>>(p.name, vec4(p.value));
    case PropertyType::String: return zy::makeRef<model::Property<zy::string>>(p.name, p.text);
    case PropertyType::AnimatedFloat: return animated<float>(p, [](const Vec4f& v) { return v[0]; });
    case PropertyType::AnimatedVec2f: return animated<osg::Vec2f>(p, vec2);
    case PropertyType::AnimatedVec3f: return animated<osg::Vec3f>(p, vec3);
    case PropertyType::AnimatedVec4f: return animated<osg::Vec4f>(p, vec4);
    case PropertyType::Argument: return zy::makeRef<model::ArgumentProperty>(p.name, p.argument);
    }
    ZY_THROW("unknown property type");
}

// The node's list becomes the described one. A description without
// "__VERSION__" keeps the version property the class put there itself.
void setProperties(model::BaseNode& node, const std::vector<Property>& properties)
{
    model::PropertyList classDefaults = node.properties();
    model::PropertyList& list = node.properties();
    list.clear();
    bool hasVersion = false;
    for (const Property& p : properties)
        hasVersion = hasVersion || p.name == "__VERSION__";
    if (!hasVersion)
        for (const auto& p : classDefaults)
            if (p->name() == "__VERSION__")
                list.push_back(p);
    for (const Property& p : properties)
        list.push_back(makeProperty(p));
}

osg::Mat4d matrix(const Mat4d& m)
{
    osg::Mat4d r;
    for (int i = 0; i < 16; ++i)
        r[i] = m[i];
    return r;
}

model::Box box(const Box& b)
{
    model::Box r;
    for (int c = 0; c < 3; ++c) {
        r.min[c] = static_cast<float>(b.min[c]);
        r.max[c] = static_cast<float>(b.max[c]);
    }
    return r;
}

osg::Vec3d vec3d(const Vec3d& v) { return {v[0], v[1], v[2]}; }
osg::Quatd quatd(const Quatd& q) { return {q[0], q[1], q[2], q[3]}; }
osg::Vec2f vec2f(const Vec2f& v) { return {v[0], v[1]}; }
osg::Vec3f vec3f(const Vec3f& v) { return {v[0], v[1], v[2]}; }

zy::Ref<model::BaseAnimatedProperty> makeAnimatedProperty(const Property& p, const char* where)
{
    if (!isAnimatedProperty(p.type) && p.type != PropertyType::Argument)
        ZY_THROWF("%s: property '%s' is not animated", where, p.name.c_str());
    return zy::Ref<model::BaseAnimatedProperty>(static_cast<model::BaseAnimatedProperty*>(makeProperty(p).get()));
}

model::TextureSlot textureSlot(const Texture& t)
{
    model::TextureSlot slot;
    slot.setName(t.name);
    slot.setMatrix(t.matrix);
    slot.setAddressing(t.addressU, t.addressV);
    slot.setCodes(t.codeA, t.codeB, t.codeC);
    return slot;
}

model::VertexFormat vertexFormat(const VertexFormat& f)
{
    model::VertexFormat format;
    for (int c = 0; c < model::VertexFormat::kChannelCount; ++c)
        format.setCount(c, f[c]);
    return format;
}

zy::Ref<model::PropertiesSet> makeMaterial(const Material& m)
{
    auto material = zy::makeRef<model::PropertiesSet>();
    material->setName(m.name);
    material->setMaterialName(m.materialName);
    material->setBlending(m.blending);
    material->setDepthBias(m.depthBias != 0);
    material->setShadowFlag1((m.shadows & 1) != 0);
    material->setShadowFlag2((m.shadows & 4) != 0);
    material->setVertexFormat(vertexFormat(m.vertexFormat));
    for (int k = 0; k < model::PropertiesSet::kCoordinateSlotCount; ++k)
        material->setTexCoordChannel(k, m.coordinateChannels[k]);
    for (const Texture& t : m.textures)
        material->setTexture(static_cast<int>(t.slot), textureSlot(t));
    for (const Property& p : m.uniforms)
        material->uniforms().push_back(makeProperty(p));
    for (const Property& p : m.animatedUniforms)
        material->animatedUniforms().push_back(makeAnimatedProperty(p, ("material '" + m.name + "'").c_str()));
    if (m.billboard) {
        material->setBillboard(true);
        material->setBillboardMode(m.billboard->mode);
        material->setBillboardValue(m.billboard->value);
    }
    if (m.decal)
        material->setDecal(*m.decal);
    return material;
}

template <class Value, std::size_t N, class Convert>
std::vector<model::Key<Value>> keys(const std::vector<std::pair<double, std::array<double, N>>>& in, Convert convert)
{
    std::vector<model::Key<Value>> out;
    out.reserve(in.size());
    for (const auto& [time, value] : in)
        out.push_back({time, convert(value)});
    return out;
}

void setAnimation(model::ArgAnimationNode& node, const ArgAnimation& a)
{
    node.setBasePosition(vec3d(a.position));
    node.setBaseRotation(quatd(a.rotation));
    node.setScaleOrientation(quatd(a.scaleOrientation));
    node.setBaseScale(vec3d(a.scale));
    for (const PositionTrack& t : a.positionTracks)
        node.positionTracks().push_back({t.argument, keys<osg::Vec3d>(t.keys, vec3d)});
    for (const RotationTrack& t : a.rotationTracks)
        node.rotationTracks().push_back({t.argument, keys<osg::Quatd>(t.keys, quatd)});
    for (const ScaleTrack& t : a.scaleTracks)
        node.scaleTracks().push_back(
            {t.argument, keys<osg::Quatd>(t.orientationKeys, quatd), keys<osg::Vec3d>(t.scaleKeys, vec3d)});
}

// Vertex data goes in as it is: setGeometry would reset the parts and the
// part numbers the vertices carry.
void setMesh(model::BaseMeshRenderNode& node, const Vertices& v, const Indices& ix)
{
    const std::uint32_t stride = node.stride();
    node.vertices() = model::Vertices(v.count, v.values);
    if (!node.vertices().fits(stride) || (v.count > 0 && v.components != stride))
        ZY_THROWF("node '%s': %u vertices of %u components do not fit the material's vertex format (%u per vertex)",
                  node.name().c_str(), v.count, v.components, stride);
    node.indices() = model::Indices(ix.values, static_cast<std::int32_t>(ix.primitive));
}

class ModelBuilder {
public:
    explicit ModelBuilder(const Description& d) : d_(d) {}

    zy::Ref<model::RootNode> run()
    {
        root_ = zy::makeRef<model::RootNode>();
        root_->setName(d_.root.name);
        setProperties(*root_, d_.root.properties);
        root_->boundingBox() = box(d_.root.boundingBox);
        root_->userBox() = box(d_.root.userBox);
        root_->lightBox() = box(d_.root.lightBox);
        buildTree();
        for (const Material& m : d_.root.materials)
            materials_.push_back(makeMaterial(m));
        for (const Connector& c : d_.connectors)
            root_->addConnector(connector(c));
        for (const Shell& s : d_.shells)
            addShell(s);
        for (const Light& l : d_.lights)
            root_->addLight(light(l));
        for (const RenderItem& r : d_.renderNodes)
            addRenderItem(r);
        return root_;
    }

private:
    std::unique_ptr<model::Node> makeTreeNode(const TreeNode& n)
    {
        std::unique_ptr<model::Node> node;
        switch (n.kind) {
        case Kind::Node: node = std::make_unique<model::Node>(); break;
        case Kind::TransformNode: node = std::make_unique<model::TransformNode>(matrix(n.matrix)); break;
        case Kind::ArgAnimationNode:
        case Kind::ArgRotationNode:
        case Kind::ArgScaleNode:
        case Kind::ArgPositionNode: {
            auto a = std::make_unique<model::ArgAnimationNode>();
            a->setMatrix(matrix(n.matrix));
            setAnimation(*a, n.animation);
            node = std::move(a);
            break;
        }
        case Kind::ArgAnimatedBone: {
            auto a = std::make_unique<model::ArgAnimatedBone>();
            a->setMatrix(matrix(n.matrix));
            setAnimation(*a, n.animation);
            a->setBoneMatrix(matrix(n.boneMatrix));
            node = std::move(a);
            break;
        }
        case Kind::Bone: node = std::make_unique<model::Bone>(matrix(n.matrix), matrix(n.boneMatrix)); break;
        case Kind::IKBone: {
            auto b = std::make_unique<model::IKBone>(matrix(n.matrix));
            b->setBoneMatrix(matrix(n.boneMatrix));
            b->setLimits(n.limits);
            node = std::move(b);
            break;
        }
        case Kind::ArgVisibilityNode: {
            std::vector<model::VisibilityTrack> tracks;
            for (const VisibilityTrack& t : n.visibility) {
                model::VisibilityTrack track{t.argument, {}};
                for (const auto& [start, end] : t.ranges)
                    track.ranges.push_back({start, end});
                tracks.push_back(std::move(track));
            }
            node = std::make_unique<model::ArgVisibilityNode>(std::move(tracks));
            break;
        }
        case Kind::LodNode: {
            auto lod = std::make_unique<model::LodNode>();
            for (const auto& [from, to] : n.lodRanges)
                lod->addRange(from, to);
            node = std::move(lod);
            break;
        }
        case Kind::BillboardNode: {
            auto b = std::make_unique<model::BillboardNode>();
            b->setMatrix(matrix(n.matrix));
            b->setMode(n.billboardMode);
            b->setFlag(n.billboardFlag);
            b->setAxis(vec3d(n.billboardAxis));
            node = std::move(b);
            break;
        }
        default:
            ZY_THROWF("node '%s': class \"%s\" cannot be built yet", n.name.c_str(),
                      std::string(className(n.kind)).c_str());
        }
        node->setName(n.name);
        setProperties(*node, n.properties);
        return node;
    }

    void buildTree()
    {
        if (d_.nodes.empty())
            ZY_THROW("the model has no top node");
        nodes_.reserve(d_.nodes.size());
        for (std::size_t i = 0; i < d_.nodes.size(); ++i) {
            const TreeNode& n = d_.nodes[i];
            std::unique_ptr<model::Node> node = makeTreeNode(n);
            model::Node* raw = node.get();
            if (i == 0) {
                root_->setTopNode(std::move(node));
            } else {
                if (n.parent < 0 || std::size_t(n.parent) >= i)
                    ZY_THROWF("node %zu ('%s') has parent %d, not an earlier node", i, n.name.c_str(), n.parent);
                nodes_[n.parent]->appendChild(node.release());
            }
            nodes_.push_back(raw);
        }
    }

    model::Node* node(const NodeRef& ref, const char* what) const
    {
        if (ref.index >= nodes_.size())
            ZY_THROWF("%s refers to node %u, past the %zu tree nodes", what, ref.index, nodes_.size());
        return nodes_[ref.index];
    }

    zy::Ref<model::PropertiesSet> material(const RenderItem& r) const
    {
        if (r.material >= materials_.size())
            ZY_THROWF("render node '%s' uses material %u, past the %zu materials", r.name.c_str(), r.material,
                      materials_.size());
        return materials_[r.material];
    }

    std::unique_ptr<model::Connector> connector(const Connector& c)
    {
        auto connector = std::make_unique<model::Connector>();
        connector->setName(c.name);
        setProperties(*connector, c.properties);
        connector->setControl(node(c.control, "connector control"));
        for (const Property& p : c.connectorProperties)
            connector->animatedProperties().push_back(makeAnimatedProperty(p, ("connector '" + c.name + "'").c_str()));
        return connector;
    }

    std::unique_ptr<model::LightNode> light(const Light& l)
    {
        auto light = std::make_unique<model::LightNode>();
        light->setName(l.name);
        setProperties(*light, l.properties);
        light->setControl(node(l.control, "light control"));
        light->setLightType(l.type);
        if (l.lightProperties.size() != model::LightNode::kLightPropertyCount)
            ZY_THROWF("light '%s' has %zu light properties, a light has %zu", l.name.c_str(), l.lightProperties.size(),
                      model::LightNode::kLightPropertyCount);
        for (std::size_t slot = 0; slot < l.lightProperties.size(); ++slot)
            light->setLightProperty(slot, makeProperty(l.lightProperties[slot]));
        if (l.texture)
            light->setTexture(textureSlot(*l.texture));
        return light;
    }

    void addShell(const Shell& s)
    {
        if (s.kind == Kind::SegmentsNode) {
            auto segments = zy::makeRef<model::SegmentsNode>();
            segments->setName(s.name);
            setProperties(*segments, s.properties);
            segments->setControl(node(s.control, "shell control"));
            for (const auto& [start, end] : s.segments)
                segments->addSegment(vec3f(start), vec3f(end));
            root_->addShellNode(segments);
            return;
        }
        auto shell = zy::makeRef<model::ShellNode>();
        shell->setName(s.name);
        setProperties(*shell, s.properties);
        shell->setControl(node(s.control, "shell control"));
        const model::VertexFormat format = vertexFormat(s.vertexFormat);
        if ((s.vertices.count > 0 && s.vertices.components != format.stride()) ||
            !shell->setGeometry(format, model::Vertices(s.vertices.count, s.vertices.values),
                                model::Indices(s.indices.values, static_cast<std::int32_t>(s.indices.primitive))))
            ZY_THROWF("shell '%s': %u vertices of %u components do not fit its vertex format (%u per vertex)",
                      s.name.c_str(), s.vertices.count, s.vertices.components, format.stride());
        root_->addShellNode(shell);
    }

    void addRenderItem(const RenderItem& r)
    {
        switch (r.kind) {
        case Kind::RenderNode: root_->addRenderNode(renderNode<model::RenderNode>(r)); break;
        case Kind::NumberNode: {
            auto number = renderNode<model::NumberNode>(r);
            for (std::size_t i = 0; i < r.parts.size(); ++i) {
                model::DigitParameterList digits;
                for (const auto& bytes : r.parts[i].digits) {
                    model::DigitParameters digit;
                    std::memcpy(&digit.a, bytes.data(), 4);
                    std::memcpy(&digit.b, bytes.data() + 4, 4);
                    std::memcpy(&digit.c, bytes.data() + 8, 4);
                    std::memcpy(&digit.d, bytes.data() + 12, 4);
                    digits.push_back(digit);
                }
                number->setDigits(static_cast<std::uint32_t>(i), std::move(digits));
            }
            root_->addRenderNode(number);
            break;
        }
        case Kind::SkinNode: {
            auto skin = zy::makeRef<model::SkinNode>();
            startRenderNode(*skin, r);
            for (const NodeRef& bone : r.bones)
                if (!skin->addBone(node(bone, "skin bone")))
                    ZY_THROWF("skin '%s': node %u is not a bone", r.name.c_str(), bone.index);
            skin->setArgument(r.argument);
            setMesh(*skin, r.vertices, r.indices);
            root_->addRenderNode(skin);
            break;
        }
        case Kind::FakeOmniLightsNode: root_->addRenderNode(fakeLights<model::FakeOmniLightsNode>(r)); break;
        case Kind::FakeSpotLightsNode: root_->addRenderNode(fakeLights<model::FakeSpotLightsNode>(r)); break;
        case Kind::AnimatedFakeOmniLightsNode:
            root_->addRenderNode(animatedFakeLights<model::AnimatedFakeOmniLightsNode>(r));
            break;
        case Kind::AnimatedFakeSpotLightsNode:
            root_->addRenderNode(animatedFakeLights<model::AnimatedFakeSpotLightsNode>(r));
            break;
        default: ZY_THROWF("render node '%s': not a rendering class", r.name.c_str());
        }
    }

    void startRenderNode(model::BaseRenderNode& node, const RenderItem& r) const
    {
        node.setName(r.name);
        setProperties(node, r.properties);
        node.setMaterial(material(r));
    }

    template <class T>
    zy::Ref<T> renderNode(const RenderItem& r)
    {
        auto render = zy::makeRef<T>();
        startRenderNode(*render, r);
        setMesh(*render, r.vertices, r.indices);
        std::vector<model::RenderPart>& parts = render->parts();
        parts.clear();
        std::uint32_t start = 0;
        for (const Part& p : r.parts) {
            if (p.end < start || p.end > r.indices.values.size())
                ZY_THROWF("render node '%s': part end %u is outside %u..%zu", r.name.c_str(), p.end, start,
                          r.indices.values.size());
            parts.push_back({node(p.control, "part control"), start, p.end, p.argument});
            start = p.end;
        }
        return render;
    }

    template <class T>
    zy::Ref<T> fakeLights(const RenderItem& r)
    {
        auto lights = zy::makeRef<T>();
        startRenderNode(*lights, r);
        auto& list = lights->lightList();
        using Control = std::decay_t<decltype(list.control(0))>;
        using Light = typename std::decay_t<decltype(list.lights())>::value_type;
        for (std::size_t c = 0; c < r.controls.size(); ++c) {
            Control control;
            control.node = node(r.controls[c].control, "fake-light control");
            if constexpr (std::is_base_of_v<model::FakeSpotLightControl, Control>)
                control.direction = vec3f(r.controls[c].direction);
            if (c == 0)
                list.control(0) = control;
            else
                list.addControl(control);
        }
        std::vector<Light> all;
        all.reserve(r.lights.size());
        for (const FakeLight& l : r.lights) {
            Light light;
            light.position = vec3d(l.position);
            light.lowerLeft = vec2f(l.uvMin);
            light.upperRight = vec2f(l.uvMax);
            light.size = l.size;
            light.controlSlot = l.controlSlot;
            if constexpr (std::is_base_of_v<model::FakeSpotLight, Light>) {
                light.backLowerLeft = vec2f(l.backUvMin);
                light.backUpperRight = vec2f(l.backUvMax);
                light.backUsed = l.backUsed;
            }
            all.push_back(light);
        }
        if (!list.setLights(std::move(all)))
            ZY_THROWF("fake lights '%s': a light's control slot is past the %zu controls", r.name.c_str(),
                      r.controls.size());
        return lights;
    }

    template <class T>
    zy::Ref<T> animatedFakeLights(const RenderItem& r)
    {
        zy::Ref<T> lights = fakeLights<T>(r);
        lights->setArgument(r.argument);
        lights->setSamples(r.samples);
        return lights;
    }

    const Description& d_;
    zy::Ref<model::RootNode> root_;
    std::vector<model::Node*> nodes_;
    std::vector<zy::Ref<model::PropertiesSet>> materials_;
};

} // namespace

zy::Ref<model::RootNode> buildModel(const Description& d) { return ModelBuilder(d).run(); }

void buildFile(const Description& d, const std::string& path, std::uint16_t version)
{
    buildModel(d)->save(path, version);
}

} // namespace zym
