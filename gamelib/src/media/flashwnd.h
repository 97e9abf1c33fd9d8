// The host of the Flash control: the container over the control's
// interface, with the control's set-up, the movie loading and the calls on
// the movie's root timeline.
#pragma once

#include "media/olecontainer.h"

class CFlashWnd : public COleContainerWnd<ShockwaveFlashObjects::IShockwaveFlash> {
public:
    CFlashWnd() {}
    ~CFlashWnd() override {}

    bool setupControl() override;
    bool loadMovie() override;

    // The event sink: every event is ignored.
    ole::HRESULT GetTypeInfoCount(ole::UINT*) override { return ole::E_NOTIMPL; }
    ole::HRESULT GetTypeInfo(ole::UINT, ole::LCID, ole::ITypeInfo**) override { return ole::E_NOTIMPL; }
    ole::HRESULT GetIDsOfNames(ole::REFIID, ole::LPOLESTR*, ole::UINT, ole::LCID, ole::DISPID*) override {
        return ole::E_NOTIMPL;
    }
    ole::HRESULT Invoke(ole::DISPID, ole::REFIID, ole::LCID, ole::WORD, ole::DISPPARAMS*, ole::VARIANT*,
                        ole::EXCEPINFO*, ole::UINT*) override {
        return ole::S_OK;
    }

    // On the root timeline "/".
    int getCurrentFrame();
    // True when the current label afterwards is the one asked for.
    bool gotoLabel(const char* pszLabel);
    Tsl::String getCurrentLabel();
    double getNumericProperty(int nProperty);

    bool isVersion8() const { return m_bVersion8; }
};
