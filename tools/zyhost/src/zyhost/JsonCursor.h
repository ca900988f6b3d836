#pragma once
// Typed, checked access to a JSON document that knows where it is: every failure
// is a SceneError naming the JSON pointer of the offending value.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "maxsdk/Matrix3.h"
#include "maxsdk/Quat.h"
#include "zyhost/SceneError.h"

namespace zyhost {

using Json = nlohmann::ordered_json;

class JsonCursor {
public:
    JsonCursor(const Json& value, std::string pointer) : value_(&value), pointer_(std::move(pointer)) {}

    const Json& Value() const { return *value_; }
    const std::string& Pointer() const { return pointer_; }
    // Raises a SceneError at this place; the error records the caller's source line.
    [[noreturn]] void Fail(const std::string& message, const char* file = __builtin_FILE(),
                           int line = __builtin_LINE()) const;

    bool IsNull() const { return value_->is_null(); }
    bool IsObject() const { return value_->is_object(); }
    bool IsArray() const { return value_->is_array(); }
    bool Has(std::string_view key) const;

    // Members and elements; Member fails when the key is missing, Optional gives
    // nothing for a missing key (a present null is returned as a null cursor).
    JsonCursor Member(std::string_view key) const;
    std::optional<JsonCursor> Optional(std::string_view key) const;
    std::size_t Size() const; // of an array
    JsonCursor Element(std::size_t i) const;

    // Values; each fails on a value of another type or out of range.
    void ExpectObject() const;
    void ExpectArray(std::size_t size = std::size_t(-1)) const;
    std::string String() const;
    bool Bool() const;
    double Number() const;
    float Float() const;
    int Int() const;
    std::uint32_t UInt32() const; // a number or a "0x..." text
    Point3 ToPoint3() const;
    Quat ToQuat() const; // [x, y, z, w]
    Matrix3 ToMatrix3() const; // four rows of three numbers

    // Conveniences for optional members with defaults.
    std::string String(std::string_view key, const std::string& fallback) const;
    bool Bool(std::string_view key, bool fallback) const;
    int Int(std::string_view key, int fallback) const;
    float Float(std::string_view key, float fallback) const;

private:
    const Json* value_;
    std::string pointer_;
};

// Escapes a key for a JSON pointer ("~" -> "~0", "/" -> "~1").
std::string PointerToken(std::string_view key);

Json ToJson(const Point3& p);
Json ToJson(const Quat& q);
Json ToJson(const Matrix3& m);
std::string HexId(std::uint32_t v);

} // namespace zyhost
