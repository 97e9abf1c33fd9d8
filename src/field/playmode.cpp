#include "field/playmode.h"

#include "pages/gameoptions.h"

#include "field/customers/actionballoon.h"
#include "field/ambience.h"
#include "app/gameapp.h"
#include "app/resourceloader.h"
#include "audio/audiodriver.h"
#include "field/customers/character.h"
#include "field/customers/characterspot.h"
#include "effects/particleemitter.h"
#include "field/targets/fieldspots.h"
#include "field/gamestatsmode.h"
#include "screens/miscdialogs.h"
#include "pages/loadingdialog.h"
#include "base/names.h"
#include "field/picturehit.h"
#include "player/qarnplayer.h"
#include "field/scenebuilder.h"
#include "field/customers/spawnmanager.h"
#include "field/tip.h"
#include "field/tipplace.h"
#include "player/playermanager.h"
#include "ui/button.h"
#include "ui/dialogmode.h"
#include "text/font.h"
#include "ui/label.h"
#include "rules/upgrademanager.h"
#include "field/waitress.h"
#include "field/weekgoals.h"

#include <cstring>

namespace {

// What each in-play hint stands beside, and how wide it is, by hint (event)
// number. The place follows from the subject (TipPlacer): a hint never covers
// its subject, the guest it speaks of or the waitress.
enum TipSubject { ABOUT_BAR, ABOUT_GUEST, ABOUT_WAITRESS, ABOUT_MONEY, ABOUT_CLOCK };
struct TipStyle {
    short nSubject, nWidth;
};
const TipStyle s_aTipStyles[] = {
    {ABOUT_GUEST, 260},    {ABOUT_WAITRESS, 260}, {ABOUT_BAR, 280},   {ABOUT_GUEST, 290},   {ABOUT_WAITRESS, 230},
    {ABOUT_GUEST, 250},    {ABOUT_MONEY, 270},    {ABOUT_GUEST, 300}, {ABOUT_GUEST, 230},   {ABOUT_GUEST, 250},
    {ABOUT_WAITRESS, 220}, {ABOUT_WAITRESS, 240}, {ABOUT_WAITRESS, 250}, {ABOUT_CLOCK, 290}, {ABOUT_BAR, 320},
    {ABOUT_GUEST, 260},    {ABOUT_MONEY, 280},    {ABOUT_CLOCK, 240}, {ABOUT_GUEST, 240},   {ABOUT_BAR, 240},
    {ABOUT_WAITRESS, 260}, {ABOUT_GUEST, 250}};
static_assert(sizeof(s_aTipStyles) / sizeof(s_aTipStyles[0]) == PlayMode::TIP_EVENT_COUNT, "a style for every hint");
static_assert(PlayMode::TIP_EVENT_COUNT == QarnPlayer::TIP_COUNT, "the player keeps a shown flag for every hint");
enum { FIELD_WIDTH = 800, FIELD_HEIGHT = 600 };
// Where she stands, around her feet, when her figure has no picture.
enum { BARE_HALF_WIDTH = 40, BARE_HEIGHT = 180 };

int sceneIndex(const Tsl::String& sScene) {
    int n = sScene.getLength() > 0 ? sScene[sScene.getLength() - 1] - '0' : 0;
    return (n >= 0 && n < Names::SCENE_MUSIC_COUNT) ? n : 0;
}

}  // namespace

PlayMode::PlayMode(const char* pszScene, int nPlayMode, int nDifficulty, QarnPlayer* pPlayer, int nMinutes)
    : QarnMode(MF_ACTIVE | MF_VISIBLE),
      m_sScene(pszScene),
      m_nPlayMode(nPlayMode),
      m_pPlayer(pPlayer),
      m_rules(m_field, nPlayMode, nDifficulty, pPlayer, nMinutes),
      m_nPhase(PHASE_LOADING),
      m_bSceneRead(false),
      m_bLeaving(false),
      m_nShownSeconds(-1),
      m_nShownMoney(-1),
      m_errands(this, m_grid, m_field) {
    if (pPlayer)
        m_anLevels = pPlayer->m_anUpgrades;
    else
        m_anLevels.fill(0);
    for (bool& b : m_abTipShownHere) b = false;
    m_pSpawnManager = new SpawnManager(this);
    m_pTip = new Tip();
}

PlayMode::~PlayMode() {}

int PlayMode::getUpgradeLevel(int nKind) const {
    return (nKind >= 0 && nKind < UpgradeManager::KIND_COUNT) ? m_anLevels[nKind] : 0;
}

void PlayMode::setLevelReport(LevelReport* pReport) { m_rules.setReport(pReport, sceneIndex(m_sScene)); }

