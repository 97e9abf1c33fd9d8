#include "audio/sdl_audio.h"

#include "app/gameapp.h"
#include "audio/alsamessages.h"

#include "tsl2/error.h"
#include "tsl2/hash_impl.h"
#include "tsl2/timer.h"

#include <cmath>
#include <cstring>

namespace {

const char* const SAMPLE_SUFFIXES[] = {".ogg", ".wav", ".voc", nullptr};
const char* const MUSIC_SUFFIXES[] = {".ogg", ".wav", ".xm", nullptr};
const float SWEEP_SECONDS = 15.0f;
const float CHUNK_VOLUME_SCALE = 0.0078125f; // 1/128

template <class T>
bool notNULL(const T& p) {
    return p != nullptr;
}

int fadeMilliseconds(float fSeconds) {
    return static_cast<int>(fSeconds * 1000.0f);
}


// --- what the mixer can convert ------------------------------------------------------
//
// SDL 1.2 converts a sound to the mixer's format through a fixed table of
// filters and adds one per halving or doubling of the rate and of the channel
// count, without a bound: a header that claims 0 or 1 Hz, no channels or
// hundreds of them overruns that table and corrupts memory. So the header is
// read before the mixer sees the bytes, and only what fits is handed on.

unsigned int readLE(const unsigned char* p, int nBytes) {
    unsigned int nValue = 0;
    for (int i = nBytes - 1; i >= 0; --i) nValue = (nValue << 8) | p[i];
    return nValue;
}

// Within a factor of 16 of the mixer's rate the table keeps room for the
// sign, size and channel filters as well.
bool isConvertible(double fRate, unsigned int nChannels, int nMixerRate, Tsl::String& sWhy) {
    if (nChannels < 1 || nChannels > 8) {
        sWhy.sprintf("unsupported channel count %u", nChannels);
        return false;
    }
    if (!(fRate * 16.0 >= nMixerRate && fRate <= nMixerRate * 16.0)) {
        sWhy.sprintf("unsupported sample rate %.0f Hz", fRate);
        return false;
    }
    return true;
}

// Every "fmt " chunk, walked the way SDL walks them (no pad bytes).
bool checkWave(const unsigned char* p, int nSize, int nMixerRate, Tsl::String& sWhy) {
    for (long nPos = 12; nPos + 8 <= nSize; nPos += 8 + static_cast<long>(readLE(p + nPos + 4, 4))) {
        if (memcmp(p + nPos, "fmt ", 4) != 0 || nPos + 16 > nSize) continue;
        if (!isConvertible(readLE(p + nPos + 12, 4), readLE(p + nPos + 10, 2), nMixerRate, sWhy)) return false;
    }
    return true;
}

// Every Vorbis identification header of the file (each chained stream has
// one, and music rebuilds its conversion for each).
bool checkOgg(const unsigned char* p, int nSize, int nMixerRate, Tsl::String& sWhy) {
    for (int nPos = 0; nPos + 27 <= nSize; ++nPos) {
        if (memcmp(p + nPos, "OggS", 4) != 0 || !(p[nPos + 5] & 0x02)) continue;
        int nBody = nPos + 27 + p[nPos + 26];
        if (nBody + 16 > nSize || memcmp(p + nBody, "\x01vorbis", 7) != 0) continue;
        if (!isConvertible(readLE(p + nBody + 12, 4), p[nBody + 11], nMixerRate, sWhy)) return false;
    }
    return true;
}

// Every block that sets a rate or a channel count.
bool checkVoc(const unsigned char* p, int nSize, int nMixerRate, Tsl::String& sWhy) {
    if (nSize < 26) return true;
    for (long nPos = readLE(p + 20, 2); nPos + 4 <= nSize && p[nPos] != 0; nPos += 4 + readLE(p + nPos + 1, 3)) {
        const unsigned char* pBody = p + nPos + 4;
        if (p[nPos] == 1 && nPos + 5 <= nSize && pBody[0] != 0) {
            if (!isConvertible(1000000.0 / (256 - pBody[0]), 1, nMixerRate, sWhy)) return false;
        } else if (p[nPos] == 8 && nPos + 8 <= nSize) {
            // The extended block's rate is shared by its channels.
            double fRate = 256000000.0 / (65536 - readLE(pBody, 2));
            if (!isConvertible(fRate, 1, nMixerRate, sWhy) || !isConvertible(fRate / 2, 2, nMixerRate, sWhy))
                return false;
        } else if (p[nPos] == 9 && nPos + 10 <= nSize) {
            if (!isConvertible(readLE(pBody, 4), pBody[5], nMixerRate, sWhy)) return false;
        }
    }
    return true;
}

// False, with the reason, for sound the mixer would convert out of bounds
// or a container this system does not use (AIFF and FLAC are converted the
// same unbounded way). Anything else is left to the mixer to judge.
bool isMixable(Tsl::Resource* pResource, Tsl::String& sWhy) {
    int nMixerRate = 0, nChannels = 0;
    Uint16 nFormat = 0;
    if (!Mix_QuerySpec(&nMixerRate, &nFormat, &nChannels) || nMixerRate <= 0) return true;
    const unsigned char* p = pResource->getBuffer();
    int nSize = pResource->getSize();
    if (nSize < 4) return true;
    if (nSize >= 12 && memcmp(p, "RIFF", 4) == 0 && memcmp(p + 8, "WAVE", 4) == 0)
        return checkWave(p, nSize, nMixerRate, sWhy);
    if (memcmp(p, "OggS", 4) == 0) return checkOgg(p, nSize, nMixerRate, sWhy);
    if (nSize >= 20 && memcmp(p, "Creative Voice File\x1a", 20) == 0) return checkVoc(p, nSize, nMixerRate, sWhy);
    if (memcmp(p, "FORM", 4) == 0 || memcmp(p, "fLaC", 4) == 0) {
        sWhy = "unsupported sound container";
        return false;
    }
    return true;
}

// The found sound's bytes, refused with the reason when the mixer could not
// convert them; pszWho starts the message.
Tsl::SmartPtr<Tsl::Resource> getMixableResource(GameApp* pApp, const Tsl::String& sFound, const char* pszWho,
                                                const char* pszName) {
    Tsl::SmartPtr<Tsl::Resource> pResource = pApp->getResource(sFound.c_str());
    TSL_ASSERT(pResource);
    Tsl::String sWhy;
    if (!isMixable(pResource, sWhy))
        TSL_THROW(ResourceException, "%s : Can't load %s [%s]", pszWho, pszName, sWhy.c_str());
    return pResource;
}

// Where a resource's bytes are wrapped for SDL: the mixer reads them through
// this stream, so the resource must outlive it.
SDL_RWops* openResourceStream(Tsl::Resource* pResource, const char* pszWho, const char* pszName) {
    SDL_RWops* pStream = SDL_RWFromMem(pResource->getBuffer(), pResource->getSize());
    if (!pStream)
        TSL_THROW(ResourceException, "%s : Can't create RWOps for %s, size %d [%s]", pszWho, pszName,
                  pResource->getSize(), SDL_GetError());
    return pStream;
}

} // namespace

