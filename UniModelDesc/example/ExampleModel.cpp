#include "ExampleModel.h"

#include "Property.h"
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

    root->setTopNode(std::move(top));
    return root;
}

} // namespace example
