#include "audio/dummyaudio.h"

#include "tsl2/error.h"

DummyAudioDriver::DummyAudioDriver()
    : m_fSoundVolume(1.0f), m_fMusicVolume(1.0f), m_pSampleLoader(nullptr), m_pMusicLoader(nullptr) {}

DummyAudioDriver::~DummyAudioDriver() {
    close();
}

bool DummyAudioDriver::init() {
    TSL_TRACE();
    // A second init must not leak the first pair of loaders.
    close();
    m_pSampleLoader = new ResourceLoaderImpl<Sample, DummySample>(nullptr);
    m_pMusicLoader = new ResourceLoaderImpl<Music, DummyMusic>(nullptr);
    return true;
}

void DummyAudioDriver::close() {
    TSL_TRACE();
    delete m_pSampleLoader;
    m_pSampleLoader = nullptr;
    delete m_pMusicLoader;
    m_pMusicLoader = nullptr;
}
