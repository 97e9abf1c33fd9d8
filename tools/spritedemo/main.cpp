// spritedemo [--frames N] [screenshot.bmp]
// spritedemo --help
//
// Opens a 640x480 window with the Direct3D 7 driver and draws a sprite scene
// for N frames (60 by default): a gradient backdrop, soft alpha sprites, a
// tinted and a faded one, a turning and growing sprite, additive sparks and a
// striped sprite seen through a round stencil mask. With a path it saves the
// window's last frame as a BMP and checks that the frame is not blank.
// Exit codes: 0 done, 1 failed (the reason on stderr), 2 bad usage.
#include "demoargs.h"

#include "app/gameapp.h"
#include "app/gamemode.h"
#include "video/sdl_d3d7video.h"
#include "image/sdl_image.h"
#include "platform/sdl_platform.h"
#include "sprite/sprite.h"

#include "tsl2/error.h"

#include <SDL.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <set>

namespace {

const int WIDTH = 640;
const int HEIGHT = 480;

Tsl::SmartPtr<Image> makeImage(int nWidth, int nHeight, bool bAlpha, const std::function<Color(int, int)>& fnPixel) {
    Tsl::SmartPtr<Image> pImage = new SDLImage(nWidth, nHeight, bAlpha, true);
    pImage->lock();
    for (int y = 0; y < nHeight; ++y)
        for (int x = 0; x < nWidth; ++x) pImage->putPixel(x, y, fnPixel(x, y));
    pImage->unlock();
    return pImage;
}

Color blob(int x, int y, int nSize, const Color& c) {
    float dx = (x + 0.5f) / nSize * 2.0f - 1.0f, dy = (y + 0.5f) / nSize * 2.0f - 1.0f;
    float d = std::sqrt(dx * dx + dy * dy);
    int a = d < 0.7f ? 255 : d < 1.0f ? static_cast<int>((1.0f - d) / 0.3f * 255.0f) : 0;
    return Color(c.r, c.g, c.b, static_cast<unsigned char>(a));
}

class DemoMode : public GameMode {
public:
    DemoMode() : GameMode(MF_ACTIVE | MF_VISIBLE | MF_CLEAR_SCREEN) {}

    void init() override {
        addSprite(new Sprite(makeImage(WIDTH, HEIGHT, false,
                                       [](int x, int y) {
                                           return Color(static_cast<unsigned char>(x * 255 / WIDTH), 40,
                                                        static_cast<unsigned char>(y * 255 / HEIGHT));
                                       }),
                             0, 0, 0));
        Tsl::SmartPtr<Image> pBall = makeImage(64, 64, true, [](int x, int y) { return blob(x, y, 64, Color(255, 255, 255)); });
        for (int i = 0; i < 6; ++i) {
            Tsl::SmartPtr<Sprite> pSprite = new Sprite(pBall, 40 + i * 90, 40, 1);
            pSprite->setColor(Color(static_cast<unsigned char>(255 - i * 40), static_cast<unsigned char>(i * 40), 120));
            pSprite->setAlpha(1.0f - i * 0.12f);
            addSprite(pSprite);
        }
        Tsl::SmartPtr<Image> pBar = makeImage(120, 40, false, [](int x, int) {
            return x < 60 ? Color(250, 220, 40) : Color(40, 200, 250);
        });
        pBar->setInsPoint(60, 20);
        m_pTurning = new Sprite(pBar, 160, 260, 2);
        addSprite(m_pTurning);
        Tsl::SmartPtr<Image> pSpark = makeImage(24, 24, true, [](int x, int y) { return blob(x, y, 24, Color(255, 120, 30)); });
        for (int i = 0; i < 40; ++i) {
            Tsl::SmartPtr<Sprite> pSprite = new Sprite(pSpark, 60 + (i * 37) % 220, 330 + (i * 53) % 120, 3);
            pSprite->setBlendMode(BM_ADDITIVE);
            addSprite(pSprite);
        }
        Tsl::SmartPtr<Sprite> pMask =
            new Sprite(makeImage(180, 180, true, [](int x, int y) { return blob(x, y, 180, Color(255, 255, 255)); }),
                       400, 220, 4);
        pMask->setRenderFlags(RF_WRITE_STENCIL);
        addSprite(pMask);
        Tsl::SmartPtr<Sprite> pStripes = new Sprite(
            makeImage(240, 240, false, [](int x, int y) { return ((x + y) / 20) % 2 ? Color(255, 255, 255) : Color(200, 30, 60); }),
            370, 190, 5);
        pStripes->setStencilTest(true);
        addSprite(pStripes);
    }

