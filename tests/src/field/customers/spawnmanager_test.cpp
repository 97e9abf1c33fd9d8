// Customers: the definition files, the draw by weight, seats, tags, the
// delay and animation gate, and the generated looks, over a scripted rand().
#include "playfield_fixture.h"
#include "scratch_log.h"
#include "test_folder.h"

#include "field/customers/character.h"
#include "field/customers/characterspot.h"
#include "field/customers/customerlooks.h"
#include "field/customers/spawnmanager.h"

#include <fstream>
#include <sstream>

struct SpawnTest : PlayFieldFixture {
    Tsl::SmartPtr<PlayMode> pMode;
    SpawnManager* pSpawn = nullptr;

    void SetUp() override {
        PlayFieldFixture::SetUp();
        pMode = makeField();
        pSpawn = pMode->getSpawnManager();
        pSpawn->getRandom().setSeed(7);
    }

    void define(const std::string& sText, int nFile = 0) {
        addText(("chars_scene0_" + std::to_string(nFile)).c_str(), sText);
    }

    void load() { pSpawn->loadCharacters("scene0"); }

    // Ordinary seats at x 100, 200, ...; VIP places after them.
    void seats(int nNormal, int nVip) {
        PlayField* pField = pMode->getField();
        SeatInfo info;
        for (int i = 0; i < nNormal + nVip; ++i) {
            info.m_lSeatX.append(100 * (i + 1));
            pField->m_lSeatOccupants.append(nullptr);
            pField->m_lSeatKinds.append(0);
            pField->m_lSeatSpots.append(new CharacterSpot(pMode.get(), i, 100 * (i + 1), 250, 60, 100, 320, 0));
        }
        for (int i = 0; i < nVip; ++i) pField->m_lVipSides.append(0);
        info.m_nNormalSeatCount = nNormal;
        info.m_nSeatCount = nNormal + nVip;
        pSpawn->setSeatInfo(info);
        pField->m_fMinSpawnDelay = pField->m_fMaxSpawnDelay = 1.0f;
    }

    int indexOf(const char* pszName) {
        int i = 0;
        for (const Tsl::SmartPtr<CharacterInfo>& p : pSpawn->getCharInfos()) {
            if (p->m_sName == pszName) return i;
            ++i;
        }
        return -1;
    }

    float weightOf(const char* pszName) { return pSpawn->getCharInfos().getAt(indexOf(pszName))->m_fWeight; }

    // Frames until a customer sits; -1 when none came.
    int framesUntilCustomer(int nFrames) {
        for (int i = 1; i <= nFrames; ++i) {
            pSpawn->update(0.125f);
            if (pSpawn->getCustomerCount() > 0) return i;
        }
        return -1;
    }
};

TEST_F(SpawnTest, DefinitionFilesAreReadAcrossNumbersCommentsAndBlanks) {
    define("# the regulars\n\nhombre\t 3  # most of them\r\n   \nbob 2.0 biker beard\r\n");
    define("vip 1\nann\n", 2);  // no file 1; a name without weight is skipped
    define("never 5", 20);
    load();
    EXPECT_EQ(pSpawn->getCharInfos().getCount(), 3);
    EXPECT_FLOAT_EQ(weightOf("hombre"), 0.5f);
    EXPECT_FLOAT_EQ(weightOf("bob"), 1.0f / 3.0f);
    EXPECT_FLOAT_EQ(weightOf("vip"), 1.0f / 6.0f);
    Tsl::List<Tsl::String> lTags = pSpawn->getCharInfos().getAt(indexOf("bob"))->m_lTags;
    ASSERT_EQ(lTags.getCount(), 2);
    EXPECT_EQ(lTags.getLast(), "beard");
    EXPECT_EQ(indexOf("ann"), -1);
    EXPECT_EQ(indexOf("never"), -1);
}

TEST_F(SpawnTest, SkippedLinesAreLoggedWithFileAndLine) {
    std::string sLog = testPath("game.log");
    GameApp::openLog(sLog.c_str());
    define("hombre 1\nann\n");
    define("ghost 1\n", 1);  // a named customer without "ch_ghost.anim"
    load();
    GameApp::closeLog();
    std::stringstream text;
    text << std::ifstream(sLog).rdbuf();
    EXPECT_NE(text.str().find("chars_scene0_0, line 2"), std::string::npos) << text.str();
    EXPECT_NE(text.str().find("ch_ghost.anim"), std::string::npos) << text.str();
    EXPECT_EQ(indexOf("ghost"), -1);
}

