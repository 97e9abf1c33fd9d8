// The movie back end a video sprite plays through. The platform makes one
// (IPlatform::createVideoSpriteImpl) and the sprite owns it.
#pragma once

#include "tsl2/refcount.h"

class Image;

class IVideoSpriteImpl {
public:
    virtual ~IVideoSpriteImpl() {}
    // False when the file does not exist; a broken file raises.
    virtual bool open(const char* pszPath) = 0;
    // Advances the movie by dt seconds; the new picture, or null when no new
    // picture is due.
    virtual Tsl::SmartPtr<Image> update(float fDt) = 0;
    virtual void play() = 0;
    virtual void stop() = 0;
    // Reserved for pausing; no back end implements it.
    virtual void pause() = 0;
    virtual bool isFinished() = 0;
    virtual int getWidth() = 0;
    virtual int getHeight() = 0;
    // 0.0 to 1.0; applies to sound decoded afterwards.
    virtual void setVolume(float fVolume) = 0;
    // The movie's sound replaces the mixer's output instead of being added to it.
    virtual void setAudioExclusive(bool bExclusive) = 0;
    virtual bool isAudioExclusive() = 0;
    virtual float getCurrentTime() = 0;
    // Forward only.
    virtual void seek(float fSeconds) = 0;
};
