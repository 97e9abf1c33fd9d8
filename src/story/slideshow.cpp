#include "story/slideshow.h"

#include "base/sandbackdrop.h"

#include "app/gameapp.h"
#include "base/names.h"
#include "text/font.h"
#include "tsl2/error.h"
#include "ui/button.h"
#include "ui/label.h"
#include "ui/uitable.h"

namespace {
const int KEY_RETURN = 13;
const int KEY_ESCAPE = 27;
const int KEY_SPACE = 32;
const int CENTRED = Image::ALIGN_HCENTER | Image::ALIGN_VCENTER;
const int BUTTONS_RIGHT = 640;
const int BUTTONS_BOTTOM = 485;
const int BUTTONS_Z_ORDER = 1000;
const int BACKGROUND_Z_ORDER = -1;
const int PUSHED_SHIFT = 3;
const unsigned char DISABLED_ALPHA = 0x80;
}  // namespace

const float SlideshowMode::SLIDE_SECONDS = 10.0f;

StoryText::StoryText(const Tsl::String& sText, const Tsl::String& sFont, int nX, int nY, int nZOrder, float fDelay,
                     const Color& color)
    : m_sText(sText), m_sFont(sFont), m_nX(nX), m_nY(nY), m_nZOrder(nZOrder), m_fDelay(fDelay), m_Color(color) {}

SlideSpec::SlideSpec(const char* pszImage, int nX, int nY, int nZOrder, StoryTextList lTexts, bool bNewPage)
    : m_sImage(pszImage), m_nX(nX), m_nY(nY), m_nZOrder(nZOrder), m_bNewPage(bNewPage), m_lTexts(lTexts) {}

SlideshowMode::SlideshowMode(SlideList lSlides, bool bAlbum, Tsl::String sMusic)
    : QarnMode(MF_ACTIVE), m_lSlides(lSlides), m_fWait(0.0f), m_nState(STATE_WAITING), m_bAlbum(bAlbum), m_nPage(0),
      m_sMusic(sMusic) {}

SlideshowMode::~SlideshowMode() {}

void SlideshowMode::addBackground() {
    GameApp* pApp = getApp();
    Tsl::SmartPtr<Image> pBack = createImage(pApp->getScreenWidth(), pApp->getScreenHeight(), true);
    SandBackdrop::drawOn(pBack.get());
    addSprite(new Sprite(pBack, 0, 0, BACKGROUND_Z_ORDER));
}

Tsl::SmartPtr<CustomButton> SlideshowMode::makeAlbumButton(const char* pszName, int nId) {
    Tsl::SmartPtr<Image> pIcon = getImage(Tsl::String::format(Names::IMG_ALBUM_ICON, pszName).c_str())->clone(false);
    pIcon->setInsPoint(pIcon->getWidth() / 2 - 4, pIcon->getHeight() / 2);
    // Drawn on a private copy of the background: the cached one stays clean.
    auto look = [&](const char* pszBack, Tsl::SmartPtr<Image> pShown, int nShift) {
        Tsl::SmartPtr<Image> pImage = getImage(pszBack)->clone(false);
        pImage->prepareForWrite();
        pImage->copyImage(pShown.get(), pImage->getWidth() / 2 + nShift, pImage->getHeight() / 2 + nShift);
        return pImage;
    };
    Tsl::SmartPtr<Image> pFaint = pIcon->clone(false);
    pFaint->multiplyAlpha(DISABLED_ALPHA);
    return new CustomButton(nId, look(Names::IMG_LITTLE_ACTIVE, pIcon, 0), look(Names::IMG_LITTLE_HIGHLIGHT, pIcon, 0),
                            look(Names::IMG_LITTLE_PUSHED, pIcon, PUSHED_SHIFT),
                            look(Names::IMG_LITTLE_ACTIVE, pFaint, 0));
}

void SlideshowMode::buildAlbumButtons() {
    Tsl::SmartPtr<Table> pTable = new Table(this);
    const struct {
        const char* pszName;
        int nId;
    } buttons[] = {{Names::ALBUM_PREV, ID_PREV}, {Names::ALBUM_STOP, ID_STOP}, {Names::ALBUM_NEXT, ID_NEXT}};
    for (const auto& b : buttons) {
        Tsl::SmartPtr<CustomButton> pButton = makeAlbumButton(b.pszName, b.nId);
        addControl(pButton);
        pTable->addCell(1);
        pTable->add(pButton, CENTRED);
        if (b.nId == ID_PREV)
            m_pPrevButton = pButton;
        if (b.nId == ID_NEXT)
            m_pNextButton = pButton;
    }
    int nWidth = 0, nHeight = 0;
    pTable->getSize(nWidth, nHeight);
    pTable->setPosition(BUTTONS_RIGHT - nWidth, BUTTONS_BOTTOM - nHeight);
    pTable->setZOrder(BUTTONS_Z_ORDER);
    pTable->layout();
}

