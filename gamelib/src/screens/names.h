#pragma once

// Every setting, string key and style name the standard screens use, once.
namespace ScreenNames {
// Settings
constexpr const char* SET_PROFILES = "PLAYER_MANAGER_PLAYER_PROFILE_DATA";
// A stored profile list that could not be read whole, kept as it was.
constexpr const char* SET_PROFILES_DAMAGED = "PLAYER_MANAGER_PLAYER_PROFILE_DATA_DAMAGED";
constexpr const char* SET_CURRENT_PLAYER = "CurrentPlayerName";
constexpr const char* SET_FULLSCREEN = "Fullscreen";
constexpr const char* SET_COLOR_DEPTH = "ColorDepth";
constexpr const char* SET_SOUND_VOLUME = "SoundVolume";
constexpr const char* SET_MUSIC_VOLUME = "MusicVolume";

// Values
constexpr const char* VAL_TRUE = "TRUE";
constexpr const char* VAL_FALSE = "FALSE";

// Options dialog
constexpr const char* STR_OPTIONS_TITLE = "GOD_Title";
constexpr const char* STR_OPTIONS_FULLSCREEN = "GOD_Fullscreen";
constexpr const char* STR_OPTIONS_WINDOWED = "GOD_Windowed";
constexpr const char* STR_OPTIONS_DEPTH = "GOD_ColorDepth";
constexpr const char* STR_OPTIONS_DEPTH_16 = "GOD_16Bit";
constexpr const char* STR_OPTIONS_DEPTH_32 = "GOD_32Bit";
constexpr const char* STR_OPTIONS_SOUND = "GOD_Sound";
constexpr const char* STR_OPTIONS_MUSIC = "GOD_Music";
constexpr const char* STR_OPTIONS_OK = "GOD_Ok";
constexpr const char* STR_OPTIONS_LEAVE = "GOD_LeaveLevel";

// Small dialogs
constexpr const char* STR_EXIT_QUESTION = "ECM_Question";
constexpr const char* STR_YES = "Yes";
constexpr const char* STR_NO = "No";
constexpr const char* STR_PAUSED = "GPD_Paused";
constexpr const char* STR_PAUSED_RESUME = "GPD_Resume";
constexpr const char* STR_START_AGAIN_TEXT = "SAD_Text";
constexpr const char* STR_START_AGAIN_CANCEL = "SAD_Cancel";
constexpr const char* STR_START_AGAIN_NEW = "SAD_StartNew";
constexpr const char* STR_START_AGAIN_CONTINUE = "SAD_Continue";

// Profile dialogs
constexpr const char* STR_PROFILE_SELECT_TITLE = "PRF_SelectTitle";
constexpr const char* STR_PROFILE_CREATE_TITLE = "PRF_CreateTitle";
constexpr const char* STR_PROFILE_DELETE_QUESTION = "PRF_DeleteQuestion";
constexpr const char* STR_PROFILE_OK = "PRF_Ok";
constexpr const char* STR_PROFILE_CANCEL = "PRF_Cancel";
constexpr const char* STR_PROFILE_NEW = "PRF_New";
constexpr const char* STR_PROFILE_DELETE = "PRF_Delete";
constexpr const char* STR_PROFILE_NAME_EMPTY = "PRF_NameEmpty";
constexpr const char* STR_PROFILE_NAME_TAKEN = "PRF_NameTaken";
constexpr const char* STR_PROFILE_NAME_BAD_CHARACTER = "PRF_NameBadCharacter";
constexpr const char* STR_PROFILE_NAME_TOO_LONG = "PRF_NameTooLong";
constexpr const char* STR_PROFILE_LIST_FULL = "PRF_ListFull";

// Theme
constexpr const char* FONT_TITLE = "Theme::DialogTitle";
constexpr const char* FONT_DEFAULT = "Theme::Default";
constexpr const char* BUTTON_STYLE_SELECTED = "Default";
}  // namespace ScreenNames
