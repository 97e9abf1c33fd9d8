// Font factories by class name, for every room that makes fonts. Class
// names are case-insensitive (kept lower-cased). The theme's registry
// (Theme::registerFontFactory and friends) is this one.
#pragma once

#include "text/font.h"

namespace FontRegistry {

// A second registration under a name replaces the first.
void registerFactory(const char* pszClass, Tsl::SmartPtr<FontFactory> pFactory);
// Does nothing when no factory has that name.
void unregisterFactory(const char* pszClass);
// Null when none is registered.
Tsl::SmartPtr<FontFactory> findFactory(const char* pszClass);
// An unknown class raises "Can't find factory for font class '%s'".
Tsl::SmartPtr<Font> createFont(const char* pszClass, const Tsl::List<Tsl::String>& lParams);

} // namespace FontRegistry
