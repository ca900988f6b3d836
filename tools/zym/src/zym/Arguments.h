#pragma once
// The argument census of a described file: every argument number the model
// reads, gathered the way the model library gathers it before writing the
// root's argument count.
#include <cstdint>
#include <set>

#include "zym/Description.h"

namespace zym {

// Every non-negative argument number the file uses (negative ones mean "none").
std::set<std::int32_t> usedArguments(const Description& d);

// 1 + the largest used argument, 0 when none is used.
std::uint32_t expectedArgumentCount(const Description& d);

} // namespace zym
