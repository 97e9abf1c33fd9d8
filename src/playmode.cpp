#include "playmode.h"

#include "gameoptions.h"

#include "actionballoon.h"
#include "ambience.h"
#include "app/gameapp.h"
#include "app/resourceloader.h"
#include "audio/audiodriver.h"
#include "character.h"
#include "characterspot.h"
#include "command.h"
#include "effects/particleemitter.h"
#include "fieldspots.h"
#include "gamestatsmode.h"
#include "screens/miscdialogs.h"
#include "loadingdialog.h"
#include "names.h"
#include "picturehit.h"
#include "qarnplayer.h"
#include "spawnmanager.h"
#include "storymanager.h"
#include "tip.h"
#include "tipplace.h"
#include "playermanager.h"
#include "ui/button.h"
#include "ui/dialogmode.h"
#include "text/font.h"
#include "ui/label.h"
#include "upgrademanager.h"
#include "waitress.h"
#include "weekgoals.h"

#include <cmath>
#include <cstring>

namespace {

enum { LEVELS_PER_STAGE = 10, STORY_LEVELS = 50, STAR_POINTS = 10, SCORE_PER_MONEY = 1 };

// What each in-play hint stands beside, and how wide it is, by hint (event)
// number. The place follows from the subject (TipPlacer): a hint never covers
// its subject, the guest it speaks of or the waitress.
enum TipSubject { ABOUT_BAR, ABOUT_GUEST, ABOUT_WAITRESS, ABOUT_MONEY, ABOUT_CLOCK };
struct TipStyle {
    short nSubject, nWidth;
};
const TipStyle s_aTipStyles[PlayMode::TIP_EVENT_COUNT] = {
    {ABOUT_GUEST, 260},    {ABOUT_WAITRESS, 260}, {ABOUT_BAR, 280},   {ABOUT_GUEST, 290},   {ABOUT_WAITRESS, 230},
    {ABOUT_GUEST, 250},    {ABOUT_MONEY, 270},    {ABOUT_GUEST, 300}, {ABOUT_GUEST, 230},   {ABOUT_GUEST, 250},
    {ABOUT_WAITRESS, 220}, {ABOUT_WAITRESS, 240}, {ABOUT_WAITRESS, 250}, {ABOUT_CLOCK, 290}, {ABOUT_BAR, 320},
    {ABOUT_GUEST, 260},    {ABOUT_MONEY, 280},    {ABOUT_CLOCK, 240}, {ABOUT_GUEST, 240},   {ABOUT_BAR, 240},
    {ABOUT_WAITRESS, 260}, {ABOUT_GUEST, 250}};
enum { FIELD_WIDTH = 800, FIELD_HEIGHT = 600 };
// Where she stands, around her feet, when her figure has no picture.
enum { BARE_HALF_WIDTH = 40, BARE_HEIGHT = 180 };

// The level table of the story: a level's goal, customers, length and the
// delays between customers grow with the level within a stage and with the stage.
struct LevelValues {
    int nGoal, nCustomers, nMinutes;
    float fMinDelay, fMaxDelay;
};

LevelValues storyLevel(int nLevel, int nDifficulty) {
    int nStage = nLevel / LEVELS_PER_STAGE, nStep = nLevel % LEVELS_PER_STAGE;
    LevelValues v;
    v.nGoal = 40 + 10 * nStep + 30 * nStage;
    v.nCustomers = 6 + nStep + 2 * nStage;
    v.nMinutes = 2 + nStage / 2;
    v.fMinDelay = 8.0f - 1.5f * nDifficulty - 0.5f * nStage;
    if (v.fMinDelay < 2.0f) v.fMinDelay = 2.0f;
    v.fMaxDelay = v.fMinDelay + 6.0f;
    return v;
}

int sceneIndex(const Tsl::String& sScene) {
    int n = sScene.getLength() > 0 ? sScene[sScene.getLength() - 1] - '0' : 0;
    return (n >= 0 && n < Names::SCENE_MUSIC_COUNT) ? n : 0;
}

int toInt(const Tsl::String& s) { return Tsl::String::toInt(s); }

}  // namespace

