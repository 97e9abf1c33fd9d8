#include "field/playmode.h"

#include "base/names.h"
#include "field/customers/actionballoon.h"
#include "field/customers/character.h"
#include "field/customers/characterspot.h"
#include "field/customers/spawnmanager.h"
#include "field/gamestatsmode.h"
#include "field/refusalnote.h"
#include "field/targets/actionspot.h"
#include "field/tip.h"
#include "field/tipplace.h"
#include "field/waitress.h"
#include "field/weekgoals.h"
#include "pages/gameoptions.h"
#include "pages/loadingdialog.h"
#include "player/playermanager.h"
#include "player/qarnplayer.h"
#include "rules/upgrademanager.h"

#include "app/gameapp.h"
#include "app/resourceloader.h"
#include "audio/audiodriver.h"
#include "screens/miscdialogs.h"
#include "text/font.h"
#include "ui/button.h"
#include "ui/dialogmode.h"
#include "ui/label.h"

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
static_assert(int(PlayMode::TIP_EVENT_COUNT) == int(QarnPlayer::TIP_COUNT), "the player keeps a shown flag for every hint");
enum { FIELD_WIDTH = 800, FIELD_HEIGHT = 600 };
// Where she stands, around her feet, when her figure has no picture.
enum { BARE_HALF_WIDTH = 40, BARE_HEIGHT = 180 };

static_assert(sizeof(Names::STR_REFUSALS) / sizeof(Names::STR_REFUSALS[0]) == ActionSpot::REFUSAL_COUNT,
              "words for every refusal");

// The steps of serving one guest, in the order the player takes them (0 for
// hints about no step): a hint about a step is out of date once the player
// has gone on to a later one. The day's first hint explains taking orders.
int servingStep(int nEvent) {
    switch (nEvent) {
        case PlayMode::TIP_LEVEL_START:
        case PlayMode::TIP_ORDER: return 1;
        case PlayMode::TIP_ORDER_TAKEN: return 2;
        case PlayMode::TIP_FULL_GLASS: return 3;
        case PlayMode::TIP_SERVED: return 4;
        case PlayMode::TIP_PAID:
        case PlayMode::TIP_GLASS_LEFT: return 5;
        case PlayMode::EVENT_GLASS_TAKEN: return 6;
        default: return 0;
    }
}

bool isPassedBy(int nHint, int nEvent) {
    // Being paid speaks of the day's goal too, which no later step answers:
    // that hint waits until it is read.
    if (nHint == PlayMode::TIP_PAID) return false;
    // A drink nobody waits for is no step of serving: it is done with at the sink.
    if (nHint == PlayMode::TIP_UNORDERED_DRINK) return nEvent == PlayMode::EVENT_SINK_USED;
    int nStep = servingStep(nHint);
    return nStep > 0 && servingStep(nEvent) > nStep;
}

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
      m_nOpenTip(-1),
      m_bTipsUnsaved(false),
      m_bLeaving(false),
      m_nShownSeconds(-1),
      m_nShownMoney(-1),
      m_scene(this, m_field, m_anLevels),
      m_errands(this, m_scene.getGrid(), m_field) {
    if (pPlayer)
        m_anLevels = pPlayer->m_anUpgrades;
    else
        m_anLevels.fill(0);
    for (bool& b : m_abTipShownHere) b = false;
    m_pSpawnManager = new SpawnManager(this);
    m_pTip = new Tip();
    m_pRefusalNote = new RefusalNote();
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
        m_scene.read(sFile, GameApp::getInstance()->getResource(sFile)->getString());
    } catch (const Tsl::Exception& e) {
        failLevel(sFile, e);
        return false;
    }
    m_bSceneRead = true;
    return true;
}

int PlayMode::trayCapacity() const {
    return UpgradeManager().getValue(UpgradeManager::KIND_TRAY, m_anLevels[UpgradeManager::KIND_TRAY]);
}

void PlayMode::preloadLevel() {
    TSL_TRACE();
    m_scene.preload();
    Waitress::preloadFigure(Names::WAITRESS_BASE, trayCapacity());
}

