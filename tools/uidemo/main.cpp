// uidemo [--frames N] [screenshot.bmp]
// uidemo --help
//
// Opens an 800x600 window and shows a sample dialog styled from a ".theme"
// file: a title, a name field, a volume slider, a toggle, three radio
// options and two buttons. It then plays a short script of mouse moves,
// clicks and typing and checks that every widget answered. With a path it
// saves the last frame as a BMP and checks it loosely: the backdrop, the
// dialog's frame and the pushed toggle must show their colours, and the
// picture must not be blank.
#include "demoargs.h"

#include "app/gameapp.h"
#include "image/sdl_image.h"
#include "platform/sdl_platform.h"
#include "text/font.h"
#include "ui/button.h"
#include "ui/dialogmode.h"
#include "ui/editbox.h"
#include "ui/label.h"
#include "ui/slider.h"
#include "ui/systemfont.h"
#include "ui/theme.h"
#include "video/sdl_d3d7video.h"

#include "tsl2/error.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <set>
#include <string>
#include <unistd.h>

namespace {

const int WIDTH = 800;
const int HEIGHT = 600;
const Color BACKDROP(30, 90, 120);
const Color FRAME_EDGE(240, 210, 120);
const Color BUTTON_PUSHED(200, 60, 40);

// The demo's own font class for its theme file: the built-in block font at
// the scale its first parameter gives.
class BlockFontFactory : public FontFactory {
public:
    Tsl::SmartPtr<Font> createFont(const Tsl::List<Tsl::String>& lParams) override {
        return new SystemFont(lParams.isEmpty() ? 2 : Tsl::String::toInt(lParams.getFirst()));
    }
};

const char* const THEME_TEXT = R"(# The sample dialog's look.
font Demo::Text
  class BlockFont 2
  textcolor 250 240 220
  shadowcolor 20 20 20
end
font Demo::Title
  class BlockFont 3
  copysettings Demo::Text
  textcolor 255 220 90
end
frame Default
  image demo_frame 6 6 6 6
  padding 18 14 18 14
  font Demo::Text
end
button Default
  image demo_button demo_button_hot demo_button_down demo_button
  borders 4 4 4 4
  font Demo::Text
  textcolor disabled 150 150 150
  padding 14 6
  minsize 90 0
end
slider Default
  track demo_track 4 4 4 4
  thumb demo_thumb
end
)";

Tsl::SmartPtr<Image> paint(int nWidth, int nHeight, const std::function<Color(int, int)>& fnPixel) {
    Tsl::SmartPtr<Image> pImage = new SDLImage(nWidth, nHeight, true, true);
    pImage->lock();
    for (int y = 0; y < nHeight; ++y)
        for (int x = 0; x < nWidth; ++x) pImage->putPixel(x, y, fnPixel(x, y));
    pImage->unlock();
    return pImage;
}

Tsl::SmartPtr<Image> panel(int nSize, const Color& edge, const Color& fill) {
    return paint(nSize, nSize, [=](int x, int y) {
        bool bEdge = x < 3 || y < 3 || x >= nSize - 3 || y >= nSize - 3;
        return bEdge ? edge : fill;
    });
}

// The theme's pictures, made here and handed to the image cache by name.
void makeThemePictures(GameApp& app) {
    app.addImage("demo_frame", panel(24, FRAME_EDGE, Color(50, 40, 35, 240)));
    app.addImage("demo_button", panel(16, Color(20, 20, 20), Color(60, 130, 70)));
    app.addImage("demo_button_hot", panel(16, Color(20, 20, 20), Color(90, 170, 100)));
    app.addImage("demo_button_down", panel(16, Color(20, 20, 20), BUTTON_PUSHED));
    app.addImage("demo_track", panel(12, Color(10, 10, 10), Color(110, 110, 110)));
    app.addImage("demo_thumb", panel(14, Color(10, 10, 10), Color(230, 230, 240)));
}