// --- samples ------------------------------------------------------------------------

SDLSample::SDLSample(const char* pszName) : m_pChunk(nullptr) {
    TSL_TRACE();
    const char* sName = pszName;
    TSL_ASSERT(sName);
    Tsl::traceSetNote("[");
    Tsl::traceAppendNote(sName);
    Tsl::traceAppendNote("]");
    GameApp* pApp = GameApp::getInstance();
    if (!pApp || !pApp->isAudioEnabled()) return;
    m_sName = sName;
    Tsl::String sFound = pApp->findResource(sName, SAMPLE_SUFFIXES);
    if (sFound.isEmpty())
        TSL_THROW(ResourceException, "SDLSample::Sample : Resource %s not found [%s]", sName, SDL_GetError());
    Tsl::SmartPtr<Tsl::Resource> pResource = getMixableResource(pApp, sFound, "SDLSample::Sample", sName);
    SDL_RWops* pStream = openResourceStream(pResource, "SDLSample::Sample", sName);
    m_pChunk = Mix_LoadWAV_RW(pStream, 0);
    SDL_FreeRW(pStream);
    if (!m_pChunk) TSL_THROW(ResourceException, "SDLSample::Sample : Can't load %s [%s]", sName, SDL_GetError());
}

SDLSample::~SDLSample() {
    if (m_pChunk) Mix_FreeChunk(m_pChunk);
}

