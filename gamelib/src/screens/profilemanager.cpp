#include "screens/profilemanager.h"

#include "app/gameapp.h"
#include "app/numberedcopies.h"
#include "screens/names.h"

#include "tsl2/memstream.h"
#include "tsl2/objectstreamer.h"

#include <vector>

namespace {
// The stored list: a header word, the record count, then one string per
// profile holding that profile's own stream, so a damaged record can be
// skipped without losing the ones after it.
const char* const LIST_MAGIC = "PFL";
const int LIST_VERSION = 1;
const char* const RECORD_MAGIC = "PRF";
const int RECORD_VERSION = 1;

bool isControlByte(unsigned char c) { return c < 0x20 || c == 0x7F; }

// Code points of UTF-8 text: every byte but the continuation bytes.
int countCharacters(const Tsl::String& s) {
    int nCount = 0;
    for (int i = 0; i < s.getLength(); ++i)
        if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) ++nCount;
    return nCount;
}

unsigned char byteAt(const Tsl::String& s, int i) { return i < s.getLength() ? static_cast<unsigned char>(s[i]) : 0; }

// The length of the well-formed UTF-8 character at i, 0 when none starts
// there: no overlong form, no surrogate, nothing past U+10FFFF.
int characterLength(const Tsl::String& s, int i) {
    unsigned char c = byteAt(s, i);
    int nLength = c < 0x80 ? 1 : c >= 0xC2 && c <= 0xDF ? 2 : c >= 0xE0 && c <= 0xEF ? 3 : c >= 0xF0 && c <= 0xF4 ? 4 : 0;
    if (nLength == 0) return 0;
    unsigned char nLow = 0x80, nHigh = 0xBF;
    if (c == 0xE0) nLow = 0xA0;
    if (c == 0xED) nHigh = 0x9F;
    if (c == 0xF0) nLow = 0x90;
    if (c == 0xF4) nHigh = 0x8F;
    for (int k = 1; k < nLength; ++k) {
        unsigned char d = byteAt(s, i + k);
        if (d < (k == 1 ? nLow : 0x80) || d > (k == 1 ? nHigh : 0xBF)) return 0;
    }
    return nLength;
}

bool isWellFormed(const Tsl::String& s) {
    for (int i = 0; i < s.getLength();) {
        int nLength = characterLength(s, i);
        if (nLength == 0) return false;
        i += nLength;
    }
    return true;
}

// The stored blob as bytes. A broken escape (the text was cut or changed)
// ends the decoding there; what comes before it is still read.
Tsl::SmartPtr<Tsl::MemStream> decodeBlob(const Tsl::String& sBlob, bool& bDamaged) {
    try {
        return Tsl::String::decodeBinary(sBlob);
    } catch (const Tsl::Exception& e) {
        GameApp::log("P: Stored profiles: %s\n", e.getMessage());
        bDamaged = true;
    }
    int nEnd = 0;
    while (nEnd < sBlob.getLength()) {
        if (sBlob[nEnd] != 0x01) {
            ++nEnd;
        } else if (nEnd + 1 < sBlob.getLength() && (sBlob[nEnd + 1] == 0x01 || sBlob[nEnd + 1] == 0x02)) {
            nEnd += 2;
        } else {
            break;
        }
    }
    return Tsl::String::decodeBinary(sBlob.left(nEnd));
}

Tsl::String damagedListKey(int nNumber) {
    return Tsl::String::format("%s%d", ScreenNames::SET_PROFILES_DAMAGED_PREFIX, nNumber);
}

} // namespace

ProfileManager::ProfileManager() {}

ProfileManager::~ProfileManager() {}

Tsl::String ProfileManager::normalizeName(const Tsl::String& sName) { return sName.trim().toLower(); }

ProfileManager::NameProblem ProfileManager::checkNewName(const Tsl::String& sName) const {
    Tsl::String sTrimmed = sName.trim();
    if (sTrimmed.isEmpty()) return NAME_EMPTY;
    for (int i = 0; i < sTrimmed.getLength(); ++i)
        if (isControlByte(static_cast<unsigned char>(sTrimmed[i]))) return NAME_BAD_CHARACTER;
    if (!isWellFormed(sTrimmed)) return NAME_BAD_CHARACTER;
    if (countCharacters(sTrimmed) > MAX_NAME_LENGTH) return NAME_TOO_LONG;
    if (findIndex(sTrimmed) >= 0) return NAME_TAKEN;
    if (m_lProfiles.getCount() >= MAX_PROFILES) return LIST_FULL;
    return NAME_OK;
}

Tsl::String ProfileManager::repairName(const Tsl::String& sName) {
    Tsl::String sRepaired;
    Tsl::String sTrimmed = sName.trim();
    for (int i = 0; i < sTrimmed.getLength();) {
        int nLength = characterLength(sTrimmed, i);
        if (nLength == 0 || isControlByte(byteAt(sTrimmed, i))) {
            sRepaired += "?";
            ++i;
        } else {
            sRepaired += Tsl::String(sTrimmed.c_str() + i, nLength);
            i += nLength;
        }
    }
    return cutName(sRepaired).trim();
}

