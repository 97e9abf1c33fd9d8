#include "ui/dialogmode.h"

#include "app/gameapp.h"
#include "text/font.h"
#include "ui/button.h"
#include "ui/label.h"

const float DialogMode::SHADE_ALPHA = 0.5f;

namespace {
unsigned int dialogFlags(bool bOverBelow) {
    unsigned int nFlags = MF_ACTIVE | MF_VISIBLE | MF_DRAW_BELOW;
    return bOverBelow ? nFlags : nFlags | MF_UPDATE_BELOW;
}
} // namespace

DialogMode::DialogMode(bool bOverBelow)
    : GameMode(dialogFlags(bOverBelow)), m_pTable(new Table(this)), m_nTextWidth(DEFAULT_TEXT_WIDTH),
      m_sLabelFont("Theme::Default") {}

DialogMode::~DialogMode() {}

void DialogMode::init() {
    TSL_TRACE();
    addOverlay(SHADE_ALPHA);
}

void DialogMode::onActivate() {
    TSL_TRACE();
    GameApp* pApp = GameApp::getInstance();
    if (pApp) pApp->showCursor(true);
    layout(true);
}

void DialogMode::cleanup() {
    TSL_TRACE();
    m_pTable->setVisible(false);
    GameMode::cleanup();
}

void DialogMode::layout(bool bCentre) {
    TSL_TRACE();
    GameApp* pApp = GameApp::getInstance();
    if (bCentre && pApp) {
        int nWidth = 0, nHeight = 0;
        m_pTable->getSize(nWidth, nHeight);
        m_pTable->setPosition((pApp->getScreenWidth() - nWidth) / 2, (pApp->getScreenHeight() - nHeight) / 2);
    }
    m_pTable->layout();
}

Tsl::SmartPtr<Label> DialogMode::addLabel(Tsl::SmartPtr<Table> pTable, const Tsl::String& sText,
                                          const Tsl::String& sFont, int nFlags) {
    TSL_TRACE();
    Tsl::SmartPtr<Label> pLabel = new Label(sText);
    pLabel->setFont(sFont.isEmpty() ? m_sLabelFont : sFont);
    if (m_nTextWidth > 0 && pLabel->getWidth() > m_nTextWidth) pLabel->setWrapWidth(m_nTextWidth, false);
    addSprite(pLabel);
    if (pTable) pTable->add(pLabel, nFlags);
    return pLabel;
}

Tsl::SmartPtr<Label> DialogMode::addLabel(const Tsl::String& sText, int nFlags) {
    return addLabel(m_pTable, sText, Tsl::String(), nFlags);
}

Tsl::SmartPtr<Sprite> DialogMode::addImage(const Tsl::String& sImage, int nFlags) {
    TSL_TRACE();
    Tsl::SmartPtr<Sprite> pSprite = new Sprite(getImage(sImage), 0, 0, 0);
    addSprite(pSprite);
    m_pTable->add(pSprite, nFlags);
    return pSprite;
}

// ---- CommonDialog -------------------------------------------------------------------------

CommonDialog::CommonDialog(ICallbackTarget* pTarget, const Tsl::String& sText)
    : DialogMode(true), m_pTarget(pTarget), m_bAnswered(false), m_sText(sText) {
    getTable()->setFrameEnabled(true);
    getTable()->setRowSpacing(12);
}

CommonDialog::~CommonDialog() {}

void CommonDialog::addButton(const Tsl::String& sText, int nId) {
    ButtonSpec spec;
    spec.sText = sText;
    spec.nId = nId;
    m_lSpecs.append(spec);
}

void CommonDialog::init() {
    TSL_TRACE();
    DialogMode::init();
    Tsl::SmartPtr<Table> pTable = getTable();
    pTable->addCell(1);
    addLabel(m_sText, Image::ALIGN_HCENTER | Image::ALIGN_VCENTER);
    pTable->addRow(1);
    pTable->addCell(1);
    Tsl::SmartPtr<Table> pButtons = new Table(this);
    pButtons->setColumnSpacing(16);
    for (const ButtonSpec& spec : m_lSpecs) {
        Tsl::SmartPtr<Button> pButton = new Button(spec.sText, spec.nId);
        addControl(pButton);
        pButtons->addCell(1);
        pButtons->add(pButton, Image::ALIGN_HCENTER | Image::ALIGN_VCENTER);
        m_lButtons.append(pButton);
    }
    pTable->add(pButtons, Image::ALIGN_HCENTER | Image::ALIGN_VCENTER);
}

Tsl::SmartPtr<Button> CommonDialog::getButton(int nIndex) const {
    return nIndex >= 0 && nIndex < m_lButtons.getCount() ? m_lButtons.getAt(nIndex) : nullptr;
}

void CommonDialog::onCallback(int nId, int nData) {
    TSL_TRACE();
    bool bOurs = false;
    for (const ButtonSpec& spec : m_lSpecs) bOurs = bOurs || spec.nId == nId;
    if (!bOurs || m_bAnswered) return;
    m_bAnswered = true;
    // Ended first: the target may open the next dialog at once.
    Tsl::SmartPtr<GameMode> pSelf(this);
    ICallbackTarget* pTarget = m_pTarget;
    if (getState() == MS_RUNNING) endMode();
    if (pTarget) pTarget->onCallback(nId, 0);
}

DlgYesNo::DlgYesNo(ICallbackTarget* pTarget, const Tsl::String& sQuestion, int nYesId, int nNoId)
    : CommonDialog(pTarget, sQuestion) {
    GameApp* pApp = GameApp::getInstance();
    addButton(pApp ? pApp->getString("Yes") : Tsl::String("Yes"), nYesId);
    addButton(pApp ? pApp->getString("No") : Tsl::String("No"), nNoId);
}

DlgMessage::DlgMessage(ICallbackTarget* pTarget, const Tsl::String& sText, int nResultId)
    : CommonDialog(pTarget, sText) {
    GameApp* pApp = GameApp::getInstance();
    addButton(pApp ? pApp->getString("OK") : Tsl::String("OK"), nResultId);
}