// ---- entering the level --------------------------------------------------------------------------

void PlayMode::init() {
    TSL_TRACE();
    m_pLoading = new LoadingDialog(nullptr);
    m_pLoading->setHintText(getString(Names::STR_TIP_TO_EXIT));
    setFlags(getFlags() & ~MF_VISIBLE);
    GameApp::getInstance()->pushMode(m_pLoading.get());
}

void PlayMode::failLevel(const Tsl::String& sFile, const Tsl::Exception& e) {
    GameApp::log("PlayMode: %s cannot be played: %s\n", sFile.c_str(), e.getMessage());
    m_nPhase = PHASE_FAILED;
}

bool PlayMode::readScene() {
    TSL_TRACE();
    Tsl::String sFile = Tsl::String::format(Names::SCENE_FILE_FORMAT, m_sScene.c_str());
    try {
        m_scene = parseScene(sFile, GameApp::getInstance()->getResource(sFile)->getString());
        m_grid.build(m_scene);
    } catch (const Tsl::Exception& e) {
        failLevel(sFile, e);
        return false;
    }
    m_field.m_nTopY = m_scene.m_nTopY;
    m_field.m_nBottomY = m_scene.m_nBottomY;
    m_bSceneRead = true;
    return true;
}

int PlayMode::trayCapacity() const {
    return UpgradeManager().getValue(UpgradeManager::KIND_TRAY, m_anLevels[UpgradeManager::KIND_TRAY]);
}

// The pictures and animations that cost the build its time; a name the
// build will not find is left for the build to report with its line.
void PlayMode::preloadLevel() {
    TSL_TRACE();
    GameApp* pApp = GameApp::getInstance();
    for (const SceneVisual& visual : m_scene.m_lVisuals) {
        if (visual.m_eKind == SceneVisual::IMAGE)
            pApp->preloadImage(visual.m_sResource);
        else if (visual.m_eKind == SceneVisual::ANIMATION && pApp->hasResource(visual.m_sResource))
            pApp->preloadAnimation(visual.m_sResource);
    }
    Waitress::preloadFigure(Names::WAITRESS_BASE, trayCapacity());
}

bool PlayMode::buildLevel() {
    TSL_TRACE();
    if (!m_bSceneRead && !readScene()) return false;
    GameApp* pApp = GameApp::getInstance();
    try {
        m_pSpawnManager->loadCharacters(m_sScene);
        buildVisuals();
        buildSeats();
        buildSpots();
        loadPlayArt();
        m_pWaitress = new Waitress(this, Names::WAITRESS_BASE, m_scene.m_nStartX, m_scene.m_nStartY, trayCapacity());
        m_pWaitress->setHeading(m_scene.m_nStartHeading);
        m_errands.setWaitress(m_pWaitress.get());
    } catch (const Tsl::Exception& e) {
        failLevel(m_scene.m_sFile, e);
        return false;
    }
    m_pSpawnManager->resetTimer();
    m_pClockLabel = new Label(Tsl::String(), 20, 10, 500);
    m_pMoneyLabel = new Label(Tsl::String(), 20, 40, 500);
    addSprite(m_pClockLabel.get());
    addSprite(m_pMoneyLabel.get());
    Tsl::SmartPtr<Button> pOptions = new Button(getString(Names::STR_OPTIONS), CB_OPTIONS);
    pOptions->setPosition(700, 10);
    pOptions->setZOrder(500);
    addControl(pOptions.get());
    const char* pszMusic = Names::SCENE_MUSIC[sceneIndex(m_sScene)];
    // Tunes carry their format's suffix, which only the driver's loader knows.
    IAudioDriver* pAudio = pApp->getAudioDriver();
    IResourceLoader<Music>* pLoader = pAudio ? pAudio->getMusicLoader() : nullptr;
    if (pLoader && pLoader->exists(pszMusic)) pApp->playMusic(pszMusic, true);
    m_nPhase = PHASE_LOADED;
    return true;
}

