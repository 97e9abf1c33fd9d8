#pragma once

#include "qarnmode.h"
#include "tsl2/str.h"

// The ticking clock shown while a level is built.
class LoadingDialog : public QarnMode {
public:
    // A null title shows "LDN_Loading".
    explicit LoadingDialog(const char* pszTitle);
    ~LoadingDialog() override;

    void setHintText(const char* pszText);
    // The level is built: the next update ends the dialog.
    void finish();

    void init() override;
    void onUpdate(float fDt) override;

    bool isDone() const { return m_bDone; }

private:
    Tsl::String m_sTitle;
    Tsl::String m_sHint;
    bool m_bDone;
};
