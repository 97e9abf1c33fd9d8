#pragma once

// Every resource, string key, style and setting name the game uses, once.
namespace Names {
// Settings
constexpr const char* SET_DIFFICULTY = "Difficulty";
constexpr const char* SET_CURRENT_PLAYER = "CurrentPlayerName";
constexpr const char* SET_DONE_WELCOME = "DoneWelcome";
constexpr const char* SET_LAST_CUTSCENE = "LastCutscene";
constexpr const char* SET_HIGHSCORES = "Highscores";

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
// The results button's texts, looked up as string keys.
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
constexpr const char* ALBUM_PREV = "prev";
constexpr const char* ALBUM_STOP = "stop";
constexpr const char* ALBUM_NEXT = "next";
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
// One row per store position, one picture per store level; position 2
// counts five levels but has pictures for four (the fifth is null).
constexpr int STORE_LEVELS_MOST = 5;
constexpr const char* STORE_PICTURES[9][STORE_LEVELS_MOST] = {
    {"store_bandeja1", "store_bandeja2", "store_soldout_low"},
    {"store_sillas", "store_soldout_high"},
    {"store_jugomatic", "store_soldout_high", "store_soldout_high", "store_soldout_high"},
    {"store_parrot.anim", "store_soldout_high"},
    {"store_decos", "store_soldout_low"},
    {"store_na_low", "store_centros1", "store_centros2", "store_soldout_low"},
    {"store_cartel1", "store_cartel2", "store_cartel3", "store_cartel4", "upg_sold"},
    {"store_na_barman1", "store_badboy2", "store_badboy2", "store_soldout_1"},
    {"store_na_barman2", "store_badboy1", "store_badboy1", "store_soldout_2"},
};
// Sold-out and unavailable marks, shown over the position's greyed item.
constexpr const char* STORE_STAMPS[7] = {"store_soldout_low", "store_soldout_high", "store_soldout_1",
                                         "store_soldout_2",   "store_na_barman1",   "store_na_barman2",
                                         "store_na_low"};
constexpr const char* STORE_BASE_PICTURES[9] = {
    "store_bandeja2_normal", "store_sillas_normal",  "store_jugomatic_normal",
    "store_parrot_stand_normal", "store_decos_normal", "store_centros2_normal",
    "store_cartel1_normal",  "store_badboy2_normal", "store_badboy1_normal"};


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
// The waitress figure: template parameters, sequences, frame properties.
constexpr const char* WAITRESS_PARAM_TRAY6 = "A";
constexpr const char* WAITRESS_PARAM_OTHER = "B";
constexpr const char* SEQ_THUMB_EMPTY = "thumb_empty";
constexpr const char* SEQ_STAND_MAIN = "stand_%s_main";
constexpr const char* SEQ_WALK_MAIN = "walk_%s_main_%s";
constexpr const char* SEQ_STAND_ARM = "stand_%s_arm_%s_%s";
constexpr const char* SEQ_STAND_THUMB = "stand_%s_thumb_full_%s";
constexpr const char* SEQ_WALK_ARM = "walk_%s_arm_%s_%s_%s";
constexpr const char* SEQ_WALK_THUMB = "walk_%s_thumb_full_%s_%s";
constexpr const char* SEQ_WALK_TRAY_ARM = "walk_%s_arm_tray_%s";
constexpr const char* SEQ_HELD_OUT_ARM = "walk_%s_arm_%s_%s_front";
constexpr const char* SEQ_HELD_OUT_THUMB = "walk_%s_thumb_full_%s_front";
constexpr const char* SEQ_ACTION = "%s_%s_%s";
constexpr const char* PROP_DOACTION = "doaction";
constexpr const char* PROP_POSITION = "position";
// Customers, glasses and the living decoration.
constexpr const char* SEQ_CUSTOMER_SIT = "sit";
constexpr const char* SEQ_CUSTOMER_ASK = "ask";
constexpr const char* SEQ_CUSTOMER_WAIT = "wait";
constexpr const char* SEQ_CUSTOMER_DRINK = "drink";
constexpr const char* SEQ_CUSTOMER_SIP = "sip";
constexpr const char* SEQ_CUSTOMER_ANGRY = "angry";
constexpr const char* SEQ_CUSTOMER_LEAVE = "leave";
// Where a look holds a glass in its hand: the glass's foot from the figure's feet.
constexpr const char* PROP_HOLD_X = "holdx";
constexpr const char* PROP_HOLD_Y = "holdy";
constexpr const char* SEQ_MUG_STAND = "stand_%s_%s";
constexpr const char* SEQ_MUG_DRINK = "drink_%s_%s";
constexpr const char* SEQ_MUG_TRAY = "tray_%s_%s";
constexpr const char* MUG_CLEAN = "limpio";
constexpr const char* MUG_USED = "empty";
// The contents word of a full glass, plain or decorated.
constexpr const char* MUG_DRINK_FORMAT = "drink%d";
constexpr const char* MUG_DECORATED_DRINK_FORMAT = "drink%d_deco";
constexpr const char* SEQ_PARROT_STILL = "stand_still";
constexpr const char* SEQ_PARROT_MOVE = "stand_move";
constexpr const char* SEQ_BARMAN = "idle_%d";
// Pictures.
constexpr const char* IMG_COASTER = "posavaso_1";
constexpr const char* IMG_CLOSING_BANNER = "parrot_banner_closing";
constexpr const char* IMG_HUD_PLATE = "hud_plate";
constexpr const char* IMG_OPTIONS_BUTTON = "game_options_button";
// A guest's order: the balloon with the drink wanted (by the drink number the
// scenes' taps name), the patience meter over it, and the sign on each drink
// source showing the drink it gives.
constexpr const char* IMG_ORDER_DRINK_FORMAT = "order_drink%d";
// An order that wants its glass decorated.
constexpr const char* IMG_ORDER_DECORATED_DRINK_FORMAT = "order_drink%d_deco";
constexpr const char* IMG_ORDER_PATIENCE_FORMAT = "order_patience%d";
constexpr int ORDER_PATIENCE_STEPS = 5;
constexpr const char* IMG_SIGN_DRINK_FORMAT = "sign_drink%d";
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
// Why she holds out her hand, by ActionSpot::Refusal; said over her head.
constexpr const char* STR_REFUSALS[] = {"REFUSED_NotNow",   "REFUSED_NoWay",       "REFUSED_QueueFull", "REFUSED_HandFull",
                                        "REFUSED_HandsFull", "REFUSED_TrayFull",   "REFUSED_HandEmpty", "REFUSED_NoGlass",
                                        "REFUSED_NoDrink",  "REFUSED_Decorated",   "REFUSED_NotOrdered",
                                        "REFUSED_GuestGone"};
constexpr const char* STYLE_REFUSAL_FRAME = "Tooltip";
// One tune per scene, by scene index; released by this table when a level ends.
constexpr const char* SCENE_MUSIC[] = {"music_scene0", "music_scene1", "music_scene2", "music_scene3", "music_scene4"};
constexpr int SCENE_MUSIC_COUNT = 5;

// Store and purchase dialog
// Preview of the bar.
constexpr const char* IMG_PREVIEW_FLOOR = "ui_fondo_azul";
// Purchase dialog.
constexpr const char* IMG_BUY_MASK = "mask_buyupgrade";
constexpr const char* IMG_BUY_TRAY = "buyupgrade_bandeja%d_normal";
constexpr const char* IMG_CHECK_EMPTY = "check_empty";
constexpr const char* IMG_CHECK_FULL = "check_full_noblit";
constexpr const char* FONT_DEFAULT_SMALL = "Theme::DefaultSmall";
constexpr const char* STR_UPG_BUY = "UPG_Buy";
constexpr const char* STR_UPG_CANCEL = "UPG_Cancel";
constexpr const char* STR_UPG_CANT = "UPG_Cant";
constexpr const char* STR_UPG_UPGRADED = "UPG_Upgraded";
constexpr const char* STR_UPG_TEXT = "UPG_Text_%d_%d";
constexpr const char* STR_UPG_PRICE = "UPG_Price";
constexpr const char* STR_RADIO_CHAIR[] = {"UPG_Radio_Chair0", "UPG_Radio_Chair1", "UPG_Radio_Chair2",
                                           "UPG_Radio_Chair3"};
constexpr const char* STR_RADIO_CENTER[2][2] = {{"UPC_Radio_Center_0_0", "UPC_Radio_Center_0_1"},
                                                {"UPC_Radio_Center_1_0", "UPC_Radio_Center_1_1"}};
constexpr const char* STR_RADIO_JUICER[2][3] = {
    {"UPC_Radio_Juicer_0_0", "UPC_Radio_Juicer_0_2", "UPC_Radio_Juicer_0_3"},
    {"UPC_Radio_Juicer_1_0", "UPC_Radio_Juicer_1_2", "UPC_Radio_Juicer_1_3"}};
// Store screen.
constexpr const char* IMG_STORE_BACK = "upgrade_store";
constexpr const char* IMG_STORE_MASK = "store_mask";
constexpr const char* IMG_STORE_BUBBLE = "store_globito_normal";
constexpr const char* ANIM_SALESMAN = "salesman.anim";
constexpr const char* SEQ_BLINK = "blink";
constexpr const char* SEQ_NORMAL = "normal";
constexpr const char* SEQ_TALK = "talk";
constexpr const char* SEQ_SMILE = "smile";
constexpr const char* SEQ_HIGHLIGHT = "highlight";
constexpr const char* STYLE_PAPER_BUTTON = "PaperButton";
constexpr const char* FONT_LABEL_TEXT = "Sand::LabelText";
constexpr const char* FONT_DEFAULT_BLACK = "Theme::DefaultBlack";
constexpr const char* SFX_STORE_CLINK = "sfx_store_clink";
constexpr const char* SFX_MOUSE_OVER = "sfx_mouseover";
constexpr const char* STR_UPG_DEFAULT = "UPG_Default";
constexpr const char* STR_UPG_LEAVE = "UPG_Leave";
constexpr const char* STR_UPG_GOOD = "UPG_Good";
constexpr const char* STR_UPG_BAD = "UPG_Bad";
constexpr const char* STR_UPG_PARROT = "UPG_Text_3";
constexpr const char* STR_UPG_ITEM = "UPG_TEXT_%d";

// Main road: loading screen, main menu, story map, how-to, options
// Start-up preload lists, in reading order.
constexpr const char* PRELOAD_CHAR0_ANIMS = "preload-char0-anims.txt";
constexpr const char* PRELOAD_COMMON_ANIMS = "preload-common-anims.txt";
constexpr const char* PRELOAD_SOUNDS = "preload-sound.txt";
constexpr const char* PRELOAD_MUSIC = "preload-music.txt";
constexpr const char* PRELOAD_EMITTERS = "preload-emitter.txt";
// Shared pictures and fonts.
constexpr const char* IMG_LOADING_BACK = "loading_back";
constexpr const char* IMG_FRAME_PROP_FORMAT = "sand_frame_prop_%d";
constexpr const char* IMG_PROGRESS_CLAM = "progress_clam";
constexpr const char* IMG_PROGRESS_STAR = "progress_star";
constexpr const char* STYLE_UNDECORATED_FRAME = "sand_undecoratedframe";
constexpr const char* FONT_TITLE_BOLD = "Sand::TitleBold";
constexpr const char* FONT_HIGHSCORE_TITLE_BLUE = "Sand::HighScoreTitleBlue";
// How-to pages.
constexpr const char* IMG_HOWTO_FORMAT = "howto%d";
constexpr const char* STR_HT_BACK = "HT_Back";
constexpr const char* STR_HT_NEXT = "HT_Next";
constexpr const char* STR_HT_PREVIOUS = "HT_Previous";
// Options and credits.
constexpr const char* STR_GOD_DIFFICULTY = "GOD_Difficulty";
constexpr const char* STR_GOD_EASY = "GOD_Easy";
constexpr const char* STR_GOD_MEDIUM = "GOD_Medium";
constexpr const char* STR_GOD_HARD = "GOD_Hard";
constexpr const char* STR_GOD_CREDITS = "GOD_Credits";
constexpr const char* STR_GOD_EXIT = "GOD_BtnExit";
constexpr const char* IMG_BACK_CREDITS = "back_credits";  // composed by code
constexpr const char* IMG_CREDITS_CARD = "credits_card";
constexpr const char* IMG_CREDITS_LOGO = "menu_isologo_chico";
constexpr const char* STR_ABOUT_VERSION = "AboutVerFmt";
constexpr const char* STR_ABOUT_SUBTITLE = "AboutSubtitle";
constexpr const char* STR_CREDIT_LIBRARIES = "CredLibraries";
constexpr const char* STR_CREDIT_HEADINGS[] = {"text_design_g",   "text_programming_g", "text_art_g",
                                               "text_musicdir_g", "text_musicsfx_g",    "text_business_g",
                                               "text_acknow_g"};
constexpr int CREDIT_HEADING_COUNT = 7;
// Main menu.
constexpr const char* ANIM_LOADING_CLOCK = "clock.anim";
constexpr const char* IMG_MENU_LOGO = "menu_isologo";
constexpr const char* IMG_MENU_SHADOW_LOGO = "menu_sombralogo";
constexpr const char* IMG_MENU_VEINS = "menu_vetas";
constexpr const char* IMG_MENU_BACKDROP_FORMAT = "menu_fondo_%d";
constexpr const char* IMG_MENU_STATIC_FORMAT = "menu_estatico_%d";
constexpr const char* IMG_MENU_SELECT = "menu_select";
constexpr const char* IMG_MENU_WELCOME = "menu_welcome";
constexpr const char* IMG_MENU_NOT_ME = "menu_notme";
constexpr const char* IMG_MENU_BANNER = "3p_main";
constexpr const char* IMG_MENU_SMALL_BANNER = "quil_small_ban";
constexpr const char* STR_MNM_ADVENTURE = "MNM_Adventure";
constexpr const char* STR_MNM_RELAX = "MNM_Relax_Mode";
constexpr const char* STR_MNM_FREE_PLAY = "MNM_Free_Play";
constexpr const char* STR_MNM_WON = "MNM_Won";
constexpr const char* STYLE_OPTIONS_BUTTON = "OptionsBtn";
constexpr const char* STYLE_HOWTO_BUTTON = "HowToBtn";
constexpr const char* STYLE_HIGH_BUTTON = "HighBtn";
constexpr const char* STYLE_QUIT_BUTTON = "QuitBtn";
constexpr const char* MUSIC_MENU = "ms_menu";
constexpr const char* MUSIC_INTRO = "st_intro";
constexpr const char* VAL_YES = "YES";
// Story map.
constexpr const char* SCENE_NAME_FORMAT = "scene%d";
constexpr const char* MUSIC_MAP = "ms_map";
constexpr const char* MUSIC_STORY = "ms_story";
constexpr const char* MUSIC_STORY_WIN = "ms_story_win";
constexpr const char* SFX_MAP_FLOWER = "sfx_map_flower";
constexpr const char* SFX_MAP_HIGHLIGHT = "sfx_map_highlight";
constexpr const char* STR_HF_NEW_HIGH = "HF_Newhigh";
constexpr const char* STR_HF_CONGRATS = "HF_Congrats";
constexpr const char* STR_STO_PLAY_NEXT = "STO_PlayNext";
constexpr const char* STR_STO_STORE = "STO_UpgradeStore";
constexpr const char* STR_STO_CLICK_ON = "STO_ClickOn";
constexpr const char* STR_ST_CLICK_STAGE = "ST_ClickStage";
constexpr const char* IMG_MAP = "mapa";
constexpr const char* IMG_MAP_SEA = "mapa_mar";
constexpr const char* IMG_MAP_SHIP = "mapa_nave_2";
constexpr const char* IMG_MAP_TITLE = "mapa_titulo";
constexpr const char* IMG_MAP_MASK_LEFT = "mapa_mask_left";
constexpr const char* IMG_MAP_MASK_RIGHT = "mapa_mask_right";
constexpr const char* IMG_MAP_MARKER = "map_ico";
constexpr const char* IMG_MAP_SCORE_MASK = "map_score_mask";
constexpr const char* IMG_MAP_SITE_FORMAT = "mapa_sitio_%s_%s";
constexpr const char* MAP_SITE_NORMAL = "normal";
constexpr const char* MAP_SITE_DISABLED = "disabled";
constexpr const char* MAP_SITE_HIGHLIGHT = "highlight";
constexpr const char* IMG_FLOWER_LARGE_FORMAT = "mapa_flor_%d_L";
constexpr const char* IMG_FLOWER_SMALL_FORMAT = "mapa_flor_%d_S";
constexpr const char* IMG_FLOWER_AHEAD_LARGE = "mapa_flor_T_L";
constexpr const char* IMG_FLOWER_AHEAD_SMALL = "mapa_flor_T_S";
constexpr const char* ANIM_MAP_PALM = "palm_map.anim";
constexpr const char* SEQ_PALMS[] = {"palm_a", "palm_b", "palm_c"};
constexpr const char* ANIM_GULL_SMALL = "gav_chica.anim";
constexpr const char* ANIM_GULL_MEDIUM = "gav_media.anim";
constexpr const char* EMITTER_CLOUDS = "clouds.emitter";
constexpr const char* EMITTER_SLOW_CLOUDS = "slowclouds.emitter";
constexpr const char* EMITTER_SHIP_0 = "nave_0.emitter";
constexpr const char* EMITTER_SHIP_1 = "nave_1.emitter";
constexpr const char* EMITTER_SHOAL = "shoal.emitter";
constexpr const char* EMITTER_FLOWERS = "flowers.emitter";
constexpr const char* IMG_STORY_END_BASE = "historieta_6b";
constexpr const char* IMG_STORY_END = "historieta_6c";  // composed by code
}  // namespace Names