void PlayMode::buildSeats() {
    SeatInfo info;
    Tsl::List<const SceneSeat*> lOrdered;
    for (const SceneSeat& seat : m_scene.m_lSeats)
        if (!seat.m_bVip && (seat.m_sSlot.isEmpty() || UpgradeManager::isFurnished(seat.m_sSlot, UpgradeManager::USE_SEAT, m_anLevels)))
            lOrdered.append(&seat);
    info.m_nNormalSeatCount = lOrdered.getCount();
    for (const SceneSeat& seat : m_scene.m_lSeats)
        if (seat.m_bVip) lOrdered.append(&seat);
    m_field.m_nFirstVipSeat = info.m_nNormalSeatCount;
    int nSeat = 0;
    for (const SceneSeat* pSeat : lOrdered) {
        bool bChair = !pSeat->m_sSlot.isEmpty() && m_scene.m_bHasChairPlace;
        int nY = pSeat->m_bVip ? m_scene.m_nVipPosY : bChair ? m_scene.m_nChairPosY : m_scene.m_nCharPosY;
        int nDepth = pSeat->m_bVip ? m_scene.m_nVipDepth : bChair ? m_scene.m_nChairDepth : m_scene.m_nCharDepth;
        Tsl::SmartPtr<CharacterSpot> pSpot = new CharacterSpot(this, nSeat++, pSeat->m_nX, nY, nDepth, pSeat->m_nUseX,
                                                               pSeat->m_nUseY, pSeat->m_nHeading);
        if (pSeat->m_bHasGlass) pSpot->setGlassPlace(pSeat->m_nGlassX, pSeat->m_nGlassY, pSeat->m_nGlassZ);
        m_lSpots.append(pSpot.get());
        m_field.m_lSeatSpots.append(pSpot);
        m_field.m_lSeatOccupants.append(nullptr);
        // The scene's own seats are kind 0, the chairs the number of their table.
        int nTable = (UpgradeManager::getSlotKind(pSeat->m_sSlot) - UpgradeManager::KIND_CHAIR_0) / 2;
        m_field.m_lSeatKinds.append(pSeat->m_sSlot.isEmpty() ? 0 : 1 + nTable);
        if (pSeat->m_bVip) m_field.m_lVipSides.append(pSeat->m_nVipSide);
        info.m_lSeatX.append(pSeat->m_nX);
    }
    info.m_nSeatCount = lOrdered.getCount();
    info.m_nCharPosY = m_scene.m_nCharPosY;
    info.m_nCharDepth = m_scene.m_nCharDepth;
    info.m_nVipPosY = m_scene.m_nVipPosY;
    info.m_nVipDepth = m_scene.m_nVipDepth;
    m_pSpawnManager->setSeatInfo(info);
}

void PlayMode::buildSpots() {
    Tsl::List<Tsl::SmartPtr<Sprite>> lShown;
    for (const SceneSpot& spot : m_scene.m_lSpots) {
        if (!spot.m_sSlot.isEmpty() && !UpgradeManager::isFurnished(spot.m_sSlot, UpgradeManager::USE_SPOT, m_anLevels)) continue;
        Tsl::SmartPtr<ActionSpot> pSpot;
        if (spot.m_sType == "glassspot")
            pSpot = new GlassSpot(this, spot.m_nX, spot.m_nY, spot.m_nZ, spot.m_nUseX, spot.m_nUseY, spot.m_nHeading);
        else if (spot.m_sType == "trashbin")
            pSpot = new TrashBin(this, spot.m_nX, spot.m_nY, spot.m_nZ, spot.m_nUseX, spot.m_nUseY, spot.m_nHeading);
        else if (spot.m_sType == "propdispenser")
            pSpot =
                new PropDispenser(this, spot.m_nX, spot.m_nY, spot.m_nZ, spot.m_nUseX, spot.m_nUseY, spot.m_nHeading);
        else if (spot.m_sType == "liquid")
            pSpot = new LiquidButton(this, spot.m_nDrink, spot.m_nX, spot.m_nY, spot.m_nZ, spot.m_nUseX, spot.m_nUseY,
                                     spot.m_nHeading);
        else
            pSpot = new BeverageButton(this, spot.m_nDrink, spot.m_nX, spot.m_nY, spot.m_nZ, spot.m_nUseX, spot.m_nUseY,
                                       spot.m_nHeading);
        if (spot.m_sType == "glassspot")
            addCoaster(pSpot);
        else
            for (const Tsl::SmartPtr<Sprite>& pSprite : m_lSceneSprites)
                if (pSprite->getZOrder() == spot.m_nZ && pSprite->hitTestCanvas(spot.m_nX, spot.m_nY)) {
                    pSpot->addPicture(pSprite);
                    lShown.append(pSprite);
                }
        if (spot.m_sType == "liquid" || spot.m_sType == "beverage") {
            if (m_lDrinks.indexOf(spot.m_nDrink) < 0) m_lDrinks.append(spot.m_nDrink);
            placeDrinkSign(*pSpot, spot.m_nDrink);
        }
        m_lSpots.append(pSpot);
    }
    // What is left of the scenery and its figures hides the targets behind it.
    for (const Tsl::SmartPtr<Sprite>& pSprite : m_lSceneSprites)
        if (lShown.indexOf(pSprite) < 0) m_lCovers.append(pSprite);
    for (const Tsl::SmartPtr<AnimSprite>& pFigure : m_lAmbience)
        if (lShown.indexOf(pFigure.get()) < 0 && m_lCovers.indexOf(pFigure.get()) < 0) m_lCovers.append(pFigure.get());
}