// Writes the theme file into a fresh folder that the application reads
// resources from; the folder goes when the demo ends.
class ThemeFolder {
public:
    ThemeFolder() {
        const char* pszTmp = std::getenv("TMPDIR");
        std::string sTemplate = std::string(pszTmp && *pszTmp ? pszTmp : "/tmp") + "/uidemo.XXXXXX";
        if (!mkdtemp(&sTemplate[0]))
            TSL_THROW(FileAccessException, "uidemo : cannot make a folder for the theme under %s", sTemplate.c_str());
        m_sDir = sTemplate;
        m_sFile = m_sDir + "/demo.theme";
        FILE* pFile = std::fopen(m_sFile.c_str(), "w");
        if (!pFile) TSL_THROW(FileAccessException, "uidemo : cannot write %s", m_sFile.c_str());
        std::fputs(THEME_TEXT, pFile);
        std::fclose(pFile);
    }
    ~ThemeFolder() {
        std::remove(m_sFile.c_str());
        rmdir(m_sDir.c_str());
    }
    const char* getPath() const { return m_sDir.c_str(); }

private:
    std::string m_sDir;
    std::string m_sFile;
};

class BackdropMode : public GameMode {
public:
    BackdropMode() : GameMode(MF_ACTIVE | MF_VISIBLE | MF_CLEAR_SCREEN) {}
    void init() override {
        addSprite(new Sprite(paint(WIDTH, HEIGHT, [](int, int) { return BACKDROP; }), 0, 0, 0));
    }
};

enum { ID_NAME = 1, ID_VOLUME, ID_FULLSCREEN, ID_EASY, ID_MEDIUM, ID_HARD, ID_OK, ID_CANCEL };

class SampleDialog : public DialogMode {
public:
    SampleDialog() : DialogMode(true) {}

    void init() override {
        DialogMode::init();
        Tsl::SmartPtr<Table> pTable = getTable();
        pTable->setFrameEnabled(true);
        pTable->setSpacing(10);
        pTable->addCell(2);
        addLabel(pTable, "Game options", "Demo::Title", 0x24);
        row("Name");
        m_pName = new EditBox(ID_NAME, 200, 12);
        addWidget(m_pName);
        row("Volume");
        m_pVolume = new HSlider(ID_VOLUME, 200, 0, 255, 128);
        addWidget(m_pVolume);
        row("Screen");
        m_pFullScreen = new ToggleButton("Full screen", ID_FULLSCREEN);
        addWidget(m_pFullScreen);
        row("Difficulty");
        Tsl::SmartPtr<Table> pChoices = new Table(this);
        pChoices->setColumnSpacing(12);
        const char* const apNames[] = {"Easy", "Medium", "Hard"};
        for (int i = 0; i < 3; ++i) {
            Tsl::SmartPtr<RadioButton> pOption = new RadioButton(this, nullptr, nullptr, apNames[i], ID_EASY + i);
            pOption->setFont("Demo::Text");
            pChoices->addCell(1);
            pChoices->add(pOption, 9);
            m_difficulty.append(pOption);
        }
        m_difficulty.select(ID_EASY);
        pTable->add(pChoices, 1 | 0x20);
        pTable->addRow(1);
        pTable->addCell(2);
        Tsl::SmartPtr<Table> pButtons = new Table(this);
        pButtons->setColumnSpacing(20);
        m_pOk = new Button("OK", ID_OK);
        m_pCancel = new Button("Cancel", ID_CANCEL);
        for (Tsl::SmartPtr<Button> pButton : {m_pOk, m_pCancel}) {
            addControl(pButton);
            pButtons->addCell(1);
            pButtons->add(pButton, 0x24);
        }
        pTable->add(pButtons, 0x24);
        m_pOk->setTooltip("Keeps the settings", Point(-1000.0f, -1000.0f));
    }

    void onCallback(int nId, int nData) override {
        m_aCalls.push_back(nId);
        if (nId >= ID_EASY && nId <= ID_HARD) m_difficulty.select(nId);
    }

    Tsl::SmartPtr<EditBox> m_pName;
    Tsl::SmartPtr<HSlider> m_pVolume;
    Tsl::SmartPtr<ToggleButton> m_pFullScreen;
    Tsl::SmartPtr<Button> m_pOk;
    Tsl::SmartPtr<Button> m_pCancel;
    RadioGroup m_difficulty;
    std::vector<int> m_aCalls;

private:
    void row(const char* pszCaption) {
        getTable()->addRow(1);
        getTable()->addCell(1);
        getTable()->setCellFlags(1 | 0x20);
        addLabel(getTable(), pszCaption, "Demo::Text", 0);
        getTable()->addCell(1);
        getTable()->setCellFlags(1 | 0x20);
    }
    void addWidget(Tsl::SmartPtr<Control> pControl) {
        addControl(pControl);
        getTable()->add(pControl, 0);
    }
};

