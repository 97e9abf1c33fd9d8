#include "ui/theme.h"

#include "text/fontregistry.h"

#include "tsl2/error.h"
#include "tsl2/tokenfilereader.h"


namespace {

struct AlignWord {
    const char* pszWord;
    int nFlags;
};

const AlignWord s_aAlignWords[] = {
    {"left", Font::ALIGN_LEFT},     {"right", Font::ALIGN_RIGHT},   {"hcenter", Font::ALIGN_HCENTER},
    {"top", Font::ALIGN_TOP},       {"bottom", Font::ALIGN_BOTTOM}, {"vcenter", Font::ALIGN_VCENTER},
    {"middle", Font::ALIGN_MIDDLE},
};

void requireValues(const Tsl::List<Tsl::String>& lWords, int nValues) {
    if (lWords.getCount() < nValues + 1)
        TSL_THROW(FatalErrorException, "Theme::loadFontSpec : %s needs %d value(s)", lWords.getAt(0).c_str(), nValues);
}

} // namespace

int Theme::toNumber(const Tsl::String& sWord) { return Tsl::toCheckedInt(sWord, -NUMBER_LIMIT, NUMBER_LIMIT); }

unsigned char Theme::toChannel(const Tsl::String& sWord) {
    return static_cast<unsigned char>(Tsl::toCheckedInt(sWord, 0, 255));
}

namespace {

int intAt(const Tsl::List<Tsl::String>& lWords, int nIndex) { return Theme::toNumber(lWords.getAt(nIndex)); }

Color colorFrom(const Tsl::List<Tsl::String>& lWords) {
    requireValues(lWords, 3);
    // One by one, so the first bad channel is the one reported.
    unsigned char r = Theme::toChannel(lWords.getAt(1)), g = Theme::toChannel(lWords.getAt(2)),
                  b = Theme::toChannel(lWords.getAt(3));
    return Color(r, g, b, 255);
}

} // namespace

void Theme::registerFontFactory(const char* pszClass, Tsl::SmartPtr<FontFactory> pFactory) {
    FontRegistry::registerFactory(pszClass, pFactory);
}

void Theme::unregisterFontFactory(const char* pszClass) { FontRegistry::unregisterFactory(pszClass); }

Tsl::SmartPtr<FontFactory> Theme::findFontFactory(const char* pszClass) { return FontRegistry::findFactory(pszClass); }

Tsl::SmartPtr<Font> Theme::createFont(const char* pszClass, const Tsl::List<Tsl::String>& lParams) {
    return FontRegistry::createFont(pszClass, lParams);
}

int Theme::parseTextAlign(const Tsl::List<Tsl::String>& lWords, int nFirst) {
    int nFlags = 0;
    for (int i = nFirst; i < lWords.getCount(); ++i) {
        Tsl::String sWord = lWords.getAt(i).toLower();
        if (sWord == "justify") {
            nFlags = Font::ALIGN_JUSTIFY;
            continue;
        }
        for (const AlignWord& word : s_aAlignWords)
            if (sWord == word.pszWord) nFlags |= word.nFlags;
    }
    return nFlags;
}

bool Theme::applyFontSetting(Font* pFont, const Tsl::List<Tsl::String>& lWords) {
    if (lWords.getCount() == 0) return false;
    Tsl::String sCommand = lWords.getAt(0).toLower();
    if (sCommand == "textcolor") {
        pFont->setTextColor(colorFrom(lWords));
    } else if (sCommand == "shadowcolor") {
        pFont->setShadowColor(colorFrom(lWords));
    } else if (sCommand == "shadowoffset") {
        requireValues(lWords, 1);
        pFont->setShadowOffset(intAt(lWords, 1));
    } else if (sCommand == "drawshadow") {
        requireValues(lWords, 1);
        pFont->setDrawShadow(lWords.getAt(1) == "true");
    } else if (sCommand == "extralinespacing") {
        requireValues(lWords, 1);
        pFont->setExtraLineSpacing(intAt(lWords, 1));
    } else if (sCommand == "textalign") {
        pFont->setTextAlign(parseTextAlign(lWords, 1));
    } else {
        return false;
    }
    return true;
}
