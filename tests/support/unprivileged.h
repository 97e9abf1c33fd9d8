// Runs a piece of a test as a user without privileges, so that file modes
// hold as they do for a player: root writes into a read-only folder as if it
// were not. Under root the piece runs in a child process that becomes
// "nobody" (the test's folder is handed to that user first); otherwise it
// runs in place. The piece reports through its result, 0 for success (a
// child has no GoogleTest of its own to report to).
#pragma once

#include "test_folder.h"

#include <cstdlib>
#include <functional>
#include <grp.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

inline int runUnprivileged(const std::function<int()>& fnPiece) {
    if (geteuid() != 0) return fnPiece();
    const uid_t NOBODY = 65534;
    const std::string& sFolder = testFolder();
    // The folders above it are searchable by everybody; the test's own is not.
    if (chmod(sFolder.c_str(), 0755) != 0) return 125;
    if (std::system(("chown -R " + std::to_string(NOBODY) + ":" + std::to_string(NOBODY) + " '" + sFolder + "'")
                        .c_str()) != 0)
        return 125;
    pid_t nChild = fork();
    if (nChild == 0) {
        if (setgroups(0, nullptr) != 0 || setgid(NOBODY) != 0 || setuid(NOBODY) != 0) _exit(126);
        _exit(fnPiece());
    }
    int nStatus = 0;
    if (nChild < 0 || waitpid(nChild, &nStatus, 0) != nChild) return 127;
    return WIFEXITED(nStatus) ? WEXITSTATUS(nStatus) : 128 + WTERMSIG(nStatus);
}
