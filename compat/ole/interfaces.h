// The COM interface shapes the Flash host answers (the site side) and calls
// (the control side). Only the methods this system uses are declared on the
// control side; the site interfaces are complete, since a control may call
// any of their methods.
#pragma once

#include "ole/types.h"

namespace ole {

// Our own identifiers for the interfaces; each interface names its own.
extern const IID IID_IUnknown;
extern const IID IID_IDispatch;
extern const IID IID_IClassFactory;
extern const IID IID_IOleClientSite;
extern const IID IID_IOleWindow;
extern const IID IID_IOleInPlaceSite;
extern const IID IID_IOleInPlaceSiteEx;
extern const IID IID_IOleInPlaceSiteWindowless;
extern const IID IID_IOleInPlaceUIWindow;
extern const IID IID_IOleInPlaceFrame;
extern const IID IID_IStorage;
extern const IID IID_IOleObject;
extern const IID IID_IViewObject;
extern const IID IID_IViewObjectEx;
extern const IID IID_IOleInPlaceObject;
extern const IID IID_IOleInPlaceObjectWindowless;
extern const IID IID_IConnectionPointContainer;
extern const IID IID_IConnectionPoint;

#define OLE_INTERFACE_ID(name) \
    static const IID& iid() { return IID_##name; }

class IUnknown {
public:
    OLE_INTERFACE_ID(IUnknown)
    virtual HRESULT QueryInterface(REFIID riid, void** ppvObject) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

protected:
    ~IUnknown() {}
};

struct ITypeInfo;
struct IMoniker;
struct IOleContainer;
struct IOleInPlaceActiveObject;
struct IStream;
struct IEnumSTATSTG;

class IDispatch : public IUnknown {
public:
    OLE_INTERFACE_ID(IDispatch)
    virtual HRESULT GetTypeInfoCount(UINT* pctinfo) = 0;
    virtual HRESULT GetTypeInfo(UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo) = 0;
    virtual HRESULT GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID lcid, DISPID* rgDispId) = 0;
    virtual HRESULT Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags, DISPPARAMS* pDispParams,
                           VARIANT* pVarResult, EXCEPINFO* pExcepInfo, UINT* puArgErr) = 0;
};

class IClassFactory : public IUnknown {
public:
    OLE_INTERFACE_ID(IClassFactory)
    virtual HRESULT CreateInstance(IUnknown* pUnkOuter, REFIID riid, void** ppvObject) = 0;
    virtual HRESULT LockServer(BOOL fLock) = 0;
};

// ---- the site side ---------------------------------------------------------

class IOleClientSite : public IUnknown {
public:
    OLE_INTERFACE_ID(IOleClientSite)
    virtual HRESULT SaveObject() = 0;
    virtual HRESULT GetMoniker(DWORD dwAssign, DWORD dwWhichMoniker, IMoniker** ppmk) = 0;
    virtual HRESULT GetContainer(IOleContainer** ppContainer) = 0;
    virtual HRESULT ShowObject() = 0;
    virtual HRESULT OnShowWindow(BOOL fShow) = 0;
    virtual HRESULT RequestNewObjectLayout() = 0;
};

class IOleWindow : public IUnknown {
public:
    OLE_INTERFACE_ID(IOleWindow)
    virtual HRESULT GetWindow(HWND* phwnd) = 0;
    virtual HRESULT ContextSensitiveHelp(BOOL fEnterMode) = 0;
};

class IOleInPlaceUIWindow : public IOleWindow {
public:
    OLE_INTERFACE_ID(IOleInPlaceUIWindow)
    virtual HRESULT GetBorder(LPRECT lprectBorder) = 0;
    virtual HRESULT RequestBorderSpace(LPCBORDERWIDTHS pborderwidths) = 0;
    virtual HRESULT SetBorderSpace(LPCBORDERWIDTHS pborderwidths) = 0;
    virtual HRESULT SetActiveObject(IOleInPlaceActiveObject* pActiveObject, LPCOLESTR pszObjName) = 0;
};

