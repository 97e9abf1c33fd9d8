#include "field/levelscene.h"

#include "field/ambience.h"
#include "field/customers/character.h"
#include "field/customers/characterspot.h"
#include "field/customers/seatlayout.h"
#include "field/customers/spawnmanager.h"
#include "field/picturehit.h"
#include "field/playfield.h"
#include "field/playmode.h"
#include "field/scenebuilder.h"
#include "field/targets/fieldspots.h"
#include "base/names.h"

#include "anim/animsprite.h"
#include "app/gameapp.h"
#include "effects/particleemitter.h"
#include "tsl2/random.h"

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

LevelScene::LevelScene(PlayMode* pMode, PlayField& field, const UpgradeLevels& anLevels)
    : m_pMode(pMode), m_field(field), m_anLevels(anLevels) {}

LevelScene::~LevelScene() {}

void LevelScene::read(const Tsl::String& sFile, const Tsl::String& sText) {
    m_scene = parseScene(sFile, sText);
    m_grid.build(m_scene);
    m_field.m_nTopY = m_scene.m_nTopY;
    m_field.m_nBottomY = m_scene.m_nBottomY;
}

// The pictures and animations that cost the build its time; a name the
// build will not find is left for the build to report with its line.
void LevelScene::preload() const {
    GameApp* pApp = GameApp::getInstance();
    for (const SceneVisual& visual : m_scene.m_lVisuals) {
        if (visual.m_eKind == SceneVisual::IMAGE)
            pApp->preloadImage(visual.m_sResource);
        else if (visual.m_eKind == SceneVisual::ANIMATION && pApp->hasResource(visual.m_sResource))
            pApp->preloadAnimation(visual.m_sResource);
    }
}

void LevelScene::build() {
    TSL_TRACE();
    FieldSceneBuilder(m_pMode, m_anLevels, m_lSceneSprites, m_lAmbience, m_lSeagulls, m_lEmitters).build(m_scene);
    buildSeats();
    buildSpots();
    GameApp* pApp = GameApp::getInstance();
    SeatLayout(m_lSceneSprites, m_lSpots, Rect(0, 0, pApp->getScreenWidth(), pApp->getScreenHeight()))
        .fit(m_field.m_lSeatSpots);
    loadPlayArt();
}

SeatInfo LevelScene::seatInfo() const {
    SeatInfo info;
    for (const Tsl::SmartPtr<CharacterSpot>& pSeat : m_field.m_lSeatSpots) info.m_lSeatX.append(pSeat->getX());
    info.m_nNormalSeatCount = m_field.m_nFirstVipSeat;
    info.m_nSeatCount = m_field.m_lSeatSpots.getCount();
    info.m_nCharPosY = m_scene.m_nCharPosY;
    info.m_nCharDepth = m_scene.m_nCharDepth;
    info.m_nVipPosY = m_scene.m_nVipPosY;
    info.m_nVipDepth = m_scene.m_nVipDepth;
    return info;
}

int LevelScene::coverHit(int nX, int nY) const {
    int nCover = -1;
    for (const Tsl::SmartPtr<Sprite>& pCover : m_lCovers) nCover = higherHit(nCover, pictureHit(pCover, nX, nY));
    return nCover;
}

int LevelScene::drawDrink() const {
    if (m_lDrinks.isEmpty()) return 0;
    return m_lDrinks.getAt(Tsl::gameRand() % m_lDrinks.getCount());
}

void LevelScene::update(float fDt) {
    for (const Tsl::SmartPtr<AnimSprite>& pSprite : m_lAmbience) pSprite->update(fDt);
    for (const Tsl::SmartPtr<Seagull>& pGull : m_lSeagulls) pGull->step(fDt);
    for (const Tsl::SmartPtr<ParticleEmitter>& pEmitter : m_lEmitters) pEmitter->update(fDt);
}

void LevelScene::buildSeats() {
    Tsl::List<const SceneSeat*> lOrdered;
    for (const SceneSeat& seat : m_scene.m_lSeats)
        if (!seat.m_bVip && (seat.m_sSlot.isEmpty() || UpgradeManager::isFurnished(seat.m_sSlot, UpgradeManager::USE_SEAT, m_anLevels)))
            lOrdered.append(&seat);
    m_field.m_nFirstVipSeat = lOrdered.getCount();
    for (const SceneSeat& seat : m_scene.m_lSeats)
        if (seat.m_bVip) lOrdered.append(&seat);
    int nSeat = 0;
    for (const SceneSeat* pSeat : lOrdered) {
        bool bChair = !pSeat->m_sSlot.isEmpty() && m_scene.m_bHasChairPlace;
        int nY = pSeat->m_bVip ? m_scene.m_nVipPosY : bChair ? m_scene.m_nChairPosY : m_scene.m_nCharPosY;
        int nDepth = pSeat->m_bVip ? m_scene.m_nVipDepth : bChair ? m_scene.m_nChairDepth : m_scene.m_nCharDepth;
        Tsl::SmartPtr<CharacterSpot> pSpot = new CharacterSpot(m_pMode, nSeat++, pSeat->m_nX, nY, nDepth, pSeat->m_nUseX,
                                                               pSeat->m_nUseY, pSeat->m_nHeading);
        if (pSeat->m_bHasGlass) pSpot->setGlassPlace(pSeat->m_nGlassX, pSeat->m_nGlassY, pSeat->m_nGlassZ);
        m_lSpots.append(pSpot.get());
        m_field.m_lSeatSpots.append(pSpot);
        m_field.m_lSeatOccupants.append(nullptr);
        // The scene's own seats are kind 0, the chairs the number of their table.
        int nTable = (UpgradeManager::getSlotKind(pSeat->m_sSlot) - UpgradeManager::KIND_CHAIR_0) / 2;
        m_field.m_lSeatKinds.append(pSeat->m_sSlot.isEmpty() ? 0 : 1 + nTable);
        if (pSeat->m_bVip) m_field.m_lVipSides.append(pSeat->m_nVipSide);
    }
}

