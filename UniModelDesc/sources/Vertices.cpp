#include "Vertices.h"

namespace model {

uint32_t Indices::primitiveCount() const
{
    const uint32_t n = size();
    switch (type_) {
    case PrimitivePoints:
        return n;
    case PrimitiveLines:
        return n / 2;
    case PrimitiveLineStrip:
        return n >= 1 ? n - 1 : 0;
    case PrimitiveTriangles:
        return n / 3;
    case PrimitiveTriangleStrip:
    case PrimitiveTriangleFan:
        return n >= 2 ? n - 2 : 0;
    default:
        return 0;
    }
}

} // namespace model