void PlayMode::addCoaster(Tsl::SmartPtr<ActionSpot> pSpot) {
    GameApp* pApp = GameApp::getInstance();
    if (!pApp->hasImage(Names::IMG_COASTER)) return;
    Tsl::SmartPtr<Image> pImage = pApp->getImage(Names::IMG_COASTER)->clone(false);
    pImage->setInsPoint(pImage->getWidth() / 2, GlassSpot::COASTER_INS_Y);
    Tsl::SmartPtr<Sprite> pCoaster = new Sprite(pImage, pSpot->getX(), pSpot->getY(), pSpot->getZOrder());
    addSprite(pCoaster);
    pSpot->addPicture(pCoaster);
}

// So that a player matches a guest's balloon to a tap by sight: the sign
// hangs from the bottom edge of the source's click box, over its front, and
// a click on it reaches the source.
void PlayMode::placeDrinkSign(ActionSpot& spot, int nDrink) {
    GameApp* pApp = GameApp::getInstance();
    Tsl::String sImage = Tsl::String::format(Names::IMG_SIGN_DRINK_FORMAT, nDrink);
    if (!pApp->hasImage(sImage)) return;
    Tsl::SmartPtr<Image> pImage = pApp->getImage(sImage);
    Tsl::SmartPtr<Sprite> pSign = new Sprite(pImage, spot.getX() - pImage->getWidth() / 2 + pImage->getInsPointX(),
                                             spot.getY() + pImage->getInsPointY(), spot.getZOrder() + 2);
    addSprite(pSign);
    spot.addPicture(pSign);
}

// Art shown only once play has begun is loaded with the scene, so that a
// broken file refuses the level here rather than failing in the middle of it.
void PlayMode::loadPlayArt() {
    GameApp* pApp = GameApp::getInstance();
    for (const char* pszAnimation : {Names::MUG_ANIM, Names::BALLOON_ANIM})
        if (pApp->hasResource(pszAnimation)) pApp->getAnimation(pszAnimation);
    if (pApp->hasImage(Names::IMG_CLOSING_BANNER)) pApp->getImage(Names::IMG_CLOSING_BANNER);
    Tsl::List<Tsl::String> lPictures;
    for (int nDrink : m_lDrinks) lPictures.append(Tsl::String::format(Names::IMG_ORDER_DRINK_FORMAT, nDrink));
    for (int nStep = 0; nStep < Names::ORDER_PATIENCE_STEPS; ++nStep)
        lPictures.append(Tsl::String::format(Names::IMG_ORDER_PATIENCE_FORMAT, nStep));
    for (const Tsl::String& sPicture : lPictures)
        if (pApp->hasImage(sPicture)) pApp->getImage(sPicture);
}

