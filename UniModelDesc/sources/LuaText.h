#pragma once
// Pieces of property-language text that must read back as exactly what was
// written: field keys, string literals and numbers.
#include "zy/String.h"

namespace model {

// The key of a table field: the bare name when it is a Lua identifier (and not
// a keyword), otherwise a bracketed string literal.
zy::string luaFieldKey(const zy::string& name);

// A double-quoted Lua string literal holding exactly these bytes.
zy::string luaStringLiteral(const zy::string& text);

// "%f" without the process locale: the property language expects a decimal
// point whatever locale the host set.
zy::string fixedText(double v);

} // namespace model