float SDLSample::getVolume() {
    if (!m_pChunk) return 0.0f;
    return Mix_VolumeChunk(m_pChunk, -1) * CHUNK_VOLUME_SCALE;
}

void SDLSample::setVolume(float fVolume) {
    if (m_pChunk) Mix_VolumeChunk(m_pChunk, static_cast<int>(fVolume * 128.0f));
}

// --- music ----------------------------------------------------------------------------

SDLMusic::SDLMusic(const char* pszName) : m_pMusic(nullptr), m_pStream(nullptr), m_fVolume(1.0f) {
    TSL_TRACE();
    const char* sName = pszName;
    TSL_ASSERT(sName);
    Tsl::traceSetNote(sName);
    GameApp* pApp = GameApp::getInstance();
    if (!pApp || !pApp->isAudioEnabled()) return;
    Tsl::String sFound = pApp->findResource(sName, MUSIC_SUFFIXES);
    if (sFound.isEmpty()) TSL_THROW(ResourceException, "SDLMusic::Music : Resource %s not found", sName);
    m_pResource = getMixableResource(pApp, sFound, "SDLMusic::Music", sName);
    m_pStream = openResourceStream(m_pResource, "SDLMusic::Music", sName);
    // The mixer keeps reading this stream while the music plays; we free it
    // (and the bytes under it) only after the music itself.
    m_pMusic = Mix_LoadMUSType_RW(m_pStream, MUS_NONE, 0);
    if (!m_pMusic) {
        Tsl::String sError = SDL_GetError();
        release();
        TSL_THROW(ResourceException, "SDLMusic::Music : Can't load %s [%s]", sName, sError.c_str());
    }
}

SDLMusic::~SDLMusic() {
    release();
}

void SDLMusic::release() {
    if (m_pMusic) Mix_FreeMusic(m_pMusic);
    m_pMusic = nullptr;
    if (m_pStream) SDL_FreeRW(m_pStream);
    m_pStream = nullptr;
    m_pResource = nullptr;
}

// --- the driver -------------------------------------------------------------------------

SDLAudioDriver::SDLAudioDriver()
    : m_nFrequency(22050),
      m_nChunkSize(-1),
      m_fSoundVolume(1.0f),
      m_fMusicVolume(1.0f),
      m_fMusicOwnVolume(1.0f),
      m_bAllPaused(false),
      m_bMusicPaused(false),
      m_hChannelSamples(97),
      m_pSweepTimer(new Timer(SWEEP_SECONDS, 0)),
      m_bLoopMusic(false),
      m_pSampleLoader(new ResourceLoaderImpl<Sample, SDLSample>(SAMPLE_SUFFIXES)),
      m_pMusicLoader(new ResourceLoaderImpl<Music, SDLMusic>(MUSIC_SUFFIXES)),
      m_bMuted(false),
      m_nHighestChannel(0) {}

