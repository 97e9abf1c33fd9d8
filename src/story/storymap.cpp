// The story map's screen: sites, flowers, the marker, labels, buttons and
// the sky and sea that move over it (the display part of StoryManagerMode).
#include "story/storymanager.h"

#include "field/ambience.h"
#include "base/names.h"
#include "player/playermanager.h"
#include "player/qarnplayer.h"
#include "rules/storyrules.h"
#include "field/tip.h"
#include "rules/upgrademanager.h"

#include "anim/animation.h"
#include "anim/animsprite.h"
#include "app/gameapp.h"
#include "audio/audiodriver.h"
#include "effects/particleemitter.h"
#include "text/font.h"
#include "tsl2/error.h"
#include "ui/button.h"
#include "ui/label.h"

#include <cmath>

const StoryManagerMode::Site StoryManagerMode::MAP_SITES[SITE_COUNT] = {
    {"tiki", 59, 138, 164, 231},   {"deck", 149, 333, 266, 417},  {"night", 441, 270, 528, 341},
    {"cruise", 603, 132, 783, 222}, {"hotel", 578, 431, 693, 520}, {"upgrade", 317, 100, 420, 162}};

const StoryManagerMode::RoutePoint StoryManagerMode::MAP_ROUTE[ROUTE_POINTS] = {
    {120, 163}, {75, 186},  {46, 211},  {47, 255},  {76, 288},  {113, 275}, {155, 307}, {197, 303}, {230, 320}, {215, 345},
    {208, 383}, {247, 364}, {272, 331}, {307, 323}, {332, 348}, {365, 359}, {392, 337}, {428, 341}, {459, 355}, {492, 343},
    {504, 309}, {529, 336}, {570, 336}, {600, 307}, {642, 289}, {669, 253}, {633, 224}, {586, 210}, {571, 170}, {609, 142},
    {663, 135}, {718, 143}, {762, 179}, {750, 220}, {740, 271}, {753, 321}, {761, 362}, {731, 410}, {690, 424}, {652, 408},
    {602, 399}, {554, 417}, {525, 425}, {503, 463}, {522, 498}, {555, 511}, {589, 516}, {625, 516}, {652, 495}, {635, 460}};

const int StoryManagerMode::MAP_TIPS[MAP_TIP_COUNT] = {0, 1, 2, 15, 17};

