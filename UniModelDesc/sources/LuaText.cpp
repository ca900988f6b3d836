#include "LuaText.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <string_view>

namespace model {

namespace {

bool isIdentifierStart(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}

bool isIdentifierChar(char c)
{
    return isIdentifierStart(c) || (c >= '0' && c <= '9');
}

bool isKeyword(std::string_view word)
{
    static constexpr std::array<std::string_view, 21> keywords = {
        "and", "break", "do", "else", "elseif", "end", "false", "for", "function", "if", "in",
        "local", "nil", "not", "or", "repeat", "return", "then", "true", "until", "while"};
    return std::find(keywords.begin(), keywords.end(), word) != keywords.end();
}

bool isIdentifier(const zy::string& name)
{
    return !name.empty() && isIdentifierStart(name[0])
        && std::all_of(name.begin(), name.end(), isIdentifierChar) && !isKeyword(name);
}

} // namespace

zy::string luaFieldKey(const zy::string& name)
{
    return isIdentifier(name) ? name : "[" + luaStringLiteral(name) + "]";
}

zy::string luaStringLiteral(const zy::string& text)
{
    zy::string out;
    out.reserve(text.size() + 2);
    out += '"';
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        default:
            if (byte < 0x20 || byte == 0x7f) {
                // Three digits always, so a following digit is not taken in.
                char escape[5] = {'\\', char('0' + byte / 100), char('0' + byte / 10 % 10),
                                  char('0' + byte % 10), 0};
                out += escape;
            } else {
                out += c;
            }
        }
    }
    out += '"';
    return out;
}

zy::string fixedText(double v)
{
    char buffer[400];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::fixed, 6);
    return zy::string(buffer, result.ptr);
}

} // namespace model