PlayMode::PlayMode(const char* pszScene, int nPlayMode, int nDifficulty, QarnPlayer* pPlayer, int nMinutes)
    : QarnMode(MF_ACTIVE | MF_VISIBLE),
      m_sScene(pszScene),
      m_nPlayMode(nPlayMode),
      m_nDifficulty(nDifficulty),
      m_pPlayer(pPlayer),
      m_nMinutes(nMinutes),
      m_pStory(nullptr),
      m_nPhase(PHASE_LOADING),
      m_bSceneRead(false),
      m_fLevelSeconds(0.0f),
      m_bClosed(false),
      m_bEnded(false),
      m_bCommandStarted(false),
      m_bLeaving(false),
      m_nShownSeconds(-1),
      m_nShownMoney(-1),
      m_bWalkPending(false),
      m_nStallFrames(0),
      m_bStopSeen(false) {
    for (int i = 0; i < UpgradeManager::KIND_COUNT; ++i) m_anLevels[i] = pPlayer ? pPlayer->m_anUpgrades[i] : 0;
    for (bool& b : m_abTipShownHere) b = false;
    m_pSpawnManager = new SpawnManager(this);
    m_pTip = new Tip();
    m_field.m_nPlayMode = nPlayMode;
    setLevelValues();
}

PlayMode::~PlayMode() {}

int PlayMode::getUpgradeLevel(int nKind) const {
    return (nKind >= 0 && nKind < UpgradeManager::KIND_COUNT) ? m_anLevels[nKind] : 0;
}

void PlayMode::setLevelValues() {
    int nLevel = m_pPlayer ? m_pPlayer->m_nStoryLevel : 0;
    if (nLevel < 0) nLevel = 0;
    if (nLevel >= STORY_LEVELS) nLevel = STORY_LEVELS - 1;
    LevelValues v = storyLevel(nLevel, m_nDifficulty);
    m_field.m_nStage = nLevel / LEVELS_PER_STAGE;
    m_field.m_fMinSpawnDelay = v.fMinDelay;
    m_field.m_fMaxSpawnDelay = v.fMaxDelay;
    if (m_nPlayMode == 0) {
        m_field.m_nMoneyGoal = v.nGoal;
        m_field.m_nLevelCustomers = v.nCustomers;
        m_field.m_nCustomersToCome = v.nCustomers;
        if (m_nMinutes < 0) m_nMinutes = v.nMinutes;
    } else {
        // The timed modes: customers without end for the player's minutes.
        m_field.m_nMoneyGoal = 0;
        m_field.m_nLevelCustomers = -1;
        m_field.m_nCustomersToCome = -1;
    }
    if (m_nMinutes <= 0) m_nMinutes = DEFAULT_MINUTES;
}

void PlayMode::setStoryManager(StoryManagerMode* pStory) {
    m_pStory = pStory;
    if (!pStory) return;
    m_field.m_nPrevTotalMoney = pStory->getMoney();
    m_field.m_nTotalScore = pStory->getScore();
    m_field.m_nLevelsWon = pStory->getLevelsWon();
    // Outside the story the player picks the bar: the week's goal names that one.
    m_field.m_nStage = m_nPlayMode == 0 ? pStory->getStage() : sceneIndex(m_sScene);
}

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
        const Tsl::List<Tsl::String>& t = visual.m_lTokens;
        if (t.getCount() < 2) continue;
        if (t.getAt(0) == "image")
            pApp->preloadImage(t.getAt(1));
        else if (t.getAt(0) == "animation" && pApp->hasResource(t.getAt(1)))
            pApp->preloadAnimation(t.getAt(1));
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
        if (!seat.m_bVip && (seat.m_sSlot.isEmpty() || isSlotPresent(seat.m_sSlot, "seat", m_anLevels)))
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
        int nKind = pSeat->m_sSlot.isEmpty() ? 0 : (pSeat->m_sSlot == "silla_0" || pSeat->m_sSlot == "silla_1") ? 1 : 2;
        m_field.m_lSeatKinds.append(nKind);
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
        if (!spot.m_sSlot.isEmpty() && !isSlotPresent(spot.m_sSlot, "actionspot_conditional", m_anLevels)) continue;
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

