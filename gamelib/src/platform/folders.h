// The user's folders and names. Folder results end with a path separator.
#pragma once

#include "tsl2/str.h"

// The per-user data folder ($XDG_DATA_HOME, else ~/.local/share), with the
// sub-path's parts (separated by backslashes or slashes) created below it;
// $HOME when that is not writable; empty when neither is.
Tsl::String getUserDataFolder(const char* pszSubPath);
// Whether a file can be created (and removed again) in the folder.
bool isFolderWritable(const char* pszFolder);
// The login name; empty when it cannot be told.
Tsl::String getUserName();
// The working directory with a trailing separator; empty when unreadable.
Tsl::String getCurrentFolder();
// The absolute form of a path (it need not exist); empty on failure.
Tsl::String getFullPath(const char* pszPath);