namespace {
enum { CENTRED = 36, TIP_X = 125, TIP_Y = 116, TIP_WIDTH = 545, TIP_MONEY = 20, TIP_CHAIRS = 17 };
enum { Z_FLOWER = 7, Z_MARKER = 8, Z_PETALS = 9, Z_BUTTON = 11, Z_LABEL = 6 };
enum { MONEY_RIGHT = 274, SCORE_RIGHT = 189, LABEL_Y = 563, BUTTON_Y = 550, PICKER_LABEL_Y = 558 };
const float MARKER_SPEED = 100.0f;  // pixels per second
const int WARM_STEPS = 20;
const float WARM_STEP = 0.2f;

struct Picture {
    const char* pszImage;
    int nX, nY, nZOrder;
};
const Picture s_aStaticPictures[] = {{Names::IMG_MAP, 0, 0, 3},
                                     {Names::IMG_MAP_SEA, 0, 0, 0},
                                     {Names::IMG_MAP_SHIP, 17, -32, 5},
                                     {Names::IMG_MAP_MASK_LEFT, 0, 10, 10},
                                     {Names::IMG_MAP_MASK_RIGHT, 784, 10, 10},
                                     // Out at sea in the corner below the island, clear of
                                     // the rows the gulls fly, above the clouds (9).
                                     {Names::IMG_MAP_TITLE, 10, 482, 10}};
const char* const s_apszSiteLooks[] = {Names::MAP_SITE_NORMAL, Names::MAP_SITE_DISABLED, Names::MAP_SITE_HIGHLIGHT};
enum { LOOK_NORMAL, LOOK_DISABLED, LOOK_HIGHLIGHT };

struct Gull {
    const char* pszAnimation;
    int nX, nY;
    bool bFast, bWander;
    float fOffset;
};
const Gull s_aGulls[] = {{Names::ANIM_GULL_SMALL, 0, 24, true, true, 0.0f},   {Names::ANIM_GULL_MEDIUM, 0, 65, false, true, 0.0f},
                         {Names::ANIM_GULL_SMALL, 0, 34, true, true, 0.0f},   {Names::ANIM_GULL_MEDIUM, 0, 55, false, true, 0.0f},
                         {Names::ANIM_GULL_SMALL, 20, 30, true, false, 1.0f}, {Names::ANIM_GULL_SMALL, 30, 28, true, false, 1.5f},
                         {Names::ANIM_GULL_SMALL, 30, 32, true, false, 1.5f}};

struct EmitterPlace {
    const char* pszFile;
    int nX, nY, nZOrder;
};
const EmitterPlace s_aEmitters[] = {{Names::EMITTER_CLOUDS, 800, 300, 9},     {Names::EMITTER_SLOW_CLOUDS, 800, 37, 4},
                                    {Names::EMITTER_SLOW_CLOUDS, 600, 34, 4}, {Names::EMITTER_SLOW_CLOUDS, 400, 37, 4},
                                    {Names::EMITTER_SLOW_CLOUDS, 200, 34, 4}, {Names::EMITTER_SHIP_0, -200, 75, 2},
                                    {Names::EMITTER_SHIP_1, 800, 63, 1},      {Names::EMITTER_SHOAL, 0, 400, 1}};

Tsl::String sitePicture(int nSite, int nLook) {
    return Tsl::String::format(Names::IMG_MAP_SITE_FORMAT, StoryManagerMode::MAP_SITES[nSite].pszName,
                               s_apszSiteLooks[nLook]);
}

int routeIndex(int nLevel) { return nLevel < 0 ? 0 : nLevel >= StoryManagerMode::ROUTE_POINTS ? StoryManagerMode::ROUTE_POINTS - 1 : nLevel; }
bool isLargeFlower(int nLevel) { return nLevel % StoryRules::LEVELS_PER_STAGE == 0 || nLevel == StoryManagerMode::ROUTE_POINTS - 1; }

void playNamedSound(const char* pszName) {
    GameApp* pApp = GameApp::getInstance();
    pApp->playSound(pApp->getSample(pszName), false, -1);
}

// A site's glow shows wherever the pointer is inside the site's hot
// rectangle, so that is where it is hovered and clicked too, not only on
// the glowing pixels.
class SiteHighlight : public Sprite {
public:
    SiteHighlight(Tsl::SmartPtr<Image> pImage, const Rect& hot, int nZOrder)
        : Sprite(pImage, 0, 0, nZOrder), m_hot(hot) {}
    bool hitTest(const Point& p) override { return m_hot.contains(int(std::floor(p.x)), int(std::floor(p.y))); }

private:
    Rect m_hot;
};
}  // namespace

// ---- building ------------------------------------------------------------------------

void StoryManagerMode::preloadMap(int nPlayMode, int nStoryLevel) {
    TSL_TRACE();
    GameApp* pApp = GameApp::getInstance();
    for (const Picture& picture : s_aStaticPictures) pApp->preloadImage(picture.pszImage);
    if (nPlayMode == 0)
        for (int i = 0; i < ROUTE_POINTS; ++i) pApp->preloadImage(flowerPicture(i, nStoryLevel).c_str());
    for (int s = 0; s < SITE_COUNT; ++s)
        for (int nLook : {LOOK_NORMAL, LOOK_DISABLED, LOOK_HIGHLIGHT})
            pApp->preloadImage(sitePicture(s, nLook).c_str());
    pApp->preloadImage(nPlayMode == 0 ? Names::IMG_MAP_MARKER : Names::IMG_MAP_SCORE_MASK);
    // A missing file is the build's to report.
    auto preloadAnimation = [pApp](const char* pszFile) {
        if (pApp->hasResource(pszFile)) pApp->preloadAnimation(pszFile);
    };
    preloadAnimation(Names::ANIM_MAP_PALM);
    for (const Gull& gull : s_aGulls) preloadAnimation(gull.pszAnimation);
}

void StoryManagerMode::buildMap() {
    TSL_TRACE();
    addStaticPictures();
    if (m_nPlayMode == 0) addFlowers();
    addPalms();
    addSites();
    addButtons();
    addMarkerAndLabels();
    addSeagulls();
    m_pTip = new Tip();
    addEmitters();
}

Tsl::SmartPtr<Sprite> StoryManagerMode::addPicture(const char* pszImage, int nX, int nY, int nZOrder) {
    Tsl::SmartPtr<Sprite> pSprite = new Sprite(getImage(pszImage), nX, nY, nZOrder);
    addSprite(pSprite);
    return pSprite;
}