void PlayMode::buildVisuals() {
    TSL_TRACE();
    GameApp* pApp = GameApp::getInstance();
    Tsl::Hash<Tsl::String, Tsl::SmartPtr<Image>> hImages(97);
    Tsl::Hash<Tsl::String, Tsl::SmartPtr<Animation>> hAnims(97);
    Tsl::Hash<Tsl::String, Tsl::SmartPtr<Sprite>> hNamed(97);
    auto image = [&](const Tsl::String& s) { return hImages.hasKey(s) ? hImages.get(s) : Tsl::SmartPtr<Image>(); };
    auto anim = [&](const Tsl::String& s) { return hAnims.hasKey(s) ? hAnims.get(s) : Tsl::SmartPtr<Animation>(); };
    auto place = [&](Tsl::SmartPtr<Sprite> pSprite, const Tsl::List<Tsl::String>& t, int nNameAt) {
        addSprite(pSprite);
        m_lSceneSprites.append(pSprite);
        if (nNameAt > 0 && nNameAt < t.getCount()) hNamed.set(t.getAt(nNameAt), pSprite);
    };
    // The frame steps these with the rest of the bar's living decoration.
    auto placeAnimated = [&](Tsl::SmartPtr<AnimSprite> pSprite, const Tsl::List<Tsl::String>& t, int nNameAt) {
        place(pSprite.get(), t, nNameAt);
        m_lAmbience.append(pSprite);
    };
    for (const SceneVisual& visual : m_scene.m_lVisuals) {
        const Tsl::List<Tsl::String>& t = visual.m_lTokens;
        const Tsl::String k = t.getAt(0);
        auto n = [&](int i) { return toInt(t.getAt(i)); };
        try {
            if (k == "image") {
                // A picture of our own: "hflip" and "inspos" must never change the cached one.
                hImages.set(t.getAt(1), pApp->getImage(t.getAt(1))->clone(false));
            } else if (k == "animation") {
                hAnims.set(t.getAt(1), pApp->getAnimation(t.getAt(1)));
            } else if (k == "clone") {
                Tsl::SmartPtr<Image> pImage = image(t.getAt(1));
                if (pImage) hImages.set(t.getAt(t.getCount() > 2 ? 2 : 1), pImage->clone(false));
            } else if (k == "hflip") {
                Tsl::SmartPtr<Image> pImage = image(t.getAt(1));
                if (pImage) pImage->flipHorizontal();
            } else if (k == "inspos") {
                Tsl::SmartPtr<Image> pImage = image(t.getAt(3));
                if (!pImage) continue;
                int nX = t.getAt(1) == "center"  ? pImage->getWidth() / 2
                         : t.getAt(1) == "right" ? pImage->getWidth()
                                                 : n(1);
                int nY = t.getAt(2) == "center"   ? pImage->getHeight() / 2
                         : t.getAt(2) == "bottom" ? pImage->getHeight()
                                                  : n(2);
                pImage->setInsPoint(nX, nY);
            } else if (k == "sprite") {
                place(new Sprite(image(t.getAt(1)), n(2), n(3), n(4)), t, 5);
            } else if (k == "sprite_repeat") {
                // The name stands for the first copy.
                for (int i = 0; i < n(5); ++i)
                    place(new Sprite(image(t.getAt(1)), n(2) + i * n(6), n(3), n(4)), t, i == 0 ? 7 : 0);
            } else if (k == "animsprite") {
                placeAnimated(new AnimSprite(anim(t.getAt(1)), n(2), n(3), n(4)), t, 5);
            } else if (k == "sprite_conditional") {
                if (isSlotPresent(t.getAt(5), k, m_anLevels))
                    place(new Sprite(image(t.getAt(1)), n(2), n(3), n(4)), t, 6);
            } else if (k == "animsprite_conditional") {
                if (isSlotPresent(t.getAt(6), k, m_anLevels))
                    placeAnimated(new AnimSprite(anim(t.getAt(1)), n(2), n(3), n(4)), t, 5);
            } else if (k == "barman") {
                if (isSlotPresent(t.getAt(5), k, m_anLevels))
                    for (const Tsl::SmartPtr<AnimSprite>& p : Barman(n(1), n(2), n(3), n(4), this).getSprites())
                        m_lAmbience.append(p);
            } else if (k == "bongos") {
                if (isSlotPresent(t.getAt(5), k, m_anLevels))
                    for (const Tsl::SmartPtr<AnimSprite>& p :
                         MisterBongos(this, n(1), n(2), n(3), t.getAt(4)).getSprites())
                        m_lAmbience.append(p);
            } else if (k == "bailarina") {
                if (isSlotPresent(t.getAt(7), k, m_anLevels) && pApp->hasResource(Names::BAILARINA_TEMPLATE)) {
                    Tsl::List<Tsl::String> lParams;
                    lParams.append(t.getAt(6));
                    Tsl::String sKey = Tsl::String(Names::BAILARINA_KEY) + t.getAt(6);
                    Tsl::SmartPtr<AnimSprite> pGirl =
                        new DancingGirl(pApp->getAnimation(Names::BAILARINA_TEMPLATE, sKey, lParams), n(1), n(2), n(3),
                                        n(4), n(5) + 10);
                    addSprite(pGirl.get());
                    m_lAmbience.append(pGirl);
                }
            } else if (k == "parrot") {
                if (m_anLevels[UpgradeManager::KIND_PARROT_STAND] == 1)
                    for (const Tsl::SmartPtr<AnimSprite>& p : Parrot(this, n(1), n(2), n(3)).getSprites())
                        m_lAmbience.append(p);
            } else if (k == "flip" || k == "flipsafe") {
                if (hNamed.hasKey(t.getAt(1))) hNamed.get(t.getAt(1))->setScale(-1.0f, 1.0f);
            } else if (k == "scale_anim") {
                if (hNamed.hasKey(t.getAt(1)))
                    hNamed.get(t.getAt(1))
                        ->setScale(Tsl::String::toFloat(t.getAt(2)), Tsl::String::toFloat(t.getAt(3)));
            } else if (k == "playsequence") {
                AnimSprite* pSprite =
                    hNamed.hasKey(t.getAt(1)) ? dynamic_cast<AnimSprite*>(hNamed.get(t.getAt(1)).get()) : nullptr;
                if (pSprite) pSprite->play(t.getAt(2), 0.0f, -1);
            } else if (k == "seagull") {
                if (pApp->hasResource(Names::SEAGULL_ANIM)) {
                    Tsl::SmartPtr<Seagull> pGull = new Seagull(pApp->getAnimation(Names::SEAGULL_ANIM), n(1), n(2),
                                                               n(3), n(4) != 0, n(5) != 0, 0.0f);
                    addSprite(pGull.get());
                    m_lSeagulls.append(pGull);
                }
            } else if (k == "emitter") {
                Tsl::SmartPtr<ParticleEmitter> pEmitter = new ParticleEmitter(this);
                pEmitter->load(t.getAt(1));
                pEmitter->setPosition(n(2), n(3));
                pEmitter->setZOrder(n(4));
                m_lEmitters.append(pEmitter);
            }
        } catch (Tsl::Exception& e) {
            e.appendToMessage(Tsl::String::format(" (%s, line %d)", m_scene.m_sFile.c_str(), visual.m_nLine));
            throw;
        }
    }
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
        m_fLevelSeconds += fDt;
        m_field.m_fSecondsPlayed = m_fLevelSeconds;
        if (!m_bClosed && m_fLevelSeconds >= m_nMinutes * 60.0f) closeBar();
        if (!m_bClosed) m_pSpawnManager->update(fDt);
    }
    m_pWaitress->update(fDt);
    updateWalk(fDt);
    takeOrdersNearWaitress();
    updateCommands();
    if (bDayRuns) updateCustomers(fDt);
    updateAmbience(fDt);
    updateLabels();
    if (m_bClosed && !m_bEnded && m_pSpawnManager->getCustomerCount() == 0) endLevel();
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
    int nLeft = static_cast<int>(m_nMinutes * 60.0f - m_fLevelSeconds);
    if (nLeft < 0) nLeft = 0;
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
    m_bClosed = true;
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
    if (m_bEnded) return;
    m_bEnded = true;
    report();
    // The results take the screen over: a hint about play, open or due,
    // would only lie over them, and nothing is left to apply it to.
    m_lDueTips.clear();
    m_pTip->hide();
    m_nPhase = PHASE_RESULTS;
    GameApp::getInstance()->pushMode(new GameStatsMode(&m_field, m_nPlayMode));
}

