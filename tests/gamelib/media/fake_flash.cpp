#include "fake_flash.h"

#include <cstring>

int FakeFlash::s_nLive = 0;
int FakeFlash::s_nHeldAtDeath = 0;

std::string FlashScript::joined() const {
    std::string s;
    for (const std::string& c : calls) s += (s.empty() ? "" : " | ") + c;
    return s;
}

namespace {

std::string narrow(const ole::OLECHAR* p) { return ole::BStr(p ? p : L"").narrow(); }

} // namespace

FakeFlash::FakeFlash(FlashScript* pScript)
    : m_pScript(pScript), m_nRefs(0), m_pSite(nullptr), m_pSink(nullptr), m_hWnd(nullptr), m_bPlaying(false) {
    ++s_nLive;
}

FakeFlash::~FakeFlash() {
    --s_nLive;
    s_nHeldAtDeath += (m_pSite ? 1 : 0) + (m_pSink ? 1 : 0);
}

ole::ULONG FakeFlash::Release() {
    ole::ULONG n = --m_nRefs;
    if (n == 0) delete this;
    return n;
}

ole::HRESULT FakeFlash::QueryInterface(ole::REFIID riid, void** ppv) {
    *ppv = nullptr;
    if (riid == ole::IID_IUnknown || riid == ole::IID_IOleObject)
        *ppv = static_cast<ole::IOleObject*>(this);
    else if (riid == ole::IID_IViewObject)
        *ppv = static_cast<ole::IViewObject*>(this);
    else if (riid == ole::IID_IViewObjectEx && !m_pScript->bNoViewObjectEx)
        *ppv = static_cast<ole::IViewObjectEx*>(this);
    else if (riid == ole::IID_IOleInPlaceObject)
        *ppv = static_cast<ole::IOleInPlaceObject*>(this);
    else if (riid == ole::IID_IOleInPlaceObjectWindowless && !m_pScript->bNoWindowless)
        *ppv = static_cast<ole::IOleInPlaceObjectWindowless*>(this);
    else if (riid == ole::IID_IConnectionPointContainer)
        *ppv = static_cast<ole::IConnectionPointContainer*>(this);
    else if ((riid == ShockwaveFlashObjects::IID_IShockwaveFlash && !m_pScript->bNoFlashInterface) ||
             riid == ole::IID_IDispatch)
        *ppv = static_cast<ShockwaveFlashObjects::IShockwaveFlash*>(this);
    if (!*ppv) return ole::E_NOINTERFACE;
    AddRef();
    return ole::S_OK;
}

ole::HRESULT FakeFlash::SetClientSite(ole::IOleClientSite* pSite) {
    record(pSite ? "SetClientSite" : "SetClientSite none");
    if (pSite) pSite->AddRef();
    if (m_pSite) m_pSite->Release();
    m_pSite = pSite;
    return ole::S_OK;
}

ole::HRESULT FakeFlash::GetClientSite(ole::IOleClientSite** ppSite) {
    *ppSite = m_pSite;
    if (m_pSite) m_pSite->AddRef();
    return ole::S_OK;
}

ole::HRESULT FakeFlash::Close(ole::DWORD) {
    record("Close");
    if (m_pSite) m_pSite->Release();
    m_pSite = nullptr;
    return ole::S_OK;
}

ole::HRESULT FakeFlash::DoVerb(ole::LONG nVerb, ole::LPMSG, ole::IOleClientSite* pSite, ole::LONG, ole::HWND hwnd,
                               ole::LPCRECT pRect) {
    m_hWnd = hwnd;
    record("DoVerb " + std::to_string(nVerb) + " " + std::to_string(pRect->right) + "x" + std::to_string(pRect->bottom));
    // A real control asks its site for the window context when activated.
    ole::IOleInPlaceSite* pInPlace = nullptr;
    if (pSite && ole::SUCCEEDED(pSite->QueryInterface(ole::IID_IOleInPlaceSite, reinterpret_cast<void**>(&pInPlace)))) {
        ole::IOleInPlaceFrame* pFrame = nullptr;
        ole::IOleInPlaceUIWindow* pDoc = nullptr;
        ole::RECT rcPos, rcClip;
        ole::OLEINPLACEFRAMEINFO info;
        pInPlace->GetWindowContext(&pFrame, &pDoc, &rcPos, &rcClip, &info);
        if (pFrame) pFrame->Release();
        pInPlace->Release();
    }
    return ole::S_OK;
}