void StoryManagerMode::addStaticPictures() {
    for (const Picture& picture : s_aStaticPictures)
        addPicture(picture.pszImage, picture.nX, picture.nY, picture.nZOrder);
}

void StoryManagerMode::addFlowers() {
    TSL_TRACE();
    for (int i = 0; i < ROUTE_POINTS; ++i) {
        Tsl::SmartPtr<Sprite> pFlower = new Sprite(MAP_ROUTE[i].nX, MAP_ROUTE[i].nY, Z_FLOWER);
        setFlowerImage(pFlower, flowerPicture(i, m_pPlayer->m_nStoryLevel));
        addSprite(pFlower);
        m_lFlowers.append(pFlower);
    }
}

// Levels reached show the flower of their stage, levels ahead the plain one.
Tsl::String StoryManagerMode::flowerPicture(int nLevel, int nStoryLevel) {
    if (nLevel > nStoryLevel)
        return isLargeFlower(nLevel) ? Names::IMG_FLOWER_AHEAD_LARGE : Names::IMG_FLOWER_AHEAD_SMALL;
    int nStageNumber = nLevel / StoryRules::LEVELS_PER_STAGE + 1;
    return flowerImage(nLevel, nStageNumber < StoryRules::STAGE_COUNT ? nStageNumber : StoryRules::STAGE_COUNT);
}

Tsl::String StoryManagerMode::flowerImage(int nLevel, int nStageNumber) {
    return Tsl::String::format(isLargeFlower(nLevel) ? Names::IMG_FLOWER_LARGE_FORMAT : Names::IMG_FLOWER_SMALL_FORMAT,
                               nStageNumber);
}

void StoryManagerMode::setFlowerImage(const Tsl::SmartPtr<Sprite>& pFlower, const Tsl::String& sImage) {
    Tsl::SmartPtr<Image> pImage = getImage(sImage.c_str());
    pImage->alignInsPoint(CENTRED);
    pFlower->setImage(pImage);
}

void StoryManagerMode::addPalms() {
    Tsl::SmartPtr<Animation> pPalm = GameApp::getInstance()->getAnimation(Names::ANIM_MAP_PALM);
    for (const char* pszSequence : Names::SEQ_PALMS) {
        Tsl::SmartPtr<AnimSprite> pSprite = new AnimSprite(pPalm, 0, 0, 6);
        pSprite->play(pszSequence, 0.0f, -1);
        addSprite(pSprite.get());
        m_lAnims.append(pSprite);
    }
}

// In the story a scene site looks locked until its stage is reached; the
// store never does. The picker opens every scene once the story is won (and
// always in free play); its store looks locked, as a purchase there would be
// lost with the next level's own upgrades.
bool StoryManagerMode::isSiteOpen(int nSite) const {
    if (nSite == STORE_SITE) return m_nPlayMode == 0;
    if (m_nPlayMode == 2) return true;
    if (nSite <= m_pPlayer->m_nStage) return true;
    return m_nPlayMode != 0 && m_pPlayer->m_bStoryFinished;
}

void StoryManagerMode::addSites() {
    TSL_TRACE();
    for (int s = 0; s < SITE_COUNT; ++s) {
        addPicture(sitePicture(s, LOOK_NORMAL).c_str(), 0, 0, 4);
        Tsl::SmartPtr<Sprite> pLock = addPicture(sitePicture(s, LOOK_DISABLED).c_str(), 0, 0, 5);
        m_lLocks.append(pLock);
        if (isSiteOpen(s)) pLock->setVisible(false);
    }
    for (int s = 0; s < SITE_COUNT; ++s) {
        const Site& site = MAP_SITES[s];
        Rect hot(site.nLeft, site.nTop, site.nRight, site.nBottom);
        m_lSiteRects.append(hot);
        Tsl::SmartPtr<Sprite> pHighlight = new SiteHighlight(getImage(sitePicture(s, LOOK_HIGHLIGHT).c_str()), hot, 5);
        addControl(pHighlight);
        m_lHighlights.append(pHighlight);
        pHighlight->setVisible(false);
    }
}

