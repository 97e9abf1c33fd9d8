#include "app/savefailure.h"

#include "app/gameapp.h"
#include "screens/names.h"

#include <cerrno>
#include <sys/stat.h>

namespace {
struct CauseText {
    const char* pszKey;
    const char* pszDefault;
};

// In the order of SaveFailure::Cause.
const CauseText CAUSE_TEXTS[] = {
    {ScreenNames::STR_SAVE_READ_ONLY, "the folder is read-only"},
    {ScreenNames::STR_SAVE_NO_SPACE, "no space is left on the disk"},
    {ScreenNames::STR_SAVE_FOLDER_IN_THE_WAY, "a folder stands where the file goes"},
    {ScreenNames::STR_SAVE_NO_FOLDER, "the folder does not exist"},
    {ScreenNames::STR_SAVE_DISK_ERROR, "the disk reported an error"},
    {ScreenNames::STR_SAVE_FOLDER_CHANGED, "another program changed the folder while the file was saved"},
    {ScreenNames::STR_SAVE_DAMAGED_TOO_LARGE, "the damaged settings file there is too large to copy aside"},
    {ScreenNames::STR_SAVE_PIPE_IN_THE_WAY, "a named pipe, a FIFO, stands where the file goes"},
    {ScreenNames::STR_SAVE_DEVICE_IN_THE_WAY, "a device stands where the file goes"},
    {ScreenNames::STR_SAVE_SOCKET_IN_THE_WAY, "a socket stands where the file goes"},
    {ScreenNames::STR_SAVE_OTHER_IN_THE_WAY, "something other than a file stands where the file goes"},
    {ScreenNames::STR_SAVE_FILE_UNREADABLE, "the game may not read the file there"},
    {ScreenNames::STR_SAVE_UNKNOWN, "the system refused to write the file"},
};
} // namespace

SaveFailure::Cause SaveFailure::fromErrno(int nErrno, const Tsl::String& sFolder) {
    switch (nErrno) {
    case EACCES:
    case EPERM:
    case EROFS: return READ_ONLY;
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return NO_SPACE;
    case EISDIR: return FOLDER_IN_THE_WAY;
    case ENOENT:
    case ENOTDIR: {
        struct stat info;
        return stat(sFolder.c_str(), &info) == 0 && S_ISDIR(info.st_mode) ? FOLDER_CHANGED : NO_FOLDER;
    }
    case EIO: return DISK_ERROR;
    default: return UNKNOWN;
    }
}

SaveFailure::Cause SaveFailure::fromWhatStands(mode_t nMode) {
    if (S_ISDIR(nMode)) return FOLDER_IN_THE_WAY;
    if (S_ISFIFO(nMode)) return PIPE_IN_THE_WAY;
    if (S_ISCHR(nMode) || S_ISBLK(nMode)) return DEVICE_IN_THE_WAY;
    if (S_ISSOCK(nMode)) return SOCKET_IN_THE_WAY;
    // A link still: one whose chain loops or cannot be read.
    if (S_ISLNK(nMode)) return OTHER_IN_THE_WAY;
    return FILE_UNREADABLE;
}

Tsl::String SaveFailure::describe(Cause eCause) {
    const CauseText& text = CAUSE_TEXTS[eCause];
    GameApp* pApp = GameApp::getInstance();
    if (pApp && pApp->hasString(text.pszKey)) return pApp->getString(text.pszKey);
    return text.pszDefault;
}
