#include "ole/window.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

// The handle types are opaque to callers; here they are the table's records.
struct ole::HWND__ {
    std::string sClass;
    DWORD dwStyle = 0;
    DWORD dwExStyle = 0;
    int x = 0, y = 0, nWidth = 0, nHeight = 0;
    HWND hParent = nullptr;
    WNDPROC pfnProc = nullptr;
    LONG_PTR nUserData = 0;
    bool bVisible = false;
    unsigned long nNativeId = 0;
    bool bForeign = false;
};

struct ole::HGDIOBJ__ {
    int nWidth = 0, nHeight = 0;
    std::shared_ptr<std::vector<unsigned char>> pMemory;
    HDC hSelectedInto = nullptr;
};

struct ole::HDC__ {
    // Made by CreateCompatibleDC (freed by DeleteDC), else by GetDC for a
    // window or the screen (freed by ReleaseDC).
    bool bMemory = false;
    HBITMAP hSelected = nullptr;
};

struct ole::HINSTANCE__ {};

namespace ole {

namespace {

struct Table {
    std::map<std::string, WNDPROC> classes;
    std::vector<HWND> windows;
    std::vector<HDC> contexts;
    std::vector<HBITMAP> bitmaps;
    HWND hFocus = nullptr;
    int nDisplayBits = 32;
    // What is left at exit (the adopted game window, objects a caller
    // forgot) goes with the table.
    ~Table() {
        for (HWND hWnd : windows) delete hWnd;
        for (HDC hDC : contexts) delete hDC;
        for (HBITMAP hBitmap : bitmaps) delete hBitmap;
    }
};

Table& table() {
    static Table s_table;
    return s_table;
}

template <class T>
bool contains(const std::vector<T>& v, T x) {
    return std::find(v.begin(), v.end(), x) != v.end();
}

template <class T>
void erase(std::vector<T>& v, T x) {
    v.erase(std::remove(v.begin(), v.end(), x), v.end());
}

HINSTANCE__ s_module;

} // namespace

WORD RegisterClassA(const WNDCLASSA* pClass) {
    if (!pClass || !pClass->lpszClassName || !pClass->lpfnWndProc) return 0;
    auto result = table().classes.emplace(pClass->lpszClassName, pClass->lpfnWndProc);
    return result.second ? static_cast<WORD>(table().classes.size()) : 0;
}

bool UnregisterClassA(const char* pszClassName, HINSTANCE) {
    return pszClassName && table().classes.erase(pszClassName) > 0;
}

HWND CreateWindowExA(DWORD dwExStyle, const char* pszClassName, const char* pszWindowName, DWORD dwStyle, int x,
                     int y, int nWidth, int nHeight, HWND hWndParent, HMENU hMenu, HINSTANCE hInstance,
                     void* lpParam) {
    if (!pszClassName) return nullptr;
    auto found = table().classes.find(pszClassName);
    if (found == table().classes.end()) return nullptr;
    if ((dwStyle & WS_CHILD) && !IsWindow(hWndParent)) return nullptr;
    HWND hWnd = new HWND__;
    hWnd->sClass = pszClassName;
    hWnd->dwStyle = dwStyle;
    hWnd->dwExStyle = dwExStyle;
    hWnd->x = x;
    hWnd->y = y;
    hWnd->nWidth = std::max(0, nWidth);
    hWnd->nHeight = std::max(0, nHeight);
    hWnd->hParent = hWndParent;
    hWnd->pfnProc = found->second;
    table().windows.push_back(hWnd);
    CREATESTRUCTA create = {lpParam, hInstance, hMenu, hWndParent, nHeight, nWidth, y, x,
                            static_cast<LONG>(dwStyle), pszWindowName, pszClassName, dwExStyle};
    LPARAM lCreate = reinterpret_cast<LPARAM>(&create);
    if (!hWnd->pfnProc(hWnd, WM_NCCREATE, 0, lCreate) || hWnd->pfnProc(hWnd, WM_CREATE, 0, lCreate) == -1) {
        DestroyWindow(hWnd);
        return nullptr;
    }
    return hWnd;
}

BOOL DestroyWindow(HWND hWnd) {
    if (!IsWindow(hWnd)) return FALSE;
    // Children go first, as they would on the original platform.
    std::vector<HWND> children;
    for (HWND hOther : table().windows)
        if (hOther->hParent == hWnd) children.push_back(hOther);
    for (HWND hChild : children) DestroyWindow(hChild);
    if (hWnd->pfnProc) hWnd->pfnProc(hWnd, WM_DESTROY, 0, 0);
    if (table().hFocus == hWnd) table().hFocus = nullptr;
    erase(table().windows, hWnd);
    delete hWnd;
    return TRUE;
}

BOOL IsWindow(HWND hWnd) { return hWnd && contains(table().windows, hWnd) ? TRUE : FALSE; }

LRESULT DefWindowProcA(HWND hWnd, UINT msg, WPARAM, LPARAM) { return msg == WM_NCCREATE ? TRUE : 0; }

LRESULT SendMessageA(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (!IsWindow(hWnd) || !hWnd->pfnProc) return 0;
    return hWnd->pfnProc(hWnd, msg, wParam, lParam);
}

LONG_PTR GetWindowLongPtrA(HWND hWnd, int nIndex) {
    return IsWindow(hWnd) && nIndex == GWLP_USERDATA ? hWnd->nUserData : 0;
}

LONG_PTR SetWindowLongPtrA(HWND hWnd, int nIndex, LONG_PTR value) {
    if (!IsWindow(hWnd) || nIndex != GWLP_USERDATA) return 0;
    LONG_PTR nOld = hWnd->nUserData;
    hWnd->nUserData = value;
    return nOld;
}

BOOL GetClientRect(HWND hWnd, LPRECT pRect) {
    if (!IsWindow(hWnd) || !pRect) return FALSE;
    *pRect = RECT{0, 0, hWnd->nWidth, hWnd->nHeight};
    return TRUE;
}

BOOL GetWindowRect(HWND hWnd, LPRECT pRect) {
    if (!IsWindow(hWnd) || !pRect) return FALSE;
    int x = hWnd->x, y = hWnd->y;
    for (HWND h = hWnd; (h->dwStyle & WS_CHILD) && IsWindow(h->hParent); h = h->hParent) {
        x += h->hParent->x;
        y += h->hParent->y;
    }
    *pRect = RECT{x, y, x + hWnd->nWidth, y + hWnd->nHeight};
    return TRUE;
}

BOOL SetWindowPos(HWND hWnd, HWND, int x, int y, int cx, int cy, UINT) {
    if (!IsWindow(hWnd)) return FALSE;
    hWnd->x = x;
    hWnd->y = y;
    hWnd->nWidth = std::max(0, cx);
    hWnd->nHeight = std::max(0, cy);
    SendMessageA(hWnd, WM_SIZE, 0, static_cast<LPARAM>((hWnd->nHeight << 16) | (hWnd->nWidth & 0xFFFF)));
    return TRUE;
}

BOOL ShowWindow(HWND hWnd, int nCmdShow) {
    if (!IsWindow(hWnd)) return FALSE;
    BOOL bWasVisible = hWnd->bVisible ? TRUE : FALSE;
    hWnd->bVisible = nCmdShow != SW_HIDE;
    return bWasVisible;
}

BOOL IsWindowVisible(HWND hWnd) { return IsWindow(hWnd) && hWnd->bVisible ? TRUE : FALSE; }

HWND SetFocus(HWND hWnd) {
    HWND hOld = table().hFocus;
    if (hWnd && !IsWindow(hWnd)) return nullptr;
    table().hFocus = hWnd;
    return hOld;
}

HWND GetFocus() { return table().hFocus; }

HMODULE GetModuleHandleA(const char* pszModuleName) { return pszModuleName ? nullptr : &s_module; }

namespace {

LRESULT foreignWindowProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(hWnd, msg, wParam, lParam);
}

} // namespace

