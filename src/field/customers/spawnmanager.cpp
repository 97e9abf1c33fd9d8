#include "field/customers/spawnmanager.h"

#include "app/gameapp.h"
#include "field/customers/character.h"
#include "field/customers/characterspot.h"
#include "field/customers/customerlooks.h"
#include "base/names.h"
#include "field/playmode.h"

#include <cmath>

namespace {

template <class T>
T at(const Tsl::List<T>& l, int i, T fallback) {
    return (i >= 0 && i < l.getCount()) ? l.getAt(i) : fallback;
}

Tsl::String animFile(const Tsl::String& sName) { return Tsl::String::format(Names::CHAR_ANIM_FORMAT, sName.c_str()); }

}  // namespace

SpawnManager::SpawnManager(PlayMode* pMode)
    : m_pPlayMode(pMode),
      m_hCharInfos(97),
      m_hTags(97),
      m_fTimer(2.0f),
      m_nPendingInfo(-1),
      m_nSeatCount(0),
      m_nNormalSeatCount(0),
      m_nCharPosY(0),
      m_nCharDepth(0),
      m_nVipPosY(0),
      m_nVipDepth(0),
      m_nPendingSeat(-1),
      m_nVoice(0),
      m_bWeightsUsable(false) {}

SpawnManager::~SpawnManager() {}

bool SpawnManager::isGenerated(const Tsl::String& sName) {
    return sName == Names::DEF_HOMBRE || sName == Names::DEF_VIP;
}

void SpawnManager::loadCharacters(const char* pszSet) {
    TSL_TRACE();
    GameApp* pApp = GameApp::getInstance();
    float fSum = 0.0f;
    Tsl::List<Tsl::SmartPtr<CharacterInfo>> lRead;
    for (int n = 0; n < FILE_COUNT; ++n) {
        Tsl::String sFile = Tsl::String::format(Names::CHARS_FILE_FORMAT, pszSet, n);
        if (!pApp->hasResource(sFile)) continue;
        readCharacterDefinitions(sFile, pApp->getResource(sFile)->getString(), lRead);
    }
    m_bWeightsUsable = true;
    for (const Tsl::SmartPtr<CharacterInfo>& pInfo : lRead) {
        if (!std::isfinite(pInfo->m_fWeight) || pInfo->m_fWeight < 0.0f) m_bWeightsUsable = false;
        fSum += pInfo->m_fWeight;
        // A later line of the same name replaces the earlier one; the sum keeps both.
        m_hCharInfos.set(pInfo->m_sName, pInfo);
    }
    for (const Tsl::SmartPtr<CharacterInfo>& pInfo : m_hCharInfos.getValues()) {
        if (!isGenerated(pInfo->m_sName) && !pApp->hasResource(animFile(pInfo->m_sName))) {
            GameApp::log("SpawnManager: %s has no animation %s; not drawn\n", pInfo->m_sName.c_str(),
                         animFile(pInfo->m_sName).c_str());
            continue;
        }
        m_lCharInfos.append(pInfo);
    }
    if (!std::isfinite(fSum) || fSum <= 0.0f) m_bWeightsUsable = false;
    if (!m_bWeightsUsable) {
        GameApp::log("SpawnManager: the customer weights of %s are not usable; no customers\n", pszSet);
        return;
    }
    for (const Tsl::SmartPtr<CharacterInfo>& pInfo : m_lCharInfos) pInfo->m_fWeight /= fSum;
}

void SpawnManager::setSeatInfo(SeatInfo info) {
    TSL_TRACE();
    int nSeats = info.m_nSeatCount;
    if (nSeats < 0 || nSeats > info.m_lSeatX.getCount()) {
        GameApp::log("SpawnManager: %d seats but %d seat positions\n", nSeats, info.m_lSeatX.getCount());
        nSeats = nSeats < 0 ? 0 : info.m_lSeatX.getCount();
    }
    int nNormal = info.m_nNormalSeatCount;
    if (nNormal < 0 || nNormal > nSeats) {
        GameApp::log("SpawnManager: %d ordinary seats of %d\n", nNormal, nSeats);
        nNormal = nNormal < 0 ? 0 : nSeats;
    }
    m_lSeatX = info.m_lSeatX;
    m_nSeatCount = nSeats;
    m_nNormalSeatCount = nNormal;
    m_nCharPosY = info.m_nCharPosY;
    m_nCharDepth = info.m_nCharDepth;
    m_nVipPosY = info.m_nVipPosY;
    m_nVipDepth = info.m_nVipDepth;
}

