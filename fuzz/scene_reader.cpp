// Reads a fuzzed ".scene" file, then asks the result what the play field
// asks: walk depths and the presence of every slot line at a few upgrade
// levels; then reads it as the purchase preview does, keeping the faults.
// Only SceneParserException may come out of the first reading, nothing of
// the second; a hang shows as a
// libFuzzer timeout, any stray access is for AddressSanitizer.
#include "field/scene.h"
#include "rules/upgrademanager.h"

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize) {
    if (nSize > 16384) return 0;
    std::string sText(reinterpret_cast<const char*>(pData), nSize);
    try {
        SceneData scene = parseScene("fuzz.scene", Tsl::String(sText.data(), static_cast<int>(sText.size())));
        for (int y = 0; y < 600; y += 97) scene.getWalkAreaDepth(y + 13, y);
        const UpgradeLevels anLevels = {2, 1, 1, 0, 1, 0, 3, 2, 1, 1, 2, 1, 4};
        for (const SceneVisual& visual : scene.m_lVisuals)
            if (!visual.m_sSlot.isEmpty()) UpgradeManager::isFurnished(visual.m_sSlot, UpgradeManager::USE_FIGURE, anLevels);
        for (const SceneSpot& spot : scene.m_lSpots)
            if (!spot.m_sSlot.isEmpty()) UpgradeManager::isFurnished(spot.m_sSlot, UpgradeManager::USE_SPOT, anLevels);
    } catch (const SceneParserException&) {
    }
    // What a picture of the scene reads: every fault kept, none raised.
    Tsl::List<Tsl::String> lFaults;
    parseSceneLines("fuzz.scene", Tsl::String(sText.data(), static_cast<int>(sText.size())), lFaults);
    return 0;
}
