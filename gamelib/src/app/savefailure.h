// Why a file could not be written, in words a player can act on: the
// system's error numbers sorted into the few causes a person can tell apart.
#pragma once

#include "tsl2/str.h"

#include <sys/types.h>

class SaveFailure {
public:
    enum Cause {
        READ_ONLY,
        NO_SPACE,
        FOLDER_IN_THE_WAY,
        NO_FOLDER,
        DISK_ERROR,
        FOLDER_CHANGED,
        DAMAGED_TOO_LARGE,
        PIPE_IN_THE_WAY,
        DEVICE_IN_THE_WAY,
        SOCKET_IN_THE_WAY,
        OTHER_IN_THE_WAY,
        FILE_UNREADABLE,
        UNKNOWN
    };

    // DAMAGED_TOO_LARGE: a damaged settings file too large to copy aside
    // stands where the file goes, and nothing is saved over it.
    // The cause of an errno value left by a failed open, write or rename in
    // sFolder: a missing file or folder there while sFolder stands means
    // something else changed the folder under the save (another program
    // removed the file being written), not that the folder is missing.
    static Cause fromErrno(int nErrno, const Tsl::String& sFolder);
    // The cause when the file there could not be read, so that nothing may
    // be saved over it: what stands there by its st_mode (0 when unknown),
    // or, for a file, that it cannot be read.
    static Cause fromWhatStands(mode_t nMode);
    // The cause as the string tables word it; built-in English while they
    // hold no text for it (a save can fail before they are loaded).
    static Tsl::String describe(Cause eCause);
};
