#include "ole/flash.h"

#include <cstdio>

namespace ole {

ComError::ComError(HRESULT hr) : m_hr(hr) {
    char szText[48];
    std::snprintf(szText, sizeof(szText), "COM error 0x%08X", static_cast<unsigned int>(hr));
    m_sText = szText;
}

} // namespace ole

namespace ShockwaveFlashObjects {

using ole::checkResult;

// The control's own identifiers.
const ole::CLSID CLSID_ShockwaveFlash = {0xd27cdb6e, 0xae6d, 0x11cf, {0x96, 0xb8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
const ole::IID IID_IShockwaveFlash = {0xd27cdb6c, 0xae6d, 0x11cf, {0x96, 0xb8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
// Ours.
const ole::IID DIID__IShockwaveFlashEvents = {0x0AE00100, 0, 0, {0, 0, 0, 0, 0, 0, 0, 1}};
const ole::IID IID_IServiceProvider = {0x0AE00100, 0, 0, {0, 0, 0, 0, 0, 0, 0, 2}};

long IShockwaveFlash::GetFlashVersion() {
    long nVersion = 0;
    checkResult(raw_get_FlashVersion(&nVersion));
    return nVersion;
}

void IShockwaveFlash::PutWMode(const char* pszMode) { checkResult(raw_put_WMode(ole::BStr(pszMode).get())); }

void IShockwaveFlash::PutScale(const char* pszScale) { checkResult(raw_put_Scale(ole::BStr(pszScale).get())); }

void IShockwaveFlash::PutBackgroundColor(long color) { checkResult(raw_put_BackgroundColor(color)); }

void IShockwaveFlash::PutEmbedMovie(bool bEmbed) {
    checkResult(raw_put_EmbedMovie(bEmbed ? ole::VARIANT_TRUE : ole::VARIANT_FALSE));
}

void IShockwaveFlash::PutMovie(const char* pszPath) { checkResult(raw_put_Movie(ole::BStr(pszPath).get())); }

void IShockwaveFlash::Play() { checkResult(raw_Play()); }

void IShockwaveFlash::StopPlay() { checkResult(raw_StopPlay()); }

void IShockwaveFlash::Rewind() { checkResult(raw_Rewind()); }

void IShockwaveFlash::GotoFrame(long frame) { checkResult(raw_GotoFrame(frame)); }

bool IShockwaveFlash::IsPlaying() {
    ole::VARIANT_BOOL bPlaying = ole::VARIANT_FALSE;
    checkResult(raw_IsPlaying(&bPlaying));
    return bPlaying != ole::VARIANT_FALSE;
}

long IShockwaveFlash::TCurrentFrame(const char* pszTarget) {
    long nFrame = 0;
    checkResult(raw_TCurrentFrame(ole::BStr(pszTarget).get(), &nFrame));
    return nFrame;
}

void IShockwaveFlash::TGotoLabel(const char* pszTarget, const char* pszLabel) {
    checkResult(raw_TGotoLabel(ole::BStr(pszTarget).get(), ole::BStr(pszLabel).get()));
}

ole::BStr IShockwaveFlash::TCurrentLabel(const char* pszTarget) {
    ole::BSTR label = nullptr;
    checkResult(raw_TCurrentLabel(ole::BStr(pszTarget).get(), &label));
    return ole::BStr::attach(label);
}

double IShockwaveFlash::TGetPropertyAsNumber(const char* pszTarget, int property) {
    double fValue = 0.0;
    checkResult(raw_TGetPropertyAsNumber(ole::BStr(pszTarget).get(), property, &fValue));
    return fValue;
}

} // namespace ShockwaveFlashObjects
