#include "zym/ModelBuilder.h"

#include <memory>
#include <vector>

#include "Property.h"
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
        if (!d_.connectors.empty() || !d_.shells.empty() || !d_.lights.empty() || !d_.renderNodes.empty())
            ZY_THROW("connectors, shells, lights and render nodes cannot be built yet");
        return root_;
    }

private:
    std::unique_ptr<model::Node> makeTreeNode(const TreeNode& n)
    {
        std::unique_ptr<model::Node> node;
        switch (n.kind) {
        case Kind::Node: node = std::make_unique<model::Node>(); break;
        case Kind::TransformNode: node = std::make_unique<model::TransformNode>(matrix(n.matrix)); break;
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

    const Description& d_;
    zy::Ref<model::RootNode> root_;
    std::vector<model::Node*> nodes_;
};

} // namespace

zy::Ref<model::RootNode> buildModel(const Description& d) { return ModelBuilder(d).run(); }

void buildFile(const Description& d, const std::string& path, std::uint16_t version)
{
    buildModel(d)->save(path, version);
}

} // namespace zym
