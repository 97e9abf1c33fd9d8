#pragma once

#include "base/qarnmode.h"
#include "ui/button.h"

#include "tsl2/list.h"

// The how-to-play pages: three pictures paged with previous and next, and
// a button back to the menu.
class HowtoMode : public QarnMode {
public:
    enum { PAGE_COUNT = 3 };
    enum { ID_BACK = 0, ID_NEXT = 1, ID_PREVIOUS = 2 };
    enum { Z_HIDDEN = 0, Z_BACKGROUND = 5, Z_SHOWN = 10, Z_BUTTONS = 11 };

    HowtoMode();
    ~HowtoMode() override;

    void onCallback(int nId, int nData) override;
    void init() override;

    int getPage() const { return m_nPage; }
    const SpriteList& getPages() const { return m_lPages; }
    Tsl::SmartPtr<Button> getPreviousButton() const { return m_lButtons.getAt(0); }
    Tsl::SmartPtr<Button> getNextButton() const { return m_lButtons.getAt(1); }

private:
    Tsl::SmartPtr<Button> addButton(Tsl::SmartPtr<Table> pRow, const char* pszKey, int nId);

    int m_nPage;
    SpriteList m_lPages;
    Tsl::List<Tsl::SmartPtr<Button>> m_lButtons;
};
