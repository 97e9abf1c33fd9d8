// The OLE / Win32 stand-in: windows, device contexts, DIB sections, wide
// strings and the registries.
#include "ole/bstr.h"
#include "ole/runtime.h"
#include "ole/window.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using namespace ole;

namespace {

std::vector<std::string> g_messages;
void* g_pCreateParam = nullptr;

LRESULT recordingProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) g_pCreateParam = reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams;
    g_messages.push_back(std::to_string(msg));
    return DefWindowProcA(hWnd, msg, wParam, lParam);
}

HWND makeWindow(DWORD dwStyle, HWND hParent, int x, int y, int w, int h, void* pParam = nullptr) {
    return CreateWindowExA(0, "TestClass", "test", dwStyle, x, y, w, h, hParent, nullptr, nullptr, pParam);
}

class OleStandIn : public ::testing::Test {
protected:
    void SetUp() override {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = &recordingProc;
        wc.lpszClassName = "TestClass";
        ASSERT_NE(0, RegisterClassA(&wc));
        EXPECT_EQ(0, RegisterClassA(&wc));
        g_messages.clear();
    }
    void TearDown() override {
        UnregisterClassA("TestClass", nullptr);
        LiveObjects live = getLiveObjects();
        EXPECT_EQ(0, live.nWindows);
        EXPECT_EQ(0, live.nDeviceContexts);
        EXPECT_EQ(0, live.nBitmaps);
    }
};

HBITMAP makeSection(HDC hDC, int w, int h, void** ppBits) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    return CreateDIBSection(hDC, &info, DIB_RGB_COLORS, ppBits, nullptr, 0);
}

} // namespace

TEST_F(OleStandIn, WindowsKeepPlacesAndRunTheirProcedure) {
    int nParam = 0;
    HWND hParent = adoptForeignWindow(42, 800, 600);
    EXPECT_EQ(hParent, adoptForeignWindow(42, 800, 600));
    HWND hPopup = makeWindow(WS_POPUP, nullptr, 100, 50, 20, 10, &nParam);
    ASSERT_TRUE(hPopup);
    EXPECT_EQ(&nParam, g_pCreateParam);
    EXPECT_EQ((std::vector<std::string>{"129", "1"}), g_messages);
    HWND hChild = makeWindow(WS_CHILD, hPopup, 5, 6, 30, 40);
    RECT rc;
    ASSERT_TRUE(GetWindowRect(hChild, &rc));
    EXPECT_EQ(105, rc.left);
    EXPECT_EQ(56, rc.top);
    EXPECT_EQ(135, rc.right);
    ASSERT_TRUE(GetClientRect(hChild, &rc));
    EXPECT_EQ(0, rc.left);
    EXPECT_EQ(40, rc.bottom);
    SetWindowPos(hChild, nullptr, 0, 0, 7, 8, SWP_NOZORDER);
    GetClientRect(hChild, &rc);
    EXPECT_EQ(7, rc.right);
    EXPECT_EQ(nullptr, makeWindow(WS_CHILD, reinterpret_cast<HWND>(&nParam), 0, 0, 1, 1));
    SetFocus(hChild);
    // The parent takes its child with it.
    g_messages.clear();
    EXPECT_TRUE(DestroyWindow(hPopup));
    EXPECT_EQ((std::vector<std::string>{"2", "2"}), g_messages);
    EXPECT_FALSE(IsWindow(hChild));
    EXPECT_EQ(nullptr, GetFocus());
    EXPECT_FALSE(DestroyWindow(hPopup));
}

