#include "audio/audiodriver.h"

#include "app/gameapp.h"

#include "tsl2/error.h"
#include "tsl2/random.h"

#include <ctime>

IAudioDriver::IAudioDriver() : m_pRandom(nullptr) {}

IAudioDriver::~IAudioDriver() {
    delete m_pRandom;
}

void IAudioDriver::startMusicByName(const Tsl::String& sName, bool bLoop) {
    TSL_TRACE();
    m_sCurrentMusic = sName;
    GameApp* pApp = GameApp::getInstance();
    if (!pApp) return;
    playMusic(pApp->getMusic(sName.c_str()), bLoop);
}

void IAudioDriver::playMusic(const char* pszName, bool bLoop) {
    TSL_TRACE();
    if (m_sCurrentMusic == pszName && isMusicPlaying()) return;
    m_lPlaylist.clear();
    startMusicByName(pszName, bLoop);
}

void IAudioDriver::stopPlaylist() {
    TSL_TRACE();
    stopMusic(0.0f);
    m_sCurrentMusic = "";
    m_lPlaylist.clear();
}

void IAudioDriver::playPlaylist(const Tsl::List<Tsl::String>& lNames) {
    TSL_TRACE();
    stopPlaylist();
    m_lPlaylist = lNames;
    update(0.0f);
}

Tsl::String IAudioDriver::pickPlaylistEntry() {
    int nCount = m_lPlaylist.getCount();
    if (nCount == 1) return m_lPlaylist.getFirst();
    // Never the same track twice in a row while another one is listed; a
    // list of nothing but the current track plays it again rather than
    // drawing forever.
    Tsl::List<Tsl::String> lOthers;
    for (const Tsl::String& sName : m_lPlaylist) {
        if (sName != m_sCurrentMusic) lOthers.append(sName);
    }
    const Tsl::List<Tsl::String>& lFrom = lOthers.isEmpty() ? m_lPlaylist : lOthers;
    if (!m_pRandom) m_pRandom = new Tsl::Random(static_cast<unsigned int>(time(nullptr)));
    return lFrom.getAt(m_pRandom->getInt(0, lFrom.getCount() - 1));
}

void IAudioDriver::update(float fDt) {
    TSL_TRACE();
    if (isMusicPlaying() || m_lPlaylist.isEmpty()) return;
    startMusicByName(pickPlaylistEntry(), false);
}