ole::HRESULT FakeFlash::Draw(ole::DWORD dwAspect, ole::LONG, void*, ole::DVTARGETDEVICE*, ole::HDC, ole::HDC hdcDraw,
                             ole::LPCRECTL, ole::LPCRECTL, ole::BOOL (*)(ole::ULONG_PTR), ole::ULONG_PTR) {
    record("Draw " + std::to_string(dwAspect));
    ole::DibView dib = ole::getSelectedDib(hdcDraw);
    if (!dib.pBits) return ole::E_FAIL;
    // Over a white background the "over white" colour shows.
    bool bOverWhite = dib.pBits[0] == 0xFF && dib.pBits[1] == 0xFF && dib.pBits[2] == 0xFF;
    const unsigned char* pColour = bOverWhite ? m_pScript->aOverWhite : m_pScript->aOverBlack;
    for (int y = 0; y < dib.nHeight; ++y) {
        for (int x = 0; x < dib.nWidth / 2; ++x) {
            unsigned char* p = dib.pBits + y * dib.nPitch + x * 4;
            std::memcpy(p, pColour, 3);
        }
    }
    return ole::S_OK;
}

ole::HRESULT FakeFlash::GetWindow(ole::HWND* phwnd) {
    *phwnd = m_hWnd;
    return ole::S_OK;
}

ole::HRESULT FakeFlash::FindConnectionPoint(ole::REFIID riid, ole::IConnectionPoint** ppCP) {
    *ppCP = nullptr;
    if (riid != ShockwaveFlashObjects::DIID__IShockwaveFlashEvents) return ole::E_NOINTERFACE;
    *ppCP = this;
    AddRef();
    return ole::S_OK;
}

ole::HRESULT FakeFlash::Advise(ole::IUnknown* pSink, ole::DWORD* pdwCookie) {
    // The sink must answer the event interface, as a real control checks.
    ole::IUnknown* pEvents = nullptr;
    if (ole::FAILED(pSink->QueryInterface(ShockwaveFlashObjects::DIID__IShockwaveFlashEvents,
                                          reinterpret_cast<void**>(&pEvents))))
        return ole::E_NOINTERFACE;
    record("Advise");
    m_pSink = pEvents;
    *pdwCookie = 7;
    return ole::S_OK;
}

ole::HRESULT FakeFlash::Unadvise(ole::DWORD dwCookie) {
    if (dwCookie != 7 || !m_pSink) return ole::CONNECT_E_NOCONNECTION;
    record("Unadvise");
    m_pSink->Release();
    m_pSink = nullptr;
    return ole::S_OK;
}

ole::HRESULT FakeFlash::raw_get_FlashVersion(long* pVersion) {
    *pVersion = m_pScript->nVersion;
    return ole::S_OK;
}

ole::HRESULT FakeFlash::raw_put_WMode(ole::BSTR mode) {
    record("WMode " + narrow(mode));
    return ole::S_OK;
}

ole::HRESULT FakeFlash::raw_put_Scale(ole::BSTR scale) {
    record("Scale " + narrow(scale));
    return ole::S_OK;
}

ole::HRESULT FakeFlash::raw_put_BackgroundColor(long color) {
    record("BackgroundColor " + std::to_string(color));
    return ole::S_OK;
}

ole::HRESULT FakeFlash::raw_put_EmbedMovie(ole::VARIANT_BOOL embed) {
    record(std::string("EmbedMovie ") + (embed ? "on" : "off"));
    return ole::S_OK;
}

ole::HRESULT FakeFlash::raw_put_Movie(ole::BSTR path) {
    record("Movie " + narrow(path));
    return ole::S_OK;
}

ole::HRESULT FakeFlash::raw_Play() {
    record("Play");
    m_bPlaying = true;
    return ole::S_OK;
}

ole::HRESULT FakeFlash::raw_StopPlay() {
    record("StopPlay");
    m_bPlaying = false;
    return ole::S_OK;
}

ole::HRESULT FakeFlash::raw_Rewind() {
    record("Rewind");
    return ole::S_OK;
}

