#pragma once

#include "tsl2/str.h"

// One running game per window-class name: an advisory lock on a file named
// by a hash of the name. The system drops the lock with the process, so a
// crash or a kill never blocks the next start.
class InstanceLock {
public:
    // Tries to take the lock.
    explicit InstanceLock(const Tsl::String& sName);
    ~InstanceLock();

    // Another process holds the lock. A lock that cannot be made at all (no
    // writable folder) does not keep the game from starting.
    bool isHeldElsewhere() const { return m_bHeldElsewhere; }
    // $XDG_RUNTIME_DIR, else the temporary folder.
    static Tsl::String getLockFile(const Tsl::String& sName);

private:
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    int m_nFile;
    bool m_bHeldElsewhere;
};
