#pragma once
// Helpers shared by the zym tests: build a JSON description into ZYM bytes
// through the model library, and read files back.
#include <cstdint>
#include <string>
#include <vector>

#include "zym/Description.h"
#include "zym/DescriptionJson.h"

namespace zym::test {

// A fresh path in the test's binary directory.
std::string tempPath(const std::string& name);

// fromJson, buildFile, then the bytes of the written file.
std::vector<std::uint8_t> buildBytes(const Json& description, std::uint16_t version = 10);

// The JSON description of a file's bytes (reads, then toJson).
Json dumpBytes(const std::vector<std::uint8_t>& bytes);

void writeBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);

} // namespace zym::test