SDLAudioDriver::~SDLAudioDriver() {
    TSL_TRACE();
    delete m_pSampleLoader;
    delete m_pMusicLoader;
    // Freeing a fading track would wait for its fade.
    if (m_pFadingMusic) Mix_HaltMusic();
    m_pCurrentMusic = nullptr;
    m_pFadingMusic = nullptr;
    m_pSweepTimer = nullptr;
    m_hChannelSamples.clear();
}

bool SDLAudioDriver::isEnabled() {
    GameApp* pApp = GameApp::getInstance();
    return pApp && pApp->isAudioEnabled();
}

int SDLAudioDriver::getEffectiveChunkSize() const {
    if (m_nChunkSize >= 1) return m_nChunkSize;
    return m_nFrequency == 22050 ? 2048 : 4096;
}

bool SDLAudioDriver::init() {
    TSL_TRACE();
    bool bOpened = false;
    {
        AlsaMessagesToLog quiet;
        bOpened = Mix_OpenAudio(m_nFrequency, AUDIO_S16LSB, 2, getEffectiveChunkSize()) >= 0;
    }
    if (!bOpened) {
        GameApp::log("A: Audio init failed : ");
        GameApp::log("%s", SDL_GetError());
        GameApp::log("\n");
        return false;
    }
    Mix_AllocateChannels(CHANNEL_COUNT);
    m_fSoundVolume = 1.0f;
    m_fMusicVolume = 1.0f;
    m_fMusicOwnVolume = 1.0f;
    return true;
}

void SDLAudioDriver::close() {
    TSL_TRACE();
    if (!isEnabled()) return;
    // The mixer frees its channel table on close but keeps its channel
    // count, and every later channel call would read the freed table:
    // give the channels back first.
    Mix_AllocateChannels(0);
    Mix_CloseAudio();
}

int SDLAudioDriver::playSample(Tsl::SmartPtr<Sample> pSample, bool bLoop, int nChannel) {
    TSL_TRACE();
    if (m_bMuted || !isEnabled()) return -1;
    TSL_ASSERT(notNULL(pSample));
    // A sample another driver made (the silent one of an earlier start-up)
    // has no chunk to play.
    SDLSample* pSDLSample = dynamic_cast<SDLSample*>(pSample.get());
    if (!pSDLSample) return -1;
    int nUsed = Mix_PlayChannelTimed(nChannel, pSDLSample->getChunk(), bLoop ? -1 : 0, -1);
    // No free channel or no chunk: nothing plays, and nothing else is touched
    // (pausing channel -1 would pause every channel). A channel number the
    // mixer does not have comes back unchanged although nothing plays there.
    if (nUsed < 0 || nUsed >= Mix_AllocateChannels(-1)) return -1;
    // A new sound on the channel: its earlier pause is not this sound's.
    forgetPausedChannel(nUsed);
    if (m_bAllPaused) Mix_Pause(nUsed);
    m_hChannelSamples.set(nUsed, pSample);
    if (nUsed > m_nHighestChannel) m_nHighestChannel = nUsed;
    return nUsed;
}

void SDLAudioDriver::playMusic(Tsl::SmartPtr<Music> pMusic, bool bLoop) {
    TSL_TRACE();
    if (m_bMuted || !isEnabled()) return;
    SDLMusic* pSDLMusic = dynamic_cast<SDLMusic*>(pMusic.get());
    if (pMusic && !pSDLMusic) return;  // made by another driver: nothing to play
    if (pSDLMusic) {
        // The mixer would wait for a fading track to end before starting the
        // next one (for ever while it is paused): cut it off, then let go.
        Mix_HaltMusic();
        m_pFadingMusic = nullptr;
    }
    m_pCurrentMusic = pMusic;
    m_bLoopMusic = bLoop;
    TSL_ASSERT(notNULL(pMusic));
    // Played once: update() restarts looping music itself.
    Mix_PlayMusic(pSDLMusic->getHandle(), 0);
    m_fMusicOwnVolume = pMusic->getVolume();
    setMusicVolume(m_fMusicVolume);
    if (m_bAllPaused) Mix_PauseMusic();
}

