// Build -> dump -> build gives the same bytes, and the dump says what the
// description said, for every record kind the model library can build.
#include <gtest/gtest.h>

#include "ZymTestSupport.h"
#include "zym/Checker.h"
#include "zym/JsonNumbers.h"

namespace zym::test {
namespace {

// True when every field of `expected` is in `actual` with the same value
// (numbers compared as single-precision values); arrays must match in length.
::testing::AssertionResult contains(const Json& actual, const Json& expected, const std::string& where = "")
{
    double x = 0, y = 0;
    if (expected.is_number() && jsonToDouble(actual, x) && jsonToDouble(expected, y)) {
        if (float(x) == float(y) || x == y)
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << where << ": " << actual.dump() << " != " << expected.dump();
    }
    if (expected.is_object()) {
        if (!actual.is_object())
            return ::testing::AssertionFailure() << where << ": not an object";
        for (const auto& [key, value] : expected.items()) {
            // Material ids are renumbered by list position; references are compared by name below.
            if (key == "id" || key == "material")
                continue;
            if (!actual.contains(key))
                return ::testing::AssertionFailure() << where << "." << key << " is missing";
            if (auto r = contains(actual[key], value, where + "." + key); !r)
                return r;
        }
        return ::testing::AssertionSuccess();
    }
    if (expected.is_array()) {
        if (!actual.is_array() || actual.size() != expected.size())
            return ::testing::AssertionFailure() << where << ": " << actual.dump() << " vs " << expected.dump();
        for (std::size_t i = 0; i < expected.size(); ++i)
            if (auto r = contains(actual[i], expected[i], where + "[" + std::to_string(i) + "]"); !r)
                return r;
        return ::testing::AssertionSuccess();
    }
    if (actual != expected)
        return ::testing::AssertionFailure() << where << ": " << actual.dump() << " != " << expected.dump();
    return ::testing::AssertionSuccess();
}

struct Model {
    const char* name;
    const char* json;
};

const Model kModels[] = {
    {"minimal", R"({"root": {"name": ""}, "tree": {"class": "Node", "name": ""}})"},
    {"properties_of_every_type", R"({
        "root": {"name": "Ship", "properties": [
            {"name": "__VERSION__", "type": "uint", "value": 3},
            {"name": "author", "type": "string", "value": "Zoë"}]},
        "tree": {"class": "TransformNode", "name": "Körper",
            "matrix": [0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1, 0, 1.5, -2.25, 3.125, 1],
            "properties": [
                {"name": "f", "type": "float", "value": 0.1},
                {"name": "u", "type": "uint", "value": 4294967295},
                {"name": "v2", "type": "vec2f", "value": [1, -2]},
                {"name": "v3", "type": "vec3f", "value": [1, 2, 3]},
                {"name": "v4", "type": "vec4f", "value": [1, 2, 3, 4]},
                {"name": "s", "type": "string", "value": ""},
                {"name": "af", "type": "animated_float", "argument": 0, "keys": [[0, 1], [0.5, 2]]},
                {"name": "a2", "type": "animated_vec2f", "argument": 1, "keys": [[0, [1, 2]]]},
                {"name": "a3", "type": "animated_vec3f", "argument": 2, "keys": [[0.25, [1, 2, 3]], [1, [4, 5, 6]]]},
                {"name": "a4", "type": "animated_vec4f", "argument": 3, "keys": []},
                {"name": "arg", "type": "argument", "argument": 7},
                {"name": "f", "type": "float", "value": -0.0}]}})"},
    {"nested_tree_with_boxes", R"({
        "root": {"name": "r", "properties": [{"name": "__VERSION__", "type": "uint", "value": 3}],
            "bounding_box": {"min": [-1, -2, -3], "max": [1, 2, 3]},
            "user_box": {"min": [0, 0, 0], "max": [0, 0, 0]},
            "light_box": "empty"},
        "tree": {"class": "Node", "name": "top", "children": [
            {"class": "TransformNode", "name": "A", "children": [
                {"class": "Node", "name": "B"},
                {"class": "TransformNode", "name": "B", "properties": [{"name": "x", "type": "float", "value": 2}]}]},
            {"class": "Node", "name": "C", "children": [{"class": "Node", "name": ""}]}]}})"},
    {"animation_bones_and_special_tree_nodes", R"({
        "root": {"name": "anim"},
        "tree": {"class": "Node", "name": "top", "children": [
            {"class": "ArgAnimationNode", "name": "all_tracks",
                "matrix": [1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 2, 0, 1],
                "base_position": [1, 2, 3], "base_rotation": [0, 0, 0.7071067811865476, 0.7071067811865476],
                "scale_orientation": [0, 0, 0, 1], "base_scale": [1, 2, 1],
                "position_tracks": [{"argument": 1, "keys": [[0, [0, 0, 0]], [1, [0, 5, 0]]]}],
                "rotation_tracks": [{"argument": 2, "keys": [[-1, [0, 0, 0, 1]], [1, [1, 0, 0, 0]]]}],
                "scale_tracks": [{"argument": 3, "orientation_keys": [[0, [0, 0, 0, 1]]],
                                  "scale_keys": [[0, [1, 1, 1]], [0.5, [2, 2, 2]]]}],
                "children": [
                    {"class": "ArgPositionNode", "name": "slides",
                        "position_tracks": [{"argument": 0, "keys": [[0, [1, 0, 0]]]}]},
                    {"class": "ArgRotationNode", "name": "turns",
                        "rotation_tracks": [{"argument": 5, "keys": [[0, [0, 0, 0, 1]]]}]},
                    {"class": "ArgScaleNode", "name": "still"}]},
            {"class": "ArgVisibilityNode", "name": "blinks",
                "visibility_tracks": [{"argument": 4, "ranges": [[0, 0.5], [0.5, 1]]},
                                      {"argument": 6, "ranges": [[-1, 2]]}]},
            {"class": "LodNode", "name": "lod", "lod_ranges": [[0, 100], [100, 10000]], "children": [
                {"class": "Node", "name": "near"}, {"class": "Node", "name": "far"}]},
            {"class": "BillboardNode", "name": "sprite", "billboard_mode": 2, "billboard_flag": 1,
                "matrix": [2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 1], "billboard_axis": [0, 1, 0],
                "properties": [{"name": "__VERSION__", "type": "uint", "value": 1}]},
            {"class": "Bone", "name": "spine", "bone_matrix": [1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, -1, 1],
                "children": [
                    {"class": "IKBone", "name": "neck", "limits": [-1, 1, -0.5, 0.5, -0.25, 0.25],
                        "bone_matrix": [1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, -2, 1]},
                    {"class": "ArgAnimatedBone", "name": "jaw",
                        "rotation_tracks": [{"argument": 7, "keys": [[0, [0, 0, 0, 1]], [1, [0, 1, 0, 0]]]}],
                        "position_tracks": [{"argument": 7, "keys": [[0, [0, 0, 0]]]}],
                        "bone_matrix": [1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, -3, 1]}]}]}})"},
    {"geometry_and_materials", R"({
        "root": {"name": "geo", "bounding_box": {"min": [0, 0, 0], "max": [1, 1, 1]}},
        "materials": [
            {"id": "paint", "name": "paint", "material_name": "def_material", "blending": 2, "depth_bias": true,
             "shadows": {"cast": false, "second": true},
             "vertex_format": [4, 3, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0],
             "texture_coordinates": [0, 0, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, 0],
             "textures": [
                {"slot": "Diffuse", "name": "paint.dds"},
                {"slot": "NormalMap", "name": "paint_n.dds", "code_a": 3, "address_u": 4, "address_v": 2, "code_b": 11,
                 "code_c": 7, "matrix": [1, 0, 0, 0, 0, -1, 0, 0, 0, 0, 1, 0, 0, 1, 0, 1]},
                {"slot": "MetRoughMap", "name": "paint_mr.dds"}],
             "uniforms": [{"name": "specPower", "type": "float", "value": 32},
                          {"name": "tint", "type": "vec4f", "value": [1, 0.5, 0.25, 1]}],
             "animated_uniforms": [{"name": "damage", "type": "animated_float", "argument": 9, "keys": [[0, 0], [1, 1]]}],
             "billboard": {"mode": 1, "value": 3}, "decal": 2},
            {"id": "skin", "name": "skin",
             "vertex_format": [3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 4, 0, 0, 0, 0]},
            {"id": "digits", "name": "digits",
             "vertex_format": [4, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0]}],
        "tree": {"class": "Node", "name": "top", "children": [
            {"class": "TransformNode", "name": "Body", "children": [{"class": "TransformNode", "name": "Door"}]},
            {"class": "Bone", "name": "b0"}, {"class": "Bone", "name": "b1"}]},
        "shells": [
            {"class": "ShellNode", "name": "collision", "control": "/Body",
             "vertex_format": [3, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0],
             "vertices": [[0, 0, 0, 0, 0, 1], [1, 0, 0, 0, 0, 1], [0, 1, 0, 0, 0, 1]],
             "indices": {"primitive": 5, "values": [0, 1, 2]}},
            {"class": "SegmentsNode", "name": "edges", "control": "/Body/Door", "segments": [[0, 0, 0, 1, 1, 1], [1, 1, 1, 2, 0, 0]]}],
        "render_nodes": [
            {"class": "RenderNode", "name": "hull", "material": "paint", "parts": [{"control": "/Body", "argument": 4}],
             "vertices": [[0, 0, 0, 0, 0, 0, 1, 0, 0], [1, 0, 0, 0, 0, 0, 1, 1, 0], [1, 1, 0, 0, 0, 0, 1, 1, 1]],
             "indices": {"primitive": 5, "values": [0, 1, 2]}},
            {"class": "RenderNode", "name": "two_parts", "material": "paint",
             "parts": [{"control": "/Body", "end": 3}, {"control": "/Body/Door", "end": 6, "argument": 1}],
             "vertices": [[0, 0, 0, 0, 0, 0, 1, 0, 0], [1, 0, 0, 0, 0, 0, 1, 1, 0], [1, 1, 0, 0, 0, 0, 1, 1, 1],
                          [0, 0, 1, 1, 0, 0, 1, 0, 0], [1, 0, 1, 1, 0, 0, 1, 1, 0], [1, 1, 1, 1, 0, 0, 1, 1, 1]],
             "indices": {"primitive": 5, "values": [0, 1, 2, 3, 4, 5]}},
            {"class": "SkinNode", "name": "skin", "material": "skin", "bones": ["/b0", "/b1"], "argument": 3,
             "vertices": [[0, 0, 0, 1, 0, 0, 0], [0, 1, 0, 0.5, 0.5, 0, 0]],
             "indices": {"primitive": 1, "values": [0, 1]}},
            {"class": "NumberNode", "name": "counter", "material": "digits",
             "parts": [{"control": "/Body", "digits": [[0, 0.5, 1, 0.25], [1, 0.1, 10, 0.75]]}],
             "vertices": [[0, 0, 0, 0, 0, 0, 0], [1, 0, 0, 0, 1, 0, 0], [1, 1, 0, 0, 1, 1, 1]],
             "indices": {"primitive": 5, "values": [0, 1, 2]}}]})"},
    {"connectors_and_lights", R"({
        "root": {"name": "cl"},
        "tree": {"class": "Node", "name": "top", "children": [{"class": "TransformNode", "name": "mast"}]},
        "connectors": [
            {"name": "hook", "control": "/mast", "properties": [{"name": "kind", "type": "string", "value": "tow"}],
             "connector_properties": [
                {"name": "swing", "type": "animated_vec3f", "argument": 11, "keys": [[0, [0, 0, 0]], [1, [0, 1, 0]]]},
                {"name": "open", "type": "argument", "argument": 12}]}],
        "lights": [
            {"name": "lamp", "control": "/", "type": "omni"},
            {"name": "beam", "control": "/mast", "type": "spot",
             "light_properties": [
                {"name": "color", "type": "vec3f", "value": [1, 0.9, 0.8]},
                {"name": "intensity", "type": "animated_float", "argument": 13, "keys": [[0, 0], [1, 5]]},
                {"name": "", "type": "float", "value": 0}, {"name": "", "type": "float", "value": 0},
                {"name": "range", "type": "float", "value": 50}, {"name": "", "type": "float", "value": 1},
                {"name": "", "type": "float", "value": 0}],
             "texture": {"name": "cookie.dds", "address_u": 4}}]})"},
    {"fake_lights", R"({
        "root": {"name": "fl"},
        "materials": [{"id": 0, "name": "glow"}],
        "tree": {"class": "Node", "name": "top", "children": [
            {"class": "TransformNode", "name": "wing"}, {"class": "TransformNode", "name": "tail"}]},
        "render_nodes": [
            {"class": "FakeOmniLightsNode", "name": "nav", "material": 0,
             "controls": [{"control": "/wing"}, {"control": "/tail"}],
             "lights": [
                {"position": [0, 1, 2], "uv_min": [0, 0], "uv_max": [1, 1], "size": 0.5, "control_slot": 0},
                {"position": [3, 4, 5], "uv_min": [0, 0.5], "uv_max": [0.5, 1], "size": 0.25, "control_slot": 1},
                {"position": [6, 7, 8], "size": 1, "control_slot": 1}]},
            {"class": "FakeSpotLightsNode", "name": "landing", "material": 0,
             "controls": [{"control": "/wing", "direction": [0, 0, -1]}],
             "lights": [{"position": [1, 1, 1], "uv_min": [0, 0], "uv_max": [1, 1], "size": 2,
                         "back_uv_min": [0.5, 0.5], "back_uv_max": [1, 1], "back_used": true}]},
            {"class": "AnimatedFakeOmniLightsNode", "name": "strobe", "material": 0, "argument": 14,
             "controls": [{"control": "/tail"}], "lights": [{"position": [0, 0, 0], "size": 1}]},
            {"class": "AnimatedFakeSpotLightsNode", "name": "beacon", "material": 0, "argument": 15,
             "controls": [{"control": "/"}],
             "lights": [{"position": [0, 0, 0], "size": 1}, {"position": [0, 1, 0], "size": 1}]}]})"},
};