HWND adoptForeignWindow(unsigned long nNativeId, int nWidth, int nHeight) {
    for (HWND hWnd : table().windows) {
        if (hWnd->bForeign && hWnd->nNativeId == nNativeId) {
            hWnd->nWidth = std::max(0, nWidth);
            hWnd->nHeight = std::max(0, nHeight);
            return hWnd;
        }
    }
    HWND hWnd = new HWND__;
    hWnd->sClass = "(foreign)";
    hWnd->nWidth = std::max(0, nWidth);
    hWnd->nHeight = std::max(0, nHeight);
    hWnd->pfnProc = &foreignWindowProc;
    hWnd->bVisible = true;
    hWnd->nNativeId = nNativeId;
    hWnd->bForeign = true;
    table().windows.push_back(hWnd);
    return hWnd;
}

// ---- device contexts and bitmaps --------------------------------------------------

HDC GetDC(HWND hWnd) {
    if (hWnd && !IsWindow(hWnd)) return nullptr;
    HDC hDC = new HDC__;
    table().contexts.push_back(hDC);
    return hDC;
}

int ReleaseDC(HWND, HDC hDC) {
    if (!hDC || !contains(table().contexts, hDC) || hDC->bMemory) return 0;
    erase(table().contexts, hDC);
    delete hDC;
    return 1;
}

HDC CreateCompatibleDC(HDC hDC) {
    if (hDC && !contains(table().contexts, hDC)) return nullptr;
    HDC hMemory = new HDC__;
    hMemory->bMemory = true;
    table().contexts.push_back(hMemory);
    return hMemory;
}

