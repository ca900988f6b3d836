// UTF-8 / UTF-16 conversions of the host's wide text.
#include "maxsdk/Strings.h"

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsScalar(char32_t c) { return c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF); }

void AppendUTF8(std::string& out, char32_t c) {
    if (!IsScalar(c)) c = kReplacement;
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

} // namespace

std::string ToUTF8(std::wstring_view text) {
    std::string out;
    out.reserve(text.size());
    for (wchar_t c : text) AppendUTF8(out, char32_t(c));
    return out;
}

MSTR FromUTF8(std::string_view text) {
    MSTR out;
    out.reserve(text.size());
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n) {
        unsigned char b = static_cast<unsigned char>(text[i]);
        int extra = 0;
        char32_t c = 0;
        char32_t min = 0;
        if (b < 0x80) {
            c = b;
        } else if ((b & 0xE0) == 0xC0) {
            c = b & 0x1F; extra = 1; min = 0x80;
        } else if ((b & 0xF0) == 0xE0) {
            c = b & 0x0F; extra = 2; min = 0x800;
        } else if ((b & 0xF8) == 0xF0) {
            c = b & 0x07; extra = 3; min = 0x10000;
        } else {
            out += wchar_t(kReplacement);
            ++i;
            continue;
        }
        std::size_t j = i + 1;
        bool ok = true;
        for (int k = 0; k < extra; ++k, ++j) {
            if (j >= n || (static_cast<unsigned char>(text[j]) & 0xC0) != 0x80) { ok = false; break; }
            c = (c << 6) | (static_cast<unsigned char>(text[j]) & 0x3F);
        }
        if (!ok || c < min || !IsScalar(c)) {
            out += wchar_t(kReplacement);
            i = j; // a cut sequence is one replacement, the byte that cut it is read next
            continue;
        }
        out += wchar_t(c);
        i = j;
    }
    return out;
}

std::u16string ToUTF16(std::wstring_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (wchar_t wc : text) {
        char32_t c = char32_t(wc);
        if (!IsScalar(c)) c = kReplacement;
        if (c >= 0x10000) {
            c -= 0x10000;
            out += char16_t(0xD800 + (c >> 10));
            out += char16_t(0xDC00 + (c & 0x3FF));
        } else {
            out += char16_t(c);
        }
    }
    return out;
}

MSTR FromUTF16(std::u16string_view text) {
    MSTR out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char16_t u = text[i];
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            out += wchar_t(0x10000 + ((char32_t(u) - 0xD800) << 10) + (char32_t(text[i + 1]) - 0xDC00));
            ++i;
        } else if (u >= 0xD800 && u <= 0xDFFF) {
            out += wchar_t(kReplacement);
        } else {
            out += wchar_t(u);
        }
    }
    return out;
}
