// The objects the SDL platform makes that live in rooms above it: the
// TrueType font factory (text) and the movie player (media). The platform
// calls these plain functions; they are defined here, at the service point
// every room may reach, so the platform room never includes the rooms above.
#pragma once

class IVideoSpriteImpl;

// SDLPlatform's constructor: registers the TrueType factory with the theme
// under "TrueType".
void registerPlatformFontFactories();

// SDLPlatform::shutdown, first of all, once per platform: the last platform
// to go logs the font-cache line and unregisters the TrueType factory.
void unregisterPlatformFontFactories();

// SDLPlatform::createVideoSpriteImpl: a new movie back end, owned by the
// caller.
IVideoSpriteImpl* createPlatformVideoSpriteImpl();
