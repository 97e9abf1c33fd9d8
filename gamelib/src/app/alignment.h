// Alignment words of layout and theme files ("center", "right-4",
// "contents_center+2", "17") turned into a coordinate against an image.
#pragma once

#include "image/image.h"

// The text splits at its first "+" (else its first "-"); the part from the
// sign on is an offset, the part before it the base word. Horizontal words
// measure the canvas width, vertical ones its height. The image must exist.
int parseAlignment(const char* pszText, const Tsl::SmartPtr<Image>& pImage, bool bHorizontal);
