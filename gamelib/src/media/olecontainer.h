// A minimal OLE container for one ActiveX control of interface T: it makes
// a hidden host window, creates the control from a private library beside
// the program or from the registered class, activates it in place
// (windowless when transparency is wanted) and renders it into 32-bit DIB
// sections whose pixels become a sprite's image.
//
// The container answers the site interfaces a control calls. Its reference
// count is a plain counter: the object belongs to its sprite, not to COM.
#pragma once

#include "app/gameapp.h"
#include "image/image.h"
#include "media/swfheader.h"
#include "sprite/sprite.h"

#include "ole/flash.h"
#include "ole/runtime.h"
#include "ole/window.h"

#include "tsl2/error.h"
#include "tsl2/file.h"
#include "tsl2/str.h"

#include <cstring>
#include <memory>
#include <unistd.h>

// Keeps a DIB section's memory alive for the images made over it.
class DibPixels : public Tsl::RefCountedObject {
public:
    explicit DibPixels(std::shared_ptr<void> pMemory) : m_pMemory(std::move(pMemory)) {}

private:
    std::shared_ptr<void> m_pMemory;
};

template <class T>
class COleContainerWnd : public ole::IOleClientSite,
                         public ole::IOleInPlaceSiteWindowless,
                         public ole::IOleInPlaceFrame,
                         public ole::IStorage,
                         public ole::IDispatch,
                         public ShockwaveFlashObjects::IServiceProvider {
public:
    enum { CAPTION_OFFSET = 26 };

    COleContainerWnd()
        : m_clsid(), m_pControl(nullptr), m_pOleObject(nullptr), m_pViewObject(nullptr), m_pViewObjectEx(nullptr),
          m_pInPlaceObject(nullptr), m_pInPlaceObjectWindowless(nullptr), m_pConnectionPointContainer(nullptr),
          m_pConnectionPoint(nullptr), m_dwCookie(0), m_hWnd(nullptr), m_hWndParent(nullptr),
          m_bWindowless(false), m_bVersion8(false), m_hLibrary(nullptr), m_black(), m_white(), m_rcLast(),
          m_nDisplayDepth(0), m_nExStyle(0), m_nFlashVersion(0), m_nMovieWidth(0), m_nMovieHeight(0),
          m_pEventsIid(nullptr), m_nRefCount(0) {}

    virtual ~COleContainerWnd() {
        if (m_pConnectionPoint) {
            m_pConnectionPoint->Unadvise(m_dwCookie);
            m_pConnectionPoint->Release();
        }
        if (m_pConnectionPointContainer) m_pConnectionPointContainer->Release();
        if (m_pOleObject) m_pOleObject->Close(ole::OLECLOSE_NOSAVE);
        if (m_pInPlaceObjectWindowless) m_pInPlaceObjectWindowless->Release();
        else if (m_pInPlaceObject) m_pInPlaceObject->Release();
        if (m_pViewObjectEx) m_pViewObjectEx->Release();
        else if (m_pViewObject) m_pViewObject->Release();
        if (m_pControl) m_pControl->Release();
        if (m_pOleObject) m_pOleObject->Release();
        deleteDrawingPairs();
        if (m_hWnd) ole::DestroyWindow(m_hWnd);
        if (m_hLibrary) ole::FreeLibrary(m_hLibrary);
    }

    virtual bool create(const ole::CLSID& clsid, int nExStyle, int nStyle, ole::HWND hParent,
                        ole::HINSTANCE hInstance, const char* pszMovie) {
        TSL_TRACE();
        m_clsid = clsid;
        m_sMovie = pszMovie ? pszMovie : "";
        m_hWndParent = hParent;
        m_nExStyle = nExStyle;
        m_bWindowless = (static_cast<ole::DWORD>(nExStyle) & ole::WS_EX_LAYERED) != 0;
        if (!createHostWindow(nExStyle, nStyle, hInstance)) return false;
        if (!createControl()) return false;
        if (!queryControlInterfaces()) return false;
        if (!setupControl() || !loadMovie()) return false;
        readMovieSize(&m_nMovieWidth, &m_nMovieHeight);
        ole::SetWindowPos(m_hWnd, nullptr, 0, 0, m_nMovieWidth, m_nMovieHeight, ole::SWP_NOZORDER);
        bool bShown = showInPlace();
        ole::SetFocus(m_hWndParent);
        return bShown;
    }

    // Renders the control; with a target, the picture becomes its image.
    // The context and rectangle are those of a paint request (unused when
    // rendering into the bitmaps).
    virtual void render(ole::HDC hDC, const ole::RECT* pRect, Sprite* pTarget) {
        TSL_ASSERT(m_hWnd);
        ole::RECT rc;
        ole::GetWindowRect(m_hWnd, &rc);
        if (!m_black.hBitmap || std::memcmp(&rc, &m_rcLast, sizeof(rc)) != 0) rebuildDrawingPairs(rc);
        if (!pTarget || !m_black.pBits) return;
        int nWidth = rc.right - rc.left, nHeight = rc.bottom - rc.top;
        if (m_pViewObject) drawControl(rc, nWidth, nHeight);
        unsigned int nAlphaMask = (m_nExStyle & ole::WS_EX_LAYERED) ? 0xFF000000u : 0u;
        Tsl::SmartPtr<Image> pImage = GameApp::getInstance()->createImageFromPixels(
            m_black.pBits, nWidth, nHeight, 32, nWidth * 4, 0x00FF0000u, 0x0000FF00u, 0x000000FFu, nAlphaMask);
        // The image keeps the section's memory, so a rebuild never leaves it
        // pointing at freed pixels.
        pImage->holdPixels(new DibPixels(ole::getDibMemory(m_black.hBitmap)));
        pTarget->setImage(pImage);
    }

    virtual void readMovieSize(int* pWidth, int* pHeight) {
        TSL_TRACE();
        Tsl::String sPath = getMoviePath();
        Tsl::traceSetNote(sPath.c_str());
        Tsl::SmartPtr<Tsl::File> pFile = new Tsl::File(sPath, Tsl::File::eRead);
        readSwfFrameSize(pFile, pWidth, pHeight);
    }

    virtual bool setupControl() = 0;
    virtual bool loadMovie() = 0;

    // The event sink's entries; the control's host answers them. Defined
    // here too, so a control calling in while the container is torn down
    // never reaches a pure function.
    ole::HRESULT GetTypeInfoCount(ole::UINT*) override { return ole::E_NOTIMPL; }
    ole::HRESULT GetTypeInfo(ole::UINT, ole::LCID, ole::ITypeInfo**) override { return ole::E_NOTIMPL; }
    ole::HRESULT GetIDsOfNames(ole::REFIID, ole::LPOLESTR*, ole::UINT, ole::LCID, ole::DISPID*) override {
        return ole::E_NOTIMPL;
    }
    ole::HRESULT Invoke(ole::DISPID, ole::REFIID, ole::LCID, ole::WORD, ole::DISPPARAMS*, ole::VARIANT*,
                        ole::EXCEPINFO*, ole::UINT*) override {
        return ole::S_OK;
    }

    // Resizes the host window to s times the movie and shows the control again.
    void setScale(float fScale) {
        ole::SetWindowPos(m_hWnd, nullptr, 0, 0, static_cast<int>(fScale * m_nMovieWidth),
                          static_cast<int>(fScale * m_nMovieHeight), ole::SWP_NOZORDER);
        showInPlace();
    }

    T* getControl() const { return m_pControl; }
    // The size readMovieSize found when the control was made.
    int getMovieWidth() const { return m_nMovieWidth; }
    int getMovieHeight() const { return m_nMovieHeight; }
    ole::HWND getHostWindow() const { return m_hWnd; }
    ole::ULONG getRefCount() const { return m_nRefCount; }

    // ---- IUnknown ------------------------------------------------------------------
    ole::HRESULT QueryInterface(ole::REFIID riid, void** ppvObject) override {
        if (!ppvObject) return ole::E_POINTER;
        *ppvObject = findInterface(riid);
        if (!*ppvObject) return ole::E_NOINTERFACE;
        AddRef();
        return ole::S_OK;
    }
    ole::ULONG AddRef() override { return ++m_nRefCount; }
    ole::ULONG Release() override { return m_nRefCount > 0 ? --m_nRefCount : 0; }

    // ---- IOleClientSite ----------------------------------------------------------
    ole::HRESULT SaveObject() override { return ole::E_NOTIMPL; }
    ole::HRESULT GetMoniker(ole::DWORD, ole::DWORD, ole::IMoniker**) override { return ole::E_NOTIMPL; }
    ole::HRESULT GetContainer(ole::IOleContainer** ppContainer) override {
        if (ppContainer) *ppContainer = nullptr;
        return ole::E_NOINTERFACE;
    }
    ole::HRESULT ShowObject() override { return ole::S_OK; }
    ole::HRESULT OnShowWindow(ole::BOOL) override { return ole::E_NOTIMPL; }
    ole::HRESULT RequestNewObjectLayout() override { return ole::E_NOTIMPL; }

    // ---- IOleWindow (site and frame) ---------------------------------------------
    ole::HRESULT GetWindow(ole::HWND* phwnd) override {
        TSL_ASSERT(m_hWnd);
        if (phwnd) *phwnd = m_hWnd;
        return ole::S_OK;
    }
    ole::HRESULT ContextSensitiveHelp(ole::BOOL) override { return ole::E_NOTIMPL; }

    // ---- IOleInPlaceSite ---------------------------------------------------------
    ole::HRESULT CanInPlaceActivate() override { return ole::S_OK; }
    ole::HRESULT OnInPlaceActivate() override { return ole::S_OK; }
    ole::HRESULT OnUIActivate() override { return ole::S_OK; }
    ole::HRESULT GetWindowContext(ole::IOleInPlaceFrame** ppFrame, ole::IOleInPlaceUIWindow** ppDoc,
                                  ole::LPRECT lprcPosRect, ole::LPRECT lprcClipRect,
                                  ole::LPOLEINPLACEFRAMEINFO lpFrameInfo) override {
        if (ppFrame) {
            *ppFrame = static_cast<ole::IOleInPlaceFrame*>(this);
            AddRef();
        }
        if (ppDoc) *ppDoc = nullptr;
        ole::RECT rc = {0, 0, 0, 0};
        ole::GetClientRect(m_hWnd, &rc);
        if (lprcPosRect) *lprcPosRect = rc;
        if (lprcClipRect) *lprcClipRect = rc;
        if (lpFrameInfo) {
            lpFrameInfo->fMDIApp = ole::FALSE;
            lpFrameInfo->hwndFrame = m_hWndParent;
            lpFrameInfo->haccel = nullptr;
            lpFrameInfo->cAccelEntries = 0;
        }
        return ole::S_OK;
    }
    ole::HRESULT Scroll(ole::SIZE) override { return ole::E_NOTIMPL; }
    ole::HRESULT OnUIDeactivate(ole::BOOL) override { return ole::S_OK; }
    ole::HRESULT OnInPlaceDeactivate() override { return ole::S_OK; }
    ole::HRESULT DiscardUndoState() override { return ole::E_NOTIMPL; }
    ole::HRESULT DeactivateAndUndo() override { return ole::E_NOTIMPL; }
    ole::HRESULT OnPosRectChange(ole::LPCRECT) override { return ole::S_OK; }

    // ---- IOleInPlaceSiteEx -------------------------------------------------------
    ole::HRESULT OnInPlaceActivateEx(ole::BOOL* pfNoRedraw, ole::DWORD) override {
        if (pfNoRedraw) *pfNoRedraw = ole::FALSE;
        return ole::S_OK;
    }
    ole::HRESULT OnInPlaceDeactivateEx(ole::BOOL) override { return ole::S_FALSE; }
    ole::HRESULT RequestUIActivate() override { return ole::S_FALSE; }

    // ---- IOleInPlaceSiteWindowless -----------------------------------------------
    ole::HRESULT CanWindowlessActivate() override { return ole::S_OK; }
    ole::HRESULT GetCapture() override { return ole::S_FALSE; }
    ole::HRESULT SetCapture(ole::BOOL) override { return ole::S_FALSE; }
    ole::HRESULT GetFocus() override { return ole::S_OK; }
    ole::HRESULT SetFocus(ole::BOOL) override { return ole::S_OK; }
    ole::HRESULT GetDC(ole::LPCRECT, ole::DWORD, ole::HDC*) override { return ole::S_FALSE; }
    ole::HRESULT ReleaseDC(ole::HDC) override { return ole::S_FALSE; }
    ole::HRESULT InvalidateRect(ole::LPCRECT, ole::BOOL) override {
        render(nullptr, nullptr, nullptr);
        return ole::S_OK;
    }
    ole::HRESULT InvalidateRgn(ole::HRGN, ole::BOOL) override { return ole::S_OK; }
    ole::HRESULT ScrollRect(ole::INT, ole::INT, ole::LPCRECT, ole::LPCRECT) override { return ole::E_NOTIMPL; }
    ole::HRESULT AdjustRect(ole::LPRECT) override { return ole::S_FALSE; }
    ole::HRESULT OnDefWindowMessage(ole::UINT, ole::WPARAM, ole::LPARAM, ole::LRESULT*) override {
        return ole::S_FALSE;
    }

    // ---- IOleInPlaceUIWindow, IOleInPlaceFrame -----------------------------------
    ole::HRESULT GetBorder(ole::LPRECT) override { return ole::E_NOTIMPL; }
    ole::HRESULT RequestBorderSpace(ole::LPCBORDERWIDTHS) override { return ole::E_NOTIMPL; }
    ole::HRESULT SetBorderSpace(ole::LPCBORDERWIDTHS) override { return ole::E_NOTIMPL; }
    ole::HRESULT SetActiveObject(ole::IOleInPlaceActiveObject*, ole::LPCOLESTR) override { return ole::S_OK; }
    ole::HRESULT InsertMenus(ole::HMENU, ole::LPOLEMENUGROUPWIDTHS) override { return ole::E_NOTIMPL; }
    ole::HRESULT SetMenu(ole::HMENU, ole::HOLEMENU, ole::HWND) override { return ole::S_OK; }
    ole::HRESULT RemoveMenus(ole::HMENU) override { return ole::E_NOTIMPL; }
    ole::HRESULT SetStatusText(ole::LPCOLESTR) override { return ole::S_OK; }
    ole::HRESULT EnableModeless(ole::BOOL) override { return ole::S_OK; }
    ole::HRESULT TranslateAccelerator(ole::LPMSG, ole::WORD) override { return ole::E_NOTIMPL; }

    // ---- IStorage: the control only names its class --------------------------------
    ole::HRESULT CreateStream(const ole::OLECHAR*, ole::DWORD, ole::DWORD, ole::DWORD, ole::IStream**) override {
        return ole::E_NOTIMPL;
    }
    ole::HRESULT OpenStream(const ole::OLECHAR*, void*, ole::DWORD, ole::DWORD, ole::IStream**) override {
        return ole::E_NOTIMPL;
    }
    ole::HRESULT CreateStorage(const ole::OLECHAR*, ole::DWORD, ole::DWORD, ole::DWORD, ole::IStorage**) override {
        return ole::E_NOTIMPL;
    }
    ole::HRESULT OpenStorage(const ole::OLECHAR*, ole::IStorage*, ole::DWORD, ole::SNB, ole::DWORD,
                             ole::IStorage**) override {
        return ole::E_NOTIMPL;
    }
    ole::HRESULT CopyTo(ole::DWORD, const ole::IID*, ole::SNB, ole::IStorage*) override { return ole::E_NOTIMPL; }
    ole::HRESULT MoveElementTo(const ole::OLECHAR*, ole::IStorage*, const ole::OLECHAR*, ole::DWORD) override {
        return ole::E_NOTIMPL;
    }
    ole::HRESULT Commit(ole::DWORD) override { return ole::E_NOTIMPL; }
    ole::HRESULT Revert() override { return ole::E_NOTIMPL; }
    ole::HRESULT EnumElements(ole::DWORD, void*, ole::DWORD, ole::IEnumSTATSTG**) override { return ole::E_NOTIMPL; }
    ole::HRESULT DestroyElement(const ole::OLECHAR*) override { return ole::E_NOTIMPL; }
    ole::HRESULT RenameElement(const ole::OLECHAR*, const ole::OLECHAR*) override { return ole::E_NOTIMPL; }
    ole::HRESULT SetElementTimes(const ole::OLECHAR*, const ole::FILETIME*, const ole::FILETIME*,
                                 const ole::FILETIME*) override {
        return ole::E_NOTIMPL;
    }
    ole::HRESULT SetClass(ole::REFCLSID) override { return ole::S_OK; }
    ole::HRESULT SetStateBits(ole::DWORD, ole::DWORD) override { return ole::E_NOTIMPL; }
    ole::HRESULT Stat(ole::STATSTG*, ole::DWORD) override { return ole::E_NOTIMPL; }

    // ---- IServiceProvider ----------------------------------------------------------
    ole::HRESULT QueryService(ole::REFGUID, ole::REFIID, void** ppvObject) override {
        if (ppvObject) *ppvObject = nullptr;
        return ole::E_NOINTERFACE;
    }

protected:
    // One memory context with its 32-bit top-down section.
    struct DrawingPair {
        ole::HDC hDC;
        ole::HBITMAP hBitmap;
        ole::HGDIOBJ hOldBitmap;
        unsigned char* pBits;
    };

    // The movie's file: the current folder followed by the resolved
    // resource name. Raises "Resource %s not found".
    Tsl::String getMoviePath() const {
        Tsl::String sResolved = GameApp::getInstance()->findResource(m_sMovie.c_str());
        if (sResolved.isEmpty()) TSL_THROW(Exception, "Resource %s not found", m_sMovie.c_str());
        char szFolder[4096];
        if (!getcwd(szFolder, sizeof(szFolder))) szFolder[0] = '\0';
        return Tsl::String(szFolder) + "/" + sResolved;
    }

    // Hooks this container up as the control's event sink; QueryInterface
    // answers iid from here on.
    bool connectEvents(const ole::IID& iid) {
        m_pEventsIid = &iid;
        if (ole::FAILED(m_pControl->QueryInterface(ole::IID_IConnectionPointContainer,
                                               reinterpret_cast<void**>(&m_pConnectionPointContainer))))
            return false;
        if (ole::FAILED(m_pConnectionPointContainer->FindConnectionPoint(iid, &m_pConnectionPoint))) return false;
        return ole::SUCCEEDED(m_pConnectionPoint->Advise(static_cast<ole::IDispatch*>(this), &m_dwCookie));
    }

    ole::CLSID m_clsid;
    T* m_pControl;
    ole::IOleObject* m_pOleObject;
    // The view and in-place objects: one of each pair is held; the plain
    // pointer then points at whichever it is.
    ole::IViewObject* m_pViewObject;
    ole::IViewObjectEx* m_pViewObjectEx;
    ole::IOleInPlaceObject* m_pInPlaceObject;
    ole::IOleInPlaceObjectWindowless* m_pInPlaceObjectWindowless;
    ole::IConnectionPointContainer* m_pConnectionPointContainer;
    ole::IConnectionPoint* m_pConnectionPoint;
    ole::DWORD m_dwCookie;
    ole::HWND m_hWnd;
    ole::HWND m_hWndParent;
    bool m_bWindowless;
    bool m_bVersion8;
    ole::HMODULE m_hLibrary;
    DrawingPair m_black;
    DrawingPair m_white;
    ole::RECT m_rcLast;
    int m_nDisplayDepth;
    Tsl::String m_sMovie;
    int m_nExStyle;
    long m_nFlashVersion;
    int m_nMovieWidth;
    int m_nMovieHeight;

private:
    COleContainerWnd(const COleContainerWnd&) = delete;
    COleContainerWnd& operator=(const COleContainerWnd&) = delete;

    // The host window's procedure: it stores the creation parameter as the
    // window's object; create passes none, so every message gets the
    // default handling.
    static ole::LRESULT windowProc(ole::HWND hWnd, ole::UINT msg, ole::WPARAM wParam, ole::LPARAM lParam) {
        if (msg == ole::WM_NCCREATE) {
            const ole::CREATESTRUCTA* pCreate = reinterpret_cast<const ole::CREATESTRUCTA*>(lParam);
            ole::SetWindowLongPtrA(hWnd, ole::GWLP_USERDATA, reinterpret_cast<ole::LONG_PTR>(pCreate->lpCreateParams));
        }
        return ole::DefWindowProcA(hWnd, msg, wParam, lParam);
    }

    bool createHostWindow(int nExStyle, int nStyle, ole::HINSTANCE hInstance) {
        ole::WNDCLASSA wc;
        std::memset(&wc, 0, sizeof(wc));
        wc.lpfnWndProc = &COleContainerWnd::windowProc;
        wc.hInstance = hInstance;
        wc.lpszClassName = "MyOleControl";
        // A second host finds the class registered already.
        ole::RegisterClassA(&wc);
        ole::RECT rc = {0, 0, 0, 0};
        ole::GetClientRect(m_hWndParent, &rc);
        m_hWnd = ole::CreateWindowExA(static_cast<ole::DWORD>(nExStyle), "MyOleControl", "MyOleControlWindow",
                                      static_cast<ole::DWORD>(nStyle), rc.left, rc.top + CAPTION_OFFSET,
                                      rc.right - rc.left, rc.bottom - rc.top, m_hWndParent, nullptr, hInstance,
                                      nullptr);
        return m_hWnd != nullptr;
    }

    bool createControl() {
        m_hLibrary = ole::LoadLibraryA("flash9.ocx");
        if (m_hLibrary) {
            auto pfnGetClassObject =
                reinterpret_cast<ole::DllGetClassObjectFn>(ole::GetProcAddress(m_hLibrary, "DllGetClassObject"));
            ole::IClassFactory* pFactory = nullptr;
            if (!pfnGetClassObject ||
                ole::FAILED(pfnGetClassObject(m_clsid, ole::IID_IClassFactory, reinterpret_cast<void**>(&pFactory))))
                return false;
            ole::HRESULT hr =
                pFactory->CreateInstance(nullptr, ole::IID_IOleObject, reinterpret_cast<void**>(&m_pOleObject));
            pFactory->Release();
            if (ole::FAILED(hr) || !m_pOleObject) return false;
            m_pOleObject->SetClientSite(static_cast<ole::IOleClientSite*>(this));
            ole::OleSetContainedObject(m_pOleObject, ole::TRUE);
            return true;
        }
        ole::HRESULT hr = ole::OleCreate(m_clsid, ole::IID_IOleObject, ole::OLERENDER_DRAW, nullptr,
                                         static_cast<ole::IOleClientSite*>(this), static_cast<ole::IStorage*>(this),
                                         reinterpret_cast<void**>(&m_pOleObject));
        return ole::SUCCEEDED(hr) && m_pOleObject;
    }

    bool queryControlInterfaces() {
        if (ole::FAILED(m_pOleObject->QueryInterface(T::iid(), reinterpret_cast<void**>(&m_pControl)))) return false;
        if (ole::SUCCEEDED(m_pOleObject->QueryInterface(ole::IID_IViewObjectEx, reinterpret_cast<void**>(&m_pViewObjectEx))))
            m_pViewObject = m_pViewObjectEx;
        else if (ole::FAILED(m_pOleObject->QueryInterface(ole::IID_IViewObject, reinterpret_cast<void**>(&m_pViewObject))))
            return false;
        if (m_bWindowless && ole::SUCCEEDED(m_pOleObject->QueryInterface(
                                 ole::IID_IOleInPlaceObjectWindowless,
                                 reinterpret_cast<void**>(&m_pInPlaceObjectWindowless)))) {
            m_pInPlaceObject = m_pInPlaceObjectWindowless;
            return true;
        }
        m_bWindowless = false;
        return ole::SUCCEEDED(
            m_pOleObject->QueryInterface(ole::IID_IOleInPlaceObject, reinterpret_cast<void**>(&m_pInPlaceObject)));
    }

    bool showInPlace() {
        ole::RECT rc = {0, 0, 0, 0};
        ole::GetClientRect(m_hWnd, &rc);
        return ole::SUCCEEDED(m_pOleObject->DoVerb(ole::OLEIVERB_SHOW, nullptr, static_cast<ole::IOleClientSite*>(this), 0,
                                              m_hWnd, &rc));
    }

    void deleteDrawingPair(DrawingPair& pair) {
        if (pair.hDC) {
            if (pair.hOldBitmap) ole::SelectObject(pair.hDC, pair.hOldBitmap);
            ole::DeleteDC(pair.hDC);
        }
        if (pair.hBitmap) ole::DeleteObject(pair.hBitmap);
        pair = DrawingPair();
    }

    void deleteDrawingPairs() {
        deleteDrawingPair(m_black);
        deleteDrawingPair(m_white);
    }

    bool makeDrawingPair(DrawingPair& pair, int nWidth, int nHeight) {
        ole::HDC hWindowDC = ole::GetDC(m_hWnd);
        pair.hDC = ole::CreateCompatibleDC(hWindowDC);
        ole::ReleaseDC(m_hWnd, hWindowDC);
        ole::BITMAPINFO info;
        std::memset(&info, 0, sizeof(info));
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = nWidth;
        info.bmiHeader.biHeight = -nHeight;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = ole::BI_RGB;
        void* pBits = nullptr;
        pair.hBitmap = ole::CreateDIBSection(pair.hDC, &info, ole::DIB_RGB_COLORS, &pBits, nullptr, 0);
        pair.pBits = static_cast<unsigned char*>(pBits);
        if (pair.hDC && pair.hBitmap) pair.hOldBitmap = ole::SelectObject(pair.hDC, pair.hBitmap);
        return pair.hDC && pair.pBits;
    }

    void rebuildDrawingPairs(const ole::RECT& rc) {
        deleteDrawingPairs();
        m_rcLast = rc;
        int nWidth = rc.right - rc.left, nHeight = rc.bottom - rc.top;
        // An empty window has nothing to draw into.
        if (nWidth <= 0 || nHeight <= 0) return;
        if (!makeDrawingPair(m_black, nWidth, nHeight) || (m_bVersion8 && !makeDrawingPair(m_white, nWidth, nHeight))) {
            deleteDrawingPairs();
            return;
        }
        if (m_nDisplayDepth == 0) m_nDisplayDepth = ole::GetDeviceCaps(m_black.hDC, ole::BITSPIXEL);
    }

    void drawControl(const ole::RECT& rcScreen, int nWidth, int nHeight) {
        ole::RECT rcDraw = {0, 0, nWidth, nHeight};
        size_t nBytes = static_cast<size_t>(nWidth) * nHeight * 4;
        if (m_nDisplayDepth == 32 && m_bVersion8 && m_white.pBits) {
            std::memset(m_black.pBits, 0x00, nBytes);
            std::memset(m_white.pBits, 0xFF, nBytes);
            ole::OleDraw(m_pViewObject, ole::DVASPECT_TRANSPARENT, m_black.hDC, &rcDraw);
            ole::OleDraw(m_pViewObject, ole::DVASPECT_TRANSPARENT, m_white.hDC, &rcDraw);
            mergeAlpha(nWidth * nHeight);
        } else if (m_nDisplayDepth == 32) {
            std::memset(m_black.pBits, 0x00, nBytes);
            ole::OleDraw(m_pViewObject, ole::DVASPECT_CONTENT, m_black.hDC, &rcDraw);
        } else {
            ole::HDC hParentDC = ole::GetDC(m_hWndParent);
            ole::BitBlt(m_black.hDC, 0, 0, nWidth, nHeight, hParentDC, rcScreen.left, rcScreen.top, ole::SRCCOPY);
            ole::ReleaseDC(m_hWndParent, hParentDC);
            ole::OleDraw(m_pViewObject, ole::DVASPECT_TRANSPARENT, m_black.hDC, &rcDraw);
        }
    }

    // Alpha from the difference between the renders over black and over
    // white; the colour is the one over black.
    void mergeAlpha(int nPixels) {
        unsigned char* pBlack = m_black.pBits;
        const unsigned char* pWhite = m_white.pBits;
        for (int i = 0; i < nPixels; ++i, pBlack += 4, pWhite += 4) {
            int nDiff = (pWhite[0] - pBlack[0]) + (pWhite[1] - pBlack[1]) + (pWhite[2] - pBlack[2]);
            int nAlpha = 255 - nDiff / 3;
            pBlack[3] = static_cast<unsigned char>(nAlpha < 0 ? 0 : (nAlpha > 255 ? 255 : nAlpha));
        }
    }

    void* findInterface(ole::REFIID riid) {
        if (riid == ole::IID_IUnknown || riid == ole::IID_IOleClientSite)
            return static_cast<ole::IOleClientSite*>(this);
        if (riid == ole::IID_IOleWindow || riid == ole::IID_IOleInPlaceSite || riid == ole::IID_IOleInPlaceSiteEx ||
            riid == ole::IID_IOleInPlaceSiteWindowless)
            return static_cast<ole::IOleInPlaceSiteWindowless*>(this);
        if (riid == ole::IID_IOleInPlaceUIWindow || riid == ole::IID_IOleInPlaceFrame)
            return static_cast<ole::IOleInPlaceFrame*>(this);
        if (riid == ole::IID_IStorage) return static_cast<ole::IStorage*>(this);
        if (riid == ole::IID_IDispatch || (m_pEventsIid && riid == *m_pEventsIid))
            return static_cast<ole::IDispatch*>(this);
        if (riid == ShockwaveFlashObjects::IServiceProvider::iid())
            return static_cast<ShockwaveFlashObjects::IServiceProvider*>(this);
        return nullptr;
    }

    const ole::IID* m_pEventsIid;
    ole::ULONG m_nRefCount;
};
