// The game's options: the difficulty row and credits only from the menu,
// the setting they keep, and the credits screen they fill.
#include "game_support.h"

#include "pages/gameoptions.h"
#include "base/names.h"

#include "screens/creditsmode.h"
#include "text/font.h"
#include "ui/label.h"

namespace {

struct GameOptionsTest : GameTest {
    void SetUp() override {
        GameTest::SetUp();
        addPictures({"check_empty", "check_full_noblit", "sand_frame_back", "loading_back", "menu_isologo_chico", "credits_card"});
        addStrings(
            "GOD_Easy Easy\nGOD_Medium Medium\nGOD_Hard Hard\nAboutVerFmt Version %d.%d.%d\nAboutSubtitle A beach bar\n"
            "text_design_g Design\ntext_design_g_1 Ann\ntext_design_g_2 Bo\ntext_art_g Art\ntext_art_g_1 Cy\n"
            "text_acknow_g Thanks\nCredLibraries SDL and zlib\n");
    }
    Tsl::SmartPtr<QarnGameOptions> open(GameMode* pNotify, const char* pszDifficulty) {
        app.setSetting(Names::SET_DIFFICULTY, pszDifficulty);
        Tsl::SmartPtr<QarnGameOptions> pOptions = new QarnGameOptions(pNotify, pNotify ? 2 : 0, pNotify ? 1 : 0);
        app.pushMode(pOptions.get());
        return pOptions;
    }
    static std::vector<std::string> texts(GameMode* pMode) {
        std::vector<std::pair<float, std::string>> found;
        for (const SpriteList* pLayer : pMode->getLayers())
            for (const Tsl::SmartPtr<Sprite>& pSprite : *pLayer)
                if (Label* pLabel = dynamic_cast<Label*>(pSprite.get()))
                    found.push_back(std::make_pair(pLabel->getYf(), std::string(pLabel->getText().c_str())));
        std::stable_sort(found.begin(), found.end(),
                         [](const std::pair<float, std::string>& a, const std::pair<float, std::string>& b) {
                             return a.first < b.first;
                         });
        std::vector<std::string> result;
        for (auto& f : found) result.push_back(f.second);
        return result;
    }
};

TEST_F(GameOptionsTest, DifficultyShownAndKeptFromTheMenuOnly) {
    struct Case {
        const char* pszSetting;
        int nSelected;  // -1: none
    };
    const Case cases[] = {{"1", QarnGameOptions::ID_MEDIUM}, {"", QarnGameOptions::ID_EASY}, {"x", QarnGameOptions::ID_EASY},
                          {"7", -1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pszSetting);
        Tsl::SmartPtr<QarnGameOptions> pOptions = open(nullptr, c.pszSetting);
        ASSERT_EQ(QarnGameOptions::DIFFICULTY_COUNT, pOptions->getDifficultyButtons().getCount());
        EXPECT_EQ(c.nSelected, pOptions->getDifficultyButtons().getSelectedId());
        for (int i = 1; i < QarnGameOptions::DIFFICULTY_COUNT; ++i) {
            const Tsl::SmartPtr<RadioButton>& pLeft = pOptions->getDifficultyButtons().getAt(i - 1);
            EXPECT_GE(pOptions->getDifficultyButtons().getAt(i)->getPosition().x, pLeft->getPosition().x + pLeft->getWidth() + 10);
        }
        pOptions->onCallback(QarnGameOptions::ID_HARD, 0);
        EXPECT_EQ(QarnGameOptions::ID_HARD, pOptions->getDifficultyButtons().getSelectedId());
        EXPECT_EQ(Tsl::String("2"), app.getSetting(Names::SET_DIFFICULTY));
        pOptions->onCallback(GameOptionsDialog::ID_OK, 0);
    }
    Tsl::SmartPtr<GameMode> pPlay = new GameMode();
    app.pushMode(pPlay);
    Tsl::SmartPtr<QarnGameOptions> pFromPlay = open(pPlay.get(), "1");
    EXPECT_EQ(0, pFromPlay->getDifficultyButtons().getCount());
    EXPECT_EQ(GameOptionsDialog::OPT_FULLSCREEN | GameOptionsDialog::OPT_VOLUMES, pFromPlay->getShownOptions());
    int nModes = app.getModeCount();
    pFromPlay->onCallback(QarnGameOptions::ID_EASY, 0);
    pFromPlay->onCallback(QarnGameOptions::ID_CREDITS, 0);
    EXPECT_EQ(Tsl::String("1"), app.getSetting(Names::SET_DIFFICULTY));
    EXPECT_EQ(nModes, app.getModeCount());
}

TEST_F(GameOptionsTest, CreditsListSectionsWhileTheirNamesLastOnABackgroundBuiltOnce) {
    Tsl::SmartPtr<QarnGameOptions> pOptions = open(nullptr, "1");
    pOptions->onCallback(QarnGameOptions::ID_CREDITS, 0);
    Tsl::SmartPtr<CreditsMode> pCredits = dynamic_cast<CreditsMode*>(app.getModeAt(0).get());
    ASSERT_TRUE(pCredits);
    // Headings without texts show their keys: the string tables lack them here.
    EXPECT_EQ(std::vector<std::string>({"Version 1.0.5", "A beach bar", "Design", "Ann", "Bo", "text_programming_g", "Art",
                                        "Cy", "text_musicdir_g", "text_musicsfx_g", "text_business_g", "Thanks",
                                        "SDL and zlib"}),
              texts(pCredits.get()));
    // The lines below the headings stand out dark on the light panel.
    for (const SpriteList* pLayer : pCredits->getLayers())
        for (const Tsl::SmartPtr<Sprite>& pSprite : *pLayer)
            if (Label* pLabel = dynamic_cast<Label*>(pSprite.get()))
                if (std::string("Ann Bo Cy SDL and zlib").find(pLabel->getText().c_str()) != std::string::npos) {
                    Color c = pLabel->getFont()->getTextColor();
                    EXPECT_LT(c.r + c.g + c.b, 3 * 128) << pLabel->getText().c_str();
                }
    Tsl::SmartPtr<Image> pBack = app.getImage(Names::IMG_BACK_CREDITS);
    app.addImage(Names::IMG_SAND_BACK, picture(8, 8, Color(1, 2, 3)));
    pOptions->makeCredits();
    EXPECT_EQ(pBack.get(), app.getImage(Names::IMG_BACK_CREDITS).get());
}

}  // namespace
