#pragma once
// Turns each temporary number root and the digit meshes below it into one
// number node whose vertices carry their digit number.
namespace model {

class RootNode;

class NumberNodeConverter {
public:
    // False when the model has no digits (nothing changed). Otherwise each
    // number root's digits (render nodes whose part 0 hangs on it, in list
    // order) become one model::NumberNode controlled by the number root's
    // parent, appended to the render list; the digits leave the list and the
    // number roots leave the tree. Raises "Only render nodes can be digits.",
    // "TmpNumberRoot must be childfree.", "Number of control nodes must be ==
    // 1." or "Can't merge digits."; the model is unchanged then.
    static bool convert(RootNode& root);
};

} // namespace model
