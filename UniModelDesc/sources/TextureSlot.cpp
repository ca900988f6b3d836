#include "TextureSlot.h"

#include <cmath>

namespace model {

TextureSlot::TextureSlot()
{
    matrix_.fill(0.0f);
    matrix_[0] = matrix_[5] = matrix_[10] = matrix_[15] = 1.0f;
}

bool TextureSlot::equals(const TextureSlot& other) const
{
    if (name_ != other.name_ || addressU_ != other.addressU_ || addressV_ != other.addressV_ ||
        codeA_ != other.codeA_ || codeB_ != other.codeB_ || codeC_ != other.codeC_)
        return false;
    for (size_t i = 0; i < matrix_.size(); ++i)
        if (std::fabs(matrix_[i] - other.matrix_[i]) > 1e-5f)
            return false;
    return true;
}

} // namespace model
