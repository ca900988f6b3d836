#include "zyhost/SceneTree.h"

#include <string>

#include "maxsdk/Max.h"

namespace zyhost {

namespace {

std::string ClassName(Animatable* a) {
    MSTR name;
    a->GetClassName(name);
    return ToUTF8(name);
}

std::string Describe(Object* obj) {
    std::string text;
    while (obj && obj->SuperClassID() == GEN_DERIVOB_CLASS_ID) {
        auto* d = static_cast<IDerivedObject*>(obj);
        for (int i = 0; i < d->NumModifiers(); ++i)
            if (Modifier* m = d->GetModifier(i)) text += ClassName(m) + " > ";
        obj = d->GetObjRef();
    }
    if (!obj) return text + "(no object)";
    text += ClassName(obj);
    if (obj->ClassID() == TRIOBJ_CLASS_ID) {
        Mesh& mesh = static_cast<TriObject*>(obj)->GetMesh();
        text += ", " + std::to_string(mesh.getNumVerts()) + " vertices, " + std::to_string(mesh.getNumFaces()) + " faces";
    } else if (obj->SuperClassID() == SHAPE_CLASS_ID) {
        text += ", " + std::to_string(static_cast<ShapeObject*>(obj)->NumberOfCurves(0)) + " curves";
    }
    return text;
}

void PrintNode(INode* node, int depth, std::ostream& out) {
    out << std::string(std::size_t(depth) * 2, ' ') << ToUTF8(node->GetName());
    if (Object* obj = node->GetObjectRef()) out << "  [" << Describe(obj) << "]";
    if (Mtl* m = node->GetMtl()) out << "  material: " << ToUTF8(m->GetName());
    if (node->IsNodeHidden()) out << "  hidden";
    if (INode* t = node->GetTarget()) out << "  target: " << ToUTF8(t->GetName());
    out << '\n';
    for (int i = 0; i < node->NumberOfChildren(); ++i) PrintNode(node->GetChildNode(i), depth + 1, out);
}

} // namespace

void PrintSceneTree(Interface& host, std::ostream& out) {
    const MSTR& file = host.GetCurFilePath();
    out << "Scene" << (file.empty() ? std::string() : " " + ToUTF8(file)) << '\n';
    INode* root = host.GetRootNode();
    for (int i = 0; i < root->NumberOfChildren(); ++i) PrintNode(root->GetChildNode(i), 1, out);
    MtlBaseLib& lib = host.GetSceneMtls();
    if (lib.Count() > 0) {
        out << "Materials\n";
        for (int i = 0; i < lib.Count(); ++i)
            if (MtlBase* m = lib[i]) out << "  " << ToUTF8(m->GetName()) << "  [" << ClassName(m) << "]\n";
    }
}

} // namespace zyhost