void SDLAudioDriver::setMusicPosition(float fSeconds) {
    if (isMusicPlaying()) Mix_SetMusicPosition(fSeconds);
}

void SDLAudioDriver::setSoundVolume(float fVolume) {
    m_fSoundVolume = fVolume;
    Mix_Volume(-1, static_cast<int>(fVolume * 128.0f));
}

void SDLAudioDriver::setMusicVolume(float fVolume) {
    m_fMusicVolume = fVolume;
    Mix_VolumeMusic(static_cast<int>(fVolume * m_fMusicOwnVolume * 128.0f));
}

void SDLAudioDriver::setPanning(int nChannel, int nLeft, int nRight) {
    Mix_SetPanning(nChannel, static_cast<Uint8>(nLeft), static_cast<Uint8>(nRight));
}

void SDLAudioDriver::getMixerPosition(float fAngle, float fDistance, Sint16* pAngle, Uint8* pDistance) {
    // The mixer counts clockwise from straight ahead and folds negative
    // angles onto the right (abs), so bring the angle into 0..359 ourselves:
    // 180 (left) must become 270, not 90.
    int nAngle = 0;
    if (std::isfinite(fAngle)) {
        double fMixer = std::fmod(90.0 - static_cast<double>(fAngle), 360.0);
        if (fMixer < 0.0) fMixer += 360.0;
        nAngle = static_cast<int>(fMixer) % 360;
    }
    // Farther than 1.0 is as far as it gets, not wrapped back to near.
    float fScaled = fDistance * 255.0f;
    int nDistance = fScaled >= 255.0f ? 255 : (fScaled > 0.0f ? static_cast<int>(fScaled) : 0);
    *pAngle = static_cast<Sint16>(nAngle);
    *pDistance = static_cast<Uint8>(nDistance);
}

void SDLAudioDriver::setPosition3D(int nChannel, float fAngle, float fDistance) {
    if (fDistance == 0.0f) {
        Mix_SetPosition(nChannel, 0, 0);
        return;
    }
    Sint16 nAngle = 0;
    Uint8 nDistance = 0;
    getMixerPosition(fAngle, fDistance, &nAngle, &nDistance);
    Mix_SetPosition(nChannel, nAngle, nDistance);
}

Tsl::String SDLAudioDriver::getChannelSampleName(int nChannel) {
    if (!m_hChannelSamples.hasKey(nChannel)) return Tsl::String();
    Tsl::SmartPtr<Sample> pSample = m_hChannelSamples.get(nChannel);
    return pSample ? pSample->getName() : Tsl::String();
}

bool SDLAudioDriver::isMixerChannel(int nChannel) {
    return nChannel >= 0 && nChannel < Mix_AllocateChannels(-1);
}

bool SDLAudioDriver::isChannelOrAll(int nChannel) {
    return nChannel == ALL_CHANNELS || isMixerChannel(nChannel);
}

void SDLAudioDriver::forgetPausedChannel(int nChannel) {
    if (nChannel == ALL_CHANNELS) {
        m_lPausedChannels.clear();
        return;
    }
    // pauseAll lists each channel once.
    int nAt = m_lPausedChannels.indexOf(nChannel);
    if (nAt >= 0) m_lPausedChannels.removeAt(nAt);
}

bool SDLAudioDriver::isChannelPlaying(int nChannel) {
    return isEnabled() && isMixerChannel(nChannel) && Mix_Playing(nChannel) != 0;
}

