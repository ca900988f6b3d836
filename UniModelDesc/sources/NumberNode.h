#pragma once
// A render node showing a number: the digit meshes of a number root merged
// into one mesh whose vertices carry their digit number in channel 21, with
// the digits' parameters per part.
#include <vector>

#include "DigitParameters.h"
#include "RenderNode.h"

namespace model {

class NumberNode : public RenderNode {
public:
    NumberNode() = default;
    NumberNode(const NumberNode&) = default;

    NodeKind kind() const override { return NodeKind::NumberNode; }
    void accept(INodeWriter& writer) override;

    // The digit parameters of a part (empty when none were set).
    const DigitParameterList& digits(uint32_t part) const;
    void setDigits(uint32_t part, DigitParameterList digits);

private:
    std::vector<DigitParameterList> digits_;
};

} // namespace model
