#include "NumberNode.h"

#include "io/INodeWriter.h"

namespace model {

void NumberNode::accept(INodeWriter& writer)
{
    writer.visitNumberNode(*this);
}

const DigitParameterList& NumberNode::digits(uint32_t part) const
{
    static const DigitParameterList none;
    return part < digits_.size() ? digits_[part] : none;
}

void NumberNode::setDigits(uint32_t part, DigitParameterList digits)
{
    if (part >= digits_.size())
        digits_.resize(size_t(part) + 1);
    digits_[part] = std::move(digits);
}

} // namespace model
