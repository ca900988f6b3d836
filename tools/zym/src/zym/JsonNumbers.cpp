#include "zym/JsonNumbers.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

namespace zym {
namespace {

nlohmann::ordered_json nonFinite(double v)
{
    if (std::isnan(v))
        return "NaN";
    return v > 0 ? "Infinity" : "-Infinity";
}

} // namespace

nlohmann::ordered_json floatJson(float v)
{
    if (!std::isfinite(v))
        return nonFinite(v);
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, v);
    *result.ptr = '\0';
    return std::strtod(text, nullptr);
}

nlohmann::ordered_json doubleJson(double v)
{
    if (!std::isfinite(v))
        return nonFinite(v);
    return v;
}

bool jsonToDouble(const nlohmann::ordered_json& j, double& out)
{
    if (j.is_number()) {
        out = j.get<double>();
        return true;
    }
    if (!j.is_string())
        return false;
    const std::string& s = j.get_ref<const std::string&>();
    if (s == "NaN")
        out = std::numeric_limits<double>::quiet_NaN();
    else if (s == "Infinity")
        out = std::numeric_limits<double>::infinity();
    else if (s == "-Infinity")
        out = -std::numeric_limits<double>::infinity();
    else
        return false;
    return true;
}

} // namespace zym
