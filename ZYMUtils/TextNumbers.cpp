#include "TextNumbers.h"

#include <climits>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <locale.h>
#include <string>

namespace lu {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }

size_t skipBlanks(std::string_view text)
{
    size_t i = 0;
    while (i < text.size() && isBlank(text[i]))
        ++i;
    return i;
}

size_t skipDigits(std::string_view text, size_t i)
{
    while (i < text.size() && isDigit(text[i]))
        ++i;
    return i;
}

// The leading decimal number: [sign] digits [. digits] [e [sign] digits],
// with at least one mantissa digit. Empty when the text does not start with one.
std::string_view decimalPrefix(std::string_view text)
{
    const size_t start = skipBlanks(text);
    size_t i = start;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    const size_t intStart = i;
    i = skipDigits(text, i);
    size_t mantissaDigits = i - intStart;
    if (i < text.size() && text[i] == '.') {
        const size_t fracStart = i + 1;
        const size_t fracEnd = skipDigits(text, fracStart);
        mantissaDigits += fracEnd - fracStart;
        i = fracEnd;
    }
    if (mantissaDigits == 0)
        return {};
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-'))
            ++j;
        const size_t expEnd = skipDigits(text, j);
        if (expEnd > j)
            i = expEnd;
    }
    return text.substr(start, i - start);
}

// The "C" locale, so that the decimal point is '.' whatever the host set.
locale_t cLocale()
{
    static const locale_t locale = newlocale(LC_NUMERIC_MASK, "C", static_cast<locale_t>(nullptr));
    return locale;
}

// Saturating parse of [sign] digits into the range [lo, hi].
long long leadingInteger(std::string_view text, bool allowMinus, long long lo, long long hi)
{
    size_t i = skipBlanks(text);
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || (allowMinus && text[i] == '-'))) {
        negative = text[i] == '-';
        ++i;
    }
    long long magnitude = 0;
    const long long limit = negative ? -lo : hi;
    for (; i < text.size() && isDigit(text[i]); ++i) {
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude >= limit) {
            magnitude = limit;
            break;
        }
    }
    return negative ? -magnitude : magnitude;
}

} // namespace

double leadingDouble(std::string_view text)
{
    const std::string number(decimalPrefix(text));
    return number.empty() ? 0.0 : strtod_l(number.c_str(), nullptr, cLocale());
}

float leadingFloat(std::string_view text)
{
    const std::string number(decimalPrefix(text));
    return number.empty() ? 0.0f : strtof_l(number.c_str(), nullptr, cLocale());
}

unsigned leadingUInt(std::string_view text)
{
    return static_cast<unsigned>(leadingInteger(text, false, 0, UINT_MAX));
}

int leadingInt(std::string_view text)
{
    return static_cast<int>(leadingInteger(text, true, INT_MIN, INT_MAX));
}

int truncateToInt(double value)
{
    if (std::isnan(value))
        return 0;
    if (value <= static_cast<double>(INT_MIN))
        return INT_MIN;
    if (value >= static_cast<double>(INT_MAX))
        return INT_MAX;
    return static_cast<int>(value);
}

} // namespace lu
