// A table of windows and the few GDI objects the Flash host draws through:
// memory device contexts and 32-bit DIB sections over memory buffers. No
// window is ever shown on screen; the table keeps their places, sizes,
// styles and procedures. The game's own window joins the table through
// adoptForeignWindow.
#pragma once

#include "ole/types.h"

#include <memory>

namespace ole {

using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);

struct WNDCLASSA {
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    void* hIcon;
    void* hCursor;
    void* hbrBackground;
    const char* lpszMenuName;
    const char* lpszClassName;
};

struct CREATESTRUCTA {
    void* lpCreateParams;
    HINSTANCE hInstance;
    HMENU hMenu;
    HWND hwndParent;
    int cy, cx, y, x;
    LONG style;
    const char* lpszName;
    const char* lpszClass;
    DWORD dwExStyle;
};

constexpr DWORD WS_CHILD = 0x40000000u;
constexpr DWORD WS_POPUP = 0x80000000u;
constexpr DWORD WS_EX_LAYERED = 0x00080000u;
constexpr UINT WM_CREATE = 0x0001;
constexpr UINT WM_DESTROY = 0x0002;
constexpr UINT WM_SIZE = 0x0005;
constexpr UINT WM_NCCREATE = 0x0081;
constexpr int GWLP_USERDATA = -21;
constexpr int SW_HIDE = 0;
constexpr int SW_SHOW = 5;
constexpr UINT SWP_NOZORDER = 0x0004;
constexpr int BITSPIXEL = 12;
constexpr DWORD SRCCOPY = 0x00CC0020u;
constexpr UINT DIB_RGB_COLORS = 0;
constexpr DWORD BI_RGB = 0;

struct BITMAPINFOHEADER {
    DWORD biSize;
    LONG biWidth;
    LONG biHeight;  // negative: rows top-down
    WORD biPlanes;
    WORD biBitCount;
    DWORD biCompression;
    DWORD biSizeImage;
    LONG biXPelsPerMeter;
    LONG biYPelsPerMeter;
    DWORD biClrUsed;
    DWORD biClrImportant;
};
struct BITMAPINFO {
    BITMAPINFOHEADER bmiHeader;
    DWORD bmiColors[1];
};

// ---- windows -------------------------------------------------------------------
// 0 when the class name is taken.
WORD RegisterClassA(const WNDCLASSA* pClass);
bool UnregisterClassA(const char* pszClassName, HINSTANCE hInstance);
// Runs WM_NCCREATE and WM_CREATE through the class's procedure before it returns.
HWND CreateWindowExA(DWORD dwExStyle, const char* pszClassName, const char* pszWindowName, DWORD dwStyle, int x,
                     int y, int nWidth, int nHeight, HWND hWndParent, HMENU hMenu, HINSTANCE hInstance,
                     void* lpParam);
BOOL DestroyWindow(HWND hWnd);
BOOL IsWindow(HWND hWnd);
LRESULT DefWindowProcA(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT SendMessageA(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);
LONG_PTR GetWindowLongPtrA(HWND hWnd, int nIndex);
LONG_PTR SetWindowLongPtrA(HWND hWnd, int nIndex, LONG_PTR value);
BOOL GetClientRect(HWND hWnd, LPRECT pRect);
// In screen coordinates: a child sits at its parent's place plus its own.
BOOL GetWindowRect(HWND hWnd, LPRECT pRect);
BOOL SetWindowPos(HWND hWnd, HWND hWndInsertAfter, int x, int y, int cx, int cy, UINT uFlags);
BOOL ShowWindow(HWND hWnd, int nCmdShow);
BOOL IsWindowVisible(HWND hWnd);
HWND SetFocus(HWND hWnd);
HWND GetFocus();
HMODULE GetModuleHandleA(const char* pszModuleName);

// The game's window (an X11 window id, or 0 without one) as a top-level
// window of the given size at (0, 0); the same id gives the same handle.
HWND adoptForeignWindow(unsigned long nNativeId, int nWidth, int nHeight);

// ---- device contexts and bitmaps ----------------------------------------------
// A window's context: its pixels cannot be read here, so blits from it give black.
HDC GetDC(HWND hWnd);
int ReleaseDC(HWND hWnd, HDC hDC);
HDC CreateCompatibleDC(HDC hDC);
BOOL DeleteDC(HDC hDC);
// 32-bit uncompressed sections only; null otherwise.
HBITMAP CreateDIBSection(HDC hDC, const BITMAPINFO* pInfo, UINT usage, void** ppvBits, HANDLE hSection,
                         DWORD offset);
HGDIOBJ SelectObject(HDC hDC, HGDIOBJ hObject);
// Fails (FALSE) for a bitmap still selected into a context.
BOOL DeleteObject(HGDIOBJ hObject);
int GetDeviceCaps(HDC hDC, int nIndex);
BOOL BitBlt(HDC hDest, int x, int y, int cx, int cy, HDC hSource, int x1, int y1, DWORD rop);

// What a context draws into: the selected section's pixels (null when none).
struct DibView {
    unsigned char* pBits;
    int nWidth;
    int nHeight;
    int nPitch;
};
DibView getSelectedDib(HDC hDC);
// The memory of a section, kept alive by whoever holds the pointer even
// after the section is deleted.
std::shared_ptr<void> getDibMemory(HBITMAP hBitmap);
// The depth memory contexts report (the display's); 32 unless set.
void setDisplayBitsPerPixel(int nBits);

// Live objects of the table, for leak checks.
struct LiveObjects {
    int nWindows;
    int nDeviceContexts;
    int nBitmaps;
};
LiveObjects getLiveObjects();

} // namespace ole
