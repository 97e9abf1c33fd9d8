// Opening URLs in the user's browser and building their queries.
#pragma once

#include "tsl2/str.h"

// The URL with "?" appended when it has no query yet, else with "&".
Tsl::String addURLParamSeparator(const char* pszURL);
// Hands the URL to the desktop's opener (xdg-open) as one argument, without
// a shell; the result is not waited for.
void launchURL(const char* pszURL);
