#include "utils/ShellDetachment.h"

#include <memory>
#include <vector>

#include "BaseShellNode.h"
#include "RootNode.h"
#include "utils/TreeEdit.h"

namespace model {

bool detachShellsFromLods(RootNode& root)
{
    bool detached = false;
    for (size_t i = 0; i < root.shellNodes().size(); ++i) {
        BaseShellNode* shell = root.shellNodes()[i];
        Node* control = shell->control();
        if (!control || isKind(control, NodeKind::LodNode))
            continue;
        Node* lod = control->parent();
        while (lod && !isKind(lod, NodeKind::LodNode))
            lod = lod->parent();
        if (!lod || !lod->parent())
            continue;
        // Copy the whole chain first, so that a node that refuses to be
        // copied leaves the tree untouched.
        std::vector<std::unique_ptr<Node>> copies;
        for (Node* n = control; n != lod; n = n->parent())
            copies.push_back(n->clone());
        Node* attach = lod->parent();
        for (auto copy = copies.rbegin(); copy != copies.rend(); ++copy) {
            Node* linked = copy->release();
            attach->appendChild(linked);
            attach = linked;
        }
        shell->setControl(attach);
        detached = true;
    }
    return detached;
}

} // namespace model
