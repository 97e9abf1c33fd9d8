#include "store/upgradestoreimages.h"

#include "rules/upgrademanager.h"

#include "anim/animsprite.h"
#include "app/gameapp.h"
#include "base/names.h"

#include <cstring>

namespace {

const int SIGN_POSITION = UpgradeManager::POSITION_SIGNS;
const int PARROT_POSITION = UpgradeManager::POSITION_PARROT;
const int STAMP_OFFSETS[UpgradeManager::STORE_POSITION_COUNT][2] = {{52, 34}, {120, 60}, {12, 80},  {45, 43}, {57, 82},
                                                                  {100, 128}, {0, 0},  {18, 48}, {18, 48}};
const int SIGN_COUNT = 4;
const int SIGN_PLACES[SIGN_COUNT][2] = {{50, 235}, {150, 230}, {80, 240}, {100, 250}};
const int STORE_ANIMATION_Z_ORDER = 10;
const Color GREY(128, 128, 128, 255);
const int BOTTOM_LEFT = Image::ALIGN_BOTTOM;
const int BOTTOM_CENTRE = Image::ALIGN_BOTTOM | Image::ALIGN_HCENTER;

GameApp* app() { return GameApp::getInstance(); }

Tsl::String withSuffix(const char* pszEntry, const char* pszSuffix) { return Tsl::String(pszEntry) + pszSuffix; }

}  // namespace

const char* UpgradeStoreImages::entryOf(int nPosition, int nLevel) {
    if (nLevel < 0 || nLevel >= UpgradeManager::getStoreLevelCount(nPosition) || nLevel >= Names::STORE_LEVELS_MOST)
        return nullptr;
    return Names::STORE_PICTURES[nPosition][nLevel];
}

bool UpgradeStoreImages::isStamp(const char* pszEntry) {
    for (const char* pszStamp : Names::STORE_STAMPS)
        if (std::strcmp(pszStamp, pszEntry) == 0)
            return true;
    return false;
}

// A private copy: greying the cached picture itself would show in every
// later use of it.
Tsl::SmartPtr<Image> UpgradeStoreImages::greyed(const char* pszName) {
    Tsl::SmartPtr<Image> pImage = app()->getImage(pszName)->clone(false);
    pImage->prepareForWrite();
    pImage->tint(GREY);
    return pImage;
}

Tsl::SmartPtr<Image> UpgradeStoreImages::stampedItem(int nPosition, const char* pszStamp) {
    Tsl::SmartPtr<Image> pBase = greyed(Names::STORE_BASE_PICTURES[nPosition]);
    Tsl::SmartPtr<Image> pStamp = app()->getImage(pszStamp)->clone(false);
    if (std::strcmp(pszStamp, Names::IMG_STORE_SOLDOUT_LOW) == 0 || std::strcmp(pszStamp, Names::IMG_STORE_NA_LOW) == 0)
        pStamp->alignInsPoint(BOTTOM_CENTRE);
    pBase->copyImage(pStamp.get(), STAMP_OFFSETS[nPosition][0], STAMP_OFFSETS[nPosition][1]);
    return pBase;
}

Tsl::SmartPtr<Image> UpgradeStoreImages::parrotStand() {
    Tsl::SmartPtr<Image> pStand = greyed(Names::IMG_STORE_PARROT_STAND);
    pStand->alignInsPoint(BOTTOM_CENTRE);
    Tsl::SmartPtr<Image> pStamp = app()->getImage(Names::IMG_STORE_SOLDOUT_HIGH);
    const int* pnAt = STAMP_OFFSETS[PARROT_POSITION];
    pStand->copyImage(pStamp.get(), pnAt[0], pnAt[1]);
    return pStand;
}

