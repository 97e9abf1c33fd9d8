// String tables: texts shown to the player, by key.
//
// A table is either an XML spreadsheet (first column the key, second the
// text) or plain text, one entry per line: the key, then blanks or "=",
// then the text to the end of the line; "\n" in the text is a line break,
// "#" at the start of a line makes it a comment. Keys are stored upper-cased.
#pragma once

#include "tsl2/hash.h"
#include "tsl2/str.h"

Tsl::Hash<Tsl::String, Tsl::String> parseStringTable(const Tsl::String& sText, const char* pszSourceName);
