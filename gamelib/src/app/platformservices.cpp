#include "app/platformservices.h"

#include "media/sdl_theora.h"

void registerPlatformFontFactories() {}

void unregisterPlatformFontFactories() {}

IVideoSpriteImpl* createPlatformVideoSpriteImpl() {
    return new SDLTheoraVideo();
}