TEST_F(SpawnTest, TheDrawFollowsTheWeightsAndRefusesBrokenOnes) {
    struct Case {
        const char* pszText;
        std::vector<int> aDraws;
        const char* pszExpected;  // null: no customer
    } cases[] = {
        {"hombre 0\nbob 1\n", {0}, "first"},  // a draw of 0 takes the first listed
        {"ann 3\n", {9999}, "ann"},
        {"bob 1\nbob 1\nann 2\n", {9999}, nullptr},  // repeated name: the shares add up to 3/4
        {"bob 0\nann 0\n", {0}, nullptr},            // zero sum
        {"bob -1\nann 2\n", {0}, nullptr},           // a negative weight
        {"bob 1e39\nann 2\n", {0}, nullptr},         // not finite as a float
        {"", {0}, nullptr},                          // no definitions
        {"vip 1\n", {0}, nullptr},                   // no VIP places
    };
    for (const Case& c : cases) {
        pMode = makeField();
        pSpawn = pMode->getSpawnManager();
        define(c.pszText);
        load();
        seats(2, 0);
        m_aRand.assign(c.aDraws.begin(), c.aDraws.end());
        int nPicked = pSpawn->pickCharacter();
        if (!c.pszExpected)
            EXPECT_EQ(nPicked, -1) << c.pszText;
        else if (std::string(c.pszExpected) == "first")
            EXPECT_EQ(nPicked, 0) << c.pszText;
        else
            EXPECT_EQ(nPicked, indexOf(c.pszExpected)) << c.pszText;
    }
}

TEST_F(SpawnTest, TheFirstCustomerWaitsTwoSecondsAndItsAnimation) {
    define("bob 1\n");
    load();
    seats(3, 0);
    script({0, 1});  // bob, seat 1, voice
    pSpawn->resetTimer();
    // 16 frames of 1/8 s reach 2 s; the animation loads meanwhile, and the
    // timer must fall below zero.
    EXPECT_EQ(framesUntilCustomer(40), 17);
    EXPECT_TRUE(pMode->getField()->m_lSeatOccupants.getAt(1));
    EXPECT_EQ(pMode->getField()->m_lSeatSpots.getAt(1)->getCharacter(), pMode->getField()->m_lSeatOccupants.getAt(1));
    EXPECT_TRUE(pSpawn->getCharInfos().getFirst()->m_bPresent);
}

TEST_F(SpawnTest, CountZeroKeepsTheCustomerPendingAndFullSeatsBringNobody) {
    define("bob 1\n");
    load();
    seats(1, 0);
    pMode->getField()->m_nCustomersToCome = 0;
    pSpawn->resetTimer();
    EXPECT_EQ(framesUntilCustomer(40), -1);
    EXPECT_EQ(pSpawn->getPending(), "bob");
    pMode->getField()->m_nCustomersToCome = 1;
    EXPECT_GT(framesUntilCustomer(40), 0);
    EXPECT_EQ(pMode->getField()->m_nCustomersToCome, 0);

    // The only seat is taken: five seat draws fail, nothing is pending.
    pMode = makeField();
    pSpawn = pMode->getSpawnManager();
    define("hombre 1\n");
    load();
    seats(1, 0);
    pMode->getField()->m_lSeatOccupants.getNode(0)->data =
        new Character(pMode.get(), "bob", 0, 100, 250, 60, false, 1, 0);
    pSpawn->update(0.125f);
    EXPECT_EQ(pSpawn->getPending(), "");
}

TEST_F(SpawnTest, VipsSitOnlyOnVipPlacesAndOrdinaryCustomersNeedASeat) {
    define("vip 1\n");
    load();
    seats(3, 2);
    script({0, 1});  // vip; place 1 of the VIP places
    pSpawn->update(0.125f);
    EXPECT_EQ(pSpawn->getPendingSeat(), 4);
    EXPECT_EQ(pSpawn->getPending().left(3), "vip");

    // No ordinary seat at all: nobody, no division by zero.
    pMode = makeField();
    pSpawn = pMode->getSpawnManager();
    define("hombre 1\n");
    load();
    seats(0, 2);
    pSpawn->update(0.125f);
    EXPECT_EQ(pSpawn->getPending(), "");
}

