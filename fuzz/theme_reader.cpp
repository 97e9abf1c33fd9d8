// Reads a fuzzed ".theme" file into the application's theme, then asks it for
// the fonts and styles a dialog would use. Only Tsl exceptions may come out;
// any stray access is for AddressSanitizer to find.
//
// Input: the file's text. It may name the images "pic" and "pic2", the font
// class "Sys" (system fonts) and any names of its own.
#include "fakes.h"
#include "ui/systemfont.h"
#include "ui/theme.h"

#include "tsl2/error.h"

#include <algorithm>
#include <cstdint>

namespace {

// System fonts at a small scale of the first parameter's choosing: the
// factory is the harness's, its memory is not what is being fuzzed.
class SystemFontFactory : public FontFactory {
public:
    Tsl::SmartPtr<Font> createFont(const Tsl::List<Tsl::String>& lParams) override {
        int nScale = lParams.isEmpty() ? 1 : Tsl::String::toInt(lParams.getFirst());
        return new SystemFont(std::min(std::max(nScale, 1), 4));
    }
};

struct World {
    TestApp app;
    World() {
        app.init(800, 600, 0);
        app.addImage("pic", app.createImage(16, 16, true));
        app.addImage("pic2", app.createImage(3, 5, true));
        Theme::registerFontFactory("Sys", new SystemFontFactory());
    }
};

// What a dialog asks of a theme, under names a small file can reach.
void useTheme(const Theme& theme) {
    for (const char* pszName : {"a", "b", "Default", Theme::DEFAULT_FONT}) {
        theme.getFont(pszName)->getHeight();
        theme.getFrameStyle(pszName);
        theme.getButtonStyle(pszName);
        theme.getSeparatorStyle(pszName);
        theme.getSliderStyle(pszName);
        theme.getRadioStyle(pszName);
        theme.makeCursorImage(pszName);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize) {
    static World* s_pWorld = new World();
    if (nSize > 16384) return 0;
    Tsl::SmartPtr<Theme> pTheme = new Theme();
    try {
        pTheme->loadFromText(Tsl::String(reinterpret_cast<const char*>(pData), static_cast<int>(nSize)), "fuzz.theme");
    } catch (const Tsl::Exception&) {
    }
    try {
        useTheme(*pTheme);
    } catch (const Tsl::Exception&) {
    }
    (void)s_pWorld;
    return 0;
}
