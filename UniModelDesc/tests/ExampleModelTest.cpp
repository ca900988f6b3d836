// The bundled example model saves and carries a record of every kind the
// writer can produce.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "ExampleModel.h"
#include "TestFiles.h"

TEST(ExampleModel, SavesEveryRecordKind)
{
    testing_files::ScratchDir dir;
    const std::string path = dir.file("example.zym");
    example::buildExampleModel()->save(path, 10);
    const std::vector<uint8_t> file = testing_files::readBytes(path);
    ASSERT_GT(file.size(), 9u);

    // The pool follows the header: u32 length, then NUL-terminated strings.
    const uint32_t poolSize = file[5] | file[6] << 8 | file[7] << 16 | uint32_t(file[8]) << 24;
    ASSERT_LE(9 + poolSize, file.size());
    std::set<std::string> pool;
    std::string current;
    for (uint32_t i = 9; i < 9 + poolSize; ++i) {
        if (file[i] == 0) {
            pool.insert(current);
            current.clear();
        } else {
            current += char(file[i]);
        }
    }
    for (const char* name : {
             "model::RootNode", "model::Node", "model::TransformNode", "model::ArgAnimationNode",
             "model::ArgPositionNode", "model::ArgRotationNode", "model::ArgScaleNode", "model::ArgAnimatedBone",
             "model::ArgVisibilityNode", "model::Bone", "model::IKBone", "model::LodNode", "model::BillboardNode",
             "model::Connector", "model::LightNode", "model::RenderNode", "model::SkinNode", "model::NumberNode",
             "model::ShellNode", "model::SegmentsNode", "model::FakeOmniLightsNode", "model::FakeSpotLightsNode",
             "model::AnimatedFakeOmniLightsNode", "model::AnimatedFakeSpotLightsNode", "model::Property<float>",
             "model::Property<unsigned int>", "model::Property<osg::Vec2f>", "model::Property<osg::Vec3f>",
             "model::Property<osg::Vec4f>", "model::Property<const char*>", "model::AnimatedProperty<float>",
             "model::AnimatedProperty<osg::Vec2f>", "model::AnimatedProperty<osg::Vec3f>",
             "model::AnimatedProperty<osg::Vec4f>", "model::ArgumentProperty", "BILLBOARD", "DECAL", "CONNECTORS",
             "SHELL_NODES", "LIGHT_NODES", "RENDER_NODES",
         })
        EXPECT_TRUE(pool.count(name)) << name;
}