void SDLAudioDriver::stopChannel(int nChannel, float fFadeSeconds) {
    TSL_TRACE();
    // The mixer indexes its channel table with any other number it is given.
    if (!isEnabled() || !isChannelOrAll(nChannel)) return;
    // Whatever plays there next was not paused on its own.
    forgetPausedChannel(nChannel);
    if (fFadeSeconds <= 0.0f) {
        Mix_HaltChannel(nChannel);
        if (nChannel < 0)
            m_hChannelSamples.clear();
        else if (m_hChannelSamples.hasKey(nChannel))
            m_hChannelSamples.remove(nChannel);
    } else {
        // A fading sample keeps playing until its fade ends; the sweep drops
        // it afterwards (freeing it now would cut the fade short).
        Mix_FadeOutChannel(nChannel, fadeMilliseconds(fFadeSeconds));
    }
}

void SDLAudioDriver::pauseChannel(int nChannel) {
    if (isEnabled() && isChannelOrAll(nChannel)) Mix_Pause(nChannel);
}

void SDLAudioDriver::resumeChannel(int nChannel) {
    if (isChannelOrAll(nChannel)) Mix_Resume(nChannel);
}

bool SDLAudioDriver::isMusicPlaying() {
    return isEnabled() && Mix_PlayingMusic() != 0;
}

void SDLAudioDriver::stopMusic(float fFadeSeconds) {
    TSL_TRACE();
    if (!isEnabled()) return;
    m_bLoopMusic = false;
    if (fFadeSeconds <= 0.0f) {
        // Freeing music while it fades makes the mixer wait for the fade:
        // halt first, then let go.
        Mix_HaltMusic();
        m_pCurrentMusic = nullptr;
        m_pFadingMusic = nullptr;
    } else {
        // Held until update() sees it has stopped. A second faded stop
        // keeps the track that is already fading.
        if (m_pCurrentMusic) m_pFadingMusic = m_pCurrentMusic;
        m_pCurrentMusic = nullptr;
        Mix_FadeOutMusic(fadeMilliseconds(fFadeSeconds));
    }
}

void SDLAudioDriver::pauseMusic() {
    if (!isEnabled()) return;
    Mix_PauseMusic();
    m_bMusicPaused = true;
}

void SDLAudioDriver::resumeMusic() {
    if (!isEnabled()) return;
    Mix_ResumeMusic();
    m_bMusicPaused = false;
}

void SDLAudioDriver::pauseAll(bool bPause) {
    TSL_TRACE();
    if (!isEnabled() || bPause == m_bAllPaused) return;
    m_bAllPaused = bPause;
    if (bPause) {
        m_lPausedChannels.clear();
        for (int i = 0; i <= m_nHighestChannel; ++i) {
            if (Mix_Paused(i)) m_lPausedChannels.append(i);
        }
        // A global pause does not count as the music being paused on its own.
        bool bWasPaused = m_bMusicPaused;
        pauseMusic();
        m_bMusicPaused = bWasPaused;
        pauseChannel(-1);
    } else {
        if (!m_bMusicPaused) resumeMusic();
        resumeChannel(-1);
        for (int nChannel : m_lPausedChannels) pauseChannel(nChannel);
        m_lPausedChannels.clear();
    }
}

void SDLAudioDriver::update(float fDt) {
    TSL_TRACE();
    IAudioDriver::update(fDt);
    if (!isMusicPlaying()) {
        m_pFadingMusic = nullptr;
        if (m_bLoopMusic && m_pCurrentMusic) playMusic(m_pCurrentMusic, true);
    }
    if (m_pSweepTimer->advance(fDt)) {
        m_pSweepTimer->restart();
        sweepFinishedSamples();
    }
}

void SDLAudioDriver::sweepFinishedSamples() {
    TSL_TRACE();
    // By channel number, not over a copy of the keys: the sweep comes round
    // while the game plays and must allocate nothing. Samples are held only
    // for channels the mixer had, numbered from 0 (it may have none now).
    int nLeft = m_hChannelSamples.getCount();
    for (int nChannel = 0; nLeft > 0; ++nChannel) {
        if (!m_hChannelSamples.hasKey(nChannel)) continue;
        --nLeft;
        if (!isChannelPlaying(nChannel)) m_hChannelSamples.remove(nChannel);
    }
}
