#include "zyhost/JsonCursor.h"

#include <cmath>
#include <cstdio>
#include <limits>

namespace zyhost {

namespace {

std::string TypeName(const Json& v) { return v.type_name(); }

} // namespace

std::string PointerToken(std::string_view key) {
    std::string out;
    for (char c : key) {
        if (c == '~') out += "~0";
        else if (c == '/') out += "~1";
        else out += c;
    }
    return out;
}

void JsonCursor::Fail(const std::string& message, const char* file, int line) const {
    throw SceneError(pointer_, message, SourcePlace{file, line});
}

bool JsonCursor::Has(std::string_view key) const { return value_->is_object() && value_->contains(key); }

void JsonCursor::ExpectObject() const {
    if (!value_->is_object()) Fail("expected an object, found " + TypeName(*value_));
}

void JsonCursor::ExpectArray(std::size_t size) const {
    if (!value_->is_array()) Fail("expected an array, found " + TypeName(*value_));
    if (size != std::size_t(-1) && value_->size() != size)
        Fail("expected an array of " + std::to_string(size) + " elements, found " + std::to_string(value_->size()));
}

JsonCursor JsonCursor::Member(std::string_view key) const {
    ExpectObject();
    auto it = value_->find(key);
    if (it == value_->end()) Fail("missing member \"" + std::string(key) + "\"");
    return JsonCursor(*it, pointer_ + "/" + PointerToken(key));
}

std::optional<JsonCursor> JsonCursor::Optional(std::string_view key) const {
    ExpectObject();
    auto it = value_->find(key);
    if (it == value_->end()) return std::nullopt;
    return JsonCursor(*it, pointer_ + "/" + PointerToken(key));
}

std::size_t JsonCursor::Size() const {
    ExpectArray();
    return value_->size();
}

JsonCursor JsonCursor::Element(std::size_t i) const {
    ExpectArray();
    if (i >= value_->size()) Fail("index " + std::to_string(i) + " is out of range");
    return JsonCursor((*value_)[i], pointer_ + "/" + std::to_string(i));
}

std::string JsonCursor::String() const {
    if (!value_->is_string()) Fail("expected a string, found " + TypeName(*value_));
    return value_->get<std::string>();
}

bool JsonCursor::Bool() const {
    if (!value_->is_boolean()) Fail("expected true or false, found " + TypeName(*value_));
    return value_->get<bool>();
}

double JsonCursor::Number() const {
    if (!value_->is_number()) Fail("expected a number, found " + TypeName(*value_));
    double d = value_->get<double>();
    if (!std::isfinite(d)) Fail("expected a finite number");
    return d;
}

float JsonCursor::Float() const {
    double d = Number();
    if (std::fabs(d) > double(std::numeric_limits<float>::max())) Fail("number out of range for a float");
    return float(d);
}

int JsonCursor::Int() const {
    if (!value_->is_number_integer()) Fail("expected an integer, found " + TypeName(*value_));
    if (value_->is_number_unsigned()) {
        auto u = value_->get<std::uint64_t>();
        if (u > std::uint64_t(std::numeric_limits<int>::max())) Fail("integer out of range");
        return int(u);
    }
    auto i = value_->get<std::int64_t>();
    if (i < std::numeric_limits<int>::min() || i > std::numeric_limits<int>::max()) Fail("integer out of range");
    return int(i);
}

std::uint32_t JsonCursor::UInt32() const {
    if (value_->is_string()) {
        std::string s = value_->get<std::string>();
        if (s.size() < 3 || s.size() > 10 || s[0] != '0' || (s[1] != 'x' && s[1] != 'X'))
            Fail("expected a hexadecimal identifier such as \"0x1f\", found \"" + s + "\"");
        std::uint32_t v = 0;
        for (std::size_t i = 2; i < s.size(); ++i) {
            char c = s[i];
            int d = c >= '0' && c <= '9' ? c - '0' : (c >= 'a' && c <= 'f' ? c - 'a' + 10 : (c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1));
            if (d < 0) Fail("expected a hexadecimal identifier, found \"" + s + "\"");
            v = v * 16 + std::uint32_t(d);
        }
        return v;
    }
    if (!value_->is_number_integer()) Fail("expected an identifier (number or \"0x...\"), found " + TypeName(*value_));
    if (value_->is_number_unsigned() ? value_->get<std::uint64_t>() > 0xffffffffu
                                     : (value_->get<std::int64_t>() < 0 || value_->get<std::int64_t>() > 0xffffffffll))
        Fail("identifier out of the 32-bit range");
    return std::uint32_t(value_->get<std::uint64_t>());
}

Point3 JsonCursor::ToPoint3() const {
    ExpectArray(3);
    return Point3(Element(0).Float(), Element(1).Float(), Element(2).Float());
}

Quat JsonCursor::ToQuat() const {
    ExpectArray(4);
    return Quat(Element(0).Float(), Element(1).Float(), Element(2).Float(), Element(3).Float());
}

Matrix3 JsonCursor::ToMatrix3() const {
    ExpectArray(4);
    Matrix3 m;
    for (int r = 0; r < 4; ++r) m.SetRow(r, Element(std::size_t(r)).ToPoint3());
    return m;
}

std::string JsonCursor::String(std::string_view key, const std::string& fallback) const {
    auto c = Optional(key);
    return c ? c->String() : fallback;
}
bool JsonCursor::Bool(std::string_view key, bool fallback) const {
    auto c = Optional(key);
    return c ? c->Bool() : fallback;
}
int JsonCursor::Int(std::string_view key, int fallback) const {
    auto c = Optional(key);
    return c ? c->Int() : fallback;
}
float JsonCursor::Float(std::string_view key, float fallback) const {
    auto c = Optional(key);
    return c ? c->Float() : fallback;
}

Json ToJson(const Point3& p) { return Json::array({p.x, p.y, p.z}); }
Json ToJson(const Quat& q) { return Json::array({q.x, q.y, q.z, q.w}); }
Json ToJson(const Matrix3& m) {
    Json rows = Json::array();
    for (int r = 0; r < 4; ++r) rows.push_back(ToJson(m.GetRow(r)));
    return rows;
}

std::string HexId(std::uint32_t v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%x", unsigned(v));
    return buf;
}

} // namespace zyhost