bool PlayMode::buildLevel() {
    TSL_TRACE();
    if (!m_bSceneRead && !readScene()) return false;
    GameApp* pApp = GameApp::getInstance();
    try {
        m_pSpawnManager->loadCharacters(m_sScene);
        m_scene.build();
        m_pSpawnManager->setSeatInfo(m_scene.seatInfo());
        const SceneData& scene = m_scene.getData();
        m_pWaitress = new Waitress(this, Names::WAITRESS_BASE, scene.m_nStartX, scene.m_nStartY, trayCapacity());
        m_pWaitress->setHeading(scene.m_nStartHeading);
        m_errands.setWaitress(m_pWaitress.get());
    } catch (const Tsl::Exception& e) {
        failLevel(m_scene.getData().m_sFile, e);
        return false;
    }
    m_pSpawnManager->resetTimer();
    m_pClockLabel = new Label(Tsl::String(), 20, 10, 500);
    m_pMoneyLabel = new Label(Tsl::String(), 20, 40, 500);
    addSprite(m_pClockLabel.get());
    addSprite(m_pMoneyLabel.get());
    // White text over a light sky does not read: the labels stand on a plate.
    if (pApp->hasImage(Names::IMG_HUD_PLATE)) {
        m_pHudPlate = new Sprite(Names::IMG_HUD_PLATE, 10, 4, 499);
        addSprite(m_pHudPlate.get());
    }
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

void PlayMode::startLevel() {
    TSL_TRACE();
    // The seats again, as the spawn manager is told at every level start.
    m_pSpawnManager->setSeatInfo(m_scene.seatInfo());
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
            GameApp::getInstance()->pushMode(new WeekGoalDialog(&m_field, m_anLevels));
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
    // The build reads pixels of pictures the preload has already handed to
    // the video driver, and those come back from their files: it takes a
    // frame of its own rather than what is left of the last slice.
    GameApp* pApp = GameApp::getInstance();
    if (pApp->getImagePreloadQueueLength() + pApp->getPreloadQueueLength() > 0) {
        pApp->stepPreloads(LOAD_SLICE_MS);
        return;
    }
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
        if (!m_rules.isClosed()) {
            m_rules.paceArrivals();
            m_pSpawnManager->update(fDt);
        }
    }
    m_pWaitress->update(fDt);
    m_errands.update(fDt);
    m_pRefusalNote->update(fDt);
    if (bDayRuns) updateCustomers(fDt);
    m_scene.update(fDt);
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
        // At the top of the field, in the middle, whatever the picture's
        // insertion point: over the sky, above the guests' balloons, the
        // stations and her, who are still to be seen while the last guests
        // are served.
        Rect box = m_pClosingBanner->getScreenRect();
        m_pClosingBanner->setPosition(FIELD_WIDTH / 2 - (box.left + box.right) / 2, -box.top);
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
    m_pRefusalNote->hide();
    saveSeenTips();
    m_nPhase = PHASE_RESULTS;
    GameApp::getInstance()->pushMode(new GameStatsMode(&m_field, m_nPlayMode));
}

void PlayMode::leave() {
    saveSeenTips();
    m_bLeaving = true;
    m_nPhase = PHASE_DONE;
    if (isTop()) endMode();
}

void PlayMode::cleanup() {
    for (const Tsl::SmartPtr<Character>& pCharacter : m_field.m_lSeatOccupants)
        if (pCharacter) pCharacter->leave();
    m_pSpawnManager->releaseAnimations();
    m_pTip->hide();
    m_pRefusalNote->hide();
    // Nothing is saved here: every way out of a level or the program has
    // saved already, and at the program's end this runs in the app's
    // teardown, too late to tell the player a write failed.
    GameMode::cleanup();
}

// ---- clicks and commands -------------------------------------------------------------------------

Tsl::SmartPtr<ActionSpot> PlayMode::hitTarget(int nX, int nY, bool& bBalloon) const {
    // Scenery drawn over a target's picture (the counter over the legs of
    // the guests behind it) takes the click from it.
    int nCover = m_scene.coverHit(nX, nY);
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
    for (const Tsl::SmartPtr<ActionSpot>& pSpot : m_scene.getSpots()) consider(pSpot.get(), false);
    return pBest;
}