Tsl::String ProfileManager::cutName(const Tsl::String& sName, int nCharacters) {
    int nCount = 0;
    for (int i = 0; i < sName.getLength(); ++i)
        if ((byteAt(sName, i) & 0xC0) != 0x80 && ++nCount > nCharacters) return sName.left(i);
    return sName;
}

Tsl::String ProfileManager::findFreeName(const Tsl::String& sName) const {
    if (findIndex(sName) < 0) return sName;
    // One of the first numbers is free: the list holds at most MAX_PROFILES.
    for (int n = 2; n <= MAX_PROFILES + 1; ++n) {
        Tsl::String sNumber = Tsl::String::format(" %d", n);
        Tsl::String sCandidate = cutName(sName, MAX_NAME_LENGTH - sNumber.getLength()).trim() + sNumber;
        if (findIndex(sCandidate) < 0) return sCandidate;
    }
    return sName;
}

const char* ProfileManager::getProblemKey(NameProblem eProblem) {
    switch (eProblem) {
    case NAME_EMPTY: return ScreenNames::STR_PROFILE_NAME_EMPTY;
    case NAME_TAKEN: return ScreenNames::STR_PROFILE_NAME_TAKEN;
    case NAME_BAD_CHARACTER: return ScreenNames::STR_PROFILE_NAME_BAD_CHARACTER;
    case NAME_TOO_LONG: return ScreenNames::STR_PROFILE_NAME_TOO_LONG;
    case LIST_FULL: return ScreenNames::STR_PROFILE_LIST_FULL;
    case NAME_OK: break;
    }
    return nullptr;
}

int ProfileManager::findIndex(const Tsl::String& sName) const {
    Tsl::String sKey = normalizeName(sName);
    int nIndex = 0;
    for (const Tsl::SmartPtr<ProfileData>& pProfile : m_lProfiles) {
        if (normalizeName(pProfile->getName()) == sKey) return nIndex;
        ++nIndex;
    }
    return -1;
}

bool ProfileManager::hasProfile(const Tsl::String& sName) const { return findIndex(sName) >= 0; }

ProfileData* ProfileManager::getProfileData(const Tsl::String& sName) const {
    int nIndex = findIndex(sName);
    return nIndex < 0 ? nullptr : m_lProfiles.getAt(nIndex).get();
}

Tsl::List<Tsl::String> ProfileManager::getProfileNames() const {
    Tsl::List<Tsl::String> lNames;
    for (const Tsl::SmartPtr<ProfileData>& pProfile : m_lProfiles) lNames.append(pProfile->getName());
    return lNames;
}

ProfileData* ProfileManager::createProfile(const Tsl::String& sName) {
    TSL_TRACE();
    if (checkNewName(sName) != NAME_OK) return nullptr;
    Tsl::SmartPtr<ProfileData> pProfile = newProfile();
    pProfile->setName(sName.trim());
    m_lProfiles.append(pProfile);
    return pProfile.get();
}

bool ProfileManager::deleteProfile(const Tsl::String& sName) {
    int nIndex = findIndex(sName);
    if (nIndex < 0) return false;
    m_lProfiles.removeAt(nIndex);
    return true;
}

ProfileData* ProfileManager::getCurrentProfile() const { return getProfileData(getCurrentName()); }

Tsl::String ProfileManager::getCurrentName() {
    GameApp* pApp = GameApp::getInstance();
    return pApp ? pApp->getSetting(ScreenNames::SET_CURRENT_PLAYER) : Tsl::String();
}

void ProfileManager::setCurrentName(const Tsl::String& sName) {
    GameApp* pApp = GameApp::getInstance();
    if (pApp) pApp->setSetting(ScreenNames::SET_CURRENT_PLAYER, sName);
}

void ProfileManager::repairCurrentName() const {
    Tsl::String sCurrent = getCurrentName();
    ProfileData* pProfile = getProfileData(sCurrent);
    if (!pProfile && !m_lProfiles.isEmpty()) pProfile = m_lProfiles.getFirst().get();
    Tsl::String sRepaired = pProfile ? pProfile->getName() : Tsl::String();
    if (sRepaired == sCurrent) return;
    GameApp::log("P: Current player '%s' became '%s'\n", sCurrent.c_str(), sRepaired.c_str());
    setCurrentName(sRepaired);
}

Tsl::String ProfileManager::writeRecord(const ProfileData& profile) {
    Tsl::SmartPtr<Tsl::MemStream> pBytes = new Tsl::MemStream();
    {
        Tsl::ObjectStreamer streamer(pBytes.get(), false);
        streamer.writeHeader(RECORD_MAGIC, RECORD_VERSION);
        streamer.write(profile.getName());
        profile.write(streamer);
    }
    return Tsl::String(reinterpret_cast<const char*>(pBytes->getData()), static_cast<int>(pBytes->getSize()));
}