void StoryManagerMode::addButtons() {
    TSL_TRACE();
    struct Place {
        const char* pszKey;
        int nId, nX;
    };
    static const Place s_aStoryButtons[] = {
        {Names::STR_STO_PLAY_NEXT, ID_PLAY_NEXT, 297}, {Names::STR_STO_STORE, ID_STORE, 459}, {Names::STR_GOD_EXIT, ID_EXIT, 621}};
    auto makeButton = [this](const char* pszKey, int nId) {
        Tsl::SmartPtr<Button> pButton = new Button(getString(pszKey), nId);
        pButton->setStyle(Names::STYLE_PAPER_BUTTON);
        pButton->setZOrder(Z_BUTTON);
        addControl(pButton.get());
        return pButton;
    };
    if (m_nPlayMode == 0) {
        for (const Place& place : s_aStoryButtons) makeButton(place.pszKey, place.nId)->setPosition(place.nX, BUTTON_Y);
        return;
    }
    Tsl::SmartPtr<Label> pHint = new Label(getString(Names::STR_ST_CLICK_STAGE), 0, 0, Z_LABEL);
    // Dark on the sand strip, as the story's score and money are.
    pHint->setFont(getFont(Names::FONT_LABEL_TEXT));
    addSprite(pHint.get());
    Tsl::SmartPtr<Button> pExit = makeButton(Names::STR_GOD_EXIT, ID_EXIT);
    int nHalf = (pHint->getWidth() + pExit->getWidth() + 10) / 2;
    pHint->setPosition(400 - nHalf, PICKER_LABEL_Y);
    pExit->setPosition(410 - nHalf + pHint->getWidth(), BUTTON_Y);
}

void StoryManagerMode::addMarkerAndLabels() {
    TSL_TRACE();
    if (m_nPlayMode != 0) {
        addPicture(Names::IMG_MAP_SCORE_MASK, 0, 545, 4);
        return;
    }
    Tsl::SmartPtr<Image> pMarkerImage = getImage(Names::IMG_MAP_MARKER);
    pMarkerImage->alignInsPoint(CENTRED);
    const RoutePoint& point = MAP_ROUTE[routeIndex(m_pPlayer->m_nStoryLevel)];
    m_fMarkerX = m_fTargetX = float(point.nX);
    m_fMarkerY = m_fTargetY = float(point.nY);
    m_fVelX = m_fVelY = 0.0f;
    m_pMarker = new Sprite(pMarkerImage, 0, 0, Z_MARKER);
    m_pMarker->setPosition(m_fMarkerX, m_fMarkerY);
    addSprite(m_pMarker);

    m_pMoneyLabel = new Label(Tsl::String::format("%d", m_pPlayer->m_nMoney), MONEY_RIGHT, LABEL_Y, Z_LABEL);
    m_pScoreLabel = new Label(Tsl::String::format("%d", m_pPlayer->m_nTotalScore), SCORE_RIGHT, LABEL_Y, Z_LABEL);
    for (Label* pLabel : {m_pMoneyLabel.get(), m_pScoreLabel.get()}) {
        pLabel->setFont(getFont(Names::FONT_LABEL_TEXT));
        addSprite(pLabel);
    }
    refreshLabels();
}

// Right-aligned on fixed edges.
void StoryManagerMode::refreshLabels() {
    if (!m_pMoneyLabel) return;
    m_pMoneyLabel->setText(Tsl::String::format("%d", m_pPlayer->m_nMoney));
    m_pMoneyLabel->setPosition(MONEY_RIGHT - m_pMoneyLabel->getWidth(), LABEL_Y);
    m_pScoreLabel->setText(Tsl::String::format("%d", m_pPlayer->m_nTotalScore));
    m_pScoreLabel->setPosition(SCORE_RIGHT - m_pScoreLabel->getWidth(), LABEL_Y);
}

void StoryManagerMode::addSeagulls() {
    GameApp* pApp = GameApp::getInstance();
    for (const Gull& gull : s_aGulls) {
        Tsl::SmartPtr<Seagull> pGull = new Seagull(pApp->getAnimation(gull.pszAnimation), gull.nX, gull.nY, 9, gull.bFast,
                                                   gull.bWander, gull.fOffset);
        addSprite(pGull.get());
        m_lAnims.append(pGull.get());
    }
}

void StoryManagerMode::addEmitters() {
    TSL_TRACE();
    for (const EmitterPlace& place : s_aEmitters) {
        Tsl::SmartPtr<ParticleEmitter> pEmitter = new ParticleEmitter(this);
        pEmitter->load(place.pszFile);
        pEmitter->setPosition(place.nX, place.nY);
        pEmitter->setZOrder(place.nZOrder);
        m_lEmitters.append(pEmitter);
    }
}