bool PlayMode::onMouseDown(int nButton, int nX, int nY) {
    TSL_TRACE();
    if (nButton & (MB_WHEEL_UP | MB_WHEEL_DOWN)) return false;
    if (m_nPhase != PHASE_PLAYING) return false;
    if (m_pTip->isShown() && m_pTip->contains(nX, nY)) {
        m_pTip->hide();
        GameApp::getInstance()->swallowClick();
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
    if (!m_errands.click(pTarget, nHand)) refuse(ActionSpot::REFUSED_QUEUE_FULL, TIP_QUEUE);
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
    return m_scene.drawDrink();
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

int PlayMode::getOpenTip() const { return m_pTip->isShown() ? m_nOpenTip : -1; }

void PlayMode::markTipShown(int nEvent) {
    tipShownFlag(nEvent) = true;
    m_bTipsUnsaved = true;
}

void PlayMode::onTipEvent(int nEvent, const Rect& guest) {
    if (nEvent < 0) return;
    // The hint about the step the player is at takes the place of the one
    // it outdates, before the others waiting.
    bool bReplacesOpenTip = dropPassedTips(nEvent);
    bool bShownOrDue = nEvent >= TIP_EVENT_COUNT || tipShownFlag(nEvent);
    for (const DueTip& due : m_lDueTips) bShownOrDue |= due.nEvent == nEvent;
    if (!bShownOrDue)
        m_lDueTips.insertAfter(bReplacesOpenTip ? nullptr : m_lDueTips.getTail(), DueTip{nEvent, guest});
    showDueTip();
}

// A hint read after its step would send the player back to what is done:
// one still waiting is dropped as if read, an open one closes (true).
bool PlayMode::dropPassedTips(int nEvent) {
    for (int i = m_lDueTips.getCount() - 1; i >= 0; --i)
        if (isPassedBy(m_lDueTips.getAt(i).nEvent, nEvent)) {
            markTipShown(m_lDueTips.getAt(i).nEvent);
            m_lDueTips.removeAt(i);
        }
    if (!isPassedBy(getOpenTip(), nEvent)) return false;
    m_pTip->hide();
    return true;
}

// Two hints due at once are both read, one after the other. A hint counts as
// seen once shown.
void PlayMode::showDueTip() {
    if (m_pTip->isShown() || m_lDueTips.isEmpty()) return;
    DueTip due = m_lDueTips.removeFirst();
    markTipShown(due.nEvent);
    m_nOpenTip = due.nEvent;
    const TipStyle& style = s_aTipStyles[due.nEvent];
    m_pTip->show(this, getString(Tsl::String::format(Names::STR_TIP_FORMAT, due.nEvent)), 0, 0, style.nWidth);
    placeTip(tipSubject(style.nSubject, due.guest), due.guest);
}

// Writing the settings file takes longer than a frame may.
void PlayMode::saveSeenTips() {
    if (!m_bTipsUnsaved || !m_pPlayer) return;
    m_bTipsUnsaved = false;
    getPlayerManager()->saveProfiles();
    GameApp::getInstance()->saveSettings();
}

void PlayMode::refuse(int nRefusal, int nTipEvent) {
    playSound(Names::SFX_REFUSED);
    // Over her as she stands: she may be on her way, and the note goes
    // before she gets there.
    if (nRefusal >= 0 && nRefusal < ActionSpot::REFUSAL_COUNT)
        m_pRefusalNote->show(this, getString(Names::STR_REFUSALS[nRefusal]), figureBox(),
                             Rect(0, 0, FIELD_WIDTH, FIELD_HEIGHT));
    onTipEvent(nTipEvent);
}

// Beside its subject; never over the subject, the guest concerned, the
// waitress, what she works at or the clock and the money (drawn above the
// bubble, they would cut into its text), and where there is room not over the
// other guests, the closing sign or the buttons.
void PlayMode::placeTip(const Rect& subject, const Rect& guest) {
    TipPlacer placer(Rect(0, 0, FIELD_WIDTH, FIELD_HEIGHT));
    for (const Rect& area : {subject, guest, waitressBox(), getHudRect()}) placer.keepClear(area);
    for (const Tsl::SmartPtr<Character>& pGuest : m_field.m_lSeatOccupants)
        if (pGuest) placer.preferClear(pGuest->getScreenBox());
    if (m_pClosingBanner) placer.preferClear(m_pClosingBanner->getScreenRect());
    for (const Tsl::SmartPtr<Sprite>& pControl : getControls()) placer.preferClear(pControl->getScreenRect());
    // The taps, the sink and the rest she works at: what the hints send the
    // player to click. The seats are the guests, above.
    for (const Tsl::SmartPtr<ActionSpot>& pSpot : getSpots())
        if (!dynamic_cast<CharacterSpot*>(pSpot.get()))
            for (const Tsl::SmartPtr<Sprite>& pPicture : pSpot->getPictures()) placer.keepClear(pPicture->getScreenRect());
    Rect bubble = m_pTip->getBounds();
    Rect place = placer.place(bubble.getWidth(), bubble.getHeight(), subject);
    m_pTip->moveTo(place.left, place.top);
}

Rect PlayMode::getHudRect() const {
    Rect hud;
    for (Sprite* pPart : {static_cast<Sprite*>(m_pClockLabel.get()), static_cast<Sprite*>(m_pMoneyLabel.get()),
                          m_pHudPlate.get()})
        if (pPart) hud = hud.unite(pPart->getScreenRect());
    return hud;
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

// Her figure and arms where she stands.
Rect PlayMode::figureBox() const {
    if (!m_pWaitress) return Rect();
    Rect box;
    for (int i = 0; i < Waitress::SPRITE_COUNT; ++i)
        if (Tsl::SmartPtr<AnimSprite> pSprite = m_pWaitress->getSprite(i)) box = box.unite(pSprite->getScreenPixelRect());
    int nX = m_pWaitress->getX(), nY = m_pWaitress->getY();
    if (box.isEmpty()) box = Rect(nX - BARE_HALF_WIDTH, nY - BARE_HEIGHT, nX + BARE_HALF_WIDTH, nY);
    return box;
}

// Her figure, and where she is walking to: a bubble there would soon cover her.
Rect PlayMode::waitressBox() const {
    if (!m_pWaitress) return Rect();
    Rect box = figureBox();
    int nX = m_pWaitress->getX(), nY = m_pWaitress->getY();
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
    saveSeenTips();
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
