// The game as the end-to-end programs run it: the real program's start-up,
// screens and content under an X server, a clock that moves a fixed step
// each frame, a fixed seed for the game's rand(), and a script looked at
// once a frame. A busy machine changes nothing but the run's length.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class GameApp;

namespace e2e {

// The clock's step a frame; the game clamps a frame's time to 50 ms.
enum { FRAME_MS = 125 };
const std::uint32_t SEED = 20261207u;

GameApp* app();

// Starts the game on the content folder, with the settings and the log in
// the working folder, and calls the script once a frame after the frame's
// events were handled. Returns the game's exit code (2: bad arguments).
int runScripted(const char* pszProgram, const char* pszContentFolder, std::function<void()> fnOnFrame);

// Besides the game's rand(), two generators are seeded from the clock: the
// effects' one (particles, such as a map flower's petals) and each level's,
// which draws the delays between guests. This gives them the fixed seed, the
// first at the first call and a level's before it is built, so that a run
// plays the same every time. Called once a frame; it only sets chance and
// reads nothing a player decides from.
void fixChance();

// Sampled pixels of the screen (every eighth pixel each way), for loose
// comparisons of one screenshot with another.
std::vector<Uint32> samplePixels(SDL_Surface* pScreen);
// Different values among the samples, counting stops at nLimit.
size_t countColours(const std::vector<Uint32>& aSamples, size_t nLimit);
// The samples that differ between two screenshots.
size_t countChanged(const std::vector<Uint32>& aBefore, const std::vector<Uint32>& aAfter);
// Writes the screen as a BMP file; false when there is no screen or the
// file could not be written. The samples of what was saved go to pSamples.
bool saveScreen(const std::string& sFile, std::vector<Uint32>* pSamples);

}  // namespace e2e
