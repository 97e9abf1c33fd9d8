// The audio driver that plays nothing: installed when sound cannot start or
// is switched off, so every caller of the audio interface works unchanged.
#pragma once

#include "audio/audiodriver.h"
#include "app/resourceloader.h"

class DummySample : public Sample {
public:
    explicit DummySample(const char* pszName) {}
    float getVolume() override { return 1.0f; }
    void setVolume(float fVolume) override {}
};

class DummyMusic : public Music {
public:
    explicit DummyMusic(const char* pszName) {}
    float getVolume() override { return 1.0f; }
    void setVolume(float fVolume) override {}
};

class DummyAudioDriver : public IAudioDriver {
public:
    DummyAudioDriver();
    ~DummyAudioDriver() override;

    using IAudioDriver::playMusic;

    bool init() override;
    void close() override;
    void setMuted(bool bMuted) override {}
    int playSample(Tsl::SmartPtr<Sample> pSample, bool bLoop, int nChannel) override { return -1; }
    void playMusic(Tsl::SmartPtr<Music> pMusic, bool bLoop) override {}
    void setMusicPosition(float fSeconds) override {}
    float getSoundVolume() override { return m_fSoundVolume; }
    void setSoundVolume(float fVolume) override { m_fSoundVolume = fVolume; }
    float getMusicVolume() override { return m_fMusicVolume; }
    void setMusicVolume(float fVolume) override { m_fMusicVolume = fVolume; }
    void setPanning(int nChannel, int nLeft, int nRight) override {}
    void setPosition3D(int nChannel, float fAngle, float fDistance) override {}
    Tsl::String getChannelSampleName(int nChannel) override { return Tsl::String(); }
    bool isChannelPlaying(int nChannel) override { return false; }
    void stopChannel(int nChannel, float fFadeSeconds) override {}
    void pauseChannel(int nChannel) override {}
    void resumeChannel(int nChannel) override {}
    bool isMusicPlaying() override { return false; }
    void stopMusic(float fFadeSeconds) override {}
    void pauseMusic() override {}
    void resumeMusic() override {}
    void pauseAll(bool bPause) override {}
    IResourceLoader<Sample>* getSampleLoader() override { return m_pSampleLoader; }
    IResourceLoader<Music>* getMusicLoader() override { return m_pMusicLoader; }

private:
    float m_fSoundVolume;
    float m_fMusicVolume;
    IResourceLoader<Sample>* m_pSampleLoader;
    IResourceLoader<Music>* m_pMusicLoader;
};
