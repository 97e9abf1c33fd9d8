// A scripted Flash control for the host and sprite tests: it answers the
// interfaces the host asks for (or refuses the ones a script names), records
// every call, draws a scripted picture when asked, and has scriptable
// frames, labels and version. It deletes itself with its last reference.
#pragma once

#include "ole/flash.h"
#include "ole/runtime.h"
#include "ole/window.h"

#include <deque>
#include <set>
#include <string>
#include <vector>

struct FlashScript {
    long nVersion = 0x090000;
    // Interfaces the control refuses.
    bool bNoViewObjectEx = false;
    bool bNoWindowless = false;
    bool bNoFlashInterface = false;
    // Frame numbers the control reports, one per call; the last one stays.
    std::deque<long> frames{1};
    std::set<std::wstring> labels;
    long nTotalFrames = 24;
    // Drawn into the left half of the target: the colour as bytes B, G, R
    // over black, and over white (a version-8 transparency check); the
    // right half is left as it is (transparent).
    unsigned char aOverBlack[3] = {10, 20, 30};
    unsigned char aOverWhite[3] = {10, 20, 30};

    std::vector<std::string> calls;
    std::string joined() const;
};

class FakeFlash final : public ole::IOleObject,
                  public ole::IViewObjectEx,
                  public ole::IOleInPlaceObjectWindowless,
                  public ole::IConnectionPointContainer,
                  public ole::IConnectionPoint,
                  public ShockwaveFlashObjects::IShockwaveFlash {
public:
    explicit FakeFlash(FlashScript* pScript);

    // Objects alive and, of the ones that died, the references they still
    // held to their host when they went.
    static int s_nLive;
    static int s_nHeldAtDeath;

    ole::HRESULT QueryInterface(ole::REFIID riid, void** ppv) override;
    ole::ULONG AddRef() override { return ++m_nRefs; }
    ole::ULONG Release() override;

    // IOleObject
    ole::HRESULT SetClientSite(ole::IOleClientSite* pSite) override;
    ole::HRESULT GetClientSite(ole::IOleClientSite** ppSite) override;
    ole::HRESULT Close(ole::DWORD) override;
    ole::HRESULT DoVerb(ole::LONG, ole::LPMSG, ole::IOleClientSite*, ole::LONG, ole::HWND hwnd, ole::LPCRECT) override;
    // IViewObject
    ole::HRESULT Draw(ole::DWORD dwAspect, ole::LONG, void*, ole::DVTARGETDEVICE*, ole::HDC, ole::HDC hdcDraw,
                      ole::LPCRECTL, ole::LPCRECTL, ole::BOOL (*)(ole::ULONG_PTR), ole::ULONG_PTR) override;
    // IOleWindow, IOleInPlaceObject(Windowless)
    ole::HRESULT GetWindow(ole::HWND* phwnd) override;
    ole::HRESULT ContextSensitiveHelp(ole::BOOL) override { return ole::E_NOTIMPL; }
    ole::HRESULT InPlaceDeactivate() override { return ole::S_OK; }
    ole::HRESULT UIDeactivate() override { return ole::S_OK; }
    ole::HRESULT SetObjectRects(ole::LPCRECT, ole::LPCRECT) override { return ole::S_OK; }
    ole::HRESULT ReactivateAndUndo() override { return ole::E_NOTIMPL; }
    ole::HRESULT OnWindowMessage(ole::UINT, ole::WPARAM, ole::LPARAM, ole::LRESULT*) override { return ole::S_FALSE; }
    // Connection points: the control is its own one event point.
    ole::HRESULT FindConnectionPoint(ole::REFIID riid, ole::IConnectionPoint** ppCP) override;
    ole::HRESULT Advise(ole::IUnknown* pSink, ole::DWORD* pdwCookie) override;
    ole::HRESULT Unadvise(ole::DWORD dwCookie) override;
    // IDispatch
    ole::HRESULT GetTypeInfoCount(ole::UINT*) override { return ole::E_NOTIMPL; }
    ole::HRESULT GetTypeInfo(ole::UINT, ole::LCID, ole::ITypeInfo**) override { return ole::E_NOTIMPL; }
    ole::HRESULT GetIDsOfNames(ole::REFIID, ole::LPOLESTR*, ole::UINT, ole::LCID, ole::DISPID*) override {
        return ole::E_NOTIMPL;
    }
    ole::HRESULT Invoke(ole::DISPID, ole::REFIID, ole::LCID, ole::WORD, ole::DISPPARAMS*, ole::VARIANT*,
                        ole::EXCEPINFO*, ole::UINT*) override {
        return ole::E_NOTIMPL;
    }
    // IShockwaveFlash
    ole::HRESULT raw_get_FlashVersion(long* pVersion) override;
    ole::HRESULT raw_put_WMode(ole::BSTR mode) override;
    ole::HRESULT raw_put_Scale(ole::BSTR scale) override;
    ole::HRESULT raw_put_BackgroundColor(long color) override;
    ole::HRESULT raw_put_EmbedMovie(ole::VARIANT_BOOL embed) override;
    ole::HRESULT raw_put_Movie(ole::BSTR path) override;
    ole::HRESULT raw_Play() override;
    ole::HRESULT raw_StopPlay() override;
    ole::HRESULT raw_Rewind() override;
    ole::HRESULT raw_GotoFrame(long frame) override;
    ole::HRESULT raw_IsPlaying(ole::VARIANT_BOOL* pPlaying) override;
    ole::HRESULT raw_TCurrentFrame(ole::BSTR target, long* pFrame) override;
    ole::HRESULT raw_TGotoLabel(ole::BSTR target, ole::BSTR label) override;
    ole::HRESULT raw_TCurrentLabel(ole::BSTR target, ole::BSTR* pLabel) override;
    ole::HRESULT raw_TGetPropertyAsNumber(ole::BSTR target, int property, double* pValue) override;

private:
    ~FakeFlash();
    void record(const std::string& s) { m_pScript->calls.push_back(s); }

    FlashScript* m_pScript;
    ole::ULONG m_nRefs;
    ole::IOleClientSite* m_pSite;
    ole::IUnknown* m_pSink;
    ole::HWND m_hWnd;
    bool m_bPlaying;
    std::wstring m_sLabel;
};

// The control class in the registry, or the private library, for one test.
class RegisteredFlash {
public:
    enum Way { REGISTERED_CLASS, PRIVATE_LIBRARY };
    RegisteredFlash(FlashScript* pScript, Way eWay);
    ~RegisteredFlash();

private:
    Way m_eWay;
};
