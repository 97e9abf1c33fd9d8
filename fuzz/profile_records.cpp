// Loads fuzzed text as the stored player profiles (the setting the profile
// manager keeps) into the game's player records, as the game does at the
// start. Nothing may be raised; no more profiles than the list may hold come
// out; what was loaded is saved and loaded back unchanged.
// Seeds: profile lists the game stored (scripts/run-fuzz.sh puts them in).
#include "fakes.h"
#include "player/playermanager.h"

#include "screens/names.h"

#include <cstdint>

namespace {
Tsl::String storedAfterLoading(const Tsl::String& sStored) {
    GameApp::getInstance()->setSetting(ScreenNames::SET_PROFILES, sStored);
    ProfileManagerImpl<QarnPlayer> manager;
    manager.loadProfiles();
    if (manager.getProfileCount() > ProfileManager::MAX_PROFILES) __builtin_trap();
    manager.saveProfiles();
    return GameApp::getInstance()->getSetting(ScreenNames::SET_PROFILES);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize) {
    if (nSize > 65536) return 0;
    static TestApp* s_pApp = new TestApp();
    (void)s_pApp;
    Tsl::String sLoaded = storedAfterLoading(Tsl::String(reinterpret_cast<const char*>(pData), static_cast<int>(nSize)));
    if (storedAfterLoading(sLoaded) != sLoaded) __builtin_trap();
    return 0;
}