class IOleInPlaceFrame : public IOleInPlaceUIWindow {
public:
    OLE_INTERFACE_ID(IOleInPlaceFrame)
    virtual HRESULT InsertMenus(HMENU hmenuShared, LPOLEMENUGROUPWIDTHS lpMenuWidths) = 0;
    virtual HRESULT SetMenu(HMENU hmenuShared, HOLEMENU holemenu, HWND hwndActiveObject) = 0;
    virtual HRESULT RemoveMenus(HMENU hmenuShared) = 0;
    virtual HRESULT SetStatusText(LPCOLESTR pszStatusText) = 0;
    virtual HRESULT EnableModeless(BOOL fEnable) = 0;
    virtual HRESULT TranslateAccelerator(LPMSG lpmsg, WORD wID) = 0;
};

class IOleInPlaceSite : public IOleWindow {
public:
    OLE_INTERFACE_ID(IOleInPlaceSite)
    virtual HRESULT CanInPlaceActivate() = 0;
    virtual HRESULT OnInPlaceActivate() = 0;
    virtual HRESULT OnUIActivate() = 0;
    virtual HRESULT GetWindowContext(IOleInPlaceFrame** ppFrame, IOleInPlaceUIWindow** ppDoc, LPRECT lprcPosRect,
                                     LPRECT lprcClipRect, LPOLEINPLACEFRAMEINFO lpFrameInfo) = 0;
    virtual HRESULT Scroll(SIZE scrollExtant) = 0;
    virtual HRESULT OnUIDeactivate(BOOL fUndoable) = 0;
    virtual HRESULT OnInPlaceDeactivate() = 0;
    virtual HRESULT DiscardUndoState() = 0;
    virtual HRESULT DeactivateAndUndo() = 0;
    virtual HRESULT OnPosRectChange(LPCRECT lprcPosRect) = 0;
};

class IOleInPlaceSiteEx : public IOleInPlaceSite {
public:
    OLE_INTERFACE_ID(IOleInPlaceSiteEx)
    virtual HRESULT OnInPlaceActivateEx(BOOL* pfNoRedraw, DWORD dwFlags) = 0;
    virtual HRESULT OnInPlaceDeactivateEx(BOOL fNoRedraw) = 0;
    virtual HRESULT RequestUIActivate() = 0;
};

class IOleInPlaceSiteWindowless : public IOleInPlaceSiteEx {
public:
    OLE_INTERFACE_ID(IOleInPlaceSiteWindowless)
    virtual HRESULT CanWindowlessActivate() = 0;
    virtual HRESULT GetCapture() = 0;
    virtual HRESULT SetCapture(BOOL fCapture) = 0;
    virtual HRESULT GetFocus() = 0;
    virtual HRESULT SetFocus(BOOL fFocus) = 0;
    virtual HRESULT GetDC(LPCRECT pRect, DWORD grfFlags, HDC* phDC) = 0;
    virtual HRESULT ReleaseDC(HDC hDC) = 0;
    virtual HRESULT InvalidateRect(LPCRECT pRect, BOOL fErase) = 0;
    virtual HRESULT InvalidateRgn(HRGN hRGN, BOOL fErase) = 0;
    virtual HRESULT ScrollRect(INT dx, INT dy, LPCRECT pRectScroll, LPCRECT pRectClip) = 0;
    virtual HRESULT AdjustRect(LPRECT prc) = 0;
    virtual HRESULT OnDefWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* plResult) = 0;
};