void PlayMode::report() {
    int nMoney = m_field.m_nMoney;
    if (m_nPlayMode == 0) {
        if (!m_pStory) return;
        m_pStory->addScore(nMoney * SCORE_PER_MONEY + m_field.m_nStars * STAR_POINTS);
        m_pStory->addMoney(nMoney);
        if (nMoney < m_field.m_nMoneyGoal) m_pStory->setLevelResult(StoryManagerMode::RESULT_FAILED);
        return;
    }
    if (m_pPlayer) m_pPlayer->m_nQuickPlayScore = nMoney;
    if (m_pStory) m_pStory->setLevelResult(StoryManagerMode::RESULT_FAILED);
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

bool PlayMode::walkTo(int nX, int nY) {
    if (!m_pWaitress) return false;
    Tsl::List<PathWaypoint> lRoute;
    if (!m_grid.findRoute(m_pWaitress->getX(), m_pWaitress->getY(), nX, nY, lRoute)) return false;
    m_lRoute = lRoute;
    m_bWalkPending = true;
    m_nStallFrames = 0;
    return true;
}

void PlayMode::stopWalking() {
    m_bWalkPending = false;
    m_lRoute.clear();
    if (m_pWaitress) m_pWaitress->stop();
}

void PlayMode::chooseStep(float fX, float fY, const PathWaypoint& next, int& nHeading, int& nSecond) const {
    float fDx = next.m_nX - fX, fDy = next.m_nY - fY;
    int nHorizontal = std::fabs(fDx) >= 1.0f ? (fDx > 0 ? Waitress::EAST : Waitress::WEST) : -1;
    int nVertical = std::fabs(fDy) >= 1.0f ? (fDy > 0 ? Waitress::SOUTH : Waitress::NORTH) : -1;
    int nCurrent = m_pWaitress->getHeading();
    // Keep the heading while its way is not done, so a diagonal does not flicker.
    if (nCurrent == nHorizontal || nCurrent == nVertical)
        nHeading = nCurrent;
    else if (nHorizontal < 0)
        nHeading = nVertical;
    else if (nVertical < 0)
        nHeading = nHorizontal;
    else
        nHeading = std::fabs(fDx) >= std::fabs(fDy) ? nHorizontal : nVertical;
    nSecond = nHeading == nHorizontal ? nVertical : nHorizontal;
}

void PlayMode::updateWalk(float fDt) {
    if (!m_bWalkPending) return;
    float fX, fY;
    m_pWaitress->getPosition(fX, fY);
    while (!m_lRoute.isEmpty()) {
        PathWaypoint next = m_lRoute.getFirst();
        if (std::fabs(next.m_nX - fX) >= 1.0f || std::fabs(next.m_nY - fY) >= 1.0f) break;
        m_lRoute.removeFirst();
    }
    if (m_lRoute.isEmpty()) {
        stopWalking();
        return;
    }
    PathWaypoint next = m_lRoute.getFirst();
    int nHeading, nSecond;
    chooseStep(fX, fY, next, nHeading, nSecond);
    m_pWaitress->startWalking(nHeading, nSecond);
    bool bMoved = false;
    if (m_pWaitress->isWalking()) {
        float fVx, fVy;
        m_pWaitress->getVelocity(fDt, fVx, fVy);
        float fDx = next.m_nX - fX, fDy = next.m_nY - fY;
        if (std::fabs(fVx) > std::fabs(fDx)) fVx = fDx;
        if (std::fabs(fVy) > std::fabs(fDy)) fVy = fDy;
        m_pWaitress->setPosition(fX + fVx, fY + fVy);
        float fNewX, fNewY;
        m_pWaitress->getPosition(fNewX, fNewY);
        bMoved = fNewX != fX || fNewY != fY;
    }
    // Nothing else ends a walk that cannot go on.
    m_nStallFrames = bMoved ? 0 : m_nStallFrames + 1;
    if (m_nStallFrames > STALL_FRAMES) stopWalking();
}

// Once per stop, before her next action begins: an asking guest within her
// reach gives the order without a click on the balloon. When that guest's
// seat is where she was sent and she has nothing to do there now, the order
// was the errand: she does not go on to refuse it.
void PlayMode::takeOrdersNearWaitress() {
    if (m_bWalkPending || !m_pWaitress->hasStoppedWalking()) {
        m_bStopSeen = false;
        return;
    }
    if (m_bStopSeen) return;
    m_bStopSeen = true;
    CmdUseTarget* pUse = m_lCommands.getCount() > 1 ? dynamic_cast<CmdUseTarget*>(m_lCommands.getLast().get()) : nullptr;
    for (const Tsl::SmartPtr<CharacterSpot>& pSeat : m_field.m_lSeatSpots) {
        Tsl::SmartPtr<Character> pCharacter = pSeat->getCharacter();
        if (!pCharacter || pCharacter->getState() != Character::STATE_ASKING || !pSeat->isWithinReach()) continue;
        pCharacter->takeOrder();
        if (pUse && pUse->getTarget() == pSeat.get() && !pSeat->canDoAction(pUse->getHand())) {
            m_lCommands.removeAt(m_lCommands.getCount() - 1);
            pUse = nullptr;
        }
    }
}

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
    Click click{pTarget, nHand};
    if (m_lCommands.isEmpty() && m_lClicks.isEmpty() && m_pWaitress->isFree())
        sendWaitress(click);
    else if (m_lClicks.getCount() < CLICK_QUEUE_LIMIT)
        m_lClicks.append(click);
    else
        onTipEvent(TIP_QUEUE);
    return true;
}