TEST_F(SpawnTest, TagsKeepCustomersApartAndTheRedrawIsBounded) {
    define("bob 1 biker\nann 1 biker\n");
    load();
    seats(3, 0);
    pSpawn->createCharacter(indexOf("bob"), 0);
    EXPECT_TRUE(pSpawn->hasTag("biker"));
    // Every draw shares the tag: no customer this frame, and no hang.
    pSpawn->update(0.125f);
    EXPECT_EQ(pSpawn->getPending(), "");
    pMode->removeCharacter(pMode->getField()->m_lSeatOccupants.getAt(0));
    EXPECT_FALSE(pSpawn->hasTag("biker"));
    EXPECT_FALSE(pSpawn->getCharInfos().getAt(indexOf("bob"))->m_bPresent);
    EXPECT_EQ(pSpawn->getCustomerCount(), 0);
}

TEST_F(SpawnTest, LeavingFreesWhatComingTook) {
    addText("ch_viper.anim", fixture::customerTemplate());
    define("viper 1 snake\nhombre 1 local\n");
    load();
    seats(3, 0);
    // A named customer whose name begins like a generated look.
    Tsl::SmartPtr<Character> pViper = pSpawn->createCharacter(indexOf("viper"), 0);
    pSpawn->removeCharacter(pViper);
    EXPECT_FALSE(pSpawn->getCharInfos().getAt(indexOf("viper"))->m_bPresent);
    EXPECT_FALSE(pSpawn->hasTag("snake"));
    // Generated customers' tags stay for the level; their look is free again.
    m_aRand.assign(40, 0);
    pSpawn->update(0.125f);
    Tsl::String sLook = pSpawn->getPending();
    ASSERT_EQ(pSpawn->getLooks().getCount(), 1);
    Tsl::SmartPtr<Character> pLocal = pSpawn->createCharacter(indexOf("hombre"), 1);
    pSpawn->removeCharacter(pLocal);
    EXPECT_TRUE(pSpawn->hasTag("local"));
    EXPECT_EQ(pSpawn->getLooks().getCount(), 0);
    // Somebody who never sat here: nothing happens.
    pSpawn->removeCharacter(new Character(pMode.get(), "bob", 2, 0, 0, 0, false, 1, 0));
    pSpawn->removeCharacter(nullptr);
    EXPECT_EQ(pSpawn->getCustomerCount(), 0);
}

TEST_F(SpawnTest, ABrokenAnimationDropsThePendingCustomerOnly) {
    addText("ch_bad.anim", "load px\nbogus\n");
    define("bad 1\n");
    load();
    seats(2, 0);
    pSpawn->resetTimer();
    EXPECT_EQ(framesUntilCustomer(40), -1);
    EXPECT_EQ(pSpawn->getCustomerCount(), 0);
    EXPECT_FALSE(pSpawn->getCharInfos().getFirst()->m_bPresent);
    // Its file is not read again this level.
    EXPECT_EQ(pSpawn->pickCharacter(), -1);
    // A customer whose animation is fine still comes.
    define("bob 1\n", 1);
    pMode = makeField();
    pSpawn = pMode->getSpawnManager();
    load();
    seats(2, 0);
    int nBob = indexOf("bob");
    m_aRand.assign(1, nBob == 0 ? 0 : 9999);  // "bob", whichever is listed first
    EXPECT_GT(framesUntilCustomer(60), 0);
}

TEST_F(SpawnTest, ABrokenTemplateIsLoggedOnceWithACountNotOnEveryFrame) {
    ScratchLog log;
    addText("hombre.template", "load px\nbogus\n");
    define("hombre 1\n");
    load();
    seats(2, 0);
    for (int i = 0; i < 4000; ++i) m_aRand.push_back(i * 7919);  // a different look each time
    for (int i = 0; i < 600; ++i) pSpawn->update(0.125f);
    GameApp::closeLog();
    std::string sText = log.text();
    EXPECT_EQ(2, std::count(sText.begin(), sText.end(), '\n')) << sText.substr(0, 1000);
    EXPECT_NE(std::string::npos, sText.find("hombre.template, line 2")) << sText.substr(0, 1000);
    EXPECT_NE(std::string::npos, sText.find("more times")) << sText.substr(0, 1000);
}