// Animated fake lights carry 128 samples per light; generated rather than spelled out.
Json withSamples(Json model)
{
    if (!model.contains("render_nodes"))
        return model;
    for (Json& node : model["render_nodes"]) {
        const std::string cls = node["class"].get<std::string>();
        if (cls.rfind("Animated", 0) != 0)
            continue;
        Json samples = Json::array();
        for (std::size_t i = 0; i < 128 * node["lights"].size(); ++i)
            samples.push_back(static_cast<double>(i % 128) / 128.0);
        node["samples"] = std::move(samples);
    }
    return model;
}

class RoundTrip : public ::testing::TestWithParam<Model> {};

TEST_P(RoundTrip, BuildingTheDumpGivesTheSameBytes)
{
    const Json description = withSamples(Json::parse(GetParam().json));
    const std::vector<std::uint8_t> first = buildBytes(description);
    EXPECT_TRUE(checkFile(first).empty()) << checkFile(first)[0].message;

    const Json dumped = dumpBytes(first);
    EXPECT_TRUE(contains(dumped, description));

    // Each render node keeps its material.
    auto materialName = [](const Json& model, const Json& id) {
        for (const Json& m : model["materials"])
            if (m["id"] == id)
                return m["name"].get<std::string>();
        return std::string("(none)");
    };
    if (description.contains("render_nodes")) {
        for (std::size_t i = 0; i < description["render_nodes"].size(); ++i)
            EXPECT_EQ(materialName(dumped, dumped["render_nodes"][i]["material"]),
                      materialName(description, description["render_nodes"][i]["material"]));
    }

    const std::vector<std::uint8_t> second = buildBytes(dumped);
    EXPECT_EQ(first, second);
    EXPECT_EQ(dumpBytes(second), dumped);
}

INSTANTIATE_TEST_SUITE_P(EveryRecordKind, RoundTrip, ::testing::ValuesIn(kModels),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(RoundTrip, Version11IsWrittenAsVersion10)
{
    const Json description = Json::parse(kModels[1].json);
    EXPECT_EQ(buildBytes(description, 11), buildBytes(description, 10));
}

} // namespace
} // namespace zym::test
