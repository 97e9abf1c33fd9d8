// The Flash control's interfaces as its host uses them. The raw_ methods are
// what a control implements; the plain-named wrappers raise ComError when
// the control answers with a failure, so the host's property calls read as
// straight calls.
#pragma once

#include "ole/bstr.h"
#include "ole/interfaces.h"

#include <exception>
#include <string>

namespace ole {

// A failed result from a control's property or method call.
class ComError : public std::exception {
public:
    explicit ComError(HRESULT hr);
    HRESULT Error() const { return m_hr; }
    const char* what() const noexcept override { return m_sText.c_str(); }

private:
    HRESULT m_hr;
    std::string m_sText;
};

inline void checkResult(HRESULT hr) {
    if (FAILED(hr)) throw ComError(hr);
}

} // namespace ole

namespace ShockwaveFlashObjects {

// The control's class and interfaces.
extern const ole::CLSID CLSID_ShockwaveFlash;
extern const ole::IID IID_IShockwaveFlash;
extern const ole::IID DIID__IShockwaveFlashEvents;
extern const ole::IID IID_IServiceProvider;

class IShockwaveFlash : public ole::IDispatch {
public:
    static const ole::IID& iid() { return IID_IShockwaveFlash; }

    virtual ole::HRESULT raw_get_FlashVersion(long* pVersion) = 0;
    virtual ole::HRESULT raw_put_WMode(ole::BSTR mode) = 0;
    virtual ole::HRESULT raw_put_Scale(ole::BSTR scale) = 0;
    virtual ole::HRESULT raw_put_BackgroundColor(long color) = 0;
    virtual ole::HRESULT raw_put_EmbedMovie(ole::VARIANT_BOOL embed) = 0;
    virtual ole::HRESULT raw_put_Movie(ole::BSTR path) = 0;
    virtual ole::HRESULT raw_Play() = 0;
    virtual ole::HRESULT raw_StopPlay() = 0;
    virtual ole::HRESULT raw_Rewind() = 0;
    virtual ole::HRESULT raw_GotoFrame(long frame) = 0;
    virtual ole::HRESULT raw_IsPlaying(ole::VARIANT_BOOL* pPlaying) = 0;
    virtual ole::HRESULT raw_TCurrentFrame(ole::BSTR target, long* pFrame) = 0;
    virtual ole::HRESULT raw_TGotoLabel(ole::BSTR target, ole::BSTR label) = 0;
    virtual ole::HRESULT raw_TCurrentLabel(ole::BSTR target, ole::BSTR* pLabel) = 0;
    virtual ole::HRESULT raw_TGetPropertyAsNumber(ole::BSTR target, int property, double* pValue) = 0;

    long GetFlashVersion();
    void PutWMode(const char* pszMode);
    void PutScale(const char* pszScale);
    void PutBackgroundColor(long color);
    void PutEmbedMovie(bool bEmbed);
    void PutMovie(const char* pszPath);
    void Play();
    void StopPlay();
    void Rewind();
    void GotoFrame(long frame);
    bool IsPlaying();
    long TCurrentFrame(const char* pszTarget);
    void TGotoLabel(const char* pszTarget, const char* pszLabel);
    // The label as the control's wide text.
    ole::BStr TCurrentLabel(const char* pszTarget);
    double TGetPropertyAsNumber(const char* pszTarget, int property);
};

// The control's events arrive through plain dispatch.
class _IShockwaveFlashEvents : public ole::IDispatch {
public:
    static const ole::IID& iid() { return DIID__IShockwaveFlashEvents; }
};

class IServiceProvider : public ole::IUnknown {
public:
    static const ole::IID& iid() { return IID_IServiceProvider; }
    virtual ole::HRESULT QueryService(ole::REFGUID guidService, ole::REFIID riid, void** ppvObject) = 0;
};

} // namespace ShockwaveFlashObjects