// The middle of a sprite on the screen.
void centreOf(const Sprite* pSprite, int& nX, int& nY) {
    nX = pSprite->getX() + pSprite->getWidth() / 2;
    nY = pSprite->getY() + pSprite->getHeight() / 2;
}

void clickAt(GameApp& app, int nX, int nY) {
    app.onMouseMove(nX, nY, true);
    app.onMouseDown(MB_LEFT, nX, nY);
    app.onMouseUp(MB_LEFT, nX, nY);
}

// Clicks, drags and types as a player would; false (with the reason) when a
// widget did not answer.
bool playScript(GameApp& app, SampleDialog& dialog) {
    int nX, nY;
    centreOf(dialog.m_pName, nX, nY);
    clickAt(app, nX, nY);
    for (const char* p = "Ada"; *p; ++p) app.onChar(*p);
    centreOf(dialog.m_pFullScreen, nX, nY);
    clickAt(app, nX, nY);
    Tsl::SmartPtr<Sprite> pHard = dialog.m_difficulty.getAt(2)->getCaption();
    centreOf(pHard, nX, nY);
    clickAt(app, nX, nY);
    int nThumb = dialog.m_pVolume->getX() + dialog.m_pVolume->getThumbOffset();
    int nTrackY = dialog.m_pVolume->getY() + dialog.m_pVolume->getHeight() / 2;
    app.onMouseMove(nThumb, nTrackY, true);
    app.onMouseDown(MB_LEFT, nThumb, nTrackY);
    app.onMouseMove(dialog.m_pVolume->getX() + dialog.m_pVolume->getWidth() + 50, nTrackY, true);
    app.onMouseUp(MB_LEFT, dialog.m_pVolume->getX() + dialog.m_pVolume->getWidth() + 50, nTrackY);
    // Rest over OK, so it shows its highlight and its tooltip.
    centreOf(dialog.m_pOk, nX, nY);
    app.onMouseMove(nX, nY, true);

    std::string sProblems;
    if (dialog.m_pName->getText() != "Ada") sProblems += " the name field did not take the typing;";
    if (!dialog.m_pFullScreen->isToggled()) sProblems += " the toggle did not flip;";
    if (dialog.m_difficulty.getSelectedId() != ID_HARD) sProblems += " the radio group did not move to Hard;";
    if (dialog.m_pVolume->getValue() != 255) sProblems += " the slider did not follow the drag;";
    if (dialog.m_pOk->getState() != ImageButton::STATE_HIGHLIGHTED) sProblems += " OK is not highlighted;";
    if (!sProblems.empty()) std::fprintf(stderr, "uidemo:%s\n", sProblems.c_str());
    return sProblems.empty();
}

Color pixelAt(SDL_Surface* pSurface, int x, int y) {
    Uint8* p = static_cast<Uint8*>(pSurface->pixels) + y * pSurface->pitch + x * pSurface->format->BytesPerPixel;
    Uint32 n = 0;
    std::memcpy(&n, p, pSurface->format->BytesPerPixel);
    Uint8 r, g, b;
    SDL_GetRGB(n, pSurface->format, &r, &g, &b);
    return Color(r, g, b);
}

bool near(const Color& a, const Color& b) {
    return std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b) <= 60;
}

