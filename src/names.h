#pragma once

// Every resource, string key, style and setting name the game uses, once.
namespace Names {
// Settings
constexpr const char* SET_DIFFICULTY = "Difficulty";
constexpr const char* SET_CURRENT_PLAYER = "CurrentPlayerName";
constexpr const char* SET_DONE_WELCOME = "DoneWelcome";
constexpr const char* SET_LAST_CUTSCENE = "LastCutscene";
constexpr const char* SET_HIGHSCORES = "Highscores";
}  // namespace Names