int SpawnManager::pickCharacter() {
    TSL_TRACE();
    if (!m_bWeightsUsable || m_lCharInfos.isEmpty()) return -1;
    for (int nDraw = 0; nDraw <= MAX_PRESENT_RETRIES; ++nDraw) {
        float fR = float(Tsl::gameRand() % 10000) / 10000.0f;
        int nIndex = -1, i = 0;
        for (const Tsl::SmartPtr<CharacterInfo>& pInfo : m_lCharInfos) {
            fR -= pInfo->m_fWeight;
            if (fR <= 0.0f) {
                nIndex = i;
                break;
            }
            ++i;
        }
        // Past the end of the list: the shares did not add up to the draw.
        if (nIndex < 0) return -1;
        Tsl::SmartPtr<CharacterInfo> pInfo = m_lCharInfos.getAt(nIndex);
        if (pInfo->m_bPresent || m_lBrokenInfos.indexOf(nIndex) >= 0) continue;
        if (pInfo->m_sName == Names::DEF_VIP && m_nSeatCount == m_nNormalSeatCount) return -1;
        return nIndex;
    }
    return -1;
}

bool SpawnManager::isOccupied(int nSeat) const {
    const PlayField* pField = m_pPlayMode->getField();
    return at(pField->m_lSeatOccupants, nSeat, Tsl::SmartPtr<Character>()) != nullptr;
}

bool SpawnManager::drawSeat(const Tsl::SmartPtr<CharacterInfo>& pInfo) {
    bool bVip = pInfo->m_sName == Names::DEF_VIP;
    int nChoices = bVip ? m_nSeatCount - m_nNormalSeatCount : m_nNormalSeatCount;
    if (nChoices <= 0) return false;
    for (int nDraw = 0; nDraw < SEAT_DRAWS; ++nDraw) {
        m_nPendingSeat = (bVip ? m_nNormalSeatCount : 0) + Tsl::gameRand() % nChoices;
        if (!isOccupied(m_nPendingSeat)) return true;
    }
    return false;
}

bool SpawnManager::buildLook(const Tsl::SmartPtr<CharacterInfo>& pInfo) {
    TSL_TRACE();
    m_sPending = pInfo->m_sName;
    m_sPendingFile = "";
    try {
        if (!isGenerated(pInfo->m_sName)) {
            m_sPendingFile = animFile(m_sPending);
            m_lPendingParams.clear();
            queueAnimation();
            m_nVoice = drawNamedVoice(m_sPending);
            return true;
        }
        CustomerLook look;
        bool bDrawn = pInfo->m_sName == Names::DEF_VIP ? drawVipLook(m_lLooks, look) : drawOrdinaryLook(m_lLooks, look);
        if (!bDrawn) {
            GameApp::log("SpawnManager: no %s look left that is not in the bar\n", pInfo->m_sName.c_str());
            m_sPending = "";
            return false;
        }
        m_sPending = look.m_sKey;
        m_lLooks.append(look.m_sKey);
        m_nVoice = look.m_nVoice;
        m_sPendingFile = look.m_sTemplate;
        m_lPendingParams = look.m_lParams;
        queueAnimation();
    } catch (const Tsl::Exception& e) {
        dropPending(e.getMessage());
        return false;
    }
    return true;
}

void SpawnManager::queueAnimation() {
    GameApp* pApp = GameApp::getInstance();
    Tsl::String sKey = animFile(m_sPending);
    if (!pApp->hasAnimation(sKey) && m_lLoadedKeys.indexOf(sKey) < 0) m_lLoadedKeys.append(sKey);
    pApp->preloadAnimation(m_sPendingFile, sKey, m_lPendingParams);
}

