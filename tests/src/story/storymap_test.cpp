// The story map's screen: locks, flowers and highlights per play mode, the
// marker's walk between route points, the map's tips, and the pictures it is
// built from, made ready before it.
#include "game_fixtures.h"
#include "story_support.h"

#include "field/tip.h"

#include <algorithm>

namespace {

typedef StoryManagerMode Smm;

struct StoryMapTest : StoryTest {
    void continueStory(int nStage, int nLevel) {
        player->m_bStoryStarted = true;
        player->m_nStage = nStage;
        player->m_nStoryLevel = nLevel;
        for (bool& b : player->m_abTipShown) b = true;
    }
    void moveTo(int nSite) {
        const Smm::Site& site = Smm::MAP_SITES[nSite];
        app.onMouseMove((site.nLeft + site.nRight) / 2, (site.nTop + site.nBottom) / 2, true);
    }
    int highlightSounds() {
        return int(std::count(audio().calls.begin(), audio().calls.end(), "play sfx_map_highlight -1"));
    }
};

TEST_F(StoryMapTest, LocksAndHighlightsFollowTheStoryAndThePlayMode) {
    struct Case {
        int nPlayMode, nStage;
        bool bFinished;
        const char* pszLocks;      // per site, 1 = looks locked
        const char* pszHighlight;  // per site: 0 hidden, 1 shown silently, 2 shown with its sound
    };
    const Case cases[] = {
        {0, 0, false, "011110", "200002"},
        {0, 2, false, "000110", "222002"},
        {1, 2, false, "000111", "222110"},
        {1, 5, true, "000001", "222220"},
        {2, 0, false, "000001", "211110"},
        {2, 5, true, "000001", "222220"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pszHighlight);
        continueStory(c.nStage, 0);
        player->m_bStoryFinished = c.bFinished;
        Tsl::SmartPtr<Smm> pMap = open(c.nPlayMode);
        std::string sLocks, sHighlights;
        for (int s = 0; s < Smm::SITE_COUNT; ++s) {
            sLocks += pMap->getLocks().getAt(s)->isVisible() ? '1' : '0';
            int nSounds = highlightSounds();
            moveTo(s);
            bool bShown = pMap->getHighlights().getAt(s)->isVisible();
            sHighlights += char('0' + (bShown ? 1 + (highlightSounds() - nSounds) : 0));
        }
        EXPECT_EQ(c.pszLocks, sLocks);
        EXPECT_EQ(c.pszHighlight, sHighlights);
        EXPECT_EQ(c.nPlayMode == 0, pMap->getFlowers().getCount() == 50);
        // Only the story keeps what the store sells.
        factory.made.clear();
        const Smm::Site& store = Smm::MAP_SITES[Smm::STORE_SITE];
        app.onMouseDown(MB_LEFT, store.nLeft + 1, store.nTop + 1);
        app.onMouseUp(MB_LEFT, store.nLeft + 1, store.nTop + 1);
        EXPECT_EQ(c.nPlayMode == 0 ? "store scene" + std::to_string(c.nStage) + " m0" : "", factory.last());
        if (!factory.made.empty()) endTop();
        pMap->onCallback(Smm::ID_EXIT, 0);
    }
}

// The menu makes the map's pictures and animations ready over frames before
// it makes the map: the map's build then has none left to load.
TEST_F(StoryMapTest, ThePreloadHoldsEverythingTheMapIsBuiltFrom) {
    std::string sPicture = makeBmp(8, 8);
    // Pictures are looked up by lower-cased name, as the archives hold them.
    for (const std::string& sName : mapPictureNames())
        addFile(Tsl::String(sName.c_str()).toLower().c_str(), sPicture);
    struct Case {
        int nPlayMode, nStoryLevel;
    } cases[] = {{0, 0}, {0, 23}, {0, 49}, {1, 7}, {2, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.nPlayMode) + " " + std::to_string(c.nStoryLevel));
        app.releaseImagesExcept(Tsl::List<Tsl::String>());
        for (const Tsl::String& sName : app.getAnimationNames()) app.releaseAnimation(sName.c_str());
        continueStory(c.nStoryLevel / 10, c.nStoryLevel);
        Smm::preloadMap(c.nPlayMode, c.nStoryLevel);
        while (app.stepPreloads(0)) {
        }
        int nPictures = app.getCachedImageNames().getCount(), nAnimations = app.getAnimationNames().getCount();
        Tsl::SmartPtr<Smm> pMap = open(c.nPlayMode);
        EXPECT_EQ(nPictures, app.getCachedImageNames().getCount());
        EXPECT_EQ(nAnimations, app.getAnimationNames().getCount());
        pMap->onCallback(Smm::ID_EXIT, 0);
    }
}

