#pragma once

// Every resource, string key, style and setting name the game uses, once.
namespace Names {
// Settings
constexpr const char* SET_DIFFICULTY = "Difficulty";
constexpr const char* SET_CURRENT_PLAYER = "CurrentPlayerName";
constexpr const char* SET_DONE_WELCOME = "DoneWelcome";
constexpr const char* SET_LAST_CUTSCENE = "LastCutscene";
constexpr const char* SET_HIGHSCORES = "Highscores";

// Play field
// Resources of a scene and its customers.
constexpr const char* SCENE_FILE_FORMAT = "%s.scene";
constexpr const char* CHARS_FILE_FORMAT = "chars_%s_%d";
constexpr const char* CHAR_ANIM_FORMAT = "ch_%s.anim";
constexpr const char* TEMPLATE_FORMAT = "%s.template";
constexpr const char* HOMBRE_TEMPLATE = "hombre.template";
constexpr const char* MALE_FAT_TEMPLATE = "male_fat.template";
constexpr const char* WAITRESS_BASE = "waitress";
constexpr const char* PARROT_ANIM = "parrot.anim";
constexpr const char* BAILARINA_TEMPLATE = "bailarina.template";
constexpr const char* BAILARINA_KEY = "bailarina.anim";
constexpr const char* BARMAN_ANIM = "barman.anim";
constexpr const char* BONGOS_ANIM = "bongos.anim";
constexpr const char* SEAGULL_ANIM = "seagull.anim";
constexpr const char* BALLOON_ANIM = "balloon.anim";
constexpr const char* MUG_ANIM = "mug.anim";
constexpr const char* DEF_HOMBRE = "hombre";
constexpr const char* DEF_VIP = "vip";
// Pictures.
constexpr const char* IMG_CLOSING_BANNER = "parrot_banner_closing";
constexpr const char* IMG_OPTIONS_BUTTON = "game_options_button";
// Sounds.
constexpr const char* SFX_CLOSE_BAR = "sfx_game_closebar";
constexpr const char* SFX_GLASS_TAKEN = "sfx_game_glass_taken";
constexpr const char* SFX_GLASS_LEFT = "sfx_game_glass_left";
constexpr const char* SFX_REFUSED = "sfx_game_refused";
constexpr const char* SFX_ASK_FORMAT = "sfx_game_ask%d";
constexpr const char* SFX_MISTAKE_FORMAT = "sfx_game_mistake%d";
constexpr const char* SFX_PAY = "sfx_game_pay";
// Strings and styles.
constexpr const char* STR_TIP_TO_EXIT = "TipToExit";
constexpr const char* STR_TIP_FORMAT = "TIP_TEXT_%d";
constexpr const char* STR_TIP_CLOSE = "TIP_TEXT_A";
constexpr const char* STR_SCENE_ERROR = "PLAY_SceneError";
constexpr const char* STR_OPTIONS = "PLAY_Options";
constexpr const char* FONT_GAME_TIP = "Sand::GameTip";
constexpr const char* STYLE_TIP_FRAME = "PlaceholderFrame";
// One tune per scene, by scene index; released by this table when a level ends.
constexpr const char* SCENE_MUSIC[] = {"music_scene0", "music_scene1", "music_scene2", "music_scene3",
                                       "music_scene4"};
constexpr int SCENE_MUSIC_COUNT = 5;
}  // namespace Names