TEST(CustomerLooks, LookRecipesFollowTheDraws) {
    struct Case {
        bool bVip;
        std::vector<int> aDraws;
        const char* pszKey;
        const char* pszTemplate;
        const char* pszParams;
        int nVoice;
    } cases[] = {
        {false,
         {2, 0, 1, 0, 5, 0, 1, 0},
         "hombreps_masc_3_wps_masc_3_x_pelo_b_1ps_masc_3_x_ropa_1",
         "male_fat.template",
         "ps_masc_3_w ps_masc_3_x_pelo_b_1 ps_masc_3_x_ropa_1 true true",
         1},
        // A man without hair: one in twenty.
        {false,
         {0, 1, 0, 3, 0, 2, 0, 1},
         "hombreps_masc_1_anullps_masc_1_x_ropa_3",
         "hombre.template",
         "ps_masc_1_a null ps_masc_1_x_ropa_3 false false",
         0},
        // The thrown-away hair is drawn again; bodies 1 and 3 wear outfits up to 8.
        {false,
         {0, 3, 0, 9, 0, 7, 0, 0},
         "hombreps_fem_1_wps_fem_1_x_pelo_b_1ps_fem_1_X_ropa_8",
         "hombre.template",
         "ps_fem_1_w ps_fem_1_x_pelo_b_1 ps_fem_1_X_ropa_8 false false",
         2},
        {true, {0, 1, 0, 2, 5, 2, 1, 0}, "vipbnullb_caanecklace", "vip.template", "b null b c a a", 0},
        {true, {1, 0, 0, 1, 5, 0, 3, 4, 0}, "vip_strongaa_ke_nullaanull", "vip_strong.template", "a a_k e null a a", 0},
        {true,
         {3, 2, 1, 0, 1, 0, 4, 2, 1, 4, 0, 3},
         "vip_f1wb_kbikiniup_cvestido_bnullanull",
         "vip_f.template",
         "1 w b_k bikiniup_c vestido_b bikinidown_c null a null",
         3},
    };
    struct Script {
        std::deque<int> a;
        static int next(void* p) {
            Script* s = static_cast<Script*>(p);
            int n = s->a.empty() ? 0 : s->a.front();
            if (!s->a.empty()) s->a.pop_front();
            return n;
        }
    } script;
    Tsl::setGameRandSource(&Script::next, &script);
    for (const Case& c : cases) {
        script.a.assign(c.aDraws.begin(), c.aDraws.end());
        CustomerLook look;
        Tsl::List<Tsl::String> lInUse;
        ASSERT_TRUE(c.bVip ? drawVipLook(lInUse, look) : drawOrdinaryLook(lInUse, look));
        EXPECT_EQ(look.m_sKey, c.pszKey);
        EXPECT_EQ(look.m_sTemplate, c.pszTemplate);
        EXPECT_EQ(look.m_lParams.join(" "), c.pszParams) << c.pszKey;
        EXPECT_EQ(look.m_nVoice, c.nVoice) << c.pszKey;
        // The same draws again while that look is worn: drawn anew.
        lInUse.append(look.m_sKey);
        script.a.assign(c.aDraws.begin(), c.aDraws.end());
        EXPECT_TRUE(c.bVip ? drawVipLook(lInUse, look) : drawOrdinaryLook(lInUse, look));
        EXPECT_NE(look.m_sKey, c.pszKey);
        // Draws that can only repeat a worn look give up.
        lInUse.append(look.m_sKey);
        script.a.clear();
        CustomerLook same;
        (c.bVip ? drawVipLook : drawOrdinaryLook)(Tsl::List<Tsl::String>(), same);
        lInUse.append(same.m_sKey);
        EXPECT_FALSE((c.bVip ? drawVipLook : drawOrdinaryLook)(lInUse, same));
    }
    Tsl::setGameRandSource(nullptr, nullptr);
}
