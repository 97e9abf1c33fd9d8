// The rooms together over the real drivers: a theme with TrueType fonts, a
// dialog of widgets over a game mode, an animated picture in a table cell and
// a particle emitter read from its file; run, repeated level after level, and
// shut down twice in one process.
#include "test_folder.h"
#include "render_support.h"

#include "anim/animsprite.h"
#include "app/modetransition.h"
#include "audio/sdl_audio.h"
#include "effects/particleemitter.h"
#include "platform/sdl_platform.h"
#include "text/sdl_ttf_font.h"
#include "ui/button.h"
#include "ui/dialogmode.h"
#include "ui/editbox.h"
#include "ui/label.h"
#include "ui/slider.h"
#include "ui/theme.h"
#include "ui/uitable.h"

#include "tsl2/resource.h"

#include <SDL_ttf.h>

#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

namespace {

const char* const FONT_FOLDER = "/usr/share/fonts/truetype/dejavu";

const char* const THEME_TEXT =
    "font Bar::Text\n"
    "  class TrueType DejaVuSans.ttf 14\n"
    "  textcolor 250 240 220\n"
    "end\n"
    "font Bar::Title\n"
    "  class TrueType DejaVuSans-Bold.ttf 18 bold\n"
    "  copysettings Bar::Text\n"
    "end\n";

const char* const ANIM_TEXT = "load spark\nload glow\nseq default fps 10 loop\nadd spark\nadd glow\n";

const char* const EMITTER_TEXT =
    "image spark\n"
    "emissionrate 200\n"
    "lifetimerange 1 2\n"
    "maxparticles 12\n"
    "speedtype Radial\n"
    "speedrange 10 20 10 20\n";

std::string readText(const std::string& sPath) {
    std::ifstream in(sPath, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

enum { ID_OK = 1, ID_NAME, ID_VOLUME, ID_OFF };

// The level under the dialog: it counts the input that reaches it.
class LevelMode : public GameMode {
public:
    LevelMode() : GameMode(MF_ACTIVE | MF_VISIBLE | MF_CLEAR_SCREEN) {}
    bool onMouseDown(int, int, int) override {
        ++m_nDowns;
        return true;
    }
    bool onMouseUp(int, int, int) override {
        ++m_nUps;
        return true;
    }
    int m_nDowns = 0;
    int m_nUps = 0;
};

// The options dialog of a level, with a spark animation and an emitter.
class OptionsDialog : public DialogMode {
public:
    OptionsDialog() : DialogMode(true) {}
    void init() override {
        DialogMode::init();
        Tsl::SmartPtr<Table> pTable = getTable();
        pTable->setFrameEnabled(true);
        pTable->addCell(2);
        addLabel(pTable, "Options", "Bar::Title", 0x24);
        pTable->addRow(1);
        pTable->addCell(1);
        addLabel(pTable, "Name", "Bar::Text", 0);
        pTable->addCell(1);
        m_pName = new EditBox(ID_NAME, 120, 12);
        addControl(m_pName);
        pTable->add(m_pName, 0);
        pTable->addRow(1);
        pTable->addCell(1);
        m_pSpark = new AnimSprite(GameApp::getInstance()->getAnimation("spark.anim"), 0, 0);
        pTable->add(m_pSpark, 0);
        pTable->addCell(1);
        m_pVolume = new HSlider(ID_VOLUME, 120, 0, 10, 5);
        addControl(m_pVolume);
        pTable->add(m_pVolume, 0);
        pTable->addRow(1);
        pTable->addCell(1);
        m_pOff = new Button("Off", ID_OFF);
        m_pOff->setEnabled(false);
        addControl(m_pOff);
        pTable->add(m_pOff, 0);
        pTable->addCell(1);
        m_pOk = new Button("OK", ID_OK);
        addControl(m_pOk);
        pTable->add(m_pOk, 0);
        layout(true);
        m_pEmitter = new ParticleEmitter(this);
        m_pEmitter->load("spark.emitter");
        m_pEmitter->setPosition(Point(80.0f, 60.0f));
    }
    void onUpdate(float fDt) override {
        DialogMode::onUpdate(fDt);
        if (m_pEmitter) m_pEmitter->update(fDt);
    }
    void cleanup() override {
        m_pEmitter = nullptr;
        DialogMode::cleanup();
    }
    void onCallback(int nId, int nData) override {
        m_sCalls += std::to_string(nId) + " ";
        if (nId == ID_OK) GameApp::getInstance()->endMode(this);
    }
    Tsl::SmartPtr<EditBox> m_pName;
    Tsl::SmartPtr<HSlider> m_pVolume;
    Tsl::SmartPtr<Button> m_pOk;
    Tsl::SmartPtr<Button> m_pOff;
    Tsl::SmartPtr<AnimSprite> m_pSpark;
    Tsl::SmartPtr<ParticleEmitter> m_pEmitter;
    std::string m_sCalls;
};

class BarApp : public GameApp {
public:
    BarApp() : m_pResources(new Tsl::MemoryResourceProvider()) {}
    bool start() {
        SDLPlatform* pPlatform = new SDLPlatform();
        pPlatform->setVideoDriver(new D3D7VideoDriver());
        SDLAudioDriver* pAudio = new SDLAudioDriver();
        pPlatform->setAudioDriver(pAudio);
        setPlatform(pPlatform);
        if (!init(160, 120, 0)) return false;
        setFrameRate(0);
        addResourceProvider(m_pResources.get());
        if (!addResourceFolder(FONT_FOLDER)) return false;
        add("bar.theme", THEME_TEXT);
        add("spark.anim", ANIM_TEXT);
        add("glow.anim", "load glow\nseq default\nadd glow\nadd glow\n");
        add("spark.emitter", EMITTER_TEXT);
        addImage("spark", picture(4, Color(255, 200, 40)));
        addImage("glow", picture(6, Color(255, 120, 40)));
        loadTheme("bar.theme");
        return true;
    }
    Tsl::SmartPtr<Image> picture(int nSize, const Color& c) {
        Tsl::SmartPtr<Image> pImage = createImage(nSize, nSize, true);
        pImage->fill(c);
        return pImage;
    }
    void frames(int nCount) {
        for (int i = 0; i < nCount; ++i) runFrame();
    }
    void click(int nX, int nY) {
        onMouseMove(nX, nY, true);
        onMouseDown(MB_LEFT, nX, nY);
        onMouseUp(MB_LEFT, nX, nY);
    }

private:
    void add(const char* pszName, const char* pszText) {
        m_pResources->add(pszName, pszText, static_cast<int>(std::strlen(pszText)));
    }
    Tsl::SmartPtr<Tsl::MemoryResourceProvider> m_pResources;
};

void centreOf(const Sprite* pSprite, int& nX, int& nY) {
    nX = pSprite->getX() + pSprite->getWidth() / 2;
    nY = pSprite->getY() + pSprite->getHeight() / 2;
}

struct WholeAppTest : ::testing::Test {
    void SetUp() override {
        if (access(FONT_FOLDER, R_OK) != 0) GTEST_SKIP() << "no DejaVu fonts";
        dx7::test::reset();
    }
    void TearDown() override { dx7::test::reset(); }
};

TEST_F(WholeAppTest, ADialogOfEveryRoomRunsAndShutsDownLeavingNothingBehind) {
    std::string sLog = testPath("wholeapp.log");
    GameApp::openLog(sLog.c_str());
    for (int nRun = 0; nRun < 2; ++nRun) {
        BarApp app;
        ASSERT_TRUE(app.start());
        Tsl::SmartPtr<LevelMode> pLevel = new LevelMode();
        app.pushMode(pLevel);
        Tsl::SmartPtr<OptionsDialog> pDialog = new OptionsDialog();
        app.pushMode(pDialog);
        // A tenth of a second whatever the clock says, so particles are born.
        pDialog->onUpdate(0.1f);
        app.frames(3);
        EXPECT_GT(pDialog->m_pEmitter->getParticles().getCount(), 0);
        int nX, nY;
        centreOf(pDialog->m_pName, nX, nY);
        app.click(nX, nY);
        for (const char* p = "Ada"; *p; ++p) app.onChar(*p);
        centreOf(pDialog->m_pOff, nX, nY);
        app.click(nX, nY);
        app.frames(2);
        EXPECT_EQ(Tsl::String("Ada"), pDialog->m_pName->getText());
        EXPECT_EQ(0, pLevel->m_nDowns + pLevel->m_nUps);
        centreOf(pDialog->m_pOk, nX, nY);
        app.click(nX, nY);
        app.frames(2);
        EXPECT_EQ(std::string::npos, pDialog->m_sCalls.find(std::to_string(ID_OFF) + " "));
        EXPECT_NE(std::string::npos, pDialog->m_sCalls.find(std::to_string(ID_OK) + " "));
        EXPECT_EQ(pLevel, app.getModeAt(0));
        EXPECT_GT(SDLTTFData::getUseCount(), 0);
        // Shut down with a load half done in the queue.
        app.preloadAnimation("glow.anim");
        app.stepAnimationPreload();
        EXPECT_EQ(1, app.getPreloadQueueLength());
    }
    EXPECT_EQ(nullptr, GameApp::getInstance());
    EXPECT_EQ(0, dx7::test::liveTextureCount());
    EXPECT_EQ(0, SDLTTFData::getUseCount());
    EXPECT_EQ(0, TTF_WasInit());
    EXPECT_FALSE(ParticleEmitter::isCached("spark.emitter"));
    std::string sText = readText(sLog);
    GameApp::closeLog();
    std::remove(sLog.c_str());
    size_t nModes = sText.rfind("G: ...modes\n");
    size_t nResources = sText.rfind("G: ...resources\n");
    size_t nFonts = sText.rfind("S: Font cache");
    size_t nPlatform = sText.rfind("G: ...platform\n");
    size_t nQuit = sText.rfind("G: Quit\n");
    ASSERT_NE(std::string::npos, nModes) << sText;
    EXPECT_LT(nModes, nResources);
    EXPECT_LT(nResources, nPlatform);
    EXPECT_LT(nPlatform, nFonts) << sText;
    EXPECT_LT(nFonts, nQuit);
}

// Level after level: the counts of what lives return to where they started.
TEST_F(WholeAppTest, FiftyLevelsLeaveNothingBehind) {
    BarApp app;
    ASSERT_TRUE(app.start());
    app.pushMode(new LevelMode());
    app.frames(1);
    Tsl::SmartPtr<Image> pSpark = app.getImage("spark");
    Tsl::SmartPtr<Image> pGlow = app.getImage("glow");
    auto counts = [&]() {
        return std::to_string(dx7::test::liveTextureCount()) + " textures, " +
               std::to_string(SDLTTFData::getUseCount()) + " fonts, " + std::to_string(pSpark->getRefCount()) +
               " spark holders, " + std::to_string(pGlow->getRefCount()) + " glow holders, " +
               std::to_string(app.getCachedImageNames().getCount()) + " images, " +
               std::to_string(app.getAnimationNames().getCount()) + " animations, " +
               std::to_string(app.getModeAt(0)->getLayers().getFirst()->getCount()) + " level sprites";
    };
    // One level first, so every cache has what a level needs.
    std::string sBefore;
    for (int nLevel = 0; nLevel < 51; ++nLevel) {
        if (nLevel == 1) sBefore = counts();
        Tsl::SmartPtr<OptionsDialog> pDialog = new OptionsDialog();
        if (nLevel % 2) app.pushModeWithTransition(pDialog, new TrnFadeToBlack());
        else app.pushMode(pDialog);
        // The fade is stepped by a whole second, not by the clock.
        if (app.getModeIndex(pDialog.get()) != 0) app.getModeAt(0)->onUpdate(1.0f);
        app.frames(1);
        ASSERT_EQ(0, app.getModeIndex(pDialog.get())) << "level " << nLevel << ", " << app.getModeCount() << " modes";
        pDialog->onUpdate(0.1f);
        ASSERT_GT(pDialog->m_pEmitter->getParticles().getCount(), 0);
        app.frames(2);
        app.endMode(pDialog.get());
        app.frames(1);
        pDialog = nullptr;
        if (nLevel == 50) {
            EXPECT_EQ(sBefore, counts());
        }
    }
}

} // namespace