// Loose checks of the saved frame: places whose colour we know, and enough
// colours overall that the frame is not blank or a flat wash.
bool checkScreenshot(SDL_Surface* pScreen, SampleDialog& dialog) {
    SDL_LockSurface(pScreen);
    std::set<Uint32> colours;
    for (int y = 0; y < pScreen->h; y += 5)
        for (int x = 0; x < pScreen->w; x += 5) {
            Color c = pixelAt(pScreen, x, y);
            colours.insert((c.r << 16) | (c.g << 8) | c.b);
        }
    Tsl::SmartPtr<Sprite> pFrame = dialog.getTable()->getFrame();
    struct Probe {
        const char* pszWhat;
        int x, y;
        Color expected;
    } aProbes[] = {
        {"the backdrop", 4, 4, Color(BACKDROP.r / 2, BACKDROP.g / 2, BACKDROP.b / 2)},
        {"the dialog frame", pFrame ? pFrame->getX() + 1 : 0, pFrame ? pFrame->getY() + 12 : 0, FRAME_EDGE},
        {"the pushed toggle", dialog.m_pFullScreen->getX() + 6, dialog.m_pFullScreen->getY() + 6, BUTTON_PUSHED},
    };
    bool bOk = true;
    for (const Probe& probe : aProbes) {
        Color c = pixelAt(pScreen, probe.x, probe.y);
        if (!near(c, probe.expected)) {
            std::fprintf(stderr, "uidemo: %s at (%d, %d) shows (%d, %d, %d), expected about (%d, %d, %d)\n",
                         probe.pszWhat, probe.x, probe.y, c.r, c.g, c.b, probe.expected.r, probe.expected.g,
                         probe.expected.b);
            bOk = false;
        }
    }
    SDL_UnlockSurface(pScreen);
    std::printf("uidemo: %d colours sampled\n", int(colours.size()));
    if (colours.size() < 12) {
        std::fprintf(stderr, "uidemo: the frame is nearly blank\n");
        bOk = false;
    }
    return bOk;
}

int run(int nFrames, const char* pszScreenshot) {
    GameApp app;
    SDLPlatform* pPlatform = new SDLPlatform();
    pPlatform->setVideoDriver(new D3D7VideoDriver());
    app.setPlatform(pPlatform);
    if (!app.init(WIDTH, HEIGHT, 0)) {
        std::fprintf(stderr, "uidemo: no video mode\n");
        return 1;
    }
    app.getVideoDriver()->setCaption("Dialog demo");
    Theme::registerFontFactory("BlockFont", new BlockFontFactory());
    ThemeFolder folder;
    makeThemePictures(app);
    app.addResourceFolder(folder.getPath());
    app.loadTheme("demo.theme");
    app.pushMode(new BackdropMode());
    Tsl::SmartPtr<SampleDialog> pDialog = new SampleDialog();
    app.pushMode(pDialog);
    int nScriptFrame = nFrames / 2;
    bool bAnswered = true;
    for (int i = 0; i < nFrames && !app.isQuitRequested(); ++i) {
        if (i == nScriptFrame) bAnswered = playScript(app, *pDialog);
        app.runFrame();
    }
    Theme::unregisterFontFactory("BlockFont");
    if (!bAnswered) return 1;
    if (!pszScreenshot) return 0;
    SDL_Surface* pScreen = SDL_GetVideoSurface();
    if (!pScreen || SDL_SaveBMP(pScreen, pszScreenshot) != 0) {
        std::fprintf(stderr, "uidemo: cannot save %s : %s\n", pszScreenshot, SDL_GetError());
        return 1;
    }
    return checkScreenshot(pScreen, *pDialog) ? 0 : 1;
}

const int MIN_FRAMES = 2; // the script plays halfway, then at least one frame shows its result
const int MAX_FRAMES = 100000;

const char* const USAGE = "usage: uidemo [--frames N] [screenshot.bmp]\n";
const char* const HELP =
    "\n"
    "Shows a sample dialog styled from a theme file in an 800x600 window for N\n"
    "frames (60 unless told, 2 to 100000). Halfway it clicks, drags and types\n"
    "through the dialog's widgets and fails when one of them does not answer.\n"
    "With a path, saves the last frame there as a BMP picture (the name must\n"
    "end in .bmp) and checks it loosely: the backdrop, the dialog's frame and\n"
    "the pushed toggle must show their colours. The path is checked before the\n"
    "first frame: its folder must exist and be writable.\n"
    "Exit codes: 0 done, 1 failed (the reason on stderr), 2 bad usage.\n";

} // namespace

int main(int argc, char** argv) {
    DemoOptions options;
    if (!parseDemoArguments(DemoArgumentRules{"uidemo", MIN_FRAMES, MAX_FRAMES}, argc, argv, options)) {
        std::fputs(USAGE, stderr);
        return 2;
    }
    if (options.bHelp) {
        std::fputs(USAGE, stdout);
        std::fputs(HELP, stdout);
        return 0;
    }
    if (options.pszScreenshot && !checkScreenshotPath("uidemo", options.pszScreenshot)) return 2;
    try {
        return run(options.nFrames, options.pszScreenshot);
    } catch (const Tsl::Exception& e) {
        std::fprintf(stderr, "uidemo: %s\n", e.getMessage());
        return 1;
    }
}
