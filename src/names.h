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

// Start-up, the player profiles' screens and the stand-in menu
namespace Names {
constexpr const char* PRODUCT_NAME = "Taverlin";
constexpr const char* PRODUCT_ABBREVIATION = "tav";
constexpr const char* USER_SUBFOLDER = "Quillfen\\Taverlin";
constexpr const char* WINDOW_CLASS_PREFIX = "Quillfen::";
constexpr const char* ARG_WNDCLASS = "--wndclass";
constexpr const char* ARG_PROGRAM = "(dummy)";
constexpr const char* ENV_LIST_RESOURCES = "QARN_LIST_RESOURCES";
constexpr const char* SETTINGS_FILE_FORMAT = "%sconfig.dat";
constexpr const char* LOG_FILE_FORMAT = "%s.log";

constexpr const char* LANGUAGE = "en";
constexpr const char* LANGUAGE_ARCHIVE_FORMAT = "lang_%s.dat";
constexpr const char* const ARCHIVES[] = {"common.dat", "chars0.dat", "chars1.dat", "scene0.dat", "scene1.dat",
                                          "scene2.dat", "scene3.dat", "scene4.dat", "dresses.dat", "map.dat",
                                          "sfx.dat",    "store.dat"};
constexpr const char* const STRING_TABLES[] = {"nontranslated.txt", "messages.txt", "private.txt"};
constexpr const char* FOLDER_3RDPARTY = "3rdparty";
constexpr const char* IMAGE_ALIASES = "image-alias.txt";
constexpr const char* RESOURCE_ALIASES = "resource-alias.txt";
constexpr const char* THEME = "sand.theme";

constexpr const char* SET_FULLSCREEN_FAILED = "FullScreenFailed";
constexpr const char* SET_CUSTOM_CURSOR = "CustomCursor";
constexpr const char* VAL_NO = "NO";

constexpr const char* STR_CAPTION = "APP_Caption";
constexpr const char* STR_STANDIN_HELLO = "APP_Hello";
constexpr const char* STR_STANDIN_CHANGE_PLAYER = "APP_ChangePlayer";
constexpr const char* STR_STANDIN_OPTIONS = "APP_Options";
constexpr const char* STR_STANDIN_QUIT = "APP_Quit";
constexpr const char* IMG_WINDOW_ICON = "app_icon";
constexpr const char* IMG_SPLASH_3RDPARTY = "3p_splash";
constexpr const char* IMG_SPLASH = "splash_logo";
constexpr const char* MOVIE_SPLASH = "3rdparty/intro.ogv";
constexpr const char* FONT_STANDIN_TITLE = "Sand::TitleBold";
}  // namespace Names