// The sky is full of clouds when the map first shows.
void StoryManagerMode::warmEmitters() {
    for (const Tsl::SmartPtr<ParticleEmitter>& pEmitter : m_lEmitters)
        for (int i = 0; i < WARM_STEPS; ++i) pEmitter->update(WARM_STEP);
}

// ---- frames ----------------------------------------------------------------------------

void StoryManagerMode::onUpdate(float fDt) {
    TSL_TRACE();
    // The mode's own particles (petal bursts) move here.
    GameMode::onUpdate(fDt);
    Tsl::traceSetNote("StoryManagerMode::onUpdate Step 1");
    updateTips(fDt);
    Tsl::traceSetNote("StoryManagerMode::onUpdate Step 2");
    updateAnims(fDt);
    Tsl::traceSetNote("StoryManagerMode::onUpdate Step 3");
    updateMarker(fDt);
    Tsl::traceSetNote("StoryManagerMode::onUpdate Step 4");
}

void StoryManagerMode::updateTips(float fDt) {
    QarnPlayer* pPlayer = m_pPlayer;
    bool bStory = m_nPlayMode == 0;
    showMapTip(MAP_TIPS[0], bStory);
    showMapTip(MAP_TIPS[1], m_nPlayMode == 2);
    showMapTip(MAP_TIPS[2], m_nPlayMode == 1);
    showMapTip(MAP_TIPS[3], bStory && pPlayer->m_nMoney >= TIP_MONEY);
    if (bStory && !pPlayer->m_abTipShown[TIP_CHAIRS]) {
        showMapTip(TIP_CHAIRS, UpgradeManager::countChairs(pPlayer->m_anUpgrades) >= 2);
    }
    for (const Tsl::SmartPtr<ParticleEmitter>& pEmitter : m_lEmitters) pEmitter->update(fDt);
}

void StoryManagerMode::updateAnims(float fDt) {
    for (const Tsl::SmartPtr<AnimSprite>& pAnim : m_lAnims) {
        if (Seagull* pGull = dynamic_cast<Seagull*>(pAnim.get()))
            pGull->step(fDt);
        else
            pAnim->update(fDt);
    }
}

// The marker waits for the petals; an axis it does not move along never
// counts as passed, and reaching the target is arriving.
void StoryManagerMode::updateMarker(float fDt) {
    if (m_nPlayMode != 0 || !m_pMarker) return;
    if (getParticleSystem()->getCount() > 0) return;
    if (int(m_fVelX) == 0 && int(m_fVelY) == 0) return;
    float fX = m_fMarkerX + m_fVelX * fDt;
    float fY = m_fMarkerY + m_fVelY * fDt;
    bool bPassedX = (m_fVelX > 0 && fX >= m_fTargetX) || (m_fVelX < 0 && fX <= m_fTargetX);
    bool bPassedY = (m_fVelY > 0 && fY >= m_fTargetY) || (m_fVelY < 0 && fY <= m_fTargetY);
    if (bPassedX || bPassedY) {
        fX = m_fTargetX;
        fY = m_fTargetY;
        m_fVelX = m_fVelY = 0.0f;
    }
    m_fMarkerX = fX;
    m_fMarkerY = fY;
    m_pMarker->setPosition(fX, fY);
}

void StoryManagerMode::showMapTip(int nTip, bool bCondition) {
    if (!bCondition || m_pPlayer->m_abTipShown[nTip] || !m_pTip) return;
    m_pTip->show(this, getString(Tsl::String::format(Names::STR_TIP_FORMAT, nTip).c_str()), TIP_X, TIP_Y, TIP_WIDTH);
    m_pPlayer->m_abTipShown[nTip] = true;
    getPlayerManager()->saveProfiles();
}

// ---- progress on the map -----------------------------------------------------------------

void StoryManagerMode::advanceOnMap() {
    bloomFlower();
    startMarkerMove();
}

void StoryManagerMode::bloomFlower() {
    TSL_TRACE();
    if (m_lFlowers.getCount() == 0) return;
    int nLevel = routeIndex(m_pPlayer->m_nStoryLevel);
    int nStage = m_pPlayer->m_nStage < 0 ? 0 : m_pPlayer->m_nStage >= StoryRules::STAGE_COUNT ? StoryRules::STAGE_COUNT - 1 : m_pPlayer->m_nStage;
    Tsl::SmartPtr<Sprite> pFlower = m_lFlowers.getAt(nLevel);
    setFlowerImage(pFlower, flowerImage(nLevel, nStage + 1));
    if (nLevel % StoryRules::LEVELS_PER_STAGE == 0) m_lLocks.getAt(nStage)->setVisible(false);
    burstPetals(pFlower, isLargeFlower(nLevel));
    playNamedSound(Names::SFX_MAP_FLOWER);
}

