// The generated sample content read by the game's own code: customer looks
// built from their templates, every scene through the play field's loader and
// through the store's preview at every upgrade level.
#include "playfield_support.h"
#include "scratch_log.h"

#include "store/buyupgrademode.h"
#include "field/customers/character.h"
#include "field/customers/customerlooks.h"
#include "pages/gameoptions.h"
#include "field/gamestatsmode.h"
#include "game/menumode.h"
#include "base/names.h"
#include "player/playermanager.h"
#include "field/playmode.h"
#include "player/qarnplayer.h"
#include "story/slideshow.h"
#include "story/storymanager.h"
#include "rules/storyrules.h"
#include "rules/upgrademanager.h"
#include "store/upgradepreview.h"
#include "field/waitress.h"
#include "field/weekgoals.h"
#include "field/customers/character.h"
#include "field/customers/characterspot.h"
#include "field/targets/fieldspots.h"
#include "field/picturehit.h"
#include "field/customers/spawnmanager.h"
#include "field/targets/actiontarget.h"
#include "field/targets/fieldspots.h"
#include "field/mug.h"
#include "field/tip.h"
#include "field/ambience.h"

#include "anim/animation.h"
#include "anim/animsprite.h"
#include "app/gameapp.h"
#include "app/platformservices.h"
#include "game_support.h"
#include "screens/creditsmode.h"
#include "tsl2/random.h"
#include "ui/button.h"
#include "ui/label.h"

#include <gtest/gtest.h>
#include <set>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cmath>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#ifdef CONTENT_ARCHIVE_DIR
namespace {

// Every sprite of the mode, layer by layer.
std::vector<Sprite*> spritesOf(const GameMode& mode) {
    std::vector<Sprite*> lSprites;
    for (const SpriteList* pLayer : mode.getLayers())
        for (const Tsl::SmartPtr<Sprite>& pSprite : *pLayer) lSprites.push_back(pSprite.get());
    return lSprites;
}

// The box around a picture's pixels that show, found pixel by pixel.
Rect scannedBox(Image* pImage) {
    Rect box;
    for (int y = 0; y < pImage->getHeight(); ++y)
        for (int x = 0; x < pImage->getWidth(); ++x)
            if (!pImage->isTransparentAt(x, y, 0)) box = box.unite(Rect(x, y, x + 1, y + 1));
    return box;
}

struct GeneratedContent : ::testing::Test {
    TestQarnApp app;
    void SetUp() override {
        ASSERT_TRUE(app.init(800, 600, 0));
        app.setFrameRate(0);
        app.setMaxFrameTime(1.0f, false);
        ASSERT_TRUE(app.addArchive((std::string(CONTENT_ARCHIVE_DIR) + "/lang_en.dat").c_str()));
        for (const char* pszArchive : Names::ARCHIVES)
            ASSERT_TRUE(app.addArchive((std::string(CONTENT_ARCHIVE_DIR) + "/" + pszArchive).c_str()))
                << "the sample content is built with the tools (target content)";
        for (const char* pszTable : Names::STRING_TABLES) app.loadStringTable(pszTable);
    }
    void TearDown() override { Tsl::setGameRandSource(nullptr, nullptr); }

    void frame(int nMs = 125) {
        app.platform->m_nTicks += nMs;
        app.runFrame();
    }

    // A timed level of the scene, its week's goal closed: the bar is open.
    Tsl::SmartPtr<PlayMode> openBar(const std::string& sScene, QarnPlayer& player, int nMinutes, int nPlayMode = 1,
                                    int nDifficulty = 0) {
        for (bool& b : player.m_abTipShown) b = true;
        Tsl::SmartPtr<PlayMode> pMode = new PlayMode(sScene.c_str(), nPlayMode, nDifficulty, &player, nMinutes);
        app.pushMode(pMode.get());
        for (int i = 0; i < 400 && pMode->getPhase() < PlayMode::PHASE_WEEK_GOAL; ++i) frame();
        app.onKeyDown(13, 0);
        frame();
        EXPECT_EQ(pMode->getPhase(), PlayMode::PHASE_PLAYING) << sScene;
        return pMode;
    }

    static Tsl::SmartPtr<Mug> filledGlass(PlayMode* pMode, int nDrink) {
        Tsl::SmartPtr<Mug> pGlass = new Mug(pMode);
        pGlass->fill(nDrink);
        return pGlass;
    }

    // A VIP's look, its animation loaded, drawn with every draw answering k:
    // k from 0 to 5 gives each kind of VIP.
    Tsl::String vipLook(int k) {
        Tsl::setGameRandSource([](void* pK) { return *static_cast<int*>(pK); }, &k);
        CustomerLook look;
        drawVipLook(Tsl::List<Tsl::String>(), look);
        Tsl::setGameRandSource(nullptr, nullptr);
        app.getAnimation(look.m_sTemplate.c_str(), Tsl::String::format(Names::CHAR_ANIM_FORMAT, look.m_sKey.c_str()).c_str(),
                         look.m_lParams);
        return look.m_sKey;
    }

    // The scene with every upgrade kind at the level (or its last), each seat
    // taken by a guest who asks; the VIPs of the five levels are of every kind;
    // with bClosed, once the bar has closed.
    Tsl::SmartPtr<PlayMode> furnishedBar(int nScene, int nLevel, QarnPlayer& player,
                                         Tsl::List<Tsl::SmartPtr<Character>>& lGuests, bool bClosed = false) {
        UpgradeManager upgrades;
        for (int k = 0; k < UpgradeManager::KIND_COUNT; ++k)
            player.m_anUpgrades[k] = std::min(nLevel, upgrades.getLevelCount(k) - 1);
        Tsl::SmartPtr<PlayMode> pMode = openBar("scene" + std::to_string(nScene), player, bClosed ? 1 : 3);
        if (bClosed) frame(60 * 1000);
        int nFirstVip = pMode->getField()->m_nFirstVipSeat;
        for (int nSeat = 0; nSeat < pMode->getField()->m_lSeatSpots.getCount(); ++nSeat) {
            Tsl::String sVip = nSeat >= nFirstVip ? vipLook(2 * nLevel + nSeat - nFirstVip) : Tsl::String();
            lGuests.append(nSeat >= nFirstVip ? seatGuest(pMode.get(), nSeat, sVip.c_str()) : seatGuest(pMode.get(), nSeat));
            lGuests.getLast()->update(Character::ARRIVE_SECONDS);
        }
        return pMode;
    }

    // Each guest gets the drink ordered, decorated if it asked for that.
    static void serveEveryone(PlayMode* pMode, const Tsl::List<Tsl::SmartPtr<Character>>& lGuests) {
        for (const Tsl::SmartPtr<Character>& pGuest : lGuests) {
            pGuest->takeOrder();
            Tsl::SmartPtr<Mug> pGlass = filledGlass(pMode, pGuest->getOrder());
            if (pGuest->wantsDecoration()) pGlass->decorate();
            pGuest->serve(pGlass);
        }
    }

    void closeEveryMode() {
        while (app.getModeCount() > 0) {
            app.getModeAt(0)->endMode();
            frame();
        }
    }

