#include "pages/howtomode.h"

#include "base/sandbackdrop.h"

#include "base/names.h"

#include "app/gameapp.h"
#include "ui/button.h"
#include "ui/uitable.h"

namespace {
enum { ROW_X = 150, ROW_Y = 550, CELL_FLAGS = 9 };
}

HowtoMode::HowtoMode() : QarnMode(MF_ACTIVE), m_nPage(0) {}

HowtoMode::~HowtoMode() {
    m_lPages.clear();
    m_lButtons.clear();
}

void HowtoMode::init() {
    TSL_TRACE();
    // The pages are big one-off pictures: they stay out of the image cache.
    DisableImageCache noCache;
    m_nPage = 0;
    for (int i = 0; i < PAGE_COUNT; ++i) {
        Tsl::SmartPtr<Sprite> pPage = new Sprite(getImage(Tsl::String::format(Names::IMG_HOWTO_FORMAT, i).c_str()), 0, 0,
                                                 Z_HIDDEN);
        addSprite(pPage);
        m_lPages.append(pPage);
    }
    SandBackdrop::addTo(this, Z_BACKGROUND);
    m_lPages.getAt(m_nPage)->setZOrder(Z_SHOWN);

    Tsl::SmartPtr<Table> pRow = new Table(this);
    addButton(pRow, Names::STR_HT_BACK, ID_BACK);
    pRow->addCell(1);
    m_lButtons.append(addButton(pRow, Names::STR_HT_PREVIOUS, ID_PREVIOUS));
    getPreviousButton()->setEnabled(false);
    pRow->addCell(1);
    m_lButtons.append(addButton(pRow, Names::STR_HT_NEXT, ID_NEXT));
    pRow->setPosition(ROW_X, ROW_Y);
    pRow->setZOrder(Z_BUTTONS);
    // A table places its buttons only when laid out; before that they all
    // stand at the screen's corner.
    pRow->layout();
}

Tsl::SmartPtr<Button> HowtoMode::addButton(Tsl::SmartPtr<Table> pRow, const char* pszKey, int nId) {
    Tsl::SmartPtr<Button> pButton = new Button(getString(pszKey), nId);
    addControl(pButton.get());
    pRow->add(pButton.get(), CELL_FLAGS);
    return pButton;
}

void HowtoMode::onCallback(int nId, int) {
    TSL_TRACE();
    if (nId == ID_BACK) endMode();
    m_lPages.getAt(m_nPage)->setZOrder(Z_HIDDEN);
    if (nId == ID_NEXT) ++m_nPage;
    if (nId == ID_PREVIOUS) --m_nPage;
    if (m_nPage >= PAGE_COUNT) m_nPage = PAGE_COUNT - 1;
    if (m_nPage < 0) m_nPage = 0;
    getPreviousButton()->setEnabled(m_nPage != 0);
    getNextButton()->setEnabled(m_nPage != PAGE_COUNT - 1);
    m_lPages.getAt(m_nPage)->setZOrder(Z_SHOWN);
}