namespace {

// The scene's pictures on the field: the scenery is drawn and hides what
// stands behind it from clicks; what moves (animations, figures, gulls,
// emitters) is stepped with the frame.
class FieldSceneBuilder : public SceneBuilder {
public:
    FieldSceneBuilder(PlayMode* pMode, const UpgradeLevels& anLevels, Tsl::List<Tsl::SmartPtr<Sprite>>& lScenery,
                      Tsl::List<Tsl::SmartPtr<AnimSprite>>& lAmbience, Tsl::List<Tsl::SmartPtr<Seagull>>& lSeagulls,
                      Tsl::List<Tsl::SmartPtr<ParticleEmitter>>& lEmitters)
        : SceneBuilder(anLevels, 0),
          m_pMode(pMode),
          m_lScenery(lScenery),
          m_lAmbience(lAmbience),
          m_lSeagulls(lSeagulls),
          m_lEmitters(lEmitters) {}
    using SceneBuilder::build;

protected:
    void placed(const SceneVisual& line, const Tsl::List<Tsl::SmartPtr<Sprite>>& lSprites) override {
        bool bFigure = line.m_eKind == SceneVisual::BARMAN || line.m_eKind == SceneVisual::BONGOS ||
                       line.m_eKind == SceneVisual::BAILARINA || line.m_eKind == SceneVisual::PARROT;
        for (const Tsl::SmartPtr<Sprite>& pSprite : lSprites) {
            m_pMode->addSprite(pSprite);
            if (!bFigure) m_lScenery.append(pSprite);
            if (AnimSprite* pAnimated = dynamic_cast<AnimSprite*>(pSprite.get())) m_lAmbience.append(pAnimated);
        }
    }
    void placeOther(const SceneVisual& line) override {
        GameApp* pApp = GameApp::getInstance();
        if (line.m_eKind == SceneVisual::SEAGULL && pApp->hasResource(Names::SEAGULL_ANIM)) {
            Tsl::SmartPtr<Seagull> pGull = new Seagull(pApp->getAnimation(Names::SEAGULL_ANIM), line.m_nX, line.m_nY,
                                                       line.m_nZ, line.m_bFast, line.m_bWander, 0.0f);
            m_pMode->addSprite(pGull.get());
            m_lSeagulls.append(pGull);
        } else if (line.m_eKind == SceneVisual::EMITTER) {
            Tsl::SmartPtr<ParticleEmitter> pEmitter = new ParticleEmitter(m_pMode);
            pEmitter->load(line.m_sResource);
            pEmitter->setPosition(line.m_nX, line.m_nY);
            pEmitter->setZOrder(line.m_nZ);
            m_lEmitters.append(pEmitter);
        }
    }

private:
    PlayMode* m_pMode;
    Tsl::List<Tsl::SmartPtr<Sprite>>& m_lScenery;
    Tsl::List<Tsl::SmartPtr<AnimSprite>>& m_lAmbience;
    Tsl::List<Tsl::SmartPtr<Seagull>>& m_lSeagulls;
    Tsl::List<Tsl::SmartPtr<ParticleEmitter>>& m_lEmitters;
};

}  // namespace

void PlayMode::buildVisuals() {
    TSL_TRACE();
    FieldSceneBuilder(this, m_anLevels, m_lSceneSprites, m_lAmbience, m_lSeagulls, m_lEmitters).build(m_scene);
}

void PlayMode::startLevel() {
    TSL_TRACE();
    SeatInfo info;
    // The seats again, as the spawn manager is told at every level start.
    for (int i = 0; i < m_field.m_lSeatSpots.getCount(); ++i)
        info.m_lSeatX.append(m_field.m_lSeatSpots.getAt(i)->getX());
    info.m_nNormalSeatCount = m_field.m_nFirstVipSeat;
    info.m_nSeatCount = m_field.m_lSeatSpots.getCount();
    info.m_nCharPosY = m_scene.m_nCharPosY;
    info.m_nCharDepth = m_scene.m_nCharDepth;
    info.m_nVipPosY = m_scene.m_nVipPosY;
    info.m_nVipDepth = m_scene.m_nVipDepth;
    m_pSpawnManager->setSeatInfo(info);
    int nCapacity = trayCapacity();
    if (nCapacity != m_pWaitress->getCapacity())
        m_pWaitress->setCapacity(Tsl::String::format(Names::TEMPLATE_FORMAT, Names::WAITRESS_BASE), nCapacity);
    m_pWaitress->updateScale();
    m_nPhase = PHASE_PLAYING;
    onTipEvent(TIP_LEVEL_START);
}

// ---- the frame -----------------------------------------------------------------------------------

bool PlayMode::isTop() const { return GameApp::getInstance()->getModeIndex(this) == 0; }

void PlayMode::onUpdate(float fDt) {
    TSL_TRACE();
    GameMode::onUpdate(fDt);
    if (m_bLeaving) {
        if (isTop()) endMode();
        return;
    }
    switch (m_nPhase) {
        case PHASE_LOADING: updateLoading(); return;
        case PHASE_LOADED:
            if (!isTop()) return;
            m_pLoading = nullptr;
            m_nPhase = PHASE_WEEK_GOAL;
            GameApp::getInstance()->pushMode(new WeekGoalDialog(&m_field));
            return;
        case PHASE_WEEK_GOAL:
            if (isTop()) startLevel();
            return;
        case PHASE_PLAYING: updatePlaying(fDt); return;
        case PHASE_RESULTS:
            if (isTop()) leave();
            return;
        case PHASE_FAILED:
            if (!isTop()) return;
            m_nPhase = PHASE_DONE;
            GameApp::getInstance()->pushMode(new DlgMessage(this, getString(Names::STR_SCENE_ERROR), CB_SCENE_ERROR));
            return;
        default: return;
    }
}

// Decoding the scene's pictures at once would stop the loading dialog's
// clock: they are made ready a slice a frame, and the level is built in the
// update that finds them all there (the first one when they were cached).
void PlayMode::updateLoading() {
    if (!m_bSceneRead) {
        if (!readScene()) {
            finishLoading();
            return;
        }
        preloadLevel();
    }
    if (GameApp::getInstance()->stepPreloads(LOAD_SLICE_MS)) return;
    buildLevel();
    finishLoading();
}

