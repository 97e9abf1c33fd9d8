#include "pages/loadingdialog.h"

#include "app/gameapp.h"
#include "base/names.h"
#include "text/font.h"
#include "ui/label.h"
#include "ui/uitable.h"

namespace {
const int CENTRED = Image::ALIGN_HCENTER | Image::ALIGN_VCENTER;
const int TABLE_Z_ORDER = 10000;
const int HINT_WIDTH = 300;
const int HINT_LINES = 3;
}  // namespace

const float LoadingDialog::STEP_SECONDS = 0.1f;

LoadingDialog::LoadingDialog(const char* pszTitle)
    : QarnMode(MF_ACTIVE | MF_VISIBLE | MF_DRAW_BELOW | MF_UPDATE_BELOW), m_bDone(false), m_nClockFrame(0),
      m_fFrameTime(0.0f) {
    m_sTitle = pszTitle ? Tsl::String(pszTitle) : getString(Names::STR_LOADING);
}

LoadingDialog::~LoadingDialog() {}

void LoadingDialog::setHintText(const char* pszText) { m_sHint = pszText ? pszText : ""; }

void LoadingDialog::finish() {
    m_bDone = true;
    getApp()->showCursor(true);
}

Tsl::SmartPtr<Sprite> LoadingDialog::addClockLayer(const char* pszImage, int nInsX, int nInsY) {
    // A view of the cached picture: the insertion point is ours to set.
    Tsl::SmartPtr<Image> pImage = getImage(pszImage)->clone(false);
    pImage->setInsPoint(nInsX, nInsY);
    Tsl::SmartPtr<Sprite> pSprite = new Sprite(pImage, 0, 0, 0);
    addSprite(pSprite);
    m_pTable->add(pSprite, CENTRED);
    return pSprite;
}

void LoadingDialog::init() {
    TSL_TRACE();
    addOverlay(0.5f);
    getApp()->showCursor(false);
    m_pTable = new Table(this);
    m_pTable->setFrameEnabled(true);
    addClockLayer(Names::IMG_CLOCK_BASE, 1, -3);
    m_pClockHand = addClockLayer(Tsl::String::format(Names::IMG_CLOCK_HAND, 1).c_str(), 0, 0);
    addClockLayer(Names::IMG_CLOCK_MARKERS, 0, 0);

    m_pTable->addCell(1);
    Tsl::SmartPtr<Label> pTitle = new Label(m_sTitle, 0, 0, 0);
    addSprite(pTitle);
    m_pTable->add(pTitle, CENTRED);

    if (!m_sHint.isEmpty()) {
        m_pTable->addRow(1);
        m_pTable->addCell(2);
        Tsl::SmartPtr<Label> pHint = new Label(m_sHint, 0, 0, 1, HINT_WIDTH, true);
        pHint->setNumLines(HINT_LINES);
        addSprite(pHint);
        m_pTable->add(pHint, CENTRED);
    }

    int nWidth = 0, nHeight = 0;
    m_pTable->getSize(nWidth, nHeight);
    m_pTable->setPosition((getApp()->getScreenWidth() - nWidth) / 2, (getApp()->getScreenHeight() - nHeight) / 2);
    m_pTable->setZOrder(TABLE_Z_ORDER);
    m_pTable->layout();
    m_fFrameTime = 0.0f;
}

void LoadingDialog::onUpdate(float fDt) {
    if (m_bDone)
        endMode();
    else
        getApp()->showCursor(false);  // finish showed it for whatever comes next
    m_fFrameTime -= fDt;
    if (m_fFrameTime < 0.0f) {
        // Set, not added: a long frame moves the hand one step only.
        m_fFrameTime = STEP_SECONDS;
        m_nClockFrame = (m_nClockFrame + 1) % CLOCK_STEPS;
        Tsl::String sName = m_nClockFrame == 0 ? Tsl::String(Names::IMG_CLOCK_EMPTY)
                                               : Tsl::String::format(Names::IMG_CLOCK_HAND, m_nClockFrame);
        Tsl::SmartPtr<Image> pImage = getImage(sName.c_str())->clone(false);
        pImage->setInsPoint(0, 0);
        if (m_pClockHand)
            m_pClockHand->setImage(pImage);
    }
    GameMode::onUpdate(fDt);
}
