#pragma once
// Numbers in the JSON description. Single-precision values are written as
// their shortest decimal form, so that 0.1f reads "0.1" and still converts
// back to the same float; values that JSON cannot hold (NaN, infinities)
// are written as the strings "NaN", "Infinity" and "-Infinity".
#include <nlohmann/json.hpp>

namespace zym {

nlohmann::ordered_json floatJson(float v);
nlohmann::ordered_json doubleJson(double v);

// Reads a number written by floatJson or doubleJson; false when j is neither.
bool jsonToDouble(const nlohmann::ordered_json& j, double& out);

} // namespace zym