void PlayMode::sendWaitress(const Click& click) {
    m_lCommands.clear();
    m_bCommandStarted = false;
    m_lCommands.append(new CmdWalk(click.pSpot->getUseX(), click.pSpot->getUseY()));
    m_lCommands.append(new CmdSetHeading(click.pSpot->getHeading()));
    m_lCommands.append(new CmdUseTarget(click.pSpot, click.nHand));
}

void PlayMode::updateCommands() {
    // A few steps a frame: facing a spot takes no time.
    for (int nStep = 0; nStep < 3; ++nStep) {
        if (m_lCommands.isEmpty()) {
            if (m_lClicks.isEmpty() || !m_pWaitress->isFree()) return;
            sendWaitress(m_lClicks.removeFirst());
        }
        Tsl::SmartPtr<Command> pCommand = m_lCommands.getFirst();
        if (!m_bCommandStarted) {
            pCommand->start(this);
            m_bCommandStarted = true;
        }
        if (!pCommand->isDone(this)) return;
        m_lCommands.removeFirst();
        m_bCommandStarted = false;
        if (pCommand->hasFailed()) m_lCommands.clear();
    }
}

// ---- the level's people and events ---------------------------------------------------------------

void PlayMode::removeCharacter(Tsl::SmartPtr<Character> pCharacter) {
    if (!pCharacter) return;
    m_pSpawnManager->removeCharacter(pCharacter);
    if (pCharacter->getBalloon()) removeBalloon(pCharacter->getBalloon().get());
    pCharacter->leave();
}

void PlayMode::onCustomerPaid(int nMoney, int nStars, const Rect& guest) {
    m_field.m_nMoney += nMoney;
    m_field.m_nStars += nStars;
    ++m_field.m_nCustomersServed;
    onTipEvent(TIP_PAID, guest);
    onTipEvent(TIP_GLASS_LEFT, guest);
    if (m_nPlayMode == 0 && m_field.m_nMoney >= m_field.m_nMoneyGoal) onTipEvent(TIP_GOAL_REACHED, guest);
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
    if (m_bWalkPending && !m_lRoute.isEmpty()) {
        const PathWaypoint& end = m_lRoute.getLast();
        box = box.unite(box.offsetBy(end.m_nX - nX, end.m_nY - nY));
    }
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
    if (m_nPhase != PHASE_PLAYING || m_bEnded || m_bLeaving || !isTop()) return false;
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
            if (m_pStory) m_pStory->setLevelResult(StoryManagerMode::RESULT_NO_PROGRESS);
            m_bEnded = true;
            leave();
            return;
        case CB_SCENE_ERROR:
            if (m_pStory) m_pStory->setLevelResult(StoryManagerMode::RESULT_NO_PROGRESS);
            leave();
            return;
    }
}