void PlayMode::finishLoading() {
    if (m_pLoading) m_pLoading->finish();
    setFlags(getFlags() | MF_VISIBLE);
}

void PlayMode::updatePlaying(float fDt) {
    showDueTip();
    // An open tip holds the day: reading it costs neither time nor the
    // guests' patience. She may still finish what she was doing.
    bool bDayRuns = m_pTip->isHidden();
    if (bDayRuns) {
        if (m_rules.runClock(fDt)) closeBar();
        if (!m_rules.isClosed()) m_pSpawnManager->update(fDt);
    }
    m_pWaitress->update(fDt);
    m_errands.update(fDt);
    if (bDayRuns) updateCustomers(fDt);
    updateAmbience(fDt);
    updateLabels();
    if (m_rules.isClosed() && !m_rules.isEnded() && m_pSpawnManager->getCustomerCount() == 0) endLevel();
}

void PlayMode::updateCustomers(float fDt) {
    // By seat: a customer who leaves only empties its seat, so the list keeps
    // its length while it is walked, and each customer is held while it steps.
    for (int nSeat = 0; nSeat < m_field.m_lSeatOccupants.getCount(); ++nSeat) {
        Tsl::SmartPtr<Character> pCharacter = m_field.m_lSeatOccupants.getAt(nSeat);
        if (!pCharacter) continue;
        pCharacter->update(fDt);
        if (pCharacter->getState() == Character::STATE_GONE) removeCharacter(pCharacter);
    }
}

void PlayMode::updateAmbience(float fDt) {
    for (const Tsl::SmartPtr<AnimSprite>& pSprite : m_lAmbience) pSprite->update(fDt);
    for (const Tsl::SmartPtr<Seagull>& pGull : m_lSeagulls) pGull->step(fDt);
    for (const Tsl::SmartPtr<ParticleEmitter>& pEmitter : m_lEmitters) pEmitter->update(fDt);
}

void PlayMode::updateLabels() {
    int nLeft = m_rules.getSecondsLeft();
    if (nLeft != m_nShownSeconds && m_pClockLabel) {
        m_nShownSeconds = nLeft;
        m_pClockLabel->setText(Tsl::String::format("%d:%02d", nLeft / 60, nLeft % 60));
    }
    if (m_field.m_nMoney != m_nShownMoney && m_pMoneyLabel) {
        m_nShownMoney = m_field.m_nMoney;
        // Levels outside the story have no goal to count towards.
        m_pMoneyLabel->setText(m_field.m_nMoneyGoal > 0
                                   ? Tsl::String::format("$%d / $%d", m_field.m_nMoney, m_field.m_nMoneyGoal)
                                   : Tsl::String::format("$%d", m_field.m_nMoney));
    }
}

void PlayMode::closeBar() {
    GameApp* pApp = GameApp::getInstance();
    if (pApp->hasImage(Names::IMG_CLOSING_BANNER)) {
        m_pClosingBanner = new Sprite(Names::IMG_CLOSING_BANNER, 0, 0, 600);
        // Centred on the field whatever the picture's size and insertion point.
        Rect box = m_pClosingBanner->getScreenRect();
        m_pClosingBanner->setPosition(FIELD_WIDTH / 2 - (box.left + box.right) / 2,
                                      FIELD_HEIGHT / 2 - (box.top + box.bottom) / 2);
        addSprite(m_pClosingBanner);
    }
    playSound(Names::SFX_CLOSE_BAR);
    onTipEvent(TIP_CLOSING);
}

void PlayMode::endLevel() {
    TSL_TRACE();
    if (m_rules.isEnded()) return;
    m_rules.end();
    // The results take the screen over: a hint about play, open or due,
    // would only lie over them, and nothing is left to apply it to.
    m_lDueTips.clear();
    m_pTip->hide();
    m_nPhase = PHASE_RESULTS;
    GameApp::getInstance()->pushMode(new GameStatsMode(&m_field, m_nPlayMode));
}

void PlayMode::leave() {
    m_bLeaving = true;
    m_nPhase = PHASE_DONE;
    if (isTop()) endMode();
}

void PlayMode::cleanup() {
    for (const Tsl::SmartPtr<Character>& pCharacter : m_field.m_lSeatOccupants)
        if (pCharacter) pCharacter->leave();
    m_pSpawnManager->releaseAnimations();
    m_pTip->hide();
    GameMode::cleanup();
}

