#include "app/platformservices.h"

void registerPlatformFontFactories() {}

void unregisterPlatformFontFactories() {}

IVideoSpriteImpl* createPlatformVideoSpriteImpl() {
    return nullptr;
}
