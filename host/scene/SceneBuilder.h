#pragma once
// Builds scenes for tests in a few lines: nodes with meshes, helpers, shapes and
// lights, materials and maps, modifiers and the skin, controllers with keys.
// Names are UTF-8; everything goes into the in-memory host's scene.
#include <array>
#include <string>
#include <utility>
#include <vector>

#include "maxsdk/Max.h"
#include "mem/MemInterface.h"

namespace zyscene {

template <class V>
struct Key {
    TimeValue t;
    V v;
};

using Triangles = std::vector<std::array<int, 3>>;
// Per vertex: (bone index into the skin's bone list, weight).
using SkinWeights = std::vector<std::vector<std::pair<int, float>>>;

// Controllers with keys (linear interpolation; the point controller is Bezier).
Control* FloatKeys(const std::vector<Key<float>>& keys);
Control* Point3Keys(const std::vector<Key<Point3>>& keys);
Control* PositionKeys(const std::vector<Key<Point3>>& keys);
Control* RotationKeys(const std::vector<Key<Quat>>& keys);
Control* ScaleKeys(const std::vector<Key<ScaleValue>>& keys);
// An on/off controller: startOn before the first key, toggled at every key.
Control* OnOffKeys(bool startOn, const std::vector<TimeValue>& toggles);

// Meshes. Faces get the smoothing group and material id given.
TriObject* TriMesh(const std::vector<Point3>& verts, const Triangles& faces, DWORD smGroup = 1, int matId = 0);
// A box centred on the origin: 8 vertices, 12 faces; each side in its own smoothing
// group (bits 1 ... 6) and material id (0 ... 5), or all faces in group 1.
TriObject* BoxMesh(const Point3& size, bool groupPerSide = true);
// Fills a map channel (negative for the hidden channels) with one texture face per face.
void SetMapChannel(TriObject* obj, int channel, const std::vector<Point3>& tverts, const Triangles& tfaces);

// Index of owner's sub-animatable named name, or -1.
int SubAnimIndex(Animatable* owner, const MSTR& name);
// Walks sub-animatables by name from root; null when a step is missing (or the
// last one holds no controller).
Animatable* SubAnimByPath(Animatable* root, const std::vector<MSTR>& path);
// Assigns a controller to the sub-animatable named name of owner.
bool AssignController(Animatable* owner, const MSTR& name, Control* c);

class SceneBuilder {
public:
    explicit SceneBuilder(MemInterface& host = TheMemInterface()) : host_(host) {}
    MemInterface& Host() { return host_; }

    INode* Node(const std::string& name, Object* obj = nullptr, INode* parent = nullptr);
    INode* Box(const std::string& name, const Point3& size = Point3(1, 1, 1), INode* parent = nullptr);
    INode* Dummy(const std::string& name, const Box3& box, INode* parent = nullptr);
    INode* PointHelper(const std::string& name, INode* parent = nullptr);
    INode* Bone(const std::string& name, INode* parent = nullptr);
    // A shape of straight pieces: one curve per point list.
    INode* Shape(const std::string& name, const std::vector<std::vector<Point3>>& curves, bool closed,
                 INode* parent = nullptr);
    // Omni, target spot, free spot or directional light; a target spot gets a target node.
    INode* Light(const std::string& name, Class_ID kind, INode* parent = nullptr);
    static GenLight* LightOf(INode* node);

    // Sets the node's PRS sub-controllers (no keys) to its local transform.
    void Place(INode* node, const Point3& pos, const Quat& rot = Quat(), const ScaleValue& scale = ScaleValue());
    // Replaces the node's position, rotation or scale controller by one with keys.
    Control* KeyPosition(INode* node, const std::vector<Key<Point3>>& keys);
    Control* KeyRotation(INode* node, const std::vector<Key<Quat>>& keys);
    Control* KeyScale(INode* node, const std::vector<Key<ScaleValue>>& keys);
    void SetUserProps(INode* node, const std::string& text);
    // Gives the node a PRS transform controller reporting another class id, standing
    // in for another plug-in's transform controller (BIPSLAVE_CONTROL_CLASS_ID ...).
    Control* UseTMControllerClass(INode* node, Class_ID classId);

    // Materials go into the scene material library.
    StdMat2* StandardMaterial(const std::string& name);
    MultiMtl* MultiMaterial(const std::string& name, const std::vector<Mtl*>& subs);
    // The deck material with some of its bitmap parameters set (name, file path).
    Mtl* DeckMaterial(const std::string& name, const std::vector<std::pair<std::string, std::string>>& bitmaps);
    static BitmapTex* Bitmap(const std::string& path, int channel = 1, int tiling = U_WRAP | V_WRAP);

    // Puts the modifier on top of the node's stack (wrapping the object in a derived
    // object when it has none).
    Modifier* AddModifier(INode* node, Modifier* mod);
    // A Skin modifier on node with these bones and weights.
    Modifier* Skin(INode* node, const std::vector<INode*>& bones, const SkinWeights& weights);

private:
    MemInterface& host_;
};

} // namespace zyscene