void SpawnManager::releaseAnimations() {
    TSL_TRACE();
    GameApp* pApp = GameApp::getInstance();
    if (!m_sPending.isEmpty() && !pApp->hasAnimation(animFile(m_sPending))) {
        try {
            RecordImageLoads record(m_lLoadedImages);
            pApp->getAnimation(m_sPendingFile, animFile(m_sPending), m_lPendingParams);
        } catch (const Tsl::Exception& e) {
            GameApp::log("SpawnManager: animation failed: %s\n", e.getMessage());
        }
    }
    for (const Tsl::String& sKey : m_lLoadedKeys) pApp->releaseAnimation(sKey);
    m_lLoadedKeys.clear();
    for (const Tsl::String& sName : m_lLoadedImages) pApp->releaseImage(sName);
    m_lLoadedImages.clear();
}

void SpawnManager::dropPending(const char* pszWhy) {
    // Named by the file, not the drawn look: a broken template fails the same
    // way on every frame, and the log then holds the line once with a count.
    GameApp::log("SpawnManager: a customer of %s dropped: %s\n",
                 (m_sPendingFile.isEmpty() ? m_sPending : m_sPendingFile).c_str(), pszWhy);
    // A named customer's own file stays broken: it is not drawn, nor read, again this level.
    Tsl::SmartPtr<CharacterInfo> pInfo = at(m_lCharInfos, m_nPendingInfo, Tsl::SmartPtr<CharacterInfo>());
    if (pInfo && !isGenerated(pInfo->m_sName) && m_lBrokenInfos.indexOf(m_nPendingInfo) < 0)
        m_lBrokenInfos.append(m_nPendingInfo);
    int nLook = m_lLooks.indexOf(m_sPending);
    if (nLook >= 0) m_lLooks.removeAt(nLook);
    m_sPending = "";
}

bool SpawnManager::prepareCustomer() {
    int nInfo = -1;
    for (int nDraw = 0; nInfo < 0; ++nDraw) {
        if (nDraw > MAX_TAG_REDRAWS) {
            GameApp::log("SpawnManager: every drawn customer shares a tag with one in the bar\n");
            return false;
        }
        nInfo = pickCharacter();
        if (nInfo < 0) return false;
        for (const Tsl::String& sTag : m_lCharInfos.getAt(nInfo)->m_lTags)
            if (m_hTags.hasKey(sTag)) nInfo = -1;
    }
    m_nPendingInfo = nInfo;
    Tsl::SmartPtr<CharacterInfo> pInfo = m_lCharInfos.getAt(nInfo);
    if (!drawSeat(pInfo)) return false;
    return buildLook(pInfo);
}

void SpawnManager::update(float fDt) {
    TSL_TRACE();
    GameApp* pApp = GameApp::getInstance();
    if (m_sPending.isEmpty()) {
        if (!prepareCustomer()) return;
    } else {
        RecordImageLoads record(m_lLoadedImages);
        try {
            pApp->stepAnimationPreload();
        } catch (const Tsl::Exception& e) {
            // The entry that failed may be another's: loading ours now tells.
            Tsl::String sFailed = e.getMessage();
            try {
                pApp->getAnimation(m_sPendingFile, animFile(m_sPending), m_lPendingParams);
            } catch (const Tsl::Exception& eOurs) {
                dropPending(eOurs.getMessage());
                return;
            }
            GameApp::log("SpawnManager: animation failed: %s\n", sFailed.c_str());
        }
    }
    m_fTimer -= fDt;
    if (!(m_fTimer < 0.0f)) return;
    Tsl::String sKey = animFile(m_sPending);
    if (!pApp->hasAnimation(sKey)) {
        if (pApp->getPreloadQueueLength() == 0) dropPending("its animation could not be loaded");
        return;
    }
    PlayField* pField = m_pPlayMode->getField();
    if (!isOccupied(m_nPendingSeat)) {
        bool bSpawn = pField->m_nCustomersToCome != 0;
        if (pField->m_nCustomersToCome > 0) --pField->m_nCustomersToCome;
        if (bSpawn) {
            createCharacter(m_nPendingInfo, m_nPendingSeat);
            m_sPending = "";
        }
    }
    m_fTimer = static_cast<float>(m_random.getDouble(pField->m_fMinSpawnDelay, pField->m_fMaxSpawnDelay));
}