// A still click on a bar in the picker modes starts its level: after a single
// move of the pointer there, with the move reaching the game only after the
// buttons, and inside the bar's rectangle beside its glowing building.
TEST_F(StoryMapTest, AStillClickOnABarStartsItsLevel) {
    Tsl::SmartPtr<Image> pGlow = app.createImage(800, 600, true);  // the building's glow only
    pGlow->fill(Color(0, 0, 0, 0));
    pGlow->copy(picture(20, 20).get(), 120, 190);
    app.addImage("mapa_sitio_tiki_highlight", pGlow);
    factory.bEnter = false;
    for (int nPlayMode : {1, 2})
        for (const Point& at : {Point(130, 200), Point(62, 140)})
            for (bool bMovedFirst : {true, false}) {
                continueStory(0, 0);
                Tsl::SmartPtr<Smm> pMap = open(nPlayMode);
                app.onMouseMove(400, 500, true);  // off every site
                factory.made.clear();
                if (bMovedFirst) app.onMouseMove(int(at.x), int(at.y), true);
                app.onMouseDown(MB_LEFT, int(at.x), int(at.y));
                app.onMouseUp(MB_LEFT, int(at.x), int(at.y));
                EXPECT_EQ(0u, factory.last().find("play scene0 m" + std::to_string(nPlayMode)))
                    << nPlayMode << " " << at.x << (bMovedFirst ? " moved" : " buttons first");
                if (factory.made.size() == 1) endTop();
                pMap->onCallback(Smm::ID_EXIT, 0);
            }
}

TEST_F(StoryMapTest, FlowersShowTheLevelsReached) {
    continueStory(1, 12);
    Tsl::SmartPtr<Smm> pMap = open(0);
    const std::pair<int, const char*> expected[] = {{0, "mapa_flor_1_L"}, {9, "mapa_flor_1_S"}, {10, "mapa_flor_2_L"},
                                                    {12, "mapa_flor_2_S"}, {13, "mapa_flor_T_S"}, {49, "mapa_flor_T_L"}};
    for (const auto& e : expected)
        EXPECT_EQ(app.getImage(e.second).get(), pMap->getFlowers().getAt(e.first)->getImage().get()) << e.first;
    EXPECT_EQ(272.0f, pMap->getMarkerX());
}

TEST_F(StoryMapTest, TheMarkerWaitsForThePetalsAndLandsExactlyOnEachPoint) {
    continueStory(2, 20);
    Tsl::SmartPtr<Smm> pMap = open(0);
    EXPECT_EQ(504.0f, pMap->getMarkerX());
    struct Leg {
        int nLevel;
        float fX, fY;
    };
    // 21 -> 22 keeps the same y: that axis never counts as passed.
    for (const Leg& leg : {Leg{21, 529.0f, 336.0f}, Leg{22, 570.0f, 336.0f}, Leg{22, 570.0f, 336.0f}}) {
        SCOPED_TRACE(leg.nLevel);
        float fStartX = pMap->getMarkerX();
        player->m_nStoryLevel = leg.nLevel;
        pMap->advanceOnMap();
        ASSERT_GT(pMap->getParticleSystem()->getCount(), 0);
        step(125);
        EXPECT_EQ(fStartX, pMap->getMarkerX());
        for (int i = 0; i < 40 && pMap->isMarkerMoving(); ++i) {
            step(125);
            EXPECT_LE(pMap->getMarkerX(), leg.fX);
            EXPECT_EQ(pMap->getParticleSystem()->getCount() > 0, pMap->getMarkerX() == fStartX);
        }
        EXPECT_FALSE(pMap->isMarkerMoving());
        EXPECT_EQ(leg.fX, pMap->getMarkerX());
        EXPECT_EQ(leg.fY, pMap->getMarkerY());
        EXPECT_EQ(leg.fX, pMap->getMarker()->getXf());
    }
}

// The tips lie over the store: a double-click that closes one opens nothing.
TEST_F(StoryMapTest, MoneyAndChairTipsShowOncePerPlayer) {
    continueStory(0, 3);
    player->m_abTipShown[15] = player->m_abTipShown[17] = false;
    Tsl::SmartPtr<Smm> pMap = open(0);
    struct Frame {
        int nMoney, nChairs;
        bool bTip;
    };
    for (const Frame& f : {Frame{19, 1, false}, Frame{20, 1, true}, Frame{25, 1, false}, Frame{25, 2, true},
                           Frame{25, 2, false}}) {
        player->m_nMoney = f.nMoney;
        player->m_anUpgrades[UpgradeManager::KIND_CHAIR_0] = 1;
        player->m_anUpgrades[UpgradeManager::KIND_CHAIR_1] = f.nChairs - 1;
        step();
        EXPECT_EQ(f.bTip, pMap->getTip()->isShown()) << f.nMoney << "/" << f.nChairs;
        for (int i = 0; i < 2 && f.bTip; ++i) {
            app.onMouseDown(MB_LEFT, 350, 140);
            app.onMouseUp(MB_LEFT, 350, 140);
        }
        EXPECT_TRUE(pMap->getTip()->isHidden());
    }
    EXPECT_TRUE(player->m_abTipShown[15] && player->m_abTipShown[17]);
    EXPECT_EQ("", factory.last());
}

}  // namespace
