// The content check: every file of a set of archives through the game's own
// readers. Each fault is printed with its file and line; the result is the
// exit code (0 when everything reads).
#pragma once

// With a name list (content/names.txt), every name in it must resolve too.
int checkContent(const char* pszFolder, const char* pszNames);
// Writes the first frame of a sequence as a PNG file, to look at: the
// animation is "file" or "file:param1,param2,..." for a template.
int writeFrame(const char* pszFolder, const char* pszAnimation, const char* pszSequence, const char* pszOut);
