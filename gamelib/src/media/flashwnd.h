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

    // The event sink is the container's: every event is ignored.

    // On the root timeline "/".
    int getCurrentFrame();
    // True when the current label afterwards is the one asked for.
    bool gotoLabel(const char* pszLabel);
    Tsl::String getCurrentLabel();
    double getNumericProperty(int nProperty);

    bool isVersion8() const { return m_bVersion8; }
};
