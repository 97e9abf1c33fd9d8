#include "upgradestoreimages.h"

#include "anim/animsprite.h"
#include "app/gameapp.h"
#include "names.h"

#include <cstring>

namespace {

const int LEVEL_COUNTS[UpgradeStoreImages::POSITION_COUNT] = {3, 2, 5, 2, 2, 4, 5, 4, 4};
const int MAX_PICTURES = 5;
// Position 2 counts five levels but has pictures for four: the fifth is null.
const char* const PICTURES[UpgradeStoreImages::POSITION_COUNT][MAX_PICTURES] = {
    {"store_bandeja1", "store_bandeja2", "store_soldout_low"},
    {"store_sillas", "store_soldout_high"},
    {"store_jugomatic", "store_soldout_high", "store_soldout_high", "store_soldout_high"},
    {"store_parrot.anim", "store_soldout_high"},
    {"store_decos", "store_soldout_low"},
    {"store_na_low", "store_centros1", "store_centros2", "store_soldout_low"},
    {"store_cartel1", "store_cartel2", "store_cartel3", "store_cartel4", "upg_sold"},
    {"store_na_barman1", "store_badboy2", "store_badboy2", "store_soldout_1"},
    {"store_na_barman2", "store_badboy1", "store_badboy1", "store_soldout_2"},
};
const char* const STAMPS[] = {"store_soldout_low", "store_soldout_high", "store_soldout_1", "store_soldout_2",
                              "store_na_barman1",  "store_na_barman2",   "store_na_low"};
const char* const BASE_PICTURES[UpgradeStoreImages::POSITION_COUNT] = {
    "store_bandeja2_normal", "store_sillas_normal",  "store_jugomatic_normal",
    "store_parrot_stand_normal", "store_decos_normal", "store_centros2_normal",
    "store_cartel1_normal",  "store_badboy2_normal", "store_badboy1_normal"};
const int STAMP_OFFSETS[UpgradeStoreImages::POSITION_COUNT][2] = {{52, 34}, {120, 60}, {12, 80},  {45, 43}, {57, 82},
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

int UpgradeStoreImages::getLevelCount(int nPosition) {
    return nPosition >= 0 && nPosition < POSITION_COUNT ? LEVEL_COUNTS[nPosition] : 0;
}

const char* UpgradeStoreImages::entryOf(int nPosition, int nLevel) {
    if (nLevel < 0 || nLevel >= getLevelCount(nPosition) || nLevel >= MAX_PICTURES)
        return nullptr;
    return PICTURES[nPosition][nLevel];
}

bool UpgradeStoreImages::isStamp(const char* pszEntry) {
    for (const char* pszStamp : STAMPS)
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
    Tsl::SmartPtr<Image> pBase = greyed(BASE_PICTURES[nPosition]);
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
        Tsl::SmartPtr<Image> pSign = greyed(withSuffix(PICTURES[SIGN_POSITION][i], Names::IMG_SUFFIX_NORMAL).c_str());
        pSign->alignInsPoint(BOTTOM_LEFT);
        pCanvas->copyImage(pSign.get(), SIGN_PLACES[nPlace][0], SIGN_PLACES[nPlace][1]);
        ++nPlace;
    }
    const char* pszFront = bSoldOut ? Names::IMG_STORE_SOLDOUT_HIGH : PICTURES[SIGN_POSITION][nLevel];
    Tsl::String sFront = bSoldOut ? Tsl::String(pszFront) : withSuffix(pszFront, pszCurrentSuffix);
    Tsl::SmartPtr<Image> pFront = app()->getImage(sFront.c_str())->clone(false);
    pFront->alignInsPoint(BOTTOM_LEFT);
    pCanvas->copyImage(pFront.get(), SIGN_PLACES[SIGN_COUNT - 1][0], SIGN_PLACES[SIGN_COUNT - 1][1]);
    return pCanvas;
}

Tsl::SmartPtr<AnimSprite> UpgradeStoreImages::getStoreAnimation(int nPosition, int nLevel) {
    if (nPosition != PARROT_POSITION || nLevel != 0)
        return nullptr;
    return new AnimSprite(app()->getAnimation(PICTURES[PARROT_POSITION][0]), 0, 0, STORE_ANIMATION_Z_ORDER);
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
