// Sound through SDL_mixer: effects as chunks on 16 channels, music as one
// streamed track, both decoded from resource bytes in memory. Each playing
// sample is kept alive while its channel plays; looping music is restarted
// by update(); everything pauses together while the window is inactive.
#pragma once

#include "audio/audiodriver.h"
#include "app/resourceloader.h"

#include "tsl2/hash.h"
#include "tsl2/list.h"
#include "tsl2/resource.h"

#include <SDL_mixer.h>

class Timer;

class SDLSample : public Sample {
public:
    explicit SDLSample(const char* pszName);
    ~SDLSample() override;
    float getVolume() override;
    void setVolume(float fVolume) override;
    Mix_Chunk* getChunk() const { return m_pChunk; }

private:
    Mix_Chunk* m_pChunk;
};

class SDLMusic : public Music {
public:
    explicit SDLMusic(const char* pszName);
    ~SDLMusic() override;
    // The music's own volume only; it takes effect when the music next starts.
    float getVolume() override { return m_fVolume; }
    void setVolume(float fVolume) override { m_fVolume = fVolume; }
    Mix_Music* getHandle() const { return m_pMusic; }

private:
    void release();

    Mix_Music* m_pMusic;
    // The mixer streams from these bytes for as long as the music lives.
    Tsl::SmartPtr<Tsl::Resource> m_pResource;
    SDL_RWops* m_pStream;
    float m_fVolume;
};

class SDLAudioDriver : public IAudioDriver {
public:
    enum { CHANNEL_COUNT = 16, ALL_CHANNELS = -1 };

    SDLAudioDriver();
    ~SDLAudioDriver() override;

    using IAudioDriver::playMusic;

    void setFrequency(int nHertz) { m_nFrequency = nHertz; }
    void setChunkSize(int nSamples) { m_nChunkSize = nSamples; }
    // The chunk size init() opens the mixer with.
    int getEffectiveChunkSize() const;

    bool init() override;
    void close() override;
    void setMuted(bool bMuted) override { m_bMuted = bMuted; }
    int playSample(Tsl::SmartPtr<Sample> pSample, bool bLoop, int nChannel) override;
    void playMusic(Tsl::SmartPtr<Music> pMusic, bool bLoop) override;
    void setMusicPosition(float fSeconds) override;
    float getSoundVolume() override { return m_fSoundVolume; }
    void setSoundVolume(float fVolume) override;
    float getMusicVolume() override { return m_fMusicVolume; }
    void setMusicVolume(float fVolume) override;
    void setPanning(int nChannel, int nLeft, int nRight) override;
    void setPosition3D(int nChannel, float fAngle, float fDistance) override;
    Tsl::String getChannelSampleName(int nChannel) override;
    bool isChannelPlaying(int nChannel) override;
    void stopChannel(int nChannel, float fFadeSeconds) override;
    void pauseChannel(int nChannel) override;
    void resumeChannel(int nChannel) override;
    bool isMusicPlaying() override;
    void stopMusic(float fFadeSeconds) override;
    void pauseMusic() override;
    void resumeMusic() override;
    void pauseAll(bool bPause) override;
    IResourceLoader<Sample>* getSampleLoader() override { return m_pSampleLoader; }
    IResourceLoader<Music>* getMusicLoader() override { return m_pMusicLoader; }
    void update(float fDt) override;

    // Mix_SetPosition's angle and distance for a caller's angle (degrees
    // counter-clockwise from the right) and distance 0..1.
    static void getMixerPosition(float fAngle, float fDistance, Sint16* pAngle, Uint8* pDistance);
    bool isAllPaused() const { return m_bAllPaused; }
    int getHeldSampleCount() const { return m_hChannelSamples.getCount(); }

private:
    static bool isEnabled();
    // A channel the mixer has; or that, or -1 for all of them.
    static bool isMixerChannel(int nChannel);
    static bool isChannelOrAll(int nChannel);
    // The channel (or every channel, for -1) no longer counts as paused on its own.
    void forgetPausedChannel(int nChannel);
    void sweepFinishedSamples();

    int m_nFrequency;
    int m_nChunkSize;
    float m_fSoundVolume;
    float m_fMusicVolume;
    float m_fMusicOwnVolume;
    bool m_bAllPaused;
    Tsl::List<int> m_lPausedChannels;
    bool m_bMusicPaused;
    Tsl::Hash<int, Tsl::SmartPtr<Sample>> m_hChannelSamples;
    Tsl::SmartPtr<Timer> m_pSweepTimer;
    Tsl::SmartPtr<Music> m_pCurrentMusic;
    // Music fading out after stopMusic, held until the mixer lets go of it.
    Tsl::SmartPtr<Music> m_pFadingMusic;
    bool m_bLoopMusic;
    IResourceLoader<Sample>* m_pSampleLoader;
    IResourceLoader<Music>* m_pMusicLoader;
    bool m_bMuted;
    int m_nHighestChannel;
};