ole::HRESULT FakeFlash::raw_GotoFrame(long frame) {
    record("GotoFrame " + std::to_string(frame));
    return ole::S_OK;
}

ole::HRESULT FakeFlash::raw_IsPlaying(ole::VARIANT_BOOL* pPlaying) {
    *pPlaying = m_bPlaying ? ole::VARIANT_TRUE : ole::VARIANT_FALSE;
    return ole::S_OK;
}

ole::HRESULT FakeFlash::raw_TCurrentFrame(ole::BSTR target, long* pFrame) {
    if (narrow(target) != "/") return ole::E_INVALIDARG;
    *pFrame = m_pScript->frames.front();
    if (m_pScript->frames.size() > 1) m_pScript->frames.pop_front();
    return ole::S_OK;
}

ole::HRESULT FakeFlash::raw_TGotoLabel(ole::BSTR target, ole::BSTR label) {
    if (narrow(target) != "/") return ole::E_INVALIDARG;
    std::wstring sLabel = label ? label : L"";
    if (m_pScript->labels.count(sLabel)) m_sLabel = sLabel;
    return ole::S_OK;
}

ole::HRESULT FakeFlash::raw_TCurrentLabel(ole::BSTR target, ole::BSTR* pLabel) {
    if (narrow(target) != "/") return ole::E_INVALIDARG;
    *pLabel = ole::SysAllocString(m_sLabel.c_str());
    return ole::S_OK;
}

ole::HRESULT FakeFlash::raw_TGetPropertyAsNumber(ole::BSTR target, int property, double* pValue) {
    if (narrow(target) != "/" || property != 5) return ole::E_INVALIDARG;
    *pValue = m_pScript->nTotalFrames + 0.75;
    return ole::S_OK;
}

// ---- registration ------------------------------------------------------------------

namespace {

FlashScript* s_pScript = nullptr;

class FakeFactory final : public ole::IClassFactory {
public:
    ole::HRESULT QueryInterface(ole::REFIID riid, void** ppv) override {
        *ppv = nullptr;
        if (riid != ole::IID_IUnknown && riid != ole::IID_IClassFactory) return ole::E_NOINTERFACE;
        *ppv = this;
        AddRef();
        return ole::S_OK;
    }
    ole::ULONG AddRef() override { return ++m_nRefs; }
    ole::ULONG Release() override {
        ole::ULONG n = --m_nRefs;
        if (n == 0) delete this;
        return n;
    }
    ole::HRESULT CreateInstance(ole::IUnknown*, ole::REFIID riid, void** ppv) override {
        FakeFlash* pFlash = new FakeFlash(s_pScript);
        pFlash->AddRef();
        ole::HRESULT hr = pFlash->QueryInterface(riid, ppv);
        pFlash->Release();
        return hr;
    }
    ole::HRESULT LockServer(ole::BOOL) override { return ole::S_OK; }

private:
    ole::ULONG m_nRefs = 1;
};

ole::HRESULT fakeGetClassObject(ole::REFCLSID rclsid, ole::REFIID riid, void** ppv) {
    if (rclsid != ShockwaveFlashObjects::CLSID_ShockwaveFlash) return ole::CLASS_E_CLASSNOTAVAILABLE;
    FakeFactory* pFactory = new FakeFactory();
    ole::HRESULT hr = pFactory->QueryInterface(riid, ppv);
    pFactory->Release();
    return hr;
}

} // namespace

RegisteredFlash::RegisteredFlash(FlashScript* pScript, Way eWay) : m_eWay(eWay) {
    s_pScript = pScript;
    if (eWay == REGISTERED_CLASS)
        ole::registerControlClass(ShockwaveFlashObjects::CLSID_ShockwaveFlash, [] { return new FakeFactory(); });
    else
        ole::registerLibrary("flash9.ocx", {{"DllGetClassObject", reinterpret_cast<ole::FARPROC>(&fakeGetClassObject)}});
}

RegisteredFlash::~RegisteredFlash() {
    if (m_eWay == REGISTERED_CLASS)
        ole::unregisterControlClass(ShockwaveFlashObjects::CLSID_ShockwaveFlash);
    else
        ole::unregisterLibrary("flash9.ocx");
    s_pScript = nullptr;
}
