#pragma once
// A tree node standing for a displayed number between export and the number
// conversion, which replaces it by a NumberNode. It can be neither written nor
// cloned.
#include "DigitParameters.h"
#include "Node.h"

namespace model {

class TmpNumberRoot : public Node {
public:
    TmpNumberRoot() = default;

    NodeKind kind() const override { return NodeKind::TmpNumberRoot; }
    // Raises "Node <name> is temporary, it should be eleminated before saving.".
    void accept(INodeWriter& writer) override;
    // Raises "Node <name> is temporary, so no clone.".
    std::unique_ptr<Node> clone() const override;

    // One entry per digit.
    const DigitParameterList& digits() const { return digits_; }
    void setDigits(DigitParameterList digits) { digits_ = std::move(digits); }

private:
    DigitParameterList digits_;
};

} // namespace model