void StoryManagerMode::burstPetals(const Tsl::SmartPtr<Sprite>& pFlower, bool bLarge) {
    Tsl::SmartPtr<ParticleEmitter> pBurst = new ParticleEmitter(this);
    pBurst->load(Names::EMITTER_FLOWERS);
    pBurst->addImage(pFlower->getImage(), 0);
    pBurst->setPosition(pFlower->getX(), pFlower->getY());
    pBurst->setZOrder(Z_PETALS);
    float fTurn = bLarge ? 800.0f : 500.0f;
    pBurst->setStartAngleRange(0.0f, 0.0f);
    pBurst->setEndAngleRange(fTurn, fTurn);
    pBurst->emit(-1);
    addParticles(pBurst->detachParticles());
}

// 100 pixels a second in a straight line from where the marker stands; a
// marker already on the point stays there.
void StoryManagerMode::startMarkerMove() {
    if (!m_pMarker) return;
    const RoutePoint& point = MAP_ROUTE[routeIndex(m_pPlayer->m_nStoryLevel)];
    m_fTargetX = float(point.nX);
    m_fTargetY = float(point.nY);
    m_fMarkerX = float(m_pMarker->getX());
    m_fMarkerY = float(m_pMarker->getY());
    float fDx = m_fTargetX - m_fMarkerX, fDy = m_fTargetY - m_fMarkerY;
    float fDistance = std::sqrt(fDx * fDx + fDy * fDy);
    if (fDistance == 0.0f) {
        m_fVelX = m_fVelY = 0.0f;
        return;
    }
    m_fVelX = fDx * MARKER_SPEED / fDistance;
    m_fVelY = fDy * MARKER_SPEED / fDistance;
}

// ---- input ---------------------------------------------------------------------------------

void StoryManagerMode::onMouseMove(int nX, int nY) {
    int nStage = m_pPlayer->m_nStage;
    for (int s = 0; s < m_lSiteRects.getCount(); ++s) {
        bool bInside = m_lSiteRects.getAt(s).contains(nX, nY);
        bool bShow = false, bSound = false;
        if (m_nPlayMode == 0) {
            bShow = bSound = bInside && (s <= nStage || s == STORE_SITE);
        } else if (bInside && s != STORE_SITE) {
            // The picker's levels start with upgrades and money of their own,
            // so a purchase made from here would be lost: its store site,
            // unlit, takes no click either.
            bShow = true;
            bSound = s <= nStage || m_pPlayer->m_bStoryFinished;
        }
        Tsl::SmartPtr<Sprite> pHighlight = m_lHighlights.getAt(s);
        if (bShow && bSound && !pHighlight->isVisible()) playNamedSound(Names::SFX_MAP_HIGHLIGHT);
        pHighlight->setVisible(bShow);
    }
}

bool StoryManagerMode::onMouseUp(int, int nX, int nY) {
    TSL_TRACE();
    if (m_pTip && !m_pTip->isHidden() && m_pTip->contains(nX, nY)) {
        m_pTip->hide();
        GameApp::getInstance()->swallowClick();
        return true;
    }
    // The pointer's move to the release point may come after the buttons of
    // the same frame, or not at all: highlights and hover are made to agree
    // with the point the player released at.
    handleMouseMove(nX, nY);
    Tsl::SmartPtr<Sprite> pHover = getHoverControl();
    int nSite = pHover ? m_lHighlights.indexOf(pHover) : -1;
    if (nSite < 0) return true;
    if (nSite == STORE_SITE) {
        if (m_nPlayMode != 0) return true;
        m_nStep = STEP_STORE;
        onActivate();
    } else if (m_nPlayMode != 0) {
        startQuickPlay(nSite);
    }
    return true;
}

void StoryManagerMode::onCallback(int nId, int) {
    TSL_TRACE();
    if (m_pTip) m_pTip->hide();
    if (nId == ID_PLAY_NEXT) m_nStep = STEP_START_LEVEL;
    if (nId == ID_EXIT) m_nPendingAction = ACTION_LEAVE;
    if (nId == ID_STORE) m_nStep = STEP_STORE;
    onActivate();
}