    // Every frame of every sequence has a picture: a sprite playing it never
    // shows nothing.
    void expectEveryFrameDrawn(const CustomerLook& look) {
        Tsl::SmartPtr<Animation> pAnimation;
        ASSERT_NO_THROW(pAnimation = app.getAnimation(look.m_sTemplate.c_str(), look.m_sKey.c_str(), look.m_lParams))
            << look.m_sKey.c_str();
        for (const char* pszSeq : {Names::SEQ_CUSTOMER_SIT, Names::SEQ_CUSTOMER_ASK, Names::SEQ_CUSTOMER_WAIT,
                                   Names::SEQ_CUSTOMER_DRINK, Names::SEQ_CUSTOMER_SIP, Names::SEQ_CUSTOMER_ANGRY,
                                   Names::SEQ_CUSTOMER_LEAVE}) {
            ASSERT_GT(pAnimation->getFrameCount(pszSeq), 0) << look.m_sKey.c_str() << " " << pszSeq;
            for (int f = 0; f < pAnimation->getFrameCount(pszSeq); ++f)
                EXPECT_TRUE(pAnimation->getFrameImage(pszSeq, f)) << look.m_sKey.c_str() << " " << pszSeq << f;
        }
        app.releaseAnimation(look.m_sKey.c_str());
    }
};

// Messages from before the string tables are loaded use the built-in title:
// it must be the one the window shows.
TEST_F(GeneratedContent, TheCaptionIsTheBuiltInTitle) {
    EXPECT_EQ(Names::GAME_TITLE, app.getString(Names::STR_CAPTION));
}

// The texts that give a number of the rules give the number the game uses.
TEST_F(GeneratedContent, TextsStateTheNumbersTheRulesUse) {
    const char* const apszWords[] = {"no", "one", "two", "three", "four", "five", "six"};
    UpgradeManager up;
    auto tray = [&](int n) { return std::string(apszWords[up.getValue(UpgradeManager::KIND_TRAY, n)]); };
    auto show = [&](int n) { return std::to_string(up.getValue(UpgradeManager::KIND_SHOW, n)) + " seconds"; };
    std::string sBonus = "$" + std::to_string(Character::DECORATION_BONUS), sClicks = apszWords[PlayMode::CLICK_QUEUE_LIMIT];
    const std::pair<const char*, std::string> texts[] = {
        {"UPG_Text_0_0", tray(1)},  {"UPG_Text_0_1", tray(2)},  {"RANDOM_TIP_6", tray(1)},   {"UPG_Text_12_0", show(1)},
        {"UPG_Text_12_1", show(2)}, {"UPG_Text_12_2", show(3)}, {"UPG_Text_12_3", show(4)},  {"UPG_TEXT_4", sBonus},
        {"RANDOM_TIP_7", sBonus},   {"TIP_TEXT_11", sClicks},   {"RANDOM_TIP_12", sClicks}, {"REFUSED_QueueFull", sClicks},
        {"RANDOM_TIP_17", apszWords[Character::MAX_STARS]}};
    for (const auto& text : texts)
        EXPECT_NE(std::string::npos, std::string(app.getString(text.first).c_str()).find(text.second)) << text.first;
}

// 200 seeded looks of each kind, as the spawn manager draws them, load from
// their templates with every sequence drawn; between them they use many of
// the part values.
TEST_F(GeneratedContent, SeededLooksLoadFromTheirTemplates) {
    std::set<std::string> parts;
    for (std::uint32_t nSeed = 1; nSeed <= 200; ++nSeed) {
        Tsl::seedGameRand(nSeed);
        CustomerLook ordinary, vip;
        ASSERT_TRUE(drawOrdinaryLook(Tsl::List<Tsl::String>(), ordinary));
        ASSERT_TRUE(drawVipLook(Tsl::List<Tsl::String>(), vip));
        for (const CustomerLook* pLook : {&ordinary, &vip}) {
            expectEveryFrameDrawn(*pLook);
            for (const Tsl::String& sPart : pLook->m_lParams)
                parts.insert(std::string(pLook->m_sTemplate.c_str()) + ":" + sPart.c_str());
        }
    }
    EXPECT_GT(parts.size(), 100u);
}

int constantRand(void* pValue) { return *static_cast<int*>(pValue); }

// Every draw answered with the same number k: each table of part values
// gives its entry k modulo its length, so k from 0 to 119 reaches every entry
// of every table (and many pairs of them), each through its template.
TEST_F(GeneratedContent, EveryPartValueLoadsThroughItsTemplate) {
    std::set<std::string> keys;
    for (int k = 0; k < 120; ++k) {
        Tsl::setGameRandSource(&constantRand, &k);
        CustomerLook ordinary, vip;
        ASSERT_TRUE(drawOrdinaryLook(Tsl::List<Tsl::String>(), ordinary)) << k;
        ASSERT_TRUE(drawVipLook(Tsl::List<Tsl::String>(), vip)) << k;
        for (const CustomerLook* pLook : {&ordinary, &vip})
            if (keys.insert(pLook->m_sKey.c_str()).second) expectEveryFrameDrawn(*pLook);
    }
    EXPECT_GT(keys.size(), 60u);
}

// Counts what the waitress does to it.
struct CountingTarget : IActionTarget {
    int nKind = 0;
    int nActions = 0;
    bool canDoAction(int) override { return true; }
    void doAction(int) override { ++nActions; }
    int getActionKind(int) override { return nKind; }
    void setBusy(bool) override {}
};

// Every shown sprite of her figure has a picture.
void expectFigureDrawn(const Waitress& waitress, const std::string& sWhen) {
    for (int i = 0; i < 5; ++i) {
        Tsl::SmartPtr<AnimSprite> pSprite = waitress.getSprite(i);
        ASSERT_TRUE(pSprite) << sWhen;
        if (pSprite->isVisible()) {
            EXPECT_GT(pSprite->getWidth(), 0) << sWhen << " sprite " << i;
        }
    }
}

// Both variants (two hands; a tray of six) driven as the play screen drives
// her: every heading, either hand empty or holding a glass, every action
// kind, and walking with each load. Each action takes effect once and ends,
// no sequence is missing and no sprite loses its picture.
TEST_F(GeneratedContent, TheWaitressPlaysEverySequenceOfBothVariants) {
    ScratchLog log;
    Tsl::SmartPtr<PlayMode> pMode = new PlayMode("scene0", 1, 0, nullptr, -1);
    pMode->editScene().m_lWalkAreas.append(WalkArea{0, 300, 800, 560, 50});
    pMode->getField()->m_nTopY = 300;
    pMode->getField()->m_nBottomY = 560;
    for (int nCapacity : {2, 6}) {
        for (int nHeading = Waitress::NORTH; nHeading <= Waitress::WEST; ++nHeading) {
            for (bool bHolding : {false, true}) {
                for (int nKind : {CountingTarget().KIND_SERVE, CountingTarget().KIND_FILL, CountingTarget().KIND_TAKE,
                                  CountingTarget().KIND_USE}) {
                    for (int nHand : {0, 1}) {
                        std::string sWhen = "capacity " + std::to_string(nCapacity) + " heading " +
                                            std::to_string(nHeading) + (bHolding ? " holding" : " empty") + " kind " +
                                            std::to_string(nKind) + " hand " + std::to_string(nHand);
                        Tsl::SmartPtr<Waitress> pWaitress =
                            new Waitress(pMode.get(), Names::WAITRESS_BASE, 400, 400, nCapacity);
                        pWaitress->setHeading(nHeading);
                        if (bHolding) {
                            Tsl::SmartPtr<Mug> pMug = new Mug(nullptr);
                            pMug->fill(0);
                            pWaitress->setHandContents(pMug, nHand);
                        }
                        Tsl::SmartPtr<CountingTarget> pTarget = new CountingTarget();
                        pTarget->nKind = nKind;
                        pWaitress->startAction(pTarget.get(), nHand);
                        for (int i = 0; i < 64 && pWaitress->getState() == Waitress::STATE_ACT; ++i) {
                            pWaitress->update(0.125f);
                            expectFigureDrawn(*pWaitress, sWhen);
                        }
                        EXPECT_EQ(pWaitress->getState(), Waitress::STATE_STAND) << sWhen;
                        EXPECT_EQ(pTarget->nActions, 1) << sWhen;
                        pWaitress->startWalking(nHeading, -1);
                        for (int i = 0; i < 8; ++i) {
                            pWaitress->update(0.125f);
                            expectFigureDrawn(*pWaitress, sWhen + " walking");
                        }
                        pWaitress->stop();
                        pWaitress->update(0.125f);
                        expectFigureDrawn(*pWaitress, sWhen + " stopped");
                    }
                }
            }
        }
    }
    EXPECT_EQ(log.text().find("Waitress:"), std::string::npos) << log.text();
}

// The share of the pixels a glass draws that the other, drawn over it, covers.
float coveredShare(const Sprite& glass, const Sprite& over) {
    Rect box = glass.getScreenRect();
    int nDrawn = 0, nCovered = 0;
    for (int y = box.top; y < box.bottom; ++y)
        for (int x = box.left; x < box.right; ++x) {
            bool bDrawn = glass.hitTestPixels(Point(x + 0.5f, y + 0.5f), 64);
            nDrawn += bDrawn;
            nCovered += bDrawn && over.hitTestPixels(Point(x + 0.5f, y + 0.5f), 64);
        }
    return float(nCovered) / float(std::max(nDrawn, 1));
}

// Both trays full in every heading, each of mug.anim's eight drinks in each
// place, plain and decorated: no glass hides over a third of another, and
// those before her body stand on the tray, which an arm draws between the two.
TEST_F(GeneratedContent, EveryGlassOnTheTrayShowsItsDrink) {
    Tsl::SmartPtr<PlayMode> pMode = new PlayMode("scene0", 1, 0, nullptr, -1);
    pMode->editScene().m_lWalkAreas.append(WalkArea{0, 300, 800, 560, 50});
    pMode->getField()->m_nTopY = 300;
    pMode->getField()->m_nBottomY = 560;
    for (int nCapacity : {4, 6}) {
        Tsl::SmartPtr<Waitress> pWaitress = new Waitress(pMode.get(), Names::WAITRESS_BASE, 400, 430, nCapacity);
        for (int nLoad = 0; nLoad < 4 * 16; ++nLoad) {  // heading, decoration, first drink
            pWaitress->setHeading(nLoad / 16);
            std::vector<Tsl::SmartPtr<Mug>> aGlasses;
            for (int i = 0; i < nCapacity; ++i) {
                aGlasses.push_back(filledGlass(pMode.get(), (i + nLoad) % 8));
                if (nLoad % 16 >= 8) aGlasses.back()->decorate();
                pWaitress->setHandContents(aGlasses.back());
            }
            std::vector<Sprite*> aDrawn = spritesOf(*pMode);
            int nBodyZ = pWaitress->getSprite(0)->getZOrder();
            for (const Tsl::SmartPtr<Mug>& pGlass : aGlasses) {
                bool bOnTray = pGlass->getZOrder() < nBodyZ;
                for (int nArm : {1, 2}) {
                    const AnimSprite& arm = *pWaitress->getSprite(nArm);
                    bOnTray |= arm.getZOrder() > nBodyZ && arm.getZOrder() < pGlass->getZOrder() &&
                               arm.hitTestPixels(Point(pGlass->getX() + 0.5f, pGlass->getY() - 0.5f), 128);
                }
                EXPECT_TRUE(bOnTray) << nCapacity << " glasses, load " << nLoad << ": one off the tray";
                for (const Tsl::SmartPtr<Mug>& pOver : aGlasses)
                    if (std::find(aDrawn.begin(), aDrawn.end(), pOver->getSprite()) >
                        std::find(aDrawn.begin(), aDrawn.end(), pGlass->getSprite())) {
                        EXPECT_LE(coveredShare(*pGlass->getSprite(), *pOver->getSprite()), 1.0f / 3)
                            << nCapacity << " glasses, load " << nLoad << ": the one at " << pGlass->getX() << ","
                            << pGlass->getY();
                    }
            }
            while (pWaitress->getMugCount() > 0) pWaitress->takeHandContents(pWaitress->getMugCount() - 1);
        }
    }
}

// Each scene builds the play field: the level loads, the week's goal shows,
// the waitress stands with her picture, and nothing was skipped.
// Each drink source of a scene, at every level of the bar stations that add
// them, shows the sign of its drink, and the waitress does not stand over it.
TEST_F(GeneratedContent, EverySceneBuildsThePlayField) {
    const int nLevels = UpgradeManager().getLevelCount(UpgradeManager::KIND_STATION_0);
    for (int nCase = 0; nCase < 5 * nLevels; ++nCase) {
        int nScene = nCase / nLevels, nStations = nCase % nLevels;
        ScratchLog log;
        QarnPlayer player;
        for (bool& b : player.m_abTipShown) b = true;
        player.m_anUpgrades[UpgradeManager::KIND_STATION_0] = player.m_anUpgrades[UpgradeManager::KIND_STATION_1] = nStations;
        std::string sScene = "scene" + std::to_string(nScene);
        Tsl::SmartPtr<PlayMode> pMode = new PlayMode(sScene.c_str(), 1, 0, &player, -1);
        app.pushMode(pMode.get());
        for (int i = 0; i < 400 && pMode->getPhase() < PlayMode::PHASE_WEEK_GOAL; ++i) frame();
        EXPECT_EQ(pMode->getPhase(), PlayMode::PHASE_WEEK_GOAL) << sScene;
        EXPECT_FALSE(pMode->getSpots().isEmpty()) << sScene;
        EXPECT_GT(pMode->getField()->m_lSeatSpots.getCount(), 0) << sScene;
        EXPECT_EQ(log.text().find("skip"), std::string::npos) << sScene << ":\n" << log.text();
        for (const Tsl::SmartPtr<ActionSpot>& pSpot : pMode->getSpots()) {
            LiquidButton* pSource = dynamic_cast<LiquidButton*>(pSpot.get());
            if (!pSource) continue;
            Tsl::SmartPtr<Image> pSign = app.getImage(Tsl::String::format(Names::IMG_SIGN_DRINK_FORMAT, pSource->getDrink()));
            int nSigns = 0;
            for (Sprite* p : spritesOf(*pMode)) {
                if (p->getImage() != pSign) continue;
                ++nSigns;
                for (int i = 0; i < Waitress::SPRITE_COUNT; ++i)
                    EXPECT_FALSE(pMode->getWaitress()->getSprite(i)->collidePixels(p, 1, 0))
                        << sScene << ", stations " << nStations << ": she stands over the sign of drink " << pSource->getDrink();
            }
            EXPECT_EQ(nSigns, 1) << sScene << ", stations " << nStations << ", drink " << pSource->getDrink();
        }
        closeEveryMode();
    }
}

// Twenty minutes of a timed level on each scene with nobody served: guests
// come, run out of patience and go, and VIPs keep coming among them.
TEST_F(GeneratedContent, VipsKeepComingThroughALongLevel) {
    for (int nScene = 0; nScene < 5; ++nScene) {
        std::string sScene = "scene" + std::to_string(nScene);
        Tsl::seedGameRand(std::uint32_t(nScene + 1));
        QarnPlayer player;
        Tsl::SmartPtr<PlayMode> pMode = openBar(sScene, player, 20);
        pMode->getSpawnManager()->getRandom().setSeed(std::uint32_t(nScene + 1));
        int nGuests = 0, nVips = 0;
        Tsl::List<Tsl::SmartPtr<Character>> lSeated = pMode->getField()->m_lSeatOccupants;
        for (int nFrame = 0; nFrame < 20 * 60 * 2; ++nFrame) {
            frame(500);
            const Tsl::List<Tsl::SmartPtr<Character>>& lNow = pMode->getField()->m_lSeatOccupants;
            for (int i = 0; i < lNow.getCount(); ++i) {
                if (!lNow.getAt(i) || lNow.getAt(i) == lSeated.getAt(i)) continue;
                ++nGuests;
                nVips += lNow.getAt(i)->isVip();
            }
            lSeated = lNow;
        }
        EXPECT_GT(nGuests, 50) << sScene;
        EXPECT_GT(nVips, 1) << sScene << ": " << nGuests << " guests";
        closeEveryMode();
    }
}

// The first ten story days at each difficulty, a waitress who takes an order
// 3 s after it is asked and brings the drink 6 s later, one guest at a time:
// no day leaves the bar empty with nobody due for long before it closes.
TEST_F(GeneratedContent, NoStoryDayLeavesTheBarEmptyLongBeforeClosing) {
    float afHalfIn[3] = {};  // when half of each day's guests had come, added up
    for (int nDifficulty = 0; nDifficulty < 3; ++nDifficulty) {
        for (int nDay = 0; nDay < StoryRules::LEVELS_PER_STAGE; ++nDay) {
            Tsl::seedGameRand(std::uint32_t(nDay + 1));
            QarnPlayer player;
            player.m_nStoryLevel = nDay;
            Tsl::SmartPtr<PlayMode> pMode = openBar("scene0", player, -1, 0, nDifficulty);
            pMode->getSpawnManager()->getRandom().setSeed(std::uint32_t(nDay + 1));
            const PlayField& field = *pMode->getField();
            float fBusyUntil = 0.0f, fWaitressFree = 0.0f;
            int nCustomers = field.m_nCustomersToCome;
            float fHalfIn = 0.0f;
            for (int nFrame = 0; nFrame < 8 * 60 * 5 && pMode->getPhase() == PlayMode::PHASE_PLAYING; ++nFrame) {
                frame();
                float fNow = field.m_fSecondsPlayed;
                if (field.m_nCustomersToCome * 2 > nCustomers) fHalfIn = fNow;
                for (const Tsl::SmartPtr<Character>& pGuest : field.m_lSeatOccupants) {
                    if (!pGuest) continue;
                    fBusyUntil = fNow;
                    // Asking or waiting, its meter ran down by the time she needs to come.
                    bool bAsked = pGuest->getState() == Character::STATE_ASKING;
                    float fNeed = bAsked ? 3.0f : 6.0f;
                    if (fNow < fWaitressFree || pGuest->getPatience() - pGuest->getPatienceLeft() < fNeed) continue;
                    if (!bAsked && pGuest->getState() != Character::STATE_WAITING) continue;
                    fWaitressFree = fNow + fNeed;
                    bAsked ? pGuest->takeOrder() : pGuest->serve(filledGlass(pMode.get(), pGuest->getOrder()));
                }
            }
            EXPECT_LT(60.0f * StoryRules::levelValues(nDay, nDifficulty).nMinutes - fBusyUntil, 15.0f)
                << "day " << nDay + 1 << ", difficulty " << nDifficulty;
            afHalfIn[nDifficulty] += fHalfIn;
            closeEveryMode();
        }
    }
    // The harder the story, the sooner in the day its guests come: half of
    // them are in a good while earlier.
    for (int nDifficulty = 1; nDifficulty < 3; ++nDifficulty)
        EXPECT_LT(afHalfIn[nDifficulty], 0.97f * afHalfIn[nDifficulty - 1]) << "difficulty " << nDifficulty;
}

// The middle of a picture on the screen: of its canvas, or of the box
// around what it draws.
Point middleOf(const Sprite* pPicture, bool bDrawn = false) {
    Image* pImage = pPicture->getDrawImage();
    int nLeft = pImage->getWidth(), nTop = pImage->getHeight(), nRight = 0, nBottom = 0;
    for (int y = 0; y < pImage->getHeight(); ++y)
        for (int x = 0; x < pImage->getWidth(); ++x)
            if (!bDrawn || !pImage->isTransparentAt(x, y, 0)) {
                nLeft = std::min(nLeft, x), nRight = std::max(nRight, x + 1);
                nTop = std::min(nTop, y), nBottom = std::max(nBottom, y + 1);
            }
    return pPicture->localToScreen(Point((nLeft + nRight) / 2, (nTop + nBottom) / 2));
}

// What a click at the point reaches: "spot", "balloon", "another target" or "nothing".
std::string reached(PlayMode* pMode, const Point& p, const ActionSpot* pTarget) {
    bool bBalloon = false;
    Tsl::SmartPtr<ActionSpot> pHit = pMode->hitTarget(int(p.x), int(p.y), bBalloon);
    if (!pHit || pHit != pTarget) return pHit ? "another target" : "nothing";
    return bBalloon ? "balloon" : "spot";
}

// The mode's pictures of an image ("prop_table").
std::vector<Sprite*> picturesOf(PlayMode* pMode, const std::string& sImage) {
    std::vector<Sprite*> aFound;
    for (Sprite* pSprite : spritesOf(*pMode))
        if (pSprite->getImage() && sImage == pSprite->getImage()->getName().c_str()) aFound.push_back(pSprite);
    return aFound;
}

// No picture of an owner drawn over another owner's, nor over the pictures
// of the field's targets but the seats (the coasters' glasses with them).
void expectApart(PlayMode* pMode, std::vector<std::pair<int, Sprite*>> aShown, const std::string& sWhen) {
    for (const Tsl::SmartPtr<ActionSpot>& pSpot : pMode->getSpots()) {
        if (dynamic_cast<CharacterSpot*>(pSpot.get())) continue;
        for (const Tsl::SmartPtr<Sprite>& pPicture : pSpot->getPictures()) aShown.push_back({-1, pPicture.get()});
        GlassSpot* pCoaster = dynamic_cast<GlassSpot*>(pSpot.get());
        if (pCoaster && pCoaster->getGlass()) aShown.push_back({-1, pCoaster->getGlass()->getSprite()});
    }
    for (const auto& a : aShown)
        for (const auto& b : aShown)
            if (a.first >= 0 && b.first != a.first) {
                EXPECT_FALSE(a.second->collidePixels(b.second, 1, 0))
                    << sWhen << ": " << a.first << " at " << a.second->getX() << " over " << b.first << " at "
                    << b.second->getX();
            }
}

// No balloon picture (the question, the drink, the meter) draws over a
// target or another guest's: one balloon's pictures share their middle x.
// Nor does the board put up at closing time.
void expectBalloonsClear(PlayMode* pMode, const std::string& sWhen) {
    std::vector<std::pair<int, Sprite*>> aShown;
    for (Sprite* p : spritesOf(*pMode)) {
        std::string sName = p->getDrawImage() ? p->getDrawImage()->getName().c_str() : "";
        bool bBoard = sName == Names::IMG_CLOSING_BANNER;
        if (p->isVisible() && (bBoard || !sName.rfind("balloon_", 0) || !sName.rfind("order_", 0)))
            aShown.push_back({bBoard ? INT_MAX : int(middleOf(p).x), p});
    }
    expectApart(pMode, aShown, sWhen + ", the balloon at x");
    // Its tail points down to the left: a balloon moved left of its guest
    // would point at the neighbour. Every shipped seat finds room on the right.
    for (const Tsl::SmartPtr<ActionSpot>& pSpot : pMode->getSpots()) {
        if (auto* pSeat = dynamic_cast<CharacterSpot*>(pSpot.get())) {
            EXPECT_GE(pSeat->getBalloonShiftX(), 0) << sWhen << ", seat " << pSeat->getSeat();
        }
    }
}

// Every scene at every upgrade level, the bar closed, a glass on each
// coaster and each seat taken by a guest who asks, then drinks, then leaves
// its glass: a click at the middle of any target's picture (and of what a
// spot's picture draws) reaches it, whatever is drawn around; a guest's face
// does too once its balloon is gone; an empty seat shows nothing to click. No
// balloon, asking or showing the order, draws over a station or another
// guest's balloon, nor does the closing board, which stays clear of the
// waitress at the top of every walk area too.
TEST_F(GeneratedContent, AClickOnTheMiddleOfEveryTargetsPictureReachesIt) {
    for (int nScene = 0; nScene < 5; ++nScene)
        for (int nLevel = 0; nLevel < 5; ++nLevel) {
            std::string sAt = "scene" + std::to_string(nScene) + " level " + std::to_string(nLevel);
            QarnPlayer player;
            Tsl::List<Tsl::SmartPtr<Character>> lGuests;
            Tsl::SmartPtr<PlayMode> pMode = furnishedBar(nScene, nLevel, player, lGuests, true);
            std::vector<Sprite*> aBoard = picturesOf(pMode.get(), Names::IMG_CLOSING_BANNER);
            ASSERT_EQ(aBoard.size(), 1u) << sAt;
            for (const WalkArea& area : pMode->getScene().m_lWalkAreas)
                for (int nX = area.m_nLeft; nX <= area.m_nRight; nX += 20) {
                    pMode->getWaitress()->setPosition(float(nX), float(area.m_nTop));
                    pMode->getWaitress()->updateScale();
                    for (int i = 0; i < Waitress::SPRITE_COUNT; ++i) {
                        Tsl::SmartPtr<AnimSprite> pPart = pMode->getWaitress()->getSprite(i);
                        EXPECT_FALSE(pPart->isVisible() && aBoard[0]->collidePixels(pPart, 1, 0)) << sAt << ", her at " << nX;
                    }
                }
            for (const Tsl::SmartPtr<ActionSpot>& pSpot : pMode->getSpots())
                if (GlassSpot* pCoaster = dynamic_cast<GlassSpot*>(pSpot.get())) {
                    EXPECT_EQ(reached(pMode.get(), middleOf(pCoaster->getPictures().getFirst()), pCoaster), "spot")
                        << sAt << ": the empty coaster at " << pCoaster->getX();
                    pMode->getWaitress()->setHandContents(filledGlass(pMode.get(), 1));
                    pCoaster->doAction(0);
                }
            auto expectEveryTarget = [&](const char* pszWhen) {
                for (const Tsl::SmartPtr<ActionSpot>& pSpot : pMode->getSpots()) {
                    std::string sWhat = sAt + pszWhen + ": the spot at " + std::to_string(pSpot->getX());
                    CharacterSpot* pSeat = dynamic_cast<CharacterSpot*>(pSpot.get());
                    std::vector<const Sprite*> aShown;
                    for (const Tsl::SmartPtr<Sprite>& pPicture : pSpot->getPictures()) {
                        aShown.push_back(pPicture.get());
                        EXPECT_EQ(reached(pMode.get(), middleOf(pPicture, true), pSpot), "spot") << sWhat << ", drawn";
                    }
                    if (!pSeat) {
                        EXPECT_FALSE(aShown.empty()) << sWhat << " shows nothing";
                    }
                    if (GlassSpot* pCoaster = dynamic_cast<GlassSpot*>(pSpot.get()))
                        aShown.push_back(pCoaster->getGlass()->getSprite());
                    Tsl::SmartPtr<Character> pGuest = pSeat ? pSeat->getCharacter() : nullptr;
                    Tsl::SmartPtr<Mug> pGlass = pGuest                               ? pGuest->getGlass()
                                                : pSeat && pSeat->hasUsedGlass() ? pSeat->getUsedGlasses().getFirst()
                                                                                 : nullptr;
                    if (pGuest) aShown.push_back(pGuest->getSprite().get());
                    if (pGlass && pGlass->getSprite()->isVisible()) aShown.push_back(pGlass->getSprite());
                    for (const Sprite* pShown : aShown)
                        EXPECT_EQ(reached(pMode.get(), middleOf(pShown), pSpot), "spot") << sWhat;
                    if (pGuest && pGuest->getBalloon()->isShown()) {
                        for (const Tsl::SmartPtr<Sprite>& pPicture : pGuest->getBalloon()->getPictures())
                            EXPECT_EQ(reached(pMode.get(), middleOf(pPicture), pGuest->getBalloon().get()), "balloon")
                                << sWhat;
                    }
                }
            };
            expectEveryTarget(", every seat taken");
            expectBalloonsClear(pMode.get(), sAt + ", every guest asking");
            // Once the order is taken, the balloon showing the drink is its guest's.
            for (const Tsl::SmartPtr<Character>& pGuest : lGuests) {
                pGuest->takeOrder();
                int nDrinks = 0;
                const char* pszOrder = pGuest->wantsDecoration() ? Names::IMG_ORDER_DECORATED_DRINK_FORMAT
                                                                 : Names::IMG_ORDER_DRINK_FORMAT;
                std::string sDrink = Tsl::String::format(pszOrder, pGuest->getOrder()).c_str();
                for (Sprite* pDrink : picturesOf(pMode.get(), sDrink))
                    if (pDrink->isVisible() && int(middleOf(pDrink).x) == pGuest->getBalloon()->getX() &&
                        std::abs(middleOf(pDrink).y - pGuest->getBalloon()->getY()) < 2) {
                        ++nDrinks;
                        EXPECT_EQ(reached(pMode.get(), middleOf(pDrink), pMode->getField()->m_lSeatSpots.getAt(pGuest->getSeat())),
                                  "spot") << sAt << ": the drink over seat " << pGuest->getSeat();
                    }
                EXPECT_EQ(nDrinks, 1) << sAt << ": the drink over seat " << pGuest->getSeat();
            }
            expectBalloonsClear(pMode.get(), sAt + ", every order taken");
            serveEveryone(pMode.get(), lGuests);
            expectEveryTarget(", every guest drinking");
            std::vector<Point> aFaces;
            for (const Tsl::SmartPtr<Character>& pGuest : lGuests) {
                Rect r = pGuest->getSprite()->getScreenRect();
                aFaces.push_back(Point(pGuest->getX(), r.top + r.getHeight() / 5));
                EXPECT_EQ(reached(pMode.get(), aFaces.back(), pMode->getField()->m_lSeatSpots.getAt(pGuest->getSeat())),
                          "spot") << sAt << ": the face of the guest on seat " << pGuest->getSeat();
                for (int nSip = 0; nSip < Mug::FULL_SIPS; ++nSip) pGuest->update(Character::SIP_SECONDS);
                pMode->removeCharacter(pGuest);
            }
            expectEveryTarget(", the guests gone");
            for (const Tsl::SmartPtr<Character>& pGuest : lGuests) {
                pMode->getField()->m_lSeatSpots.getAt(pGuest->getSeat())->doAction(0);  // she takes the used glass
                pMode->getWaitress()->takeHandContents(0)->detach();
                EXPECT_EQ(reached(pMode.get(), aFaces[pGuest->getSeat()], nullptr), "nothing") << sAt;
            }
            closeEveryMode();
        }
}

// Whether the sequence a guest plays draws nothing but the guest: no frame
// that its asking (the plain look, head up and down) does not draw too.
bool drawsOnlyItsLook(AnimSprite* pGuest) {
    Tsl::SmartPtr<Animation> pLooks = pGuest->getAnimation();
    std::set<Image*> looks;
    for (int f = 0; f < pLooks->getFrameCount(Names::SEQ_CUSTOMER_ASK); ++f)
        looks.insert(pLooks->getFrameImage(Names::SEQ_CUSTOMER_ASK, f).get());
    const char* pszPlaying = pGuest->getSequenceName().c_str();
    for (int f = 0; f < pLooks->getFrameCount(pszPlaying); ++f)
        if (!looks.count(pLooks->getFrameImage(pszPlaying, f).get())) return false;
    return true;
}

// Every scene at every upgrade level, each seat taken: the box around what
// each picture shows, which the seats are laid out by, is the one a scan
// pixel by pixel finds. A guest on a chair
// sits on it behind its table, clear of the counter, and the waitress can
// walk to her place beside the table, in front of it. The glass served stands
// on the surface before its guest: the counter (where the waitress serving
// at the counter does not hide it) or the table, drawn on the same side of
// her as that surface wherever she walks; a VIP holds the drink served in
// its hand, then leaves the glass on the small table beside it.
TEST_F(GeneratedContent, GuestsAndTheirGlassesStandWhereTheyBelong) {
    for (int nScene = 0; nScene < 5; ++nScene)
        for (int nLevel = 0; nLevel < 5; ++nLevel) {
            std::string sAt = "scene" + std::to_string(nScene) + " level " + std::to_string(nLevel);
            QarnPlayer player;
            Tsl::List<Tsl::SmartPtr<Character>> lGuests;
            Tsl::SmartPtr<PlayMode> pMode = furnishedBar(nScene, nLevel, player, lGuests);
            for (Sprite* p : spritesOf(*pMode))
                EXPECT_EQ(p->getDrawImage()->getCoveredRect(0), scannedBox(p->getDrawImage()))
                    << sAt << ", " << p->getDrawImage()->getName().c_str();
            Sprite* pCounter = picturesOf(pMode.get(), "sc" + std::to_string(nScene) + "_counter").at(0);
            Sprite* pSand = picturesOf(pMode.get(), "sc" + std::to_string(nScene) + "_back").at(0);
            Waitress* pWaitress = pMode->getWaitress();
            auto imageOf = [](Mug* pGlass) { return std::string(pGlass->getSprite()->getImage()->getName().c_str()); };
            // The surface picture at the glass's foot: the topmost drawn below it.
            auto surfaceUnder = [&](Mug* pGlass) {
                Sprite* pTop = nullptr;
                for (const char* pszTable : {"prop_table", "prop_side_table"})
                    for (Sprite* p : picturesOf(pMode.get(), pszTable))
                        if (pictureHit(p, pGlass->getX(), pGlass->getY() - 1) >= 0) pTop = p;
                if (!pTop && pictureHit(pCounter, pGlass->getX(), pGlass->getY() - 1) >= 0) pTop = pCounter;
                return pTop ? pTop : pSand;
            };
            auto expectOnSurface = [&](Mug* pGlass, Sprite* pSurface, int nUseX, int nUseY, const std::string& sWhat) {
                EXPECT_EQ(surfaceUnder(pGlass), pSurface) << sWhat;
                EXPECT_GT(pGlass->getZOrder(), pSurface->getZOrder()) << sWhat;
                for (const WalkArea& area : pMode->getScene().m_lWalkAreas)
                    EXPECT_EQ(area.m_nDepth > pSurface->getZOrder(), area.m_nDepth > pGlass->getZOrder())
                        << sWhat << ", floor at depth " << area.m_nDepth;
                if (pSurface != pCounter) return;
                pWaitress->setPosition(float(nUseX), float(nUseY));
                pWaitress->updateScale();  // a move scales her by where she stood before it
                pWaitress->setHeading(Waitress::NORTH);
                EXPECT_FALSE(pWaitress->getSprite(0)->collidePixels(pGlass->getSprite(), 1, 0))
                    << sWhat << ": on her head";
            };
            serveEveryone(pMode.get(), lGuests);
            for (const Tsl::SmartPtr<Character>& pGuest : lGuests) {
                std::string sSeat = sAt + " seat " + std::to_string(pGuest->getSeat());
                Tsl::SmartPtr<CharacterSpot> pSeat = pMode->getField()->m_lSeatSpots.getAt(pGuest->getSeat());
                Mug* pGlass = pGuest->getGlass().get();
                EXPECT_EQ(pGlass->isDecorated(), imageOf(pGlass).find("_deco") != std::string::npos)
                    << sSeat << ": decorated as served";
                // One glass a drink, the one served: the guest's look draws
                // none; a VIP holds it against its figure.
                EXPECT_TRUE(drawsOnlyItsLook(pGuest->getSprite().get())) << sSeat << ": two glasses";
                if (pGuest->isVip()) {
                    Point middle = middleOf(pGlass->getSprite(), true);
                    EXPECT_TRUE(pGlass->getSprite()->isVisible() &&
                                pictureHit(pGuest->getSprite().get(), int(middle.x), int(middle.y)) >= 0)
                        << sSeat << ": not in its hand";
                    for (int nSip = 0; nSip < Mug::FULL_SIPS; ++nSip) pGuest->update(Character::SIP_SECONDS);
                    EXPECT_NE(surfaceUnder(pGlass), pSand) << sSeat << ": left on the sand";
                    expectOnSurface(pGlass, surfaceUnder(pGlass), 0, 0, sSeat);
                    continue;
                }
                if (pGuest->getSeatKind() == 0) {
                    expectOnSurface(pGlass, pCounter, pSeat->getUseX(), pSeat->getUseY(), sSeat);
                    continue;
                }
                Rect guest = pGuest->getSprite()->getScreenRect();
                EXPECT_FALSE(guest.overlaps(pCounter->getScreenRect())) << sSeat << ": behind the counter";
                int nChairs = 0;
                for (Sprite* pChair : picturesOf(pMode.get(), "prop_chair"))
                    nChairs += pChair->getX() == pGuest->getX() && pChair->getZOrder() < pGuest->getDepth();
                EXPECT_EQ(nChairs, 1) << sSeat << ": on a chair of its own";
                Sprite* pTable = surfaceUnder(pGlass);
                expectOnSurface(pGlass, pTable, 0, 0, sSeat);
                EXPECT_TRUE(pTable->getScreenRect().contains(pGuest->getX(), pGuest->getY() - 1) &&
                            pTable->getZOrder() > pGuest->getDepth()) << sSeat << ": its feet in view";
                EXPECT_TRUE(pMode->walkTo(pSeat->getUseX(), pSeat->getUseY())) << sSeat << ": no way there";
                pMode->stopWalking();
                EXPECT_GT(pMode->getWalkAreaDepth(pSeat->getUseX(), pSeat->getUseY()), pTable->getZOrder()) << sSeat;
            }
            // A decorated glass shows its decoration held and on a coaster.
            for (const Tsl::SmartPtr<ActionSpot>& pSpot : pMode->getSpots())
                if (GlassSpot* pCoaster = dynamic_cast<GlassSpot*>(pSpot.get())) {
                    std::string sCoaster = sAt + " coaster at " + std::to_string(pCoaster->getX());
                    Tsl::SmartPtr<Mug> pGlass = filledGlass(pMode.get(), 0);
                    pGlass->decorate();
                    pWaitress->setHandContents(pGlass);
                    EXPECT_EQ(pWaitress->hasTray() ? "mug_tray_drink0_deco" : "mug_drink0_deco", imageOf(pGlass.get()))
                        << sCoaster << ", held";
                    pCoaster->doAction(0);
                    EXPECT_EQ("mug_drink0_deco", imageOf(pGlass.get())) << sCoaster;
                    expectOnSurface(pGlass.get(), pCounter, pCoaster->getUseX(), pCoaster->getUseY(), sCoaster);
                }
            // Three more guests in turn on every seat, none of the glasses
            // cleared: each stands on its seat's surface, clear of the other
            // seats' glasses and the field's targets.
            for (int nRound = 1; nRound < 4; ++nRound) {
                for (int i = 0; i < lGuests.getCount(); ++i) {
                    Tsl::SmartPtr<Character>& pGuest = lGuests.getNode(i)->data;
                    for (int nSip = 0; nSip < Mug::FULL_SIPS; ++nSip) pGuest->update(Character::SIP_SECONDS);
                    pMode->removeCharacter(pGuest);
                    pGuest = seatGuest(pMode.get(), pGuest->getSeat());
                    pGuest->update(Character::ARRIVE_SECONDS);
                }
                serveEveryone(pMode.get(), lGuests);
            }
            std::vector<std::pair<int, Sprite*>> aShown;  // seat, picture
            for (const Tsl::SmartPtr<Character>& pGuest : lGuests) {
                const Tsl::List<Tsl::SmartPtr<Mug>>& lLeft =
                    pMode->getField()->m_lSeatSpots.getAt(pGuest->getSeat())->getUsedGlasses();
                for (const Tsl::SmartPtr<Mug>& pGlass : lLeft) {
                    EXPECT_EQ(surfaceUnder(pGlass.get()), surfaceUnder(lLeft.getFirst().get()))
                        << sAt << " seat " << pGuest->getSeat() << ": a glass off its surface at " << pGlass->getX();
                    aShown.push_back({pGuest->getSeat(), pGlass->getSprite()});
                }
                aShown.push_back({pGuest->getSeat(), pGuest->getGlass()->getSprite()});
            }
            expectApart(pMode.get(), aShown, sAt + ", the glass of seat");
            closeEveryMode();
        }
}

// The hint given as an order is taken tells the player to click the source
// of the drink: on every scene, for a guest at any seat, it leaves the
// sources (their signs) and the sink in sight.
TEST_F(GeneratedContent, TheOrderHintLeavesWhatItSendsThePlayerToInSight) {
    for (int nScene = 0; nScene < 5; ++nScene) {
        QarnPlayer player;
        Tsl::SmartPtr<PlayMode> pMode = openBar("scene" + std::to_string(nScene), player, 3);
        for (int nSeat = 0; nSeat < pMode->getField()->m_lSeatSpots.getCount(); ++nSeat) {
            Tsl::SmartPtr<Character> pGuest = seatGuest(pMode.get(), nSeat);
            pGuest->update(Character::ARRIVE_SECONDS);
            player.m_abTipShown[PlayMode::TIP_ORDER_TAKEN] = false;
            pGuest->takeOrder();
            Rect bubble = pMode->getTip()->getBounds();
            ASSERT_FALSE(pMode->getTip()->isHidden());
            for (const Tsl::SmartPtr<ActionSpot>& pSpot : pMode->getSpots())
                if (dynamic_cast<LiquidButton*>(pSpot.get()) || dynamic_cast<TrashBin*>(pSpot.get())) {
                    for (const Tsl::SmartPtr<Sprite>& pPicture : pSpot->getPictures())
                        EXPECT_FALSE(bubble.overlaps(pPicture->getScreenRect()))
                            << "scene" << nScene << " seat " << nSeat << ": " << bubble.toString().c_str();
                }
            pMode->getTip()->hide();
            pGuest->leave();
        }
        closeEveryMode();
    }
}

// The log lines of refused scene lines. A line that turns a named sprite of
// a place not furnished at these levels finds no sprite, as it should.
std::string refusedLines(const std::string& sLog) {
    std::string sRefused;
    size_t nStart = 0;
    while (nStart < sLog.size()) {
        size_t nEnd = sLog.find('\n', nStart);
        if (nEnd == std::string::npos) nEnd = sLog.size();
        std::string sLine = sLog.substr(nStart, nEnd - nStart);
        if (sLine.find("skip") != std::string::npos && sLine.find("no sprite named") == std::string::npos)
            sRefused += sLine + "\n";
        nStart = nEnd + 1;
    }
    return sRefused;
}

// The trail's flowers are drawn above the sites and the palms: no flower of
// the map lies over a building's picture in any look of its site, and
// neither a flower nor the marker at any stop lies over a palm. No palm lies
// over a site, its caption with it.
TEST_F(GeneratedContent, TheMapsFlowersStandClearOfEverySite) {
    typedef StoryManagerMode Smm;
    const int ALPHA_SEEN = 32;
    // The pixels of the picture centred on route point i that lie over the cover drawn at (left, top).
    auto covered = [&](const char* pszOnTrail, int i, const Tsl::SmartPtr<Image>& pCover, int nCoverLeft,
                       int nCoverTop) {
        Tsl::SmartPtr<Image> pOnTrail = app.getImage(pszOnTrail);
        int nLeft = Smm::MAP_ROUTE[i].nX - pOnTrail->getWidth() / 2 - nCoverLeft;
        int nTop = Smm::MAP_ROUTE[i].nY - pOnTrail->getHeight() / 2 - nCoverTop;
        int nCovered = 0;
        for (int y = 0; y < pOnTrail->getHeight(); ++y)
            for (int x = 0; x < pOnTrail->getWidth(); ++x)
                nCovered += !pOnTrail->isTransparentAt(x, y, ALPHA_SEEN) &&
                            !pCover->isTransparentAt(nLeft + x, nTop + y, ALPHA_SEEN);
        return nCovered;
    };
    auto flower = [](int i) {
        bool bLarge = i % 10 == 0 || i == Smm::ROUTE_POINTS - 1;
        return bLarge ? Names::IMG_FLOWER_AHEAD_LARGE : Names::IMG_FLOWER_AHEAD_SMALL;
    };
    std::vector<Tsl::SmartPtr<Image>> sites;
    for (int s = 0; s < Smm::SITE_COUNT; ++s)
        for (const char* pszLook : {Names::MAP_SITE_NORMAL, Names::MAP_SITE_DISABLED, Names::MAP_SITE_HIGHLIGHT}) {
            Tsl::String sSite = Tsl::String::format(Names::IMG_MAP_SITE_FORMAT, Smm::MAP_SITES[s].pszName, pszLook);
            sites.push_back(app.getImage(sSite.c_str()));
            for (int i = 0; i < Smm::ROUTE_POINTS; ++i)
                EXPECT_EQ(0, covered(flower(i), i, app.getImage(sSite.c_str()), 0, 0))
                    << sSite.c_str() << " under the flower of level " << i;
        }
    Tsl::SmartPtr<Animation> pPalms = app.getAnimation(Names::ANIM_MAP_PALM);
    for (const char* pszPalm : Names::SEQ_PALMS)  // its sprites stand at (0, 0)
        for (int f = 0; f < pPalms->getFrameCount(pszPalm); ++f) {
            Tsl::SmartPtr<Image> pFrame = pPalms->getFrameImage(pszPalm, f);
            for (int i = 0; i < Smm::ROUTE_POINTS; ++i)
                for (const char* pszOnTrail : {flower(i), Names::IMG_MAP_MARKER})
                    EXPECT_EQ(0, covered(pszOnTrail, i, pFrame, -pFrame->getInsPointX(), -pFrame->getInsPointY()))
                        << pszPalm << " under " << pszOnTrail << " at level " << i;
            for (const Tsl::SmartPtr<Image>& pSite : sites)  // drawn at (0, 0), as the palms
                for (int y = 0; y < pFrame->getHeight(); ++y)
                    for (int x = 0; x < pFrame->getWidth(); ++x)
                        ASSERT_TRUE(pFrame->isTransparentAt(x, y, ALPHA_SEEN) ||
                                    pSite->isTransparentAt(x - pFrame->getInsPointX(), y - pFrame->getInsPointY(), ALPHA_SEEN))
                            << pszPalm << " over " << pSite->getName().c_str();
        }
}

// The purchase dialog's preview of every store item at every level: each
// scene gives pictures, every one of them drawn, and no line is refused.
TEST_F(GeneratedContent, EveryStoreItemPreviewsAtEveryLevel) {
    Tsl::SmartPtr<GameMode> pMode = new GameMode();
    for (int nScene = 0; nScene < 5; ++nScene) {
        std::string sScene = "scene" + std::to_string(nScene);
        for (int nLevel = 0; nLevel < 5; ++nLevel) {
            UpgradeLevels anLevels;
            anLevels.fill(nLevel);
            for (int nItem = 1; nItem <= 15; ++nItem) {
                ScratchLog log;
                UpgradePreview preview(pMode.get(), anLevels, nItem);
                preview.load(sScene.c_str());
                ASSERT_FALSE(preview.getSprites().isEmpty()) << sScene << " item " << nItem;
                for (const Tsl::SmartPtr<Sprite>& pSprite : preview.getSprites()) {
                    if (!pSprite->isVisible()) continue;  // a choice of the radio buttons not taken
                    // An animation shows its picture once it has played a step.
                    if (AnimSprite* pAnim = dynamic_cast<AnimSprite*>(pSprite.get())) pAnim->update(0.125f);
                    EXPECT_GT(pSprite->getWidth(), 0) << sScene << " item " << nItem << " level " << nLevel << " at "
                                                      << pSprite->getX() << "," << pSprite->getY();
                }
                EXPECT_EQ(refusedLines(log.text()), "") << sScene << " item " << nItem << " level " << nLevel;
                pMode->removeAllSprites();
            }
        }
    }
}

// The purchase dialog's mask stands on the preview by its bottom-left corner.
// Drawn above everything, it must keep inside the dialog's panel and off the
// texts and buttons, also when the panel is at its shortest (no choices).
TEST_F(GeneratedContent, ThePurchaseMaskStandsOnThePreviewInsideTheDialog) {
    registerPlatformFontFactories();
    app.loadTheme(Names::THEME);
    QarnPlayer player;
    for (int nItem = 1; nItem <= BuyUpgradeMode::STORE_STATIONS; ++nItem) {
        Tsl::SmartPtr<BuyUpgradeMode> pDialog = new BuyUpgradeMode(&player, 0, new UpgradeManager(), nItem, "scene0", nullptr);
        app.pushMode(pDialog.get());
        Rect mask;
        for (Sprite* pSprite : spritesOf(*pDialog))
            if (pSprite->getZOrder() == BuyUpgradeMode::MASK_Z_ORDER) mask = pSprite->getScreenRect();
        ASSERT_FALSE(mask.isEmpty()) << "item " << nItem;
        EXPECT_EQ(mask.left, BuyUpgradeMode::PREVIEW_X) << "item " << nItem;
        EXPECT_EQ(mask.bottom - 1, BuyUpgradeMode::PREVIEW_Y) << "item " << nItem;  // its bottom row
        ASSERT_TRUE(pDialog->getTable()->getFrame()) << "the theme draws the panel";
        EXPECT_TRUE(pDialog->getTable()->getFrame()->getScreenRect().containsRect(mask))
            << "item " << nItem << ": " << mask.toString().c_str() << " out of "
            << pDialog->getTable()->getFrame()->getScreenRect().toString().c_str();
        for (Sprite* pCovered : {static_cast<Sprite*>(pDialog->getTextLabel().get()),
                                 static_cast<Sprite*>(pDialog->getPriceLabel().get()),
                                 static_cast<Sprite*>(pDialog->getBuyButton().get())})
            EXPECT_FALSE(mask.overlaps(pCovered->getScreenRect())) << "item " << nItem;
        pDialog->onCallback(BuyUpgradeMode::ID_CANCEL, 0);
    }
    unregisterPlatformFontFactories();
}

std::set<std::string> wordsOf(const Tsl::String& sText) {
    std::string s = sText.c_str();
    for (char& c : s) c = std::isalpha(static_cast<unsigned char>(c)) ? static_cast<char>(std::tolower(c)) : ' ';
    std::istringstream words(s);
    return std::set<std::string>(std::istream_iterator<std::string>(words), std::istream_iterator<std::string>());
}

// The group items of the store (chairs, centres, stations) at the levels that
// offer each of their choices: the description shown for a choice names no
// place that only another choice's caption names ("first", "right", ...).
TEST_F(GeneratedContent, APurchaseTextNamesNoPlaceButTheOneChosen) {
    struct Case {
        int nItem;
        int nLevel;  // of every kind
    } cases[] = {{BuyUpgradeMode::STORE_CHAIRS, 0},  {BuyUpgradeMode::STORE_CENTERS, 1},
                 {BuyUpgradeMode::STORE_STATIONS, 0}, {BuyUpgradeMode::STORE_STATIONS, 1},
                 {BuyUpgradeMode::STORE_STATIONS, 2}};
    for (const Case& c : cases) {
        QarnPlayer player;
        for (int& nLevel : player.m_anUpgrades) nLevel = c.nLevel;
        Tsl::SmartPtr<BuyUpgradeMode> pDialog = new BuyUpgradeMode(&player, 0, new UpgradeManager(), c.nItem, "scene0", nullptr);
        app.pushMode(pDialog.get());
        std::vector<std::set<std::string>> captions;
        std::set<std::string> anyCaption;
        const RadioGroup& choices = pDialog->getOptions();
        for (int i = 0; i < choices.getCount(); ++i) {
            Tsl::SmartPtr<RadioButton> pChoice = choices.getAt(i);
            captions.push_back(wordsOf(pChoice->getCaption()->getText()));
            anyCaption.insert(captions.back().begin(), captions.back().end());
        }
        ASSERT_GE(captions.size(), 2u) << "item " << c.nItem << " level " << c.nLevel;
        for (int i = 0; i < choices.getCount(); ++i) {
            Tsl::SmartPtr<RadioButton> pChoice = choices.getAt(i);
            pDialog->onCallback(pChoice->getId(), 0);
            const std::set<std::string>& own = captions[i];
            for (const std::string& sWord : wordsOf(pDialog->getTextLabel()->getText())) {
                bool bAnotherPlace = anyCaption.count(sWord) && !own.count(sWord);
                EXPECT_FALSE(bAnotherPlace) << "\"" << pDialog->getTextLabel()->getText().c_str() << "\" for \""
                                            << pChoice->getCaption()->getText().c_str() << "\"";
            }
        }
        app.endMode(pDialog.get());
    }
}

// Where a picture shows pixels, within its own box.
Rect pixelsOf(const Tsl::SmartPtr<Image>& pImage) {
    Rect box(pImage->getWidth(), pImage->getHeight(), 0, 0, false);
    for (int y = 0; y < pImage->getHeight(); ++y)
        for (int x = 0; x < pImage->getWidth(); ++x)
            if (!pImage->isTransparentAt(x, y, 32))
                box = Rect(std::min(box.left, x), std::min(box.top, y), std::max(box.right, x + 1),
                           std::max(box.bottom, y + 1));
    return box;
}

// Where the sprite of that picture shows pixels, on the screen.
Rect drawnBox(const GameMode& mode, const char* pszImage) {
    Tsl::SmartPtr<Image> pImage = GameApp::getInstance()->getImage(pszImage);
    for (Sprite* pSprite : spritesOf(mode)) {
        if (pSprite->getImage() != pImage) continue;
        Rect box = pixelsOf(pImage), screen = pSprite->getScreenRect();
        return Rect(screen.left + box.left, screen.top + box.top, screen.left + box.right, screen.top + box.bottom);
    }
    return Rect();
}

// The generated content with its theme's fonts, as the screens draw texts.
struct ThemedContent : GeneratedContent {
    void SetUp() override {
        GeneratedContent::SetUp();
        registerPlatformFontFactories();
        app.loadTheme(Names::THEME);
    }
    void TearDown() override {
        unregisterPlatformFontFactories();
        GeneratedContent::TearDown();
    }
};

// The menu's welcome line stays on its card for any name a profile may
// have: a long one is drawn smaller, one too wide even then is cut. The
// sign post stands clear of the bar hut.
TEST_F(ThemedContent, TheWelcomeLineStaysOnItsCard) {
    struct Case {
        const char* pszName;
        bool bShownWhole;
    } cases[] = {{"Ann", true}, {"Alexandra Montgomery", true}, {"WWWWWWWWWWWWWWWWWWWW", false}};
    for (const Case& c : cases) {
        app.setSetting(Names::SET_CURRENT_PLAYER, getPlayerManager()->createProfile(c.pszName)->getName().c_str());
        Tsl::SmartPtr<MenuMode> pMenu = new MenuMode();
        app.pushMode(pMenu.get());
        Rect card = drawnBox(*pMenu, "menu_estatico_5");
        for (Sprite* pPart : {static_cast<Sprite*>(pMenu->getNameLabel().get()), pMenu->getWelcome().get()})
            EXPECT_TRUE(card.containsRect(pPart->getScreenRect()))
                << c.pszName << ": " << pPart->getScreenRect().toString().c_str() << " off " << card.toString().c_str();
        EXPECT_EQ(c.bShownWhole, pMenu->getNameLabel()->getText() == c.pszName) << c.pszName;
        EXPECT_FALSE(drawnBox(*pMenu, "menu_estatico_4").overlaps(drawnBox(*pMenu, "menu_fondo_2")));
        app.endMode(pMenu.get());
        destroyPlayerManager();
    }
}

// WCAG's relative luminance of what is drawn, and the contrast of two.
double luminance(const Color& c) {
    auto linear = [](int n) { return n <= 10 ? n / 3294.6 : std::pow((n / 255.0 + 0.055) / 1.055, 2.4); };
    return 0.2126 * linear(c.r) + 0.7152 * linear(c.g) + 0.0722 * linear(c.b);
}
double contrast(double fA, double fB) { return (std::max(fA, fB) + 0.05) / (std::min(fA, fB) + 0.05); }

// The text colour of each label against the middle luminance of what the
// topmost pictures beneath it draw over its box: it reads at a glance.
void expectLabelsRead(const GameMode& mode, const std::string& sWhere) {
    for (Sprite* pSprite : spritesOf(mode)) {
        const Label* pLabel = dynamic_cast<const Label*>(pSprite);
        if (!pLabel || pLabel->getText().isEmpty()) continue;
        std::vector<double> lBehind;
        Rect box = pLabel->getScreenRect();
        for (int y = box.top; y < box.bottom; y += 2)
            for (int x = box.left; x < box.right; x += 2) {
                Point p(static_cast<float>(x), static_cast<float>(y));
                Color drawn;
                for (Sprite* pBelow : spritesOf(mode)) {
                    if (pBelow->getZOrder() >= pLabel->getZOrder() || !pBelow->hitTestPixels(p, 127)) continue;
                    Point q = pBelow->screenToLocal(p);
                    if (pBelow->isVisible()) drawn = pBelow->getDrawImage()->getColorAt(int(q.x), int(q.y));
                }
                lBehind.push_back(luminance(drawn));
            }
        std::nth_element(lBehind.begin(), lBehind.begin() + lBehind.size() / 2, lBehind.end());
        EXPECT_GE(contrast(luminance(pLabel->getFont()->getTextColor()), lBehind[lBehind.size() / 2]), 4.5)
            << sWhere << ": " << pLabel->getText().c_str();
    }
}

// The sign (a picture of its own) stands clear of every gull's row, the
// labels in the rows the gulls fly are drawn above every gull, and every
// label reads at a glance.
void expectSignsAndLabelsShown(const GameMode& mode, const char* pszSign, const std::string& sWhere) {
    // A wandering gull keeps the height it started at, within 5 pixels of its
    // row: twice that around where it flies now is every height it may have.
    const int ROW = 10;
    int nTop = 600, nBottom = 0, nGullZ = INT_MIN;
    std::vector<Rect> aGulls;
    for (Sprite* pGull : spritesOf(mode)) {
        if (!dynamic_cast<Seagull*>(pGull)) continue;
        aGulls.push_back(pGull->getScreenRect());
        nTop = std::min(nTop, pGull->getScreenRect().top - 5);
        nBottom = std::max(nBottom, pGull->getScreenRect().bottom + 5);
        nGullZ = std::max(nGullZ, pGull->getZOrder());
    }
    bool bSign = false;
    for (Sprite* pSprite : spritesOf(mode)) {
        bool bIsSign = pSprite->getImage() && pSprite->getImage()->getName() == pszSign;
        bSign = bSign || bIsSign;
        Rect box = pSprite->getScreenRect();
        for (const Rect& gull : aGulls)
            EXPECT_TRUE(!bIsSign || box.top >= gull.bottom + ROW || box.bottom <= gull.top - ROW)
                << sWhere << ": a gull flies across " << box.toString().c_str();
        if (!dynamic_cast<Label*>(pSprite) || box.top >= nBottom || box.bottom <= nTop) continue;
        EXPECT_GT(pSprite->getZOrder(), nGullZ) << sWhere << ": a gull flies over " << box.toString().c_str();
    }
    EXPECT_TRUE(bSign) << sWhere << ": no " << pszSign << " drawn of its own";
    expectLabelsRead(mode, sWhere);
}

// Labels and signs over the sky, the sea and the sand, the gulls' rows and
// the high-score tabs, on the map of each play mode and in every bar.
TEST_F(ThemedContent, SignsStandClearOfTheGullsAndLabelsReadAtAGlance) {
    for (int nPlayMode = 0; nPlayMode < 3; ++nPlayMode) {
        QarnPlayer player;
        Tsl::SmartPtr<StoryManagerMode> pMap = new StoryManagerMode(0, 3, &player, nPlayMode);
        expectSignsAndLabelsShown(*pMap, Names::IMG_MAP_TITLE, "the map of play mode " + std::to_string(nPlayMode));
        pMap = nullptr;
        destroyPlayerManager();
    }
    for (int nScene = 0; nScene < 5; ++nScene) {
        QarnPlayer player;
        std::string sScene = "scene" + std::to_string(nScene);
        Tsl::SmartPtr<PlayMode> pMode = openBar(sScene, player, 3, 0);
        frame();
        expectSignsAndLabelsShown(*pMode, ("sc" + std::to_string(nScene) + "_sign").c_str(), sScene);
        closeEveryMode();
    }
    for (const char* pszTab : {"ui_tab_adventure", "ui_tab_relax", "ui_tab_free"}) {
        Color chosen = app.getImage((std::string(pszTab) + "_pushed").c_str())->getColorAt(20, 34);
        Color other = app.getImage((std::string(pszTab) + "_normal").c_str())->getColorAt(20, 34);
        EXPECT_GE(contrast(luminance(chosen), luminance(other)), 3.0) << pszTab;
    }
}

// Every story page says, under its captions, that a click goes on; the
// first page's hut is another once painted than when found.
TEST_F(ThemedContent, TheStoryPagesSayAClickGoesOnAndShowTheHutPainted) {
    const Rect underCaptions(0, 572, 800, 600);
    for (int nStage = 0; nStage <= StoryRules::STAGE_COUNT; ++nStage) {
        SlideList lPages;
        StoryManagerMode::buildStoryPages(nStage, lPages);
        Tsl::SmartPtr<SlideshowMode> pShow = new SlideshowMode(lPages, false, Names::MUSIC_STORY);
        app.pushMode(pShow.get());
        for (int i = 0; i < 8 && pShow->getTextLabels().getCount() == 0; ++i) frame();
        ASSERT_EQ(1, pShow->getTextLabels().getCount()) << "stage " << nStage;
        Label* pLine = pShow->getTextLabels().getAt(0).get();
        EXPECT_TRUE(pLine->getText() == app.getString(Names::STR_STO_CLICK_ON) &&
                    underCaptions.containsRect(pLine->getScreenRect()))
            << pLine->getText().c_str() << " at " << pLine->getScreenRect().toString().c_str();
        app.endMode(pShow.get());
    }
    Tsl::SmartPtr<Image> pPage = app.getImage("historieta_1");
    int nChanged = 0;  // over the hut's front, in the first panel and the third
    for (int y = 134; y < 195; ++y)
        for (int x = 199; x < 346; ++x) nChanged += pPage->getColorAt(x, y) != pPage->getColorAt(x, y + 290);
    EXPECT_GT(nChanged, 3000);
}

// The credits roll on their card: whatever part of a line shows, all the
// way through the scroll, lies on the card's paper.
TEST_F(ThemedContent, TheCreditsStayOnTheirCard) {
    Tsl::SmartPtr<QarnGameOptions> pOptions = new QarnGameOptions(nullptr, 0, 0);
    Tsl::SmartPtr<CreditsMode> pCredits = pOptions->makeCredits();
    app.pushMode(pCredits.get());
    Rect place = QarnGameOptions::getCreditsCard(), paper = pixelsOf(app.getImage(Names::IMG_CREDITS_CARD));
    Rect card(place.left + paper.left, place.top + paper.top, place.left + paper.right, place.top + paper.bottom);
    int nShown = 0;
    for (int nStep = 0; nStep < 2000 && !pCredits->isFinished(); ++nStep) {
        for (Sprite* pLine : spritesOf(*pCredits)) {
            Rect clip = pLine->getClipRect(), box = pLine->getScreenRect();
            if (clip.isEmpty()) continue;  // the background and the shade
            int nTop = std::max(box.top, clip.top), nBottom = std::min(box.bottom, clip.bottom);
            if (box.isEmpty() || nTop >= nBottom) continue;  // out of the area
            Rect shown(box.left, nTop, box.right, nBottom);
            ++nShown;
            Label* pLabel = dynamic_cast<Label*>(pLine);
            ASSERT_TRUE(card.containsRect(shown)) << (pLabel ? pLabel->getText().c_str() : "a picture") << " at "
                                                  << shown.toString().c_str() << " off " << card.toString().c_str();
        }
        pCredits->onUpdate(0.25f);
    }
    EXPECT_TRUE(pCredits->isFinished());
    EXPECT_GT(nShown, 100);
}

// Every hint ends by asking for a click on "the bubble" to close it, so a
// hint that sent the player to click a bubble for anything else would be
// read as that same click. Guests are people: the hints and the week's tips
// call a guest "they", never "it".
TEST_F(GeneratedContent, HintsSpeakOfClickingTheBubbleOnlyToCloseAndOfAGuestAsThey) {
    ASSERT_NE(std::string::npos, std::string(app.getString(Names::STR_TIP_CLOSE).c_str()).find("bubble"));
    const std::pair<const char*, int> families[] = {{Names::STR_TIP_FORMAT, PlayMode::TIP_EVENT_COUNT},
                                                     {Names::STR_RANDOM_TIP, WeekGoalDialog::RANDOM_TIP_COUNT}};
    for (const auto& family : families)
        for (int nHint = 0; nHint < family.second; ++nHint) {
            std::string sHint = app.getString(Tsl::String::format(family.first, nHint)).toLower().c_str();
            EXPECT_FALSE(&family == families && sHint.find("bubble") != std::string::npos) << sHint;
            for (const char* pszIt : {" its ", "give it "}) EXPECT_EQ(std::string::npos, sHint.find(pszIt)) << sHint;
        }
}

// The outcome banners are one plate in three colours: the stars a day earns
// are counted in the rows under it, so nothing on the won one may read as a
// rating of the day.
TEST_F(GeneratedContent, TheOutcomeBannersDrawNothingButTheirPlate) {
    Rect plate = pixelsOf(app.getImage(Names::IMG_YOU_LOSE));
    for (const char* pszBanner : {Names::IMG_YOU_WIN, Names::IMG_TIMES_UP})
        EXPECT_EQ(plate, pixelsOf(app.getImage(pszBanner))) << pszBanner;
}

// The results dialog's button reads as the texts spell it, not as its key.
TEST_F(GeneratedContent, TheResultsButtonReadsAsTheTextsSpellIt) {
    const char* const apszButtons[] = {"OK", "Exit", "OK"};  // by play mode
    for (int nPlayMode = 0; nPlayMode < 3; ++nPlayMode) {
        PlayField field;
        field.m_nPlayMode = nPlayMode;
        Tsl::SmartPtr<GameStatsMode> pStats = new GameStatsMode(&field, 0);
        app.pushMode(pStats.get());
        EXPECT_EQ(apszButtons[nPlayMode], pStats->getOkButton()->getText()) << "play mode " << nPlayMode;
        app.endMode(pStats.get());
    }
}

// A hint bubble hides what lies under its text (the map's labels, its
// trees), and a click anywhere on what it draws reaches it.
TEST_F(ThemedContent, AHintBubbleIsOpaqueAndTakesAClickAnywhereOnIt) {
    Tsl::SmartPtr<GameMode> pMode = new GameMode();
    Tip tip;
    tip.show(pMode.get(), app.getString("TIP_TEXT_15"), 200, 150, 260);
    tip.moveTo(300, 100);
    for (const Tsl::SmartPtr<Sprite>& pSprite : tip.getSprites()) {
        Rect box = pSprite->getScreenRect();
        for (int nX : {int(box.left), int(box.right) - 1})
            for (int nY : {int(box.top), int(box.bottom) - 1}) EXPECT_TRUE(tip.contains(nX, nY)) << nX << "," << nY;
    }
    Tsl::SmartPtr<Image> pFrame = tip.getSprites().getAt(0)->getImage();
    ASSERT_TRUE(pFrame);
    Rect inner(pFrame->getWidth() / 4, pFrame->getHeight() / 4, pFrame->getWidth() * 3 / 4, pFrame->getHeight() * 3 / 4);
    for (int nY = inner.top; nY < inner.bottom; nY += 7)
        for (int nX = inner.left; nX < inner.right; nX += 7)
            ASSERT_GE(pFrame->getColorAt(nX, nY).a, 250) << nX << "," << nY;  // opaque enough
}

} // namespace
#endif