BOOL DeleteDC(HDC hDC) {
    if (!hDC || !contains(table().contexts, hDC) || !hDC->bMemory) return FALSE;
    if (hDC->hSelected) hDC->hSelected->hSelectedInto = nullptr;
    erase(table().contexts, hDC);
    delete hDC;
    return TRUE;
}

HBITMAP CreateDIBSection(HDC, const BITMAPINFO* pInfo, UINT usage, void** ppvBits, HANDLE, DWORD) {
    if (ppvBits) *ppvBits = nullptr;
    if (!pInfo || usage != DIB_RGB_COLORS) return nullptr;
    const BITMAPINFOHEADER& h = pInfo->bmiHeader;
    if (h.biBitCount != 32 || h.biCompression != BI_RGB || h.biWidth <= 0 || h.biHeight == 0) return nullptr;
    int nHeight = h.biHeight < 0 ? -h.biHeight : h.biHeight;
    HBITMAP hBitmap = new HGDIOBJ__;
    hBitmap->nWidth = h.biWidth;
    hBitmap->nHeight = nHeight;
    hBitmap->pMemory = std::make_shared<std::vector<unsigned char>>(static_cast<size_t>(h.biWidth) * nHeight * 4);
    table().bitmaps.push_back(hBitmap);
    if (ppvBits) *ppvBits = hBitmap->pMemory->data();
    return hBitmap;
}

namespace {

// What a fresh memory context holds before anything is selected into it.
HGDIOBJ__ s_stockBitmap;

} // namespace

HGDIOBJ SelectObject(HDC hDC, HGDIOBJ hObject) {
    if (!hDC || !contains(table().contexts, hDC) || !hObject) return nullptr;
    bool bStock = hObject == &s_stockBitmap;
    if (!bStock && !contains(table().bitmaps, hObject)) return nullptr;
    if (!bStock && hObject->hSelectedInto && hObject->hSelectedInto != hDC) return nullptr;
    HGDIOBJ hOld = hDC->hSelected ? hDC->hSelected : &s_stockBitmap;
    if (hDC->hSelected) hDC->hSelected->hSelectedInto = nullptr;
    hDC->hSelected = bStock ? nullptr : hObject;
    if (!bStock) hObject->hSelectedInto = hDC;
    return hOld;
}

BOOL DeleteObject(HGDIOBJ hObject) {
    if (!hObject || !contains(table().bitmaps, hObject) || hObject->hSelectedInto) return FALSE;
    erase(table().bitmaps, hObject);
    delete hObject;
    return TRUE;
}

int GetDeviceCaps(HDC hDC, int nIndex) {
    if (!hDC || !contains(table().contexts, hDC)) return 0;
    return nIndex == BITSPIXEL ? table().nDisplayBits : 0;
}

DibView getSelectedDib(HDC hDC) {
    if (!hDC || !contains(table().contexts, hDC) || !hDC->hSelected) return DibView{nullptr, 0, 0, 0};
    HBITMAP h = hDC->hSelected;
    return DibView{h->pMemory->data(), h->nWidth, h->nHeight, h->nWidth * 4};
}

BOOL BitBlt(HDC hDest, int x, int y, int cx, int cy, HDC hSource, int x1, int y1, DWORD rop) {
    if (rop != SRCCOPY) return FALSE;
    DibView dest = getSelectedDib(hDest);
    if (!dest.pBits || !hSource || !contains(table().contexts, hSource)) return FALSE;
    DibView source = getSelectedDib(hSource);
    for (int j = 0; j < cy; ++j) {
        int yd = y + j, ys = y1 + j;
        if (yd < 0 || yd >= dest.nHeight) continue;
        for (int i = 0; i < cx; ++i) {
            int xd = x + i, xs = x1 + i;
            if (xd < 0 || xd >= dest.nWidth) continue;
            unsigned char* pOut = dest.pBits + yd * dest.nPitch + xd * 4;
            bool bInside = source.pBits && xs >= 0 && ys >= 0 && xs < source.nWidth && ys < source.nHeight;
            if (bInside)
                std::memcpy(pOut, source.pBits + ys * source.nPitch + xs * 4, 4);
            else
                std::memset(pOut, 0, 4);
        }
    }
    return TRUE;
}

std::shared_ptr<void> getDibMemory(HBITMAP hBitmap) {
    if (!hBitmap || !contains(table().bitmaps, hBitmap)) return nullptr;
    return std::shared_ptr<void>(hBitmap->pMemory, hBitmap->pMemory->data());
}

void setDisplayBitsPerPixel(int nBits) { table().nDisplayBits = nBits; }

LiveObjects getLiveObjects() {
    int nWindows = 0;
    for (HWND hWnd : table().windows)
        if (!hWnd->bForeign) ++nWindows;
    return LiveObjects{nWindows, static_cast<int>(table().contexts.size()), static_cast<int>(table().bitmaps.size())};
}

} // namespace ole
