// Text on screen is UTF-8; the image fonts index their glyphs by the bytes
// of the Windows-1252 code page. These map one to the other.
#pragma once

#include "tsl2/str.h"

namespace CodePage {

enum { NO_BYTE = -1 };

// Reads one character from p and advances p past it: its Windows-1252 byte
// (0 to 255), or NO_BYTE for a character the code page lacks. A byte that
// does not start a well-formed UTF-8 sequence stands for itself, so text
// already in the code page still reads as it is.
int nextByte(const char*& p);
// The whole text in the code page; characters it lacks are left out.
Tsl::String toWindows1252(const char* pszUtf8);

} // namespace CodePage