void SlideshowMode::init() {
    TSL_TRACE();
    getApp()->playMusic(m_sMusic.c_str(), true);
    addBackground();
    if (m_bAlbum) {
        buildAlbumButtons();
        m_nPage = 0;
        showPage(0);
        getApp()->showCursor(true);
    } else {
        m_fWait = 0.0f;
        getApp()->showCursor(false);
    }
}

// ---- album ------------------------------------------------------------------------------

// The first slide always starts a page, marked or not.
bool SlideshowMode::startsPage(int nIndex) const { return nIndex == 0 || m_lSlides.getAt(nIndex)->m_bNewPage; }

int SlideshowMode::nextPage(int nFirst) const {
    for (int i = nFirst + 1; i < m_lSlides.getCount(); ++i)
        if (startsPage(i))
            return i;
    return -1;
}

int SlideshowMode::previousPage(int nFirst) const {
    for (int i = nFirst - 1; i >= 0; --i)
        if (startsPage(i))
            return i;
    return -1;
}

void SlideshowMode::showPage(int nFirst) {
    for (const Tsl::SmartPtr<Sprite>& pSprite : m_lPageSprites) removeSprite(pSprite);
    m_lPageSprites.clear();
    int nEnd = nextPage(nFirst) < 0 ? m_lSlides.getCount() : nextPage(nFirst);
    for (int i = nFirst; i < nEnd; ++i) {
        Tsl::SmartPtr<SlideSpec> pSlide = m_lSlides.getAt(i);
        Tsl::SmartPtr<Image> pImage = getImage(pSlide->m_sImage.c_str());
        pImage->setAlpha(255);
        Tsl::SmartPtr<Sprite> pSprite = new Sprite(pImage, pSlide->m_nX, pSlide->m_nY, pSlide->m_nZOrder);
        m_lPageSprites.append(pSprite);
        addSprite(pSprite);
    }
    m_pPrevButton->setEnabled(previousPage(nFirst) >= 0);
    m_pNextButton->setEnabled(nextPage(nFirst) >= 0);
}

void SlideshowMode::onCallback(int nId, int) {
    if (nId == ID_STOP) {
        endMode();
        return;
    }
    if (nId != ID_PREV && nId != ID_NEXT)
        return;
    int nPage = nId == ID_PREV ? previousPage(m_nPage) : nextPage(m_nPage);
    if (nPage < 0)
        return;
    m_nPage = nPage;
    showPage(m_nPage);
}

// ---- automatic --------------------------------------------------------------------------

void SlideshowMode::onUpdate(float fDt) {
    GameMode::onUpdate(fDt);
    if (!m_bAlbum)
        updateAutomatic(fDt);
}

void SlideshowMode::updateAutomatic(float fDt) {
    // Story pictures are large and shown once: they are not kept.
    DisableImageCache noCache;
    switch (m_nState) {
    case STATE_WAITING:
        m_fWait -= fDt;
        if (m_fWait <= 0.0f)
            advance();
        break;
    case STATE_FADING_IN: {
        Tsl::SmartPtr<Sprite> pNewest = m_lPageSprites.getLast();
        float fAlpha = pNewest->getAlpha() + fDt;
        pNewest->setAlpha(fAlpha < 1.0f ? fAlpha : 1.0f);
        if (fAlpha >= 1.0f)
            advance();
        break;
    }
    case STATE_TEXTS:
        fadeTexts(fDt);
        break;
    case STATE_FADING_OUT:
        fadeOut(fDt);
        break;
    default:
        TSL_THROW(FatalErrorException, "Unknown state %d", m_nState);
    }
}

void SlideshowMode::fadeTexts(float fDt) {
    if (m_lPendingTexts.isEmpty()) {
        advance();
        return;
    }
    int i = 0;
    while (i < m_lPendingTexts.getCount()) {
        Tsl::SmartPtr<StoryText> pText = m_lPendingTexts.getAt(i);
        if (pText->m_fDelay > 0.0f)
            pText->m_fDelay -= fDt;
        if (pText->m_fDelay > 0.0f) {
            ++i;
            continue;
        }
        Tsl::SmartPtr<Label> pLabel = m_lPendingLabels.getAt(i);
        float fAlpha = pLabel->getAlpha() + fDt;
        if (fAlpha > 1.0f) {
            pLabel->setAlpha(1.0f);
            m_lPendingTexts.removeAt(i);
            m_lPendingLabels.removeAt(i);
        } else {
            pLabel->setAlpha(fAlpha);
            ++i;
        }
    }
}

