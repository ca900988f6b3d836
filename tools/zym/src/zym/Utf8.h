#pragma once
// Text in ZYM files is UTF-8; damaged files may hold other bytes.
#include <string_view>

namespace zym {

bool isValidUtf8(std::string_view text);

} // namespace zym
