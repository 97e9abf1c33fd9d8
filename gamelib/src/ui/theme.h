// The theme: named font specs, styles and the ".theme" file. This part
// holds the static registry of font factories by class name and the
// creation of a font from a class name and its parameters, with the
// setter commands a font spec may carry.
#pragma once

#include "text/font.h"

#include "tsl2/list.h"
#include "tsl2/refcount.h"
#include "tsl2/str.h"

class Theme : public Tsl::RefCountedObject {
public:
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
};