Tsl::SmartPtr<Character> SpawnManager::createCharacter(int nInfo, int nSeat) {
    TSL_TRACE();
    Tsl::SmartPtr<CharacterInfo> pInfo = m_lCharInfos.getAt(nInfo);
    PlayField* pField = m_pPlayMode->getField();
    bool bVip = pInfo->m_sName == Names::DEF_VIP;
    bool bGenerated = isGenerated(pInfo->m_sName);
    int nVipSide = bVip ? at(pField->m_lVipSides, nSeat - m_nNormalSeatCount, 1) : 1;
    Tsl::String sName = bGenerated ? m_sPending : pInfo->m_sName;
    Tsl::SmartPtr<Character> pCharacter =
        new Character(m_pPlayMode, sName, nSeat, at(m_lSeatX, nSeat, 0), bVip ? m_nVipPosY : m_nCharPosY,
                      bVip ? m_nVipDepth : m_nCharDepth, bVip, nVipSide, m_nVoice);
    pCharacter->setSeatKind(at(pField->m_lSeatKinds, nSeat, 0));
    while (pField->m_lSeatOccupants.getCount() <= nSeat) pField->m_lSeatOccupants.append(nullptr);
    pField->m_lSeatOccupants.getNode(nSeat)->data = pCharacter;
    Tsl::SmartPtr<CharacterSpot> pSpot = at(pField->m_lSeatSpots, nSeat, Tsl::SmartPtr<CharacterSpot>());
    if (pSpot) pSpot->setCharacter(pCharacter);
    if (!bGenerated) pInfo->m_bPresent = true;
    for (const Tsl::String& sTag : pInfo->m_lTags) m_hTags.set(sTag, 1);
    m_hSeatInfo.set(nSeat, nInfo);
    m_hSeatLook.set(nSeat, bGenerated ? sName : Tsl::String());
    return pCharacter;
}

void SpawnManager::removeCharacter(Tsl::SmartPtr<Character> pCharacter) {
    TSL_TRACE();
    PlayField* pField = m_pPlayMode->getField();
    int nSeat = pCharacter ? pField->m_lSeatOccupants.indexOf(pCharacter) : -1;
    if (nSeat < 0) return;
    pField->m_lSeatOccupants.getNode(nSeat)->data = nullptr;
    Tsl::SmartPtr<CharacterSpot> pSpot = at(pField->m_lSeatSpots, nSeat, Tsl::SmartPtr<CharacterSpot>());
    if (pSpot) pSpot->removeCharacter(pCharacter);
    Tsl::String sLook = m_hSeatLook.hasKey(nSeat) ? m_hSeatLook.remove(nSeat) : Tsl::String();
    int nInfo = m_hSeatInfo.hasKey(nSeat) ? m_hSeatInfo.remove(nSeat) : -1;
    if (!sLook.isEmpty()) {
        int nLook = m_lLooks.indexOf(sLook);
        if (nLook >= 0) m_lLooks.removeAt(nLook);
        return;
    }
    if (nInfo < 0 || nInfo >= m_lCharInfos.getCount()) return;
    Tsl::SmartPtr<CharacterInfo> pInfo = m_lCharInfos.getAt(nInfo);
    pInfo->m_bPresent = false;
    for (const Tsl::String& sTag : pInfo->m_lTags)
        if (m_hTags.hasKey(sTag)) m_hTags.remove(sTag);
}

int SpawnManager::getCustomerCount() const {
    int nCount = 0;
    for (const Tsl::SmartPtr<Character>& pCharacter : m_pPlayMode->getField()->m_lSeatOccupants)
        if (pCharacter) ++nCount;
    return nCount;
}
