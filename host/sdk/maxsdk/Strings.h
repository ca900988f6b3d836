#pragma once
// Text at the host interface is wide (MSTR); plug-ins keep UTF-8 and convert here.
#include <string>
#include <string_view>

#include "maxsdk/HostExport.h"

using MCHAR = wchar_t;
using MSTR = std::wstring;
using WStr = std::wstring;
#define _M(x) L##x

// UTF-8 <-> wide text. Invalid input sequences become U+FFFD; nothing throws.
ZYHOST_API std::string ToUTF8(std::wstring_view text);
ZYHOST_API MSTR FromUTF8(std::string_view text);
// UTF-16 code units <-> wide text, used by the scene-file chunk streams.
ZYHOST_API std::u16string ToUTF16(std::wstring_view text);
ZYHOST_API MSTR FromUTF16(std::u16string_view text);
