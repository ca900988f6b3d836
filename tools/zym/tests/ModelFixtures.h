#pragma once
// A small model with geometry, a material and a tree, shared by the check,
// diff, statistics and command-line tests.
#include "zym/DescriptionJson.h"

namespace zym::test {

inline Json meshModel()
{
    return Json::parse(R"({
        "root": {"name": "boat"},
        "materials": [
            {"id": 0, "name": "hull", "blending": 0,
             "vertex_format": [4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0],
             "animated_uniforms": [{"name": "wet", "type": "animated_float", "argument": 2, "keys": [[0, 0], [1, 1]]}]},
            {"id": 1, "name": "sail", "blending": 1, "decal": 3,
             "vertex_format": [4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0]}],
        "tree": {"class": "Node", "name": "top", "children": [
            {"class": "TransformNode", "name": "Hull", "properties": [{"name": "mass", "type": "float", "value": 120}],
             "children": [{"class": "TransformNode", "name": "Mast"}]}]},
        "render_nodes": [
            {"class": "RenderNode", "name": "hull", "material": 0, "parts": [{"control": "/Hull", "argument": 0}],
             "vertices": [[0, 0, 0, 0], [1, 0, 0, 0], [1, 1, 0, 0], [0, 1, 0, 0]],
             "indices": {"values": [0, 1, 2, 0, 2, 3]}},
            {"class": "RenderNode", "name": "sail", "material": 1, "parts": [{"control": "/Hull/Mast"}],
             "vertices": [[0, 0, 1, 0], [1, 0, 1, 0], [0, 0, 2, 0]],
             "indices": {"values": [0, 1, 2]}}]})");
}

} // namespace zym::test
