// Plain types, result codes, handles and records of the OLE / Win32 stand-in
// the Flash host is written against. Names follow the classic API so the host
// reads the way it would on the original platform; identifiers other than the
// Flash control's own are this library's and mean nothing elsewhere.
#pragma once

#include <cstddef>
#include <cstdint>

namespace ole {

using DWORD = std::uint32_t;
using LONG = std::int32_t;
using ULONG = std::uint32_t;
using UINT = unsigned int;
using INT = int;
using WORD = std::uint16_t;
using BYTE = std::uint8_t;
using BOOL = int;
using HRESULT = std::int32_t;
using LCID = DWORD;
using DISPID = LONG;
using ULONG_PTR = std::uintptr_t;
using LONG_PTR = std::intptr_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using VARIANT_BOOL = short;
using OLECHAR = wchar_t;
using LPOLESTR = OLECHAR*;
using LPCOLESTR = const OLECHAR*;
using BSTR = OLECHAR*;

constexpr BOOL TRUE = 1;
constexpr BOOL FALSE = 0;
constexpr VARIANT_BOOL VARIANT_TRUE = -1;
constexpr VARIANT_BOOL VARIANT_FALSE = 0;

inline constexpr bool SUCCEEDED(HRESULT hr) { return hr >= 0; }
inline constexpr bool FAILED(HRESULT hr) { return hr < 0; }

// ---- result codes ----------------------------------------------------------
constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_NOTIMPL = static_cast<HRESULT>(0x80004001u);
constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002u);
constexpr HRESULT E_POINTER = static_cast<HRESULT>(0x80004003u);
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057u);
constexpr HRESULT CLASS_E_CLASSNOTAVAILABLE = static_cast<HRESULT>(0x80040111u);
constexpr HRESULT REGDB_E_CLASSNOTREG = static_cast<HRESULT>(0x80040154u);
constexpr HRESULT CONNECT_E_NOCONNECTION = static_cast<HRESULT>(0x80040200u);

// ---- identifiers -----------------------------------------------------------
struct GUID {
    std::uint32_t Data1;
    std::uint16_t Data2;
    std::uint16_t Data3;
    std::uint8_t Data4[8];
};
inline bool operator==(const GUID& a, const GUID& b) {
    if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3) return false;
    for (int i = 0; i < 8; ++i)
        if (a.Data4[i] != b.Data4[i]) return false;
    return true;
}
inline bool operator!=(const GUID& a, const GUID& b) { return !(a == b); }
using IID = GUID;
using CLSID = GUID;
using REFIID = const GUID&;
using REFCLSID = const GUID&;
using REFGUID = const GUID&;

// ---- handles ---------------------------------------------------------------
struct HWND__;
struct HDC__;
struct HGDIOBJ__;
struct HINSTANCE__;
struct HMENU__;
struct HRGN__;
using HWND = HWND__*;
using HDC = HDC__*;
using HGDIOBJ = HGDIOBJ__*;
using HBITMAP = HGDIOBJ__*;
using HINSTANCE = HINSTANCE__*;
using HMODULE = HINSTANCE__*;
using HMENU = HMENU__*;
using HRGN = HRGN__*;
using HOLEMENU = void*;
using HANDLE = void*;

// ---- geometry --------------------------------------------------------------
struct RECT {
    LONG left, top, right, bottom;
};
using LPRECT = RECT*;
using LPCRECT = const RECT*;
struct RECTL {
    LONG left, top, right, bottom;
};
using LPCRECTL = const RECTL*;
struct POINT {
    LONG x, y;
};
struct SIZE {
    LONG cx, cy;
};
using BORDERWIDTHS = RECT;
using LPCBORDERWIDTHS = const RECT*;

// ---- records the interfaces pass (only the fields this system reads) -------
struct MSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};
using LPMSG = MSG*;
struct OLEINPLACEFRAMEINFO {
    UINT cb;
    BOOL fMDIApp;
    HWND hwndFrame;
    void* haccel;
    UINT cAccelEntries;
};
using LPOLEINPLACEFRAMEINFO = OLEINPLACEFRAMEINFO*;
struct OLEMENUGROUPWIDTHS {
    LONG width[6];
};
using LPOLEMENUGROUPWIDTHS = OLEMENUGROUPWIDTHS*;
struct DVTARGETDEVICE;
struct FORMATETC;
struct DISPPARAMS;
struct VARIANT;
struct EXCEPINFO;
struct STATSTG;
struct SNB__;
using SNB = SNB__*;
struct FILETIME {
    DWORD dwLowDateTime, dwHighDateTime;
};

} // namespace ole