// ---- walking -------------------------------------------------------------------------------------

// ---- clicks and commands -------------------------------------------------------------------------

Tsl::SmartPtr<ActionSpot> PlayMode::hitTarget(int nX, int nY, bool& bBalloon) const {
    // Scenery drawn over a target's picture (the counter over the legs of
    // the guests behind it) takes the click from it.
    int nCover = -1;
    for (const Tsl::SmartPtr<Sprite>& pCover : m_lCovers) nCover = higherHit(nCover, pictureHit(pCover, nX, nY));
    Tsl::SmartPtr<ActionSpot> pBest;
    int nBest = -1;
    bBalloon = false;
    auto consider = [&](ActionSpot* pTarget, bool bIsBalloon) {
        int nHit = pTarget->hitTest(nX, nY);
        if (nHit < 0 || nHit < nCover) return;
        if (nHit > nBest || !pBest) {
            nBest = nHit;
            pBest = pTarget;
            bBalloon = bIsBalloon;
        }
    };
    for (const Tsl::SmartPtr<ActionBalloon>& pBalloon : m_lBalloons) consider(pBalloon.get(), true);
    for (const Tsl::SmartPtr<ActionSpot>& pSpot : m_lSpots) consider(pSpot.get(), false);
    return pBest;
}

bool PlayMode::onMouseDown(int nButton, int nX, int nY) {
    TSL_TRACE();
    if (nButton & (MB_WHEEL_UP | MB_WHEEL_DOWN)) return false;
    if (m_nPhase != PHASE_PLAYING) return false;
    if (m_pTip->isShown() && m_pTip->contains(nX, nY)) {
        m_pTip->hide();
        return true;
    }
    int nHand = (nButton & MB_LEFT) ? 0 : 1;
    bool bBalloon = false;
    Tsl::SmartPtr<ActionSpot> pTarget = hitTarget(nX, nY, bBalloon);
    if (!pTarget) return false;
    if (bBalloon) {
        pTarget->doAction(nHand);
        return true;
    }
    if (!m_errands.click(pTarget, nHand)) onTipEvent(TIP_QUEUE);
    return true;
}

// ---- the level's people and events ---------------------------------------------------------------

void PlayMode::removeCharacter(Tsl::SmartPtr<Character> pCharacter) {
    if (!pCharacter) return;
    m_pSpawnManager->removeCharacter(pCharacter);
    if (pCharacter->getBalloon()) removeBalloon(pCharacter->getBalloon().get());
    pCharacter->leave();
}

void PlayMode::onCustomerPaid(int nMoney, int nStars, const Rect& guest) {
    m_rules.payIn(nMoney, nStars);
    onTipEvent(TIP_PAID, guest);
    onTipEvent(TIP_GLASS_LEFT, guest);
    if (m_rules.isGoalReached()) onTipEvent(TIP_GOAL_REACHED, guest);
}

void PlayMode::onCustomerLost(const Rect& guest) { onTipEvent(TIP_CUSTOMER_LOST, guest); }

int PlayMode::drawOrder() const {
    if (m_lDrinks.isEmpty()) return 0;
    return m_lDrinks.getAt(Tsl::gameRand() % m_lDrinks.getCount());
}

void PlayMode::addBalloon(Tsl::SmartPtr<ActionBalloon> pBalloon) { m_lBalloons.append(pBalloon); }

void PlayMode::removeBalloon(ActionBalloon* pBalloon) {
    int nIndex = m_lBalloons.indexOf(pBalloon);
    if (nIndex >= 0) m_lBalloons.removeAt(nIndex);
    pBalloon->detachCharacter();
}

bool& PlayMode::tipShownFlag(int nEvent) {
    return m_pPlayer ? m_pPlayer->m_abTipShown[nEvent] : m_abTipShownHere[nEvent];
}

void PlayMode::onTipEvent(int nEvent, const Rect& guest) {
    if (nEvent < 0 || nEvent >= TIP_EVENT_COUNT || tipShownFlag(nEvent)) return;
    for (const DueTip& due : m_lDueTips)
        if (due.nEvent == nEvent) return;
    m_lDueTips.append(DueTip{nEvent, guest});
    showDueTip();
}

// Two hints due at once are both read, one after the other. A hint counts as
// seen once shown, and is saved at once: the run may end before the map
// would save it.
void PlayMode::showDueTip() {
    if (m_pTip->isShown() || m_lDueTips.isEmpty()) return;
    DueTip due = m_lDueTips.removeFirst();
    tipShownFlag(due.nEvent) = true;
    const TipStyle& style = s_aTipStyles[due.nEvent];
    m_pTip->show(this, getString(Tsl::String::format(Names::STR_TIP_FORMAT, due.nEvent)), 0, 0, style.nWidth);
    placeTip(tipSubject(style.nSubject, due.guest), due.guest);
    if (m_pPlayer) {
        getPlayerManager()->saveProfiles();
        GameApp::getInstance()->saveSettings();
    }
}

