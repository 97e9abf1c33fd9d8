#pragma once

#include "tsl2/str.h"

// One running game per window-class name: an advisory lock on a file named
// by a hash of the name. The system drops the lock with the process, so a
// crash or a kill never blocks the next start; a game that ends removes its
// file, so they do not pile up, one per class ever used.
class InstanceLock {
public:
    // Tries to take the lock. sUserFolder (ending in '/') holds the file when
    // the session has no runtime folder.
    InstanceLock(const Tsl::String& sName, const Tsl::String& sUserFolder);
    ~InstanceLock();

    // Another process holds the lock. A lock that cannot be made at all (no
    // writable folder) does not keep the game from starting.
    bool isHeldElsewhere() const { return m_bHeldElsewhere; }
    // $XDG_RUNTIME_DIR, else the user's folder: never a folder other users
    // share, where another user's game would hold the same name.
    static Tsl::String getLockFile(const Tsl::String& sName, const Tsl::String& sUserFolder);

private:
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    int m_nFile;
    bool m_bHeldElsewhere;
    Tsl::String m_sPath;
};