// The signs not on sale greyed behind, the current one in colour in front;
// at the last level all four greyed under the sold-out stamp.
Tsl::SmartPtr<Image> UpgradeStoreImages::signs(int nLevel, const char* pszCurrentSuffix) {
    bool bSoldOut = nLevel >= SIGN_COUNT;
    Tsl::SmartPtr<Image> pCanvas =
        app()->createImage(SIGN_CANVAS_WIDTH, bSoldOut ? SOLD_SIGN_CANVAS_HEIGHT : SIGN_CANVAS_HEIGHT, true);
    int nPlace = 0;
    for (int i = 0; i < SIGN_COUNT; ++i) {
        if (i == nLevel)
            continue;
        Tsl::String sSign = withSuffix(Names::STORE_PICTURES[SIGN_POSITION][i], Names::IMG_SUFFIX_NORMAL);
        Tsl::SmartPtr<Image> pSign = greyed(sSign.c_str());
        pSign->alignInsPoint(BOTTOM_LEFT);
        pCanvas->copyImage(pSign.get(), SIGN_PLACES[nPlace][0], SIGN_PLACES[nPlace][1]);
        ++nPlace;
    }
    const char* pszFront = bSoldOut ? Names::IMG_STORE_SOLDOUT_HIGH : Names::STORE_PICTURES[SIGN_POSITION][nLevel];
    Tsl::String sFront = bSoldOut ? Tsl::String(pszFront) : withSuffix(pszFront, pszCurrentSuffix);
    Tsl::SmartPtr<Image> pFront = app()->getImage(sFront.c_str())->clone(false);
    pFront->alignInsPoint(BOTTOM_LEFT);
    pCanvas->copyImage(pFront.get(), SIGN_PLACES[SIGN_COUNT - 1][0], SIGN_PLACES[SIGN_COUNT - 1][1]);
    return pCanvas;
}

Tsl::SmartPtr<AnimSprite> UpgradeStoreImages::getStoreAnimation(int nPosition, int nLevel) {
    if (nPosition != PARROT_POSITION || nLevel != 0)
        return nullptr;
    const char* pszParrot = Names::STORE_PICTURES[PARROT_POSITION][0];
    return new AnimSprite(app()->getAnimation(pszParrot), 0, 0, STORE_ANIMATION_Z_ORDER);
}

Tsl::SmartPtr<Image> UpgradeStoreImages::getStoreImage(int nPosition, int nLevel) {
    const char* pszEntry = entryOf(nPosition, nLevel);
    if (!pszEntry)
        return nullptr;
    if (nPosition == SIGN_POSITION)
        return signs(nLevel, Names::IMG_SUFFIX_NORMAL);
    if (nPosition == PARROT_POSITION)
        return nLevel == 0 ? nullptr : parrotStand();
    if (isStamp(pszEntry))
        return stampedItem(nPosition, pszEntry);
    return app()->getImage(withSuffix(pszEntry, Names::IMG_SUFFIX_NORMAL).c_str());
}

Tsl::SmartPtr<Image> UpgradeStoreImages::getStoreHighlightImage(int nPosition, int nLevel) {
    const char* pszEntry = entryOf(nPosition, nLevel);
    if (!pszEntry || isStamp(pszEntry) || nPosition == PARROT_POSITION)
        return nullptr;
    if (nPosition == SIGN_POSITION)
        return nLevel < SIGN_COUNT ? signs(nLevel, Names::IMG_SUFFIX_HIGHLIGHT) : nullptr;
    return app()->getImage(withSuffix(pszEntry, Names::IMG_SUFFIX_HIGHLIGHT).c_str());
}

// The catalogue hands its callers the store pictures made here.
Tsl::SmartPtr<AnimSprite> UpgradeManager::getStoreAnimation(int nPosition, int nLevel) const {
    return UpgradeStoreImages::getStoreAnimation(nPosition, nLevel);
}

Tsl::SmartPtr<Image> UpgradeManager::getStoreImage(int nPosition, int nLevel) const {
    return UpgradeStoreImages::getStoreImage(nPosition, nLevel);
}

Tsl::SmartPtr<Image> UpgradeManager::getStoreHighlightImage(int nPosition, int nLevel) const {
    return UpgradeStoreImages::getStoreHighlightImage(nPosition, nLevel);
}