// Start-up, the player profiles' screens and the stand-in menu
namespace Names {
// The product name and its abbreviation name files, folders and the window
// class only; whatever a player reads calls the game by its title.
constexpr const char* PRODUCT_NAME = "Taverlin";
constexpr const char* PRODUCT_ABBREVIATION = "tav";
// The title where the string tables are not loaded yet (their "APP_Caption").
constexpr const char* GAME_TITLE = "Beach Bar";
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
// The loading screen's lists, read once the start is over: a start without
// one stops like a start without an archive.
constexpr const char* const PRELOAD_LISTS[] = {PRELOAD_CHAR0_ANIMS, PRELOAD_COMMON_ANIMS, PRELOAD_SOUNDS,
                                               PRELOAD_MUSIC, PRELOAD_EMITTERS};
constexpr const char* FOLDER_3RDPARTY = "3rdparty";
constexpr const char* IMAGE_ALIASES = "image-alias.txt";
constexpr const char* RESOURCE_ALIASES = "resource-alias.txt";
constexpr const char* THEME = "sand.theme";

constexpr const char* SET_FULLSCREEN_FAILED = "FullScreenFailed";
constexpr const char* SET_CUSTOM_CURSOR = "CustomCursor";
constexpr const char* VAL_NO = "NO";

constexpr const char* STR_CAPTION = "APP_Caption";
// Messages about the saved game, each followed by the path it is about.
constexpr const char* STR_SETTINGS_DAMAGED = "CFG_Damaged";
constexpr const char* STR_SETTINGS_MISSING = "CFG_Missing";
constexpr const char* STR_SETTINGS_NOT_SAVED = "CFG_NotSaved";
constexpr const char* STR_SETTINGS_UNREADABLE = "CFG_Unreadable";
// Below the unreadable one, when the settings came from the kept copy.
constexpr const char* STR_SETTINGS_FROM_KEPT = "CFG_FromKept";
constexpr const char* IMG_WINDOW_ICON = "app_icon";
constexpr const char* IMG_SPLASH_3RDPARTY = "3p_splash";
constexpr const char* IMG_SPLASH = "splash_logo";
constexpr const char* MOVIE_SPLASH = "3rdparty/intro.ogv";
}  // namespace Names
