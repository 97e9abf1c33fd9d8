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
// Level dialogs, high scores, story pages, congratulations
// Loading dialog
constexpr const char* STR_LOADING = "LDN_Loading";
constexpr const char* IMG_CLOCK_BASE = "clock_base";
constexpr const char* IMG_CLOCK_HAND = "clock_%d";
constexpr const char* IMG_CLOCK_EMPTY = "empty";
constexpr const char* IMG_CLOCK_MARKERS = "clock_markers";
// Week goal dialog
constexpr const char* STR_WKG_WORKPLACE = "WKG_Workplace";
constexpr const char* STR_SCENE_NAME = "Scene%d";
constexpr const char* STR_WKG_SALES = "WKG_Sales";
constexpr const char* STR_WKG_CUSTOMER = "WKG_Customer";
constexpr const char* STR_WKG_TIP = "WKG_Tip";
constexpr const char* STR_RANDOM_TIP = "RANDOM_TIP_%d";
constexpr const char* STR_WKG_GO = "WKG_Go";
constexpr const char* IMG_BUBBLE_SEPARATOR = "bubble_separator";
constexpr const char* FONT_DEFAULT = "Theme::Default";
// Level results
constexpr const char* ANIM_OLVY_WINDOW = "olvywindow.anim";
constexpr const char* SEQ_HAPPY = "happy";
constexpr const char* SEQ_SAD = "sad";
constexpr const char* IMG_YOU_WIN = "youwin";
constexpr const char* IMG_YOU_LOSE = "youlose";
constexpr const char* IMG_TIMES_UP = "timesup";
constexpr const char* STR_GSM_LEVEL_SCORE = "GSM_LevelScore";
constexpr const char* STR_GSM_TOTAL = "GSM_Total";
constexpr const char* STR_GSM_LEVEL_GOAL = "GSM_LevelGoal";
constexpr const char* STR_GSM_LEVEL_STARS = "GSM_LevelStars";
constexpr const char* STR_GSM_CUSTOMERS = "GSM_Customers";
constexpr const char* STR_GSM_TIME = "GSM_Time";
constexpr const char* STR_GSM_TOTAL_STARS = "GSM_TotalStars";
constexpr const char* STR_TIME_PLAYED = "StatTimePlayed";
constexpr const char* SND_WIN_LEVEL = "ms_winlevel";
constexpr const char* SND_LOSE_LEVEL = "ms_loselevel";
constexpr const char* SND_NUMBER_TICK = "sfx_game_number";
constexpr const char* TXT_OK = "ok";
constexpr const char* TXT_EXIT = "exit";
// High scores
constexpr const char* IMG_SAND_BACK = "sand_frame_back";
constexpr const char* IMG_HIGH_BACK = "high_back";
constexpr const char* STYLE_TAB_ADVENTURE = "AdventureBtn";
constexpr const char* STYLE_TAB_RELAX = "RelaxBtn";
constexpr const char* STYLE_TAB_FREE = "FreeBtn";
constexpr const char* STR_HF_BACK = "HF_Back";
constexpr const char* STR_HF_NAME = "HF_Name";
constexpr const char* STR_HF_SCORE = "HF_Score";
constexpr const char* FRAME_EMPTY = "EmptyFrame";
constexpr const char* FONT_HIGHSCORE_TITLE = "Sand::HighScoreTitle";
constexpr const char* FONT_HIGHSCORE = "Theme::DefaultHighScore";
// Story pages
constexpr const char* IMG_ALBUM_ICON = "album_%s";
constexpr const char* IMG_LITTLE_ACTIVE = "littlebutton_active";
constexpr const char* IMG_LITTLE_HIGHLIGHT = "littlebutton_highlight";
constexpr const char* IMG_LITTLE_PUSHED = "littlebutton_pushed";
// Congratulations
constexpr const char* IMG_CONGRATS = "congrats";
constexpr const char* STR_CPD_OK = "CPD_OK";
constexpr const char* IMG_FLOWER = "mapa_flor_%d_s";
constexpr const char* EMITTER_FLOWER_CANNON = "flower_cannon.emitter";
// Store pictures
constexpr const char* IMG_STORE_SOLDOUT_HIGH = "store_soldout_high";
constexpr const char* IMG_STORE_SOLDOUT_LOW = "store_soldout_low";
constexpr const char* IMG_STORE_NA_LOW = "store_na_low";
constexpr const char* IMG_STORE_PARROT_STAND = "store_parrot_stand_normal";
constexpr const char* IMG_SUFFIX_NORMAL = "_normal";
constexpr const char* IMG_SUFFIX_HIGHLIGHT = "_highlight";
}  // namespace Names