void LevelScene::buildSpots() {
    Tsl::List<Tsl::SmartPtr<Sprite>> lShown;
    for (const SceneSpot& spot : m_scene.m_lSpots) {
        if (!spot.m_sSlot.isEmpty() && !UpgradeManager::isFurnished(spot.m_sSlot, UpgradeManager::USE_SPOT, m_anLevels)) continue;
        Tsl::SmartPtr<ActionSpot> pSpot;
        if (spot.m_sType == "glassspot")
            pSpot = new GlassSpot(m_pMode, spot.m_nX, spot.m_nY, spot.m_nZ, spot.m_nUseX, spot.m_nUseY, spot.m_nHeading);
        else if (spot.m_sType == "trashbin")
            pSpot = new TrashBin(m_pMode, spot.m_nX, spot.m_nY, spot.m_nZ, spot.m_nUseX, spot.m_nUseY, spot.m_nHeading);
        else if (spot.m_sType == "propdispenser")
            pSpot =
                new PropDispenser(m_pMode, spot.m_nX, spot.m_nY, spot.m_nZ, spot.m_nUseX, spot.m_nUseY, spot.m_nHeading);
        else if (spot.m_sType == "liquid")
            pSpot = new LiquidButton(m_pMode, spot.m_nDrink, spot.m_nX, spot.m_nY, spot.m_nZ, spot.m_nUseX, spot.m_nUseY,
                                     spot.m_nHeading);
        else
            pSpot = new BeverageButton(m_pMode, spot.m_nDrink, spot.m_nX, spot.m_nY, spot.m_nZ, spot.m_nUseX, spot.m_nUseY,
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

void LevelScene::addCoaster(const Tsl::SmartPtr<ActionSpot>& pSpot) {
    GameApp* pApp = GameApp::getInstance();
    if (!pApp->hasImage(Names::IMG_COASTER)) return;
    Tsl::SmartPtr<Image> pImage = pApp->getImage(Names::IMG_COASTER)->clone(false);
    pImage->setInsPoint(pImage->getWidth() / 2, GlassSpot::COASTER_INS_Y);
    Tsl::SmartPtr<Sprite> pCoaster = new Sprite(pImage, pSpot->getX(), pSpot->getY(), pSpot->getZOrder());
    m_pMode->addSprite(pCoaster);
    pSpot->addPicture(pCoaster);
}

// So that a player matches a guest's balloon to a tap by sight: the sign
// hangs from the bottom edge of the source's click box, over its front, and
// a click on it reaches the source.
void LevelScene::placeDrinkSign(ActionSpot& spot, int nDrink) {
    GameApp* pApp = GameApp::getInstance();
    Tsl::String sImage = Tsl::String::format(Names::IMG_SIGN_DRINK_FORMAT, nDrink);
    if (!pApp->hasImage(sImage)) return;
    Tsl::SmartPtr<Image> pImage = pApp->getImage(sImage);
    Tsl::SmartPtr<Sprite> pSign = new Sprite(pImage, spot.getX() - pImage->getWidth() / 2 + pImage->getInsPointX(),
                                             spot.getY() + pImage->getInsPointY(), spot.getZOrder() + 2);
    m_pMode->addSprite(pSign);
    spot.addPicture(pSign);
}

// Art shown only once play has begun is loaded with the scene, so that a
// broken file refuses the level here rather than failing in the middle of it.
void LevelScene::loadPlayArt() {
    GameApp* pApp = GameApp::getInstance();
    for (const char* pszAnimation : {Names::MUG_ANIM, Names::BALLOON_ANIM})
        if (pApp->hasResource(pszAnimation)) pApp->getAnimation(pszAnimation);
    if (pApp->hasImage(Names::IMG_CLOSING_BANNER)) pApp->getImage(Names::IMG_CLOSING_BANNER);
    Tsl::List<Tsl::String> lPictures;
    for (int nDrink : m_lDrinks)
        for (const char* pszFormat : {Names::IMG_ORDER_DRINK_FORMAT, Names::IMG_ORDER_DECORATED_DRINK_FORMAT})
            lPictures.append(Tsl::String::format(pszFormat, nDrink));
    for (int nStep = 0; nStep < Names::ORDER_PATIENCE_STEPS; ++nStep)
        lPictures.append(Tsl::String::format(Names::IMG_ORDER_PATIENCE_FORMAT, nStep));
    for (const Tsl::String& sPicture : lPictures)
        if (pApp->hasImage(sPicture)) pApp->getImage(sPicture);
}
