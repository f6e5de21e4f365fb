// Portable stand-ins for the Win32 scalar types, handles and result codes the
// module uses. Widths follow Windows (LONG and DWORD are 32 bits everywhere).
#pragma once

#include <cstdint>

#if defined(__GNUC__)
#define KOB_PLATFORM_API extern "C" __attribute__((visibility("default")))
#else
#define KOB_PLATFORM_API extern "C"
#endif

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using UINT = std::uint32_t;
using ULONG = std::uint32_t;
using LONG = std::int32_t;
using INT = std::int32_t;
using BOOL = std::int32_t;
using HRESULT = std::int32_t;
using MMRESULT = std::uint32_t;
using FOURCC = std::uint32_t;

using LPVOID = void*;
using LPCVOID = const void*;
using LPSTR = char*;
using LPCSTR = const char*;
using HPSTR = char*;
using LPDWORD = DWORD*;
using LPLONG = LONG*;

struct HWND__;
using HWND = HWND__*;
struct HINSTANCE__;
using HMODULE = HINSTANCE__*;
using HINSTANCE = HMODULE;
using FARPROC = std::intptr_t (*)();

struct GUID {
    std::uint32_t Data1;
    std::uint16_t Data2;
    std::uint16_t Data3;
    std::uint8_t Data4[8];
};
using LPGUID = GUID*;
using LPCGUID = const GUID*;

struct IUnknown;
using LPUNKNOWN = IUnknown*;

constexpr HRESULT S_OK = 0;
constexpr HRESULT DS_OK = 0;
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);
constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057u);
constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002u);

constexpr bool FAILED(HRESULT hr) { return hr < 0; }
constexpr bool SUCCEEDED(HRESULT hr) { return hr >= 0; }
