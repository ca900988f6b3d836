#pragma once
// The host's fixed-size integer and handle types, as its interface uses them.
#include <cstddef>
#include <cstdint>

#include "maxsdk/HostExport.h"

using DWORD = std::uint32_t;
using ULONG = std::uint32_t;
using USHORT = std::uint16_t;
using UINT = unsigned int;
using BYTE = std::uint8_t;
using BOOL = int;
using INT_PTR = std::intptr_t;
using UINT_PTR = std::uintptr_t;
using ULONG_PTR = std::uintptr_t;
using LPARAM = std::intptr_t;
using COLORREF = DWORD;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

// Opaque window and module handles: the host hands them out and takes them back;
// plug-ins never look inside.
struct HWND__;
using HWND = HWND__*;
struct HINSTANCE__;
using HINSTANCE = HINSTANCE__*;

// A colour packed as red in the lowest byte, then green, then blue.
constexpr COLORREF RGB(int r, int g, int b) {
    return DWORD(r & 0xff) | (DWORD(g & 0xff) << 8) | (DWORD(b & 0xff) << 16);
}
constexpr int GetRValue(COLORREF c) { return int(c & 0xff); }
constexpr int GetGValue(COLORREF c) { return int((c >> 8) & 0xff); }
constexpr int GetBValue(COLORREF c) { return int((c >> 16) & 0xff); }

// Memory handed to the host that the host frees (application data chunks).
ZYHOST_API void* MAX_malloc(std::size_t size);
ZYHOST_API void MAX_free(void* p);
