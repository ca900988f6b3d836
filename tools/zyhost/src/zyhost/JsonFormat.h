#pragma once
// Scene-file text: objects one member per line, arrays of plain values (points,
// faces, keys) on one line, and numbers as the shortest text that reads back to the
// same single-precision value, so that files stay small and diffs stay readable.
#include <string>

#include "zyhost/JsonCursor.h"

namespace zyhost {

std::string FormatJson(const Json& value);

} // namespace zyhost
