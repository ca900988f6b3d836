#pragma once
// Readable JSON text: small objects and arrays stay on one line (a property,
// a vertex, a matrix), larger ones get one element per line.
#include <string>

#include "zym/DescriptionJson.h"

namespace zym {

std::string jsonText(const Json& j);

} // namespace zym