// Beside its subject; never over the subject, the guest concerned or the
// waitress, and where there is room not over the other guests, the clock,
// the money, the closing sign or the buttons.
void PlayMode::placeTip(const Rect& subject, const Rect& guest) {
    TipPlacer placer(Rect(0, 0, FIELD_WIDTH, FIELD_HEIGHT));
    for (const Rect& area : {subject, guest, waitressBox()}) placer.keepClear(area);
    for (const Tsl::SmartPtr<Character>& pGuest : m_field.m_lSeatOccupants)
        if (pGuest) placer.preferClear(pGuest->getScreenBox());
    for (Sprite* pSign : {static_cast<Sprite*>(m_pClockLabel.get()), static_cast<Sprite*>(m_pMoneyLabel.get()),
                          m_pClosingBanner.get()})
        if (pSign) placer.preferClear(pSign->getScreenRect());
    for (const Tsl::SmartPtr<Sprite>& pControl : getControls()) placer.preferClear(pControl->getScreenRect());
    Rect bubble = m_pTip->getBounds();
    Rect place = placer.place(bubble.getWidth(), bubble.getHeight(), subject);
    m_pTip->moveTo(place.left, place.top);
}

Rect PlayMode::tipSubject(int nSubject, const Rect& guest) const {
    switch (nSubject) {
        case ABOUT_GUEST: return guest;
        case ABOUT_WAITRESS: return waitressBox();
        case ABOUT_MONEY: return m_pMoneyLabel ? m_pMoneyLabel->getScreenRect() : Rect();
        case ABOUT_CLOCK: return m_pClockLabel ? m_pClockLabel->getScreenRect() : Rect();
        default: return Rect();
    }
}

// Her figure and arms where she stands, and where she is walking to: a
// bubble there would soon cover her.
Rect PlayMode::waitressBox() const {
    if (!m_pWaitress) return Rect();
    Rect box;
    for (int i = 0; i < Waitress::SPRITE_COUNT; ++i)
        if (Tsl::SmartPtr<AnimSprite> pSprite = m_pWaitress->getSprite(i)) box = box.unite(pSprite->getScreenPixelRect());
    int nX = m_pWaitress->getX(), nY = m_pWaitress->getY();
    if (box.isEmpty()) box = Rect(nX - BARE_HALF_WIDTH, nY - BARE_HEIGHT, nX + BARE_HALF_WIDTH, nY);
    PathWaypoint end;
    if (m_errands.getWalkEnd(end)) box = box.unite(box.offsetBy(end.m_nX - nX, end.m_nY - nY));
    return box;
}

void PlayMode::playSound(const char* pszName) {
    GameApp* pApp = GameApp::getInstance();
    // Sound files carry their format's suffix, which only the driver's loader knows.
    IAudioDriver* pAudio = pApp->getAudioDriver();
    IResourceLoader<Sample>* pLoader = pAudio ? pAudio->getSampleLoader() : nullptr;
    if (!pLoader || !pLoader->exists(pszName)) return;
    pApp->playSound(pApp->getSample(pszName));
}

void PlayMode::openOptions() { GameApp::getInstance()->pushMode(new QarnGameOptions(this, CB_OPTIONS_CLOSED, CB_QUIT_LEVEL)); }

// Loading, the week's goal and the results have dialogs of their own on top,
// and a field under any other mode is held already: only the open bar pauses.
bool PlayMode::pause() {
    if (m_nPhase != PHASE_PLAYING || m_rules.isEnded() || m_bLeaving || !isTop()) return false;
    GameApp::getInstance()->pushMode(new GamePausedDlg(this, CB_RESUME));
    return true;
}

bool PlayMode::onKeyDown(int nKey, int nModifiers) {
    if (nKey == KEY_ESCAPE && pause()) return true;
    return QarnMode::onKeyDown(nKey, nModifiers);
}

void PlayMode::onAppDeactivate() { pause(); }

void PlayMode::onCallback(int nId, int) {
    switch (nId) {
        case CB_OPTIONS: openOptions(); return;
        case CB_QUIT_LEVEL:
            m_rules.quit();
            leave();
            return;
        case CB_SCENE_ERROR:
            m_rules.refuse();
            leave();
            return;
    }
}