TEST_F(OleStandIn, SectionsOutliveTheirHandleThroughTheirMemory) {
    HWND hWnd = makeWindow(WS_POPUP, nullptr, 0, 0, 4, 4);
    HDC hWindowDC = GetDC(hWnd);
    HDC hMemory = CreateCompatibleDC(hWindowDC);
    EXPECT_EQ(32, GetDeviceCaps(hMemory, BITSPIXEL));
    void* pBits = nullptr;
    HBITMAP hSection = makeSection(hMemory, 4, 3, &pBits);
    ASSERT_TRUE(hSection && pBits);
    HGDIOBJ hOld = SelectObject(hMemory, hSection);
    ASSERT_TRUE(hOld);
    DibView view = getSelectedDib(hMemory);
    EXPECT_EQ(pBits, view.pBits);
    EXPECT_EQ(16, view.nPitch);
    std::memset(pBits, 0x7F, 48);
    // A window's picture cannot be read here: it blits as black.
    EXPECT_TRUE(BitBlt(hMemory, 1, 1, 2, 1, hWindowDC, 0, 0, SRCCOPY));
    const unsigned char* p = static_cast<unsigned char*>(pBits);
    EXPECT_EQ(0x7F, p[0]);
    EXPECT_EQ(0x00, p[16 + 4]);
    EXPECT_EQ(0x7F, p[16 + 12]);
    // Selected: not deletable yet.
    EXPECT_FALSE(DeleteObject(hSection));
    std::shared_ptr<void> pKept = getDibMemory(hSection);
    SelectObject(hMemory, hOld);
    EXPECT_TRUE(DeleteObject(hSection));
    EXPECT_EQ(0x7F, static_cast<unsigned char*>(pKept.get())[0]);
    EXPECT_EQ(nullptr, getDibMemory(hSection));
    BITMAPINFO wrong = {};
    wrong.bmiHeader.biWidth = 4;
    wrong.bmiHeader.biHeight = 4;
    wrong.bmiHeader.biBitCount = 24;
    EXPECT_EQ(nullptr, CreateDIBSection(hMemory, &wrong, DIB_RGB_COLORS, &pBits, nullptr, 0));
    EXPECT_EQ(nullptr, pBits);
    EXPECT_TRUE(DeleteDC(hMemory));
    EXPECT_EQ(1, ReleaseDC(hWnd, hWindowDC));
    DestroyWindow(hWnd);
    // The screen's context is given back the way it was taken.
    HDC hScreenDC = GetDC(nullptr);
    ASSERT_TRUE(hScreenDC);
    EXPECT_FALSE(DeleteDC(hScreenDC));
    EXPECT_EQ(1, ReleaseDC(nullptr, hScreenDC));
}

TEST_F(OleStandIn, RegistriesAreEmptyUntilFilled) {
    EXPECT_EQ(S_OK, OleInitialize(nullptr));
    EXPECT_EQ(S_FALSE, OleInitialize(nullptr));
    OleUninitialize();
    OleUninitialize();
    void* pObject = reinterpret_cast<void*>(1);
    const CLSID clsid = {1, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}};
    EXPECT_EQ(REGDB_E_CLASSNOTREG, CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, &pObject));
    EXPECT_EQ(nullptr, pObject);
    EXPECT_EQ(REGDB_E_CLASSNOTREG, OleCreate(clsid, IID_IOleObject, OLERENDER_DRAW, nullptr, nullptr, nullptr, &pObject));
    EXPECT_EQ(nullptr, LoadLibraryA("flash9.ocx"));
    int nMarker = 0;
    registerLibrary("flash9.ocx", {{"DllGetClassObject", &nMarker}});
    HMODULE hLibrary = LoadLibraryA("flash9.ocx");
    ASSERT_TRUE(hLibrary);
    EXPECT_EQ(&nMarker, GetProcAddress(hLibrary, "DllGetClassObject"));
    EXPECT_EQ(nullptr, GetProcAddress(hLibrary, "DllCanUnloadNow"));
    EXPECT_EQ(1, getLoadedLibraryCount());
    EXPECT_TRUE(FreeLibrary(hLibrary));
    EXPECT_FALSE(FreeLibrary(hLibrary));
    unregisterLibrary("flash9.ocx");
    EXPECT_EQ(nullptr, LoadLibraryA("flash9.ocx"));
}

TEST(Bstr, KeepsLengthAndText) {
    BStr s("label");
    EXPECT_EQ(5u, SysStringLen(s.get()));
    EXPECT_STREQ(L"label", s.text());
    EXPECT_EQ("label", s.narrow());
    BStr none;
    EXPECT_STREQ(L"", none.text());
    EXPECT_EQ(0u, SysStringLen(none.get()));
    BStr moved = std::move(s);
    EXPECT_EQ(nullptr, s.get());
    EXPECT_EQ("label", moved.narrow());
}
