#pragma once

#include "base/qarnmode.h"
#include "ui/uitable.h"

#include "tsl2/str.h"

class Sprite;

// The ticking clock shown while a level is built. The play screen goes on
// being updated beneath it and calls finish when its set-up is over; the
// next update ends the dialog.
class LoadingDialog : public QarnMode {
public:
    enum { CLOCK_STEPS = 21 };
    static const float STEP_SECONDS;

    // A null title shows "LDN_Loading".
    explicit LoadingDialog(const char* pszTitle);
    ~LoadingDialog() override;

    // Read by init only: call before the push.
    void setHintText(const char* pszText);
    // The level is built: the next update ends the dialog.
    void finish();

    void init() override;
    void onUpdate(float fDt) override;

    int getClockFrame() const { return m_nClockFrame; }
    Tsl::SmartPtr<Table> getTable() const { return m_pTable; }
    Tsl::SmartPtr<Sprite> getClockHand() const { return m_pClockHand; }

private:
    Tsl::SmartPtr<Sprite> addClockLayer(const char* pszImage, int nInsX, int nInsY);

    bool m_bDone;
    int m_nClockFrame;
    float m_fFrameTime;
    Tsl::SmartPtr<Table> m_pTable;
    Tsl::SmartPtr<Sprite> m_pClockHand;
    Tsl::String m_sTitle;
    Tsl::String m_sHint;
};
