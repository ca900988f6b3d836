#pragma once
// The runtime's byte string: always UTF-8.
#include <string>

namespace zy {
using string = std::string;
}
