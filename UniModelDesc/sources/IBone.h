#pragma once
// Implemented by the bone node classes: a tree node that also carries the
// matrix a skin binds to.
#include "Math.h"

namespace model {

class Node;

class IBone {
public:
    virtual ~IBone() = default;
    virtual void setBoneMatrix(const osg::Mat4d& matrix) = 0;
    virtual const osg::Mat4d& boneMatrix() const = 0;
    virtual Node* node() = 0;
    virtual const Node* node() const = 0;
    // The node's local matrix; an argument-animated bone answers identity.
    virtual const osg::Mat4d& localMatrix() const = 0;
};

} // namespace model
