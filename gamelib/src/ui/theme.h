// The theme: named font specs, styles and the ".theme" file. This part
// holds the static registry of font factories by class name and the
// creation of a font from a class name and its parameters, with the
// setter commands a font spec may carry.
//
// A theme always holds the built-in system fonts ("System::DefaultFont",
// "System::SmallFont") and the "Default" style of every kind; a ".theme"
// file adds to them and replaces what it names again.
//
// The ".theme" file: one command per line, words separated by blanks, "#"
// starts a comment. Definitions are blocks that open with a kind and a name
// and close with "end"; names are case-insensitive.
//
//   font <name>                   a font spec; "class" comes first
//     class <FontClass> [params]  the factory's class and its parameters
//     textcolor <r> <g> <b>       shadowcolor <r> <g> <b>
//     shadowoffset <n>            drawshadow <true|false>
//     extralinespacing <n>        textalign <left|right|hcenter|justify|
//                                            top|bottom|vcenter|middle>...
//     copysettings <font name>    the settings of a font defined before
//   end
//   frame <name>                  panels of tables and tooltips
//     image <image> [<l> <t> <r> <b>]   picture and its unstretched borders
//     padding <l> <t> <r> <b>     room between the frame's edge and its contents
//     font <font name>            the text of tooltips in this frame
//   end
//   button <name>
//     image <normal> [<highlighted> [<pushed> [<disabled>]]]
//     borders <l> <t> <r> <b>
//     font <font name>
//     textcolor <normal|highlighted|pushed|disabled> <r> <g> <b>
//     padding <x> <y>             room around the text
//     minsize <width> <height>
//     pushoffset <n>              how far the text moves when pushed
//   end
//   cursor <name>
//     image <image> [<hot x> <hot y>]
//   end
//   separator <name>
//     image <image> [<l> <t> <r> <b>]
//   end
//   slider <name>
//     track <image> [<l> <t> <r> <b>]
//     thumb <image>
//   end
//   radio <name>
//     images <clear> <chosen>
//     font <font name>
//     spacing <n>                 between the box and the caption
//   end
//
// Images are resource names the application's image cache loads. Every
// error (an unknown command or kind, a short line, a missing image or font
// resource, an unknown font class, a block without "end") raises
// ThemeParserException naming the file and the line; the theme then keeps
// what it held before the load.
#pragma once

#include "text/font.h"
#include "ui/styles.h"

#include "tsl2/error.h"
#include "tsl2/hash.h"
#include "tsl2/list.h"
#include "tsl2/refcount.h"
#include "tsl2/str.h"

// A fatal error of the file, as the font layer's own errors are.
class ThemeParserException : public Tsl::FatalErrorException {
public:
    ThemeParserException(const char* pszFile, int nLine, const char* pszMessage)
        : Tsl::FatalErrorException(pszFile, nLine, pszMessage) {}
    const char* getTypeName() const override { return "ThemeParserException"; }
};

class Theme : public Tsl::RefCountedObject {
public:
    static const char* const DEFAULT_FONT;
    static const char* const DEFAULT_STYLE;

    // The built-in fonts and the "Default" styles (the application's theme
    // before any file is loaded). Needs the application's image factory.
    Theme();
    ~Theme() override;

    // Reads a ".theme" resource through the application and adds its fonts
    // and styles; on an error nothing of the file is kept.
    void load(const char* pszResource);
    // The same from text (the name labels the errors).
    void loadFromText(const Tsl::String& sText, const char* pszSourceName);

    // A font by spec name; unknown names fall back to "System::DefaultFont".
    Tsl::SmartPtr<Font> getFont(const char* pszName) const;
    bool hasFont(const char* pszName) const;
    void addFont(const char* pszName, Tsl::SmartPtr<Font> pFont);

    // Styles by name; an unknown name gives the "Default" style of its kind,
    // with one log line per name.
    Tsl::SmartPtr<FrameStyle> getFrameStyle(const char* pszName) const;
    Tsl::SmartPtr<ButtonStyle> getButtonStyle(const char* pszName) const;
    Tsl::SmartPtr<CursorStyle> getCursorStyle(const char* pszName) const;
    Tsl::SmartPtr<SeparatorStyle> getSeparatorStyle(const char* pszName) const;
    Tsl::SmartPtr<SliderStyle> getSliderStyle(const char* pszName) const;
    Tsl::SmartPtr<RadioStyle> getRadioStyle(const char* pszName) const;
    bool hasStyle(const char* pszKind, const char* pszName) const;

    // The cursor image of a style, its insertion point on the hot spot.
    Tsl::SmartPtr<Image> makeCursorImage(const char* pszStyle) const;

    // Class names are case-insensitive: stored and looked up lower-cased. A
    // second registration under a name replaces the first.
    static void registerFontFactory(const char* pszClass, Tsl::SmartPtr<FontFactory> pFactory);
    // Does nothing when no factory has that name.
    static void unregisterFontFactory(const char* pszClass);
    // The factory of a class name, null when none is registered.
    static Tsl::SmartPtr<FontFactory> findFontFactory(const char* pszClass);
    // A new font from the factory of the class; an unknown class raises
    // "Can't find factory for font class '%s'".
    static Tsl::SmartPtr<Font> createFont(const char* pszClass, const Tsl::List<Tsl::String>& lParams);

    // Applies one setter command of a font spec (its words, the command
    // first): textcolor, shadowcolor, shadowoffset, drawshadow,
    // extralinespacing, textalign. False when the command is none of these
    // ("copysettings" needs the theme's fonts and is the caller's).
    static bool applyFontSetting(Font* pFont, const Tsl::List<Tsl::String>& lWords);
    // The alignment flags of the words from nFirst on, ORed from 0 ("justify"
    // replaces what came before it); unknown words add nothing.
    static int parseTextAlign(const Tsl::List<Tsl::String>& lWords, int nFirst);
    // A whole number word of a ".theme" file, at most NUMBER_LIMIT either
    // side of 0 (sizes, offsets and spacings in pixels); anything else raises
    // FatalErrorException "'%s' is not a number" or "... is out of range".
    static int toNumber(const Tsl::String& sWord);
    // A colour channel word: a number from 0 to 255.
    static unsigned char toChannel(const Tsl::String& sWord);
    static const int NUMBER_LIMIT = 65535;

private:
    struct Tables;
    class Parser;
    friend class Parser;

    Theme(const Theme&) = delete;
    Theme& operator=(const Theme&) = delete;

    void addBuiltins();
    template <class Style>
    Tsl::SmartPtr<Style> findStyle(const Tsl::Hash<Tsl::String, Tsl::SmartPtr<Style>>& hStyles, const char* pszKind,
                                   const char* pszName) const;
    // Logs the first look-up of each unknown name.
    void reportMissing(const char* pszKind, const Tsl::String& sName) const;

    Tables* m_pTables;
    // Unknown font and style names already reported in the log.
    mutable Tsl::Hash<Tsl::String, bool> m_hReported;
};