class IStorage : public IUnknown {
public:
    OLE_INTERFACE_ID(IStorage)
    virtual HRESULT CreateStream(const OLECHAR* pwcsName, DWORD grfMode, DWORD reserved1, DWORD reserved2,
                                 IStream** ppstm) = 0;
    virtual HRESULT OpenStream(const OLECHAR* pwcsName, void* reserved1, DWORD grfMode, DWORD reserved2,
                               IStream** ppstm) = 0;
    virtual HRESULT CreateStorage(const OLECHAR* pwcsName, DWORD grfMode, DWORD reserved1, DWORD reserved2,
                                  IStorage** ppstg) = 0;
    virtual HRESULT OpenStorage(const OLECHAR* pwcsName, IStorage* pstgPriority, DWORD grfMode, SNB snbExclude,
                                DWORD reserved, IStorage** ppstg) = 0;
    virtual HRESULT CopyTo(DWORD ciidExclude, const IID* rgiidExclude, SNB snbExclude, IStorage* pstgDest) = 0;
    virtual HRESULT MoveElementTo(const OLECHAR* pwcsName, IStorage* pstgDest, const OLECHAR* pwcsNewName,
                                  DWORD grfFlags) = 0;
    virtual HRESULT Commit(DWORD grfCommitFlags) = 0;
    virtual HRESULT Revert() = 0;
    virtual HRESULT EnumElements(DWORD reserved1, void* reserved2, DWORD reserved3, IEnumSTATSTG** ppenum) = 0;
    virtual HRESULT DestroyElement(const OLECHAR* pwcsName) = 0;
    virtual HRESULT RenameElement(const OLECHAR* pwcsOldName, const OLECHAR* pwcsNewName) = 0;
    virtual HRESULT SetElementTimes(const OLECHAR* pwcsName, const FILETIME* pctime, const FILETIME* patime,
                                    const FILETIME* pmtime) = 0;
    virtual HRESULT SetClass(REFCLSID clsid) = 0;
    virtual HRESULT SetStateBits(DWORD grfStateBits, DWORD grfMask) = 0;
    virtual HRESULT Stat(STATSTG* pstatstg, DWORD grfStatFlag) = 0;
};

// ---- the control side ------------------------------------------------------

constexpr LONG OLEIVERB_SHOW = -1;
constexpr DWORD OLECLOSE_NOSAVE = 1;
constexpr DWORD OLERENDER_DRAW = 1;
constexpr DWORD DVASPECT_CONTENT = 1;
constexpr DWORD DVASPECT_TRANSPARENT = 32;

class IOleObject : public IUnknown {
public:
    OLE_INTERFACE_ID(IOleObject)
    virtual HRESULT SetClientSite(IOleClientSite* pClientSite) = 0;
    virtual HRESULT GetClientSite(IOleClientSite** ppClientSite) = 0;
    virtual HRESULT Close(DWORD dwSaveOption) = 0;
    virtual HRESULT DoVerb(LONG iVerb, LPMSG lpmsg, IOleClientSite* pActiveSite, LONG lindex, HWND hwndParent,
                           LPCRECT lprcPosRect) = 0;
};

class IViewObject : public IUnknown {
public:
    OLE_INTERFACE_ID(IViewObject)
    virtual HRESULT Draw(DWORD dwDrawAspect, LONG lindex, void* pvAspect, DVTARGETDEVICE* ptd, HDC hdcTargetDev,
                         HDC hdcDraw, LPCRECTL lprcBounds, LPCRECTL lprcWBounds, BOOL (*pfnContinue)(ULONG_PTR),
                         ULONG_PTR dwContinue) = 0;
};

class IViewObjectEx : public IViewObject {
public:
    OLE_INTERFACE_ID(IViewObjectEx)
};

class IOleInPlaceObject : public IOleWindow {
public:
    OLE_INTERFACE_ID(IOleInPlaceObject)
    virtual HRESULT InPlaceDeactivate() = 0;
    virtual HRESULT UIDeactivate() = 0;
    virtual HRESULT SetObjectRects(LPCRECT lprcPosRect, LPCRECT lprcClipRect) = 0;
    virtual HRESULT ReactivateAndUndo() = 0;
};

class IOleInPlaceObjectWindowless : public IOleInPlaceObject {
public:
    OLE_INTERFACE_ID(IOleInPlaceObjectWindowless)
    virtual HRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* plResult) = 0;
};

class IConnectionPoint : public IUnknown {
public:
    OLE_INTERFACE_ID(IConnectionPoint)
    virtual HRESULT Advise(IUnknown* pUnkSink, DWORD* pdwCookie) = 0;
    virtual HRESULT Unadvise(DWORD dwCookie) = 0;
};

class IConnectionPointContainer : public IUnknown {
public:
    OLE_INTERFACE_ID(IConnectionPointContainer)
    virtual HRESULT FindConnectionPoint(REFIID riid, IConnectionPoint** ppCP) = 0;
};

} // namespace ole
