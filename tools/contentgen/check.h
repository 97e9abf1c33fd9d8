// The content check: every file of a set of archives through the game's own
// readers. Each fault is printed with its file and line; the result is the
// exit code (0 when everything reads).
#pragma once

#include <string>
#include <vector>

// Every name of the name lists must resolve too: content/names.txt, and the
// game's names headers (files ending in ".h").
int checkContent(const char* pszFolder, const std::vector<std::string>& aNameLists);
// Writes the first frame of a sequence as a PNG file, to look at: the
// animation is "file" or "file:param1,param2,..." for a template.
int writeFrame(const char* pszFolder, const char* pszAnimation, const char* pszSequence, const char* pszOut);
// Draws a scene with every upgrade, a waitress and a few customers into a
// PNG file: a look at the play field without the game.
int writeScenePreview(const char* pszFolder, const char* pszScene, const char* pszOut);
