// Sound effects on mixer channels and one music track at a time. The
// interface itself keeps the name of the current music and a playlist that
// update() advances one track at a time.
#pragma once

#include "tsl2/list.h"
#include "tsl2/refcount.h"
#include "tsl2/str.h"

template <class T>
class IResourceLoader;
namespace Tsl {
class Random;
}

class Sample : public Tsl::RefCountedObject {
public:
    ~Sample() override {}
    // 0.0 to 1.0.
    virtual float getVolume() = 0;
    virtual void setVolume(float fVolume) = 0;

    // The resource name; empty until a driver's sample stores it.
    const Tsl::String& getName() const { return m_sName; }

protected:
    Tsl::String m_sName;
};

class Music : public Tsl::RefCountedObject {
public:
    ~Music() override {}
    virtual float getVolume() = 0;
    virtual void setVolume(float fVolume) = 0;
};

class IAudioDriver {
public:
    IAudioDriver();
    virtual ~IAudioDriver();

    // True when audio output is running.
    virtual bool init() = 0;
    virtual void close() = 0;
    // While muted, play requests are dropped.
    virtual void setMuted(bool bMuted) = 0;

    // nChannel -1 = any free channel; returns the channel used, -1 when nothing plays.
    virtual int playSample(Tsl::SmartPtr<Sample> pSample, bool bLoop, int nChannel) = 0;
    virtual void playMusic(Tsl::SmartPtr<Music> pMusic, bool bLoop) = 0;
    virtual void setMusicPosition(float fSeconds) = 0;

    // Volumes are 0.0 to 1.0.
    virtual float getSoundVolume() = 0;
    virtual void setSoundVolume(float fVolume) = 0;
    virtual float getMusicVolume() = 0;
    virtual void setMusicVolume(float fVolume) = 0;

    // 0 to 255 each.
    virtual void setPanning(int nChannel, int nLeft, int nRight) = 0;
    // Angle in degrees counter-clockwise from the right (90 = ahead); distance 0.0 to 1.0.
    virtual void setPosition3D(int nChannel, float fAngle, float fDistance) = 0;

    virtual Tsl::String getChannelSampleName(int nChannel) = 0;
    virtual bool isChannelPlaying(int nChannel) = 0;
    // nChannel -1 = all; a fade of 0 stops at once.
    virtual void stopChannel(int nChannel, float fFadeSeconds) = 0;
    virtual void pauseChannel(int nChannel) = 0;
    virtual void resumeChannel(int nChannel) = 0;

    virtual bool isMusicPlaying() = 0;
    virtual void stopMusic(float fFadeSeconds) = 0;
    virtual void pauseMusic() = 0;
    virtual void resumeMusic() = 0;
    // Pause (true) or resume (false) every channel and the music together.
    virtual void pauseAll(bool bPause) = 0;

    // Owned by the driver.
    virtual IResourceLoader<Sample>* getSampleLoader() = 0;
    virtual IResourceLoader<Music>* getMusicLoader() = 0;

    // Once per frame: the playlist step.
    virtual void update(float fDt);

    // By name, through the application's music cache. The track already
    // playing under that name keeps playing without a restart.
    void playMusic(const char* pszName, bool bLoop);
    void stopPlaylist();
    void playPlaylist(const Tsl::List<Tsl::String>& lNames);
    Tsl::String getCurrentMusicName() const { return m_sCurrentMusic; }

protected:
    // Starts a track by name without touching the playlist.
    void startMusicByName(const Tsl::String& sName, bool bLoop);
    Tsl::String pickPlaylistEntry();

    Tsl::String m_sCurrentMusic;
    Tsl::List<Tsl::String> m_lPlaylist;
    // Made on first use, seeded from the clock.
    Tsl::Random* m_pRandom;
};
