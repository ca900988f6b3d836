#pragma once
// A tree node with a local matrix (row-vector convention).
#include "Node.h"

namespace model {

class TransformNode : public Node {
public:
    TransformNode() = default;
    explicit TransformNode(const osg::Mat4d& matrix) : matrix_(matrix) {}
    TransformNode(const TransformNode&) = default;

    NodeKind kind() const override { return NodeKind::TransformNode; }
    void accept(INodeWriter& writer) override;
    void accumulateMatrix(const IModelArguments& arguments, osg::Mat4d& matrix) const override;
    // Node equality and every matrix element within 1e-6.
    bool equals(const Node& other) const override;
    std::unique_ptr<Node> clone() const override;

    const osg::Mat4d& matrix() const noexcept { return matrix_; }
    void setMatrix(const osg::Mat4d& matrix) noexcept { matrix_ = matrix; }

    static constexpr double kMatrixTolerance = 1e-6;

private:
    osg::Mat4d matrix_;
};

} // namespace model
