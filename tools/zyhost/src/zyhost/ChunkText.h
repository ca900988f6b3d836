#pragma once
// Chunk data of plug-in objects as text: the bytes an object's Save wrote, as
// lower-case hexadecimal, and a check that bytes form a well-formed chunk tree.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zyhost {

std::string ToHex(const std::vector<std::uint8_t>& bytes);
// Nothing when the text is not an even number of hexadecimal digits.
std::optional<std::vector<std::uint8_t>> FromHex(std::string_view text);

// Empty when the bytes are a sequence of complete chunks (16-bit id, 32-bit length
// counting the 6 header bytes, top bit of the length marking a container whose body
// is again chunks); otherwise what is wrong and at which byte offset.
std::string CheckChunks(const std::vector<std::uint8_t>& bytes);

} // namespace zyhost