void ProfileManager::saveProfiles() const {
    TSL_TRACE();
    GameApp* pApp = GameApp::getInstance();
    if (!pApp) return;
    Tsl::SmartPtr<Tsl::MemStream> pBytes = new Tsl::MemStream();
    {
        Tsl::ObjectStreamer streamer(pBytes.get(), false);
        streamer.writeHeader(LIST_MAGIC, LIST_VERSION);
        streamer.write(m_lProfiles.getCount());
        for (const Tsl::SmartPtr<ProfileData>& pProfile : m_lProfiles) streamer.write(writeRecord(*pProfile));
    }
    // Without zero bytes: settings values pass through C strings.
    pApp->setSetting(ScreenNames::SET_PROFILES,
                     Tsl::String::encodeBinary(pBytes->getData(), static_cast<int>(pBytes->getSize())));
}

bool ProfileManager::readRecord(const Tsl::String& sRecord, int nIndex) {
    try {
        Tsl::SmartPtr<Tsl::MemStream> pBytes = new Tsl::MemStream(sRecord.c_str(), sRecord.getLength());
        Tsl::ObjectStreamer streamer(pBytes.get(), false);
        streamer.readHeader(RECORD_MAGIC, RECORD_VERSION);
        Tsl::String sStored;
        streamer.read(sStored);
        // A damaged or foreign name is mended, not a reason to lose the
        // progress. Two names can mend to one: the second takes a number.
        Tsl::String sName = repairName(sStored);
        if (sName != sStored.trim()) {
            sName = findFreeName(sName);
            GameApp::log("P: Profile record %d: its name was repaired\n", nIndex);
        }
        NameProblem eProblem = checkNewName(sName);
        if (eProblem != NAME_OK) {
            GameApp::log("P: Profile record %d skipped: its name is not acceptable (%d)\n", nIndex, int(eProblem));
            return false;
        }
        Tsl::SmartPtr<ProfileData> pProfile = newProfile();
        pProfile->setName(sName.trim());
        pProfile->read(streamer);
        m_lProfiles.append(pProfile);
        return true;
    } catch (const Tsl::Exception& e) {
        GameApp::log("P: Profile record %d skipped: %s\n", nIndex, e.getMessage());
        return false;
    }
}

bool ProfileManager::readRecords(const Tsl::String& sBlob) {
    bool bDamaged = false;
    int nRead = 0;
    try {
        Tsl::SmartPtr<Tsl::MemStream> pBytes = decodeBlob(sBlob, bDamaged);
        Tsl::ObjectStreamer streamer(pBytes.get(), false);
        streamer.readHeader(LIST_MAGIC, LIST_VERSION);
        int nCount = 0;
        streamer.read(nCount);
        // A damaged count cannot make the loop run on: every read takes bytes.
        for (; nRead < nCount; ++nRead) {
            Tsl::String sRecord;
            streamer.read(sRecord);
            if (!readRecord(sRecord, nRead)) bDamaged = true;
        }
        // A count damaged lower (or below zero) leaves records unread.
        if (nCount < 0 || pBytes->getRemaining() > 0) {
            GameApp::log("P: Stored profiles: %d bytes after the %d records counted\n",
                         int(pBytes->getRemaining()), nRead);
            bDamaged = true;
        }
    } catch (const Tsl::Exception& e) {
        GameApp::log("P: Stored profiles end early after %d records: %s\n", nRead, e.getMessage());
        bDamaged = true;
    }
    return !bDamaged;
}

void ProfileManager::loadProfiles() {
    TSL_TRACE();
    m_lProfiles.clear();
    GameApp* pApp = GameApp::getInstance();
    if (!pApp) return;
    Tsl::String sBlob = pApp->getSetting(ScreenNames::SET_PROFILES);
    if (sBlob.isEmpty()) return;
    if (!readRecords(sBlob)) keepDamagedList(sBlob);
}

void ProfileManager::keepDamagedList(const Tsl::String& sBlob) {
    GameApp* pApp = GameApp::getInstance();
    std::vector<int> aNumbers;
    for (const Tsl::String& sKey : pApp->getSettingKeys())
        if (int nNumber = NumberedCopies::numberOf(sKey.c_str(), ScreenNames::SET_PROFILES_DAMAGED_PREFIX))
            aNumbers.push_back(nNumber);
    int nNewest = NumberedCopies::nextNumber(aNumbers) - 1;
    // The same list read again before a save mended it is kept already; a
    // second copy would only push out an older original.
    if (nNewest > 0 && pApp->getSetting(damagedListKey(nNewest)) == sBlob) return;
    Tsl::String sKey = damagedListKey(nNewest + 1);
    pApp->setSetting(sKey.c_str(), sBlob);
    GameApp::log("P: The stored profiles were kept under %s\n", sKey.c_str());
    for (int nNumber : aNumbers)
        if (nNumber <= nNewest + 1 - DAMAGED_LIST_COPIES) pApp->removeSetting(damagedListKey(nNumber).c_str());
}
