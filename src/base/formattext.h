#pragma once

#include "tsl2/str.h"

#include <initializer_list>

// Fills a string-table text used as a format. Translators write the texts,
// so only "%d" (one per argument given) and "%%" are taken; a text asking for
// anything else, or for more numbers than given, is shown as it stands and
// logged once, never handed to printf.
Tsl::String formatText(const Tsl::String& sTemplate, std::initializer_list<int> lArgs);

template <class... Ints>
Tsl::String formatText(const Tsl::String& sTemplate, Ints... nArgs) {
    return formatText(sTemplate, std::initializer_list<int>{static_cast<int>(nArgs)...});
}
