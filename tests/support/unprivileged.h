// Runs a piece of a test as a user without privileges, so that file modes
// hold as they do for a player: root writes into a read-only folder as if it
// were not. Under root the piece runs in a child process that stays root but
// gives up every capability, so that the modes bind it as they bind any
// owner; the folders above the test's stay reachable, even where they are
// root's own and closed to other users (a checkout in /root, or in a folder
// made by mktemp). Otherwise it runs in place. The piece reports through its
// result, 0 for success (a child has no GoogleTest of its own to report to).
// It must not start programs: root regains its capabilities on exec.
#pragma once

#include <functional>
#include <linux/capability.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

inline int runUnprivileged(const std::function<int()>& fnPiece) {
    if (geteuid() != 0) return fnPiece();
    pid_t nChild = fork();
    if (nChild == 0) {
        __user_cap_header_struct header = {_LINUX_CAPABILITY_VERSION_3, 0};
        __user_cap_data_struct aNone[_LINUX_CAPABILITY_U32S_3] = {};
        if (syscall(SYS_capset, &header, aNone) != 0) _exit(126);
        _exit(fnPiece());
    }
    int nStatus = 0;
    if (nChild < 0 || waitpid(nChild, &nStatus, 0) != nChild) return 127;
    return WIFEXITED(nStatus) ? WEXITSTATUS(nStatus) : 128 + WTERMSIG(nStatus);
}
