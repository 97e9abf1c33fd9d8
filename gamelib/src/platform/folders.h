// The user's folders and names. Folder results end with a path separator.
#pragma once

#include "tsl2/str.h"

// A folder for a program's own files and how it came to be chosen.
struct UserFolder {
    // Ends with a separator; empty when there is none.
    Tsl::String sPath;
    bool bWritable = false;
    // Why it is not the usual folder, or why nothing can be written there;
    // empty when all is well.
    Tsl::String sProblem;
};

// The per-user data folder ($XDG_DATA_HOME, else ~/.local/share), with the
// sub-path's parts (separated by backslashes or slashes) created below it.
// Once it exists it is the folder even when it is read-only: what it holds
// can still be read. $HOME stands in only when it cannot be made or read.
UserFolder findUserDataFolder(const char* pszSubPath);
// The path of findUserDataFolder.
Tsl::String getUserDataFolder(const char* pszSubPath);
// Whether a file can be created (and removed again) in the folder.
bool isFolderWritable(const char* pszFolder);
// The login name; empty when it cannot be told.
Tsl::String getUserName();
// The working directory with a trailing separator; empty when unreadable.
Tsl::String getCurrentFolder();
// The absolute form of a path (it need not exist); empty on failure.
Tsl::String getFullPath(const char* pszPath);