    void onUpdate(float fDt) override {
        GameMode::onUpdate(fDt);
        m_fAngle += 3.0f;
        m_pTurning->setRotation(m_fAngle);
        m_pTurning->setScale(1.0f + 0.5f * std::sin(m_fAngle * 0.05f));
    }

private:
    Tsl::SmartPtr<Sprite> m_pTurning;
    float m_fAngle = 30.0f;
};

// Distinct colours on a coarse grid of the picture: a drawn scene has many.
int countColours(SDL_Surface* pSurface) {
    std::set<Uint32> colours;
    SDL_LockSurface(pSurface);
    for (int y = 0; y < pSurface->h; y += 7)
        for (int x = 0; x < pSurface->w; x += 7) {
            Uint8* p = static_cast<Uint8*>(pSurface->pixels) + y * pSurface->pitch + x * pSurface->format->BytesPerPixel;
            Uint32 n = 0;
            std::memcpy(&n, p, pSurface->format->BytesPerPixel);
            colours.insert(n);
        }
    SDL_UnlockSurface(pSurface);
    return static_cast<int>(colours.size());
}

int run(int nFrames, const char* pszScreenshot) {
    GameApp app;
    SDLPlatform* pPlatform = new SDLPlatform();
    pPlatform->setVideoDriver(new D3D7VideoDriver());
    app.setPlatform(pPlatform);
    if (!app.init(WIDTH, HEIGHT, VMF_STENCIL)) {
        std::fprintf(stderr, "spritedemo: no video mode\n");
        return 1;
    }
    app.getVideoDriver()->setCaption("Sprite demo");
    app.pushMode(new DemoMode());
    for (int i = 0; i < nFrames && !app.isQuitRequested(); ++i) app.runFrame();
    if (!pszScreenshot) return 0;
    SDL_Surface* pScreen = SDL_GetVideoSurface();
    if (!pScreen || SDL_SaveBMP(pScreen, pszScreenshot) != 0) {
        std::fprintf(stderr, "spritedemo: cannot save %s : %s\n", pszScreenshot, SDL_GetError());
        return 1;
    }
    int nColours = countColours(pScreen);
    std::printf("spritedemo: %d frames, screenshot %s (%d colours sampled)\n", nFrames, pszScreenshot, nColours);
    return nColours > 50 ? 0 : 1;
}

const int MAX_FRAMES = 100000;

const char* const USAGE = "usage: spritedemo [--frames N] [screenshot.bmp]\n";
const char* const HELP =
    "\n"
    "Draws a sprite scene in a 640x480 window for N frames (60 unless told,\n"
    "1 to 100000). With a path, saves the last frame there as a BMP picture\n"
    "(the name must end in .bmp) and fails when the frame is blank. The path\n"
    "is checked before the first frame: its folder must exist and be writable.\n"
    "Exit codes: 0 done, 1 failed (the reason on stderr), 2 bad usage.\n";

} // namespace

int main(int argc, char** argv) {
    DemoOptions options;
    if (!parseDemoArguments(DemoArgumentRules{"spritedemo", 1, MAX_FRAMES}, argc, argv, options)) {
        std::fputs(USAGE, stderr);
        return 2;
    }
    if (options.bHelp) {
        std::fputs(USAGE, stdout);
        std::fputs(HELP, stdout);
        return 0;
    }
    if (options.pszScreenshot && !checkScreenshotPath("spritedemo", options.pszScreenshot)) return 2;
    try {
        return run(options.nFrames, options.pszScreenshot);
    } catch (const Tsl::Exception& e) {
        std::fprintf(stderr, "spritedemo: %s\n", e.getMessage());
        return 1;
    }
}
