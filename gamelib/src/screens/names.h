#pragma once

// Every setting, string key and style name the standard screens use, once.
namespace ScreenNames {
// Settings
constexpr const char* SET_PROFILES = "PLAYER_MANAGER_PLAYER_PROFILE_DATA";
// Stored profile lists that could not be read whole, kept as they were,
// each under this prefix and its number.
constexpr const char* SET_PROFILES_DAMAGED_PREFIX = "PLAYER_MANAGER_PLAYER_PROFILE_DATA_DAMAGED_";
constexpr const char* SET_CURRENT_PLAYER = "CurrentPlayerName";
constexpr const char* SET_FULLSCREEN = "Fullscreen";
constexpr const char* SET_COLOR_DEPTH = "ColorDepth";
constexpr const char* SET_SOUND_VOLUME = "SoundVolume";
constexpr const char* SET_MUSIC_VOLUME = "MusicVolume";
constexpr const char* SET_CUSTOM_CURSOR = "CustomCursor";
// The library's own settings: a settings file past its bound of entries
// must not lose them.
constexpr const char* LIBRARY_SETTING_KEYS[] = {SET_PROFILES,     SET_CURRENT_PLAYER, SET_FULLSCREEN,   SET_COLOR_DEPTH,
                                                SET_SOUND_VOLUME, SET_MUSIC_VOLUME,   SET_CUSTOM_CURSOR};

// Beside the settings file: the last good one, which each save that replaces
// a file reading whole copies first ("tavconfig.dat.previous"); a damaged
// read takes from it what it lost.
constexpr const char* SETTINGS_KEPT_SUFFIX = ".previous";

// Values
constexpr const char* VAL_TRUE = "TRUE";
constexpr const char* VAL_FALSE = "FALSE";

// Options dialog
constexpr const char* STR_OPTIONS_TITLE = "OPT_Title";
constexpr const char* STR_OPTIONS_FULLSCREEN = "OPT_Fullscreen";
constexpr const char* STR_OPTIONS_WINDOWED = "OPT_Windowed";
constexpr const char* STR_OPTIONS_DEPTH = "OPT_ColorDepth";
constexpr const char* STR_OPTIONS_DEPTH_16 = "OPT_16Bit";
constexpr const char* STR_OPTIONS_DEPTH_32 = "OPT_32Bit";
constexpr const char* STR_OPTIONS_SOUND = "OPT_Sound";
constexpr const char* STR_OPTIONS_MUSIC = "OPT_Music";
constexpr const char* STR_OPTIONS_OK = "OPT_Ok";
constexpr const char* STR_OPTIONS_LEAVE = "OPT_LeaveLevel";

// Small dialogs
constexpr const char* STR_EXIT_QUESTION = "EXC_Question";
constexpr const char* STR_YES = "Yes";
constexpr const char* STR_NO = "No";
constexpr const char* STR_PAUSED = "PAU_Paused";
constexpr const char* STR_PAUSED_RESUME = "PAU_Resume";
constexpr const char* STR_START_AGAIN_TEXT = "SAD_Text";
constexpr const char* STR_START_AGAIN_CANCEL = "SAD_Cancel";
constexpr const char* STR_START_AGAIN_NEW = "SAD_StartNew";
constexpr const char* STR_START_AGAIN_CONTINUE = "SAD_Continue";

// Profile dialogs
constexpr const char* STR_PROFILE_SELECT_TITLE = "PRO_SelectTitle";
constexpr const char* STR_PROFILE_CREATE_TITLE = "PRO_CreateTitle";
constexpr const char* STR_PROFILE_DELETE_QUESTION = "PRO_DeleteQuestion";
constexpr const char* STR_PROFILE_OK = "PRO_Ok";
constexpr const char* STR_PROFILE_CANCEL = "PRO_Cancel";
constexpr const char* STR_PROFILE_NEW = "PRO_New";
constexpr const char* STR_PROFILE_DELETE = "PRO_Delete";
constexpr const char* STR_PROFILE_NAME_EMPTY = "PRO_NameEmpty";
constexpr const char* STR_PROFILE_NAME_TAKEN = "PRO_NameTaken";
constexpr const char* STR_PROFILE_NAME_BAD_CHARACTER = "PRO_NameBadCharacter";
constexpr const char* STR_PROFILE_NAME_TOO_LONG = "PRO_NameTooLong";
constexpr const char* STR_PROFILE_LIST_FULL = "PRO_ListFull";

// Why a save failed, shown after the message that names the folder
constexpr const char* STR_SAVE_READ_ONLY = "CFG_WhyReadOnly";
constexpr const char* STR_SAVE_NO_SPACE = "CFG_WhyNoSpace";
constexpr const char* STR_SAVE_FOLDER_IN_THE_WAY = "CFG_WhyFolderInTheWay";
constexpr const char* STR_SAVE_NO_FOLDER = "CFG_WhyNoFolder";
constexpr const char* STR_SAVE_DISK_ERROR = "CFG_WhyDiskError";
constexpr const char* STR_SAVE_FOLDER_CHANGED = "CFG_WhyFolderChanged";
constexpr const char* STR_SAVE_DAMAGED_TOO_LARGE = "CFG_WhyDamagedTooLarge";
constexpr const char* STR_SAVE_PIPE_IN_THE_WAY = "CFG_WhyPipeInTheWay";
constexpr const char* STR_SAVE_DEVICE_IN_THE_WAY = "CFG_WhyDeviceInTheWay";
constexpr const char* STR_SAVE_SOCKET_IN_THE_WAY = "CFG_WhySocketInTheWay";
constexpr const char* STR_SAVE_OTHER_IN_THE_WAY = "CFG_WhyOtherInTheWay";
constexpr const char* STR_SAVE_FILE_UNREADABLE = "CFG_WhyFileUnreadable";
constexpr const char* STR_SAVE_UNKNOWN = "CFG_WhyUnknown";

// Theme
constexpr const char* FONT_TITLE = "Theme::DialogTitle";
constexpr const char* FONT_DEFAULT = "Theme::Default";
}  // namespace ScreenNames
