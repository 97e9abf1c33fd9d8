// Files replaced whole: read at once, written to a temporary file of this
// process's own, sent to the disk and renamed into place, so that a crash or
// a failing disk at any moment leaves either the old file or the new one.
#pragma once

#include "tsl2/str.h"

#include <cstdint>
#include <string>
#include <sys/types.h>

class AtomicFile {
public:
    // The steps of replace a test may make fail (a full or failing disk
    // cannot be had on demand).
    enum Step { WRITE, SYNC, SYNC_FOLDER };
    // Every replace from now on fails at eStep with nErrno; nErrno 0 takes
    // the fault away. Both are defined with the tests only
    // (tests/support/planted_faults.cpp): in the game plantedFault is null,
    // and nothing fails on purpose.
    static void plantFault(Step eStep, int nErrno);
    // The error number planted at eStep, 0 for none.
    static int plantedFault(Step eStep) __attribute__((weak));

    // The path a chain of symbolic links from sPath ends at: sPath itself
    // when it is no link, or when the chain loops or a link cannot be read.
    static Tsl::String followLinks(const Tsl::String& sPath);
    // The temporary name this process writes sPath through before renaming
    // it into place: sPath, a dot, the process id and ".tmp".
    static Tsl::String getTemporaryFile(const Tsl::String& sPath);
    // The folder part of a path with its separator ("./" when it has none),
    // and the name after it.
    static void splitPath(const Tsl::String& sPath, Tsl::String& sFolder, Tsl::String& sName);
    static Tsl::String folderOf(const Tsl::String& sPath);

    // The bytes and mode (st_mode: type and permissions) of the regular file
    // at sPath (links followed); false with nErrno when it cannot be read,
    // is no regular file (EINVAL: never opened, so a FIFO cannot hold the
    // caller and a device is never touched), holds more than nMax bytes
    // (EFBIG: sBytes holds the first nMax) or ends before its size
    // (ENODATA). nMode is set whenever something stands at sPath.
    static bool readBytes(const Tsl::String& sPath, int64_t nMax, std::string& sBytes, mode_t& nMode, int& nErrno);
    // Writes sBytes to sPath (no link followed) through getTemporaryFile:
    // whatever stands at that name goes first, the new file is created
    // afresh, takes nMode (a negative one: as the umask gives), is on the
    // disk and only then takes sPath's place, the folder synced after. False
    // with nErrno, the temporary file removed and sPath as it was, except
    // when only the folder's sync failed: the new file stands then, but a
    // power cut may still take the rename back.
    static bool replace(const Tsl::String& sPath, const std::string& sBytes, int nMode, int& nErrno);
    // Sends the entries of sPath's folder (a rename, a new link) to the
    // disk; false with nErrno when the disk failed to take them. A file
    // system that cannot sync a folder, or a folder its user may write to but
    // not open, leaves nothing to do.
    static bool syncFolder(const Tsl::String& sPath, int& nErrno);
    // Removes the temporary files "<file>.<digits>.tmp" beside sFile that a
    // run ending mid-save left: regular files older than any save takes.
    static void removeStaleTemporaries(const Tsl::String& sFile);
};
