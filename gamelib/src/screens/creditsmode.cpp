#include "screens/creditsmode.h"

#include "app/gameapp.h"
#include "image/color.h"
#include "image/image.h"
#include "screens/names.h"
#include "text/font.h"
#include "ui/label.h"

#include <SDL/SDL_keysym.h>

const float CreditsMode::SCROLL_SPEED = 40.0f;

namespace {
const int BACKGROUND_Z = -100;
const int LINE_Z = 0;
const int BAND_Z = 10;
} // namespace

CreditsMode::CreditsMode()
    : GameMode(MF_ACTIVE | MF_VISIBLE), m_nBandCount(0), m_nBandHeight(0), m_nTop(DEFAULT_TOP),
      m_nBottom(DEFAULT_BOTTOM), m_fTop(0.0f), m_bFinished(false) {}

CreditsMode::~CreditsMode() {}

void CreditsMode::setBackground(const char* pszImage) { m_sBackground = pszImage ? pszImage : ""; }

void CreditsMode::setFadeBands(int nCount, int nHeight) {
    m_nBandCount = nCount < 0 ? 0 : nCount;
    m_nBandHeight = nHeight < 0 ? 0 : nHeight;
}

void CreditsMode::setVisibleArea(int nTop, int nBottom) {
    m_nTop = nTop;
    m_nBottom = nBottom < nTop ? nTop : nBottom;
}

void CreditsMode::addImage(const char* pszImage, int nCentred) {
    Tsl::SmartPtr<Sprite> pSprite = new Sprite(getImage(pszImage), 0, 0, LINE_Z);
    m_lLines.append(Line{pSprite, pSprite->getHeight(), nCentred != 0});
}

Tsl::SmartPtr<Label> CreditsMode::addText(const char* pszTextOrKey, bool bCentred) {
    GameApp* pApp = GameApp::getInstance();
    Tsl::String sText = pApp->hasString(pszTextOrKey) ? pApp->getString(pszTextOrKey) : Tsl::String(pszTextOrKey);
    Tsl::SmartPtr<Label> pLabel = new Label(sText, 0, 0, LINE_Z);
    pLabel->setFont(ScreenNames::FONT_DEFAULT);
    pLabel->setTextColor(Color(255, 255, 255, 255));
    // Its height is taken when the lines are placed: the caller may restyle it.
    m_lLines.append(Line{pLabel, 0, bCentred});
    return pLabel;
}

void CreditsMode::addSpace(int nHeight) { m_lLines.append(Line{nullptr, nHeight < 0 ? 0 : nHeight, false}); }

void CreditsMode::init() {
    TSL_TRACE();
    if (!m_sBackground.isEmpty()) addSprite(new Sprite(getImage(m_sBackground), 0, 0, BACKGROUND_Z));
    for (const Line& line : m_lLines)
        if (line.pSprite) {
            line.pSprite->setClipRect(Rect(0, m_nTop, GameApp::getInstance()->getScreenWidth(), m_nBottom));
            addSprite(line.pSprite);
        }
    addBands();
    m_fTop = float(m_nBottom);
    placeLines();
}

// Each band a little lighter than the one nearer the edge. The outermost
// ones reach on to the screen's edges: beyond the area the shade stays at
// its darkest instead of ending in a hard line against the background.
void CreditsMode::addBands() {
    if (m_nBandHeight <= 0) return;
    int nScreenHeight = GameApp::getInstance()->getScreenHeight();
    for (int i = 0; i < m_nBandCount; ++i) {
        float fAlpha = 1.0f - float(i + 1) / float(m_nBandCount + 1);
        int nTop = m_nTop + i * m_nBandHeight, nBottom = m_nBottom - i * m_nBandHeight;
        addBand(i == 0 ? 0 : nTop, nTop + m_nBandHeight, fAlpha);
        addBand(nBottom - m_nBandHeight, i == 0 ? nScreenHeight : nBottom, fAlpha);
    }
}

void CreditsMode::addBand(int nTop, int nBottom, float fAlpha) {
    if (nBottom <= nTop) return;
    Tsl::SmartPtr<Image> pImage = createImage(GameApp::getInstance()->getScreenWidth(), nBottom - nTop, true);
    pImage->fill(Color(0, 0, 0, 255));
    Tsl::SmartPtr<Sprite> pBand = new Sprite(pImage, 0, nTop, BAND_Z);
    pBand->setAlpha(fAlpha);
    addSprite(pBand);
}

int CreditsMode::getTotalHeight() const {
    int nTotal = 0;
    for (const Line& line : m_lLines) nTotal += (line.pSprite ? line.pSprite->getHeight() : line.nHeight) + LINE_GAP;
    return nTotal;
}

void CreditsMode::placeLines() {
    int nScreenWidth = GameApp::getInstance()->getScreenWidth();
    float fY = m_fTop;
    for (const Line& line : m_lLines) {
        if (!line.pSprite) {
            fY += float(line.nHeight + LINE_GAP);
            continue;
        }
        int nX = line.bCentred ? (nScreenWidth - line.pSprite->getWidth()) / 2 : 0;
        line.pSprite->setPosition(Point(float(nX), fY), false);
        fY += float(line.pSprite->getHeight() + LINE_GAP);
    }
}

void CreditsMode::onUpdate(float fDt) {
    TSL_TRACE();
    GameMode::onUpdate(fDt);
    if (m_bFinished) return;
    m_fTop -= SCROLL_SPEED * fDt;
    placeLines();
    if (m_fTop + float(getTotalHeight()) < float(m_nTop)) close();
}

bool CreditsMode::onKeyDown(int nKey, int nModifiers) {
    if (nKey != SDLK_ESCAPE) return GameMode::onKeyDown(nKey, nModifiers);
    close();
    return true;
}

bool CreditsMode::onMouseDown(int, int, int) {
    close();
    return true;
}

void CreditsMode::close() {
    if (m_bFinished) return;
    m_bFinished = true;
    if (getState() == MS_RUNNING && GameApp::getInstance()->getModeIndex(this) == 0) endMode();
}
