#pragma once
// The parameters of one digit of a displayed number: 16 bytes (i32, f32, i32,
// f32) that the engine interprets. The exporter builds them from a vec4
// property (x, y, z, w) of the number root: a = −1 when x < 0 else x
// truncated, b = y, c = −1 when z < 0 else z truncated, d = w.
#include <cstdint>
#include <vector>

namespace model {

struct DigitParameters {
    int32_t a = 0;
    float b = 0;
    int32_t c = 0;
    float d = 0;
    friend bool operator==(const DigitParameters&, const DigitParameters&) = default;
};

using DigitParameterList = std::vector<DigitParameters>;

} // namespace model
