#include "zym/JsonText.h"

#include <algorithm>

namespace zym {
namespace {

constexpr std::size_t kLineWidth = 100;

bool holdsObject(const Json& j)
{
    for (const Json& e : j)
        if (e.is_object() || (e.is_array() && holdsObject(e)))
            return true;
    return false;
}

void write(const Json& j, std::string& out, int depth)
{
    if (!j.is_structured() || j.empty()) {
        out += j.dump(-1, ' ', false, Json::error_handler_t::replace);
        return;
    }
    // Arrays of numbers stay on one line whatever their length; other small
    // values without nested objects too.
    const bool flatArray = j.is_array() && !holdsObject(j) &&
                           std::all_of(j.begin(), j.end(), [](const Json& e) { return !e.is_structured(); });
    if (flatArray || (!holdsObject(j) && j.dump(-1, ' ', false, Json::error_handler_t::replace).size() <= kLineWidth)) {
        out += j.dump(-1, ' ', false, Json::error_handler_t::replace);
        return;
    }
    const std::string pad(std::size_t(depth + 1) * 2, ' ');
    out += j.is_array() ? "[\n" : "{\n";
    bool first = true;
    if (j.is_array()) {
        for (const Json& e : j) {
            out += first ? "" : ",\n";
            out += pad;
            write(e, out, depth + 1);
            first = false;
        }
    } else {
        for (const auto& [key, value] : j.items()) {
            out += first ? "" : ",\n";
            out += pad + Json(key).dump() + ": ";
            write(value, out, depth + 1);
            first = false;
        }
    }
    out += "\n" + std::string(std::size_t(depth) * 2, ' ') + (j.is_array() ? "]" : "}");
}

} // namespace

std::string jsonText(const Json& j)
{
    std::string out;
    write(j, out, 0);
    out += '\n';
    return out;
}

} // namespace zym