void SlideshowMode::fadeOut(float fDt) {
    Tsl::SmartPtr<Sprite> pNewest;
    if (!m_lPageSprites.isEmpty())
        pNewest = m_lPageSprites.getLast();
    else if (!m_lTextLabels.isEmpty())
        pNewest = Tsl::SmartPtr<Sprite>(m_lTextLabels.getLast().get());
    if (!pNewest) {
        endMode();
        return;
    }
    float fAlpha = pNewest->getAlpha() - fDt;
    if (fAlpha < 0.0f)
        fAlpha = 0.0f;
    for (const Tsl::SmartPtr<Sprite>& pSprite : m_lPageSprites) pSprite->setAlpha(fAlpha);
    for (const Tsl::SmartPtr<Label>& pLabel : m_lTextLabels) pLabel->setAlpha(fAlpha);
    if (fAlpha == 0.0f)
        endMode();
}

void SlideshowMode::clearPage() {
    for (const Tsl::SmartPtr<Sprite>& pSprite : m_lPageSprites) removeSprite(pSprite);
    for (const Tsl::SmartPtr<Label>& pLabel : m_lTextLabels) removeSprite(pLabel);
    // Gone from the screen, so gone from the fade-out too.
    m_lPageSprites.clear();
    m_lTextLabels.clear();
}

void SlideshowMode::showSlide(const Tsl::SmartPtr<SlideSpec>& pSlide) {
    m_nState = STATE_FADING_IN;
    if (pSlide->m_bNewPage)
        clearPage();
    m_pImage = getImage(pSlide->m_sImage.c_str())->clone(false);
    Tsl::SmartPtr<Sprite> pSprite = new Sprite(m_pImage, pSlide->m_nX, pSlide->m_nY, pSlide->m_nZOrder);
    pSprite->setAlpha(0.0f);
    m_lPageSprites.append(pSprite);
    addSprite(pSprite);
    m_lPendingTexts = pSlide->m_lTexts;
    m_lPendingLabels.clear();
    for (const Tsl::SmartPtr<StoryText>& pText : pSlide->m_lTexts) {
        Tsl::SmartPtr<Label> pLabel = new Label(pText->m_sText, pText->m_nX, pText->m_nY, pText->m_nZOrder);
        pLabel->setFont(getFont(pText->m_sFont.c_str())->clone());
        pLabel->setTextColor(pText->m_Color);
        pLabel->setAlpha(0.0f);
        addSprite(pLabel);
        m_lTextLabels.append(pLabel);
        m_lPendingLabels.append(pLabel);
    }
}

void SlideshowMode::advance() {
    switch (m_nState) {
    case STATE_WAITING:
        if (m_lSlides.isEmpty()) {
            m_nState = STATE_FADING_OUT;
            return;
        }
        showSlide(m_lSlides.getFirst());
        m_lSlides.removeFirst();
        break;
    case STATE_FADING_IN:
        m_nState = STATE_TEXTS;
        break;
    case STATE_TEXTS:
        m_nState = STATE_WAITING;
        m_fWait = SLIDE_SECONDS;
        break;
    case STATE_FADING_OUT:
        break;
    default:
        TSL_THROW(FatalErrorException, "Unknown state %d", m_nState);
    }
}

void SlideshowMode::showPictureInFull() {
    if (m_lPageSprites.isEmpty() || !m_pImage)
        return;
    Tsl::SmartPtr<Sprite> pNewest = m_lPageSprites.getLast();
    if (m_pImage->hasAlpha())
        pNewest->setImage(m_pImage->clone(false));
    else
        pNewest->getImage()->setAlpha(255);
    pNewest->setAlpha(1.0f);
}

// The slide being skipped is shown complete: a picture or text left half
// faded in would stay that way under the slides that follow.
void SlideshowMode::skip() {
    if (m_nState == STATE_FADING_IN)
        showPictureInFull();
    for (const Tsl::SmartPtr<Label>& pLabel : m_lPendingLabels) pLabel->setAlpha(1.0f);
    m_lPendingTexts.clear();
    m_lPendingLabels.clear();
    m_nState = STATE_WAITING;
    m_fWait = -1.0f;
}

bool SlideshowMode::onKeyDown(int nKey, int nModifiers) {
    if (nKey == KEY_ESCAPE || nKey == KEY_RETURN) {
        endMode();
        return true;
    }
    if (nKey == KEY_SPACE) {
        if (!m_bAlbum)
            skip();
        else if (m_pNextButton && m_pNextButton->isEnabled())
            onCallback(ID_NEXT, 0);
    }
    return GameMode::onKeyDown(nKey, nModifiers);
}

bool SlideshowMode::onMouseDown(int nButton, int nX, int nY) {
    if (m_bAlbum)
        return GameMode::onMouseDown(nButton, nX, nY);
    if (nButton == MB_LEFT)
        skip();
    else
        endMode();
    return true;
}
