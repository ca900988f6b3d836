#pragma once
// Structural validation of a ZYM file: the reader's checks (every record
// consumes exactly its bytes, string indices, counts against the bytes left)
// followed by the checks of what the records say: tree references, parent
// order, index ranges and widths, vertex strides, part and fake-light runs,
// category masks, the argument count and the root's boxes.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "zym/Description.h"

namespace zym {

struct Problem {
    std::uint64_t offset = 0;
    std::string message;
};

// Every problem of a file, ordered by byte offset. A file the reader cannot
// read yields that one problem only.
std::vector<Problem> checkFile(std::span<const std::uint8_t> bytes);

// The problems of an already read description, ordered by byte offset.
std::vector<Problem> checkDescription(const Description& d);

} // namespace zym
