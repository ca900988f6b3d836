#include "zyhost/JsonFormat.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace zyhost {

namespace {

bool IsScalar(const Json& v) { return !v.is_object() && !v.is_array(); }

// Small nested arrays (points, keys, face corners, bone weights) stay on one line.
bool Inline(const Json& v, int depth) {
    if (IsScalar(v)) return true;
    if (!v.is_array() || depth > 2 || v.size() > 4) return false;
    return std::all_of(v.begin(), v.end(), [depth](const Json& e) { return Inline(e, depth + 1); });
}

bool OneLine(const Json& v) {
    return v.is_array() && (std::all_of(v.begin(), v.end(), IsScalar) || Inline(v, 0));
}

void Number(double d, std::string& out) {
    float f = float(d);
    if (double(f) != d || !std::isfinite(f)) {
        out += Json(d).dump();
        return;
    }
    char buf[32];
    auto res = std::to_chars(buf, buf + sizeof buf, f);
    std::string text(buf, res.ptr);
    if (text.find_first_of(".e") == std::string::npos) text += ".0";
    out += text;
}

void Write(const Json& v, int indent, std::string& out) {
    if (v.is_number_float()) {
        Number(v.get<double>(), out);
    } else if (IsScalar(v)) {
        out += v.dump();
    } else if (OneLine(v)) {
        out += '[';
        for (std::size_t i = 0; i < v.size(); ++i) {
            if (i) out += ", ";
            Write(v[i], indent, out);
        }
        out += ']';
    } else if (v.is_array()) {
        out += "[\n";
        for (std::size_t i = 0; i < v.size(); ++i) {
            out.append(std::size_t(indent + 2), ' ');
            Write(v[i], indent + 2, out);
            out += i + 1 < v.size() ? ",\n" : "\n";
        }
        out.append(std::size_t(indent), ' ');
        out += ']';
    } else if (v.empty()) {
        out += "{}";
    } else {
        out += "{\n";
        std::size_t i = 0;
        for (auto it = v.begin(); it != v.end(); ++it, ++i) {
            out.append(std::size_t(indent + 2), ' ');
            out += Json(it.key()).dump();
            out += ": ";
            Write(it.value(), indent + 2, out);
            out += i + 1 < v.size() ? ",\n" : "\n";
        }
        out.append(std::size_t(indent), ' ');
        out += '}';
    }
}

} // namespace

std::string FormatJson(const Json& value) {
    std::string out;
    Write(value, 0, out);
    out += '\n';
    return out;
}

} // namespace zyhost
