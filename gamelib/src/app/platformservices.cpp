#include "app/platformservices.h"

#include "app/gameapp.h"
#include "media/sdl_theora.h"
#include "text/sdl_ttf_font.h"
#include "ui/theme.h"

namespace {
const char* const TRUETYPE_CLASS = "TrueType";
// Platforms alive that registered: one replaced by another (the new one is
// made before the old one goes) must not take the factory from its successor.
int s_nFontRegistrations = 0;
}

void registerPlatformFontFactories() {
    Theme::registerFontFactory(TRUETYPE_CLASS, new SDLTTFFactory());
    ++s_nFontRegistrations;
}

void unregisterPlatformFontFactories() {
    if (s_nFontRegistrations > 0 && --s_nFontRegistrations > 0) return;
    Tsl::SmartPtr<SDLTTFFactory> pFactory =
        Tsl::SmartPtr<SDLTTFFactory>::dynamicCast(Theme::findFontFactory(TRUETYPE_CLASS));
    // A second shut-down finds nothing left to report or release.
    if (!pFactory) return;
    if (GameApp::getInstance()) GameApp::log("%s", SDLTTFFactory::formatStatistics().c_str());
    // The cached fonts go now, so SDL_ttf shuts down once the last font
    // handed out is gone, not at the end of the process.
    pFactory->clearCache();
    Theme::unregisterFontFactory(TRUETYPE_CLASS);
}

IVideoSpriteImpl* createPlatformVideoSpriteImpl() {
    return new SDLTheoraVideo();
}
