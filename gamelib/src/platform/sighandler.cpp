#include "platform/sighandler.h"

#include "tsl2/error.h"

#include <csignal>
#include <unistd.h>

namespace {

const int CRASH_SIGNALS[] = {SIGSEGV, SIGABRT, SIGFPE, SIGBUS, SIGILL};

volatile sig_atomic_t s_bInHandler = 0;

// A stack overflow leaves no stack to run the handler on, so it runs on
// one of its own, large enough for the report it writes.
alignas(16) char s_aHandlerStack[256 * 1024];

void installHandlerStack() {
    stack_t stack;
    stack.ss_sp = s_aHandlerStack;
    stack.ss_size = sizeof(s_aHandlerStack);
    stack.ss_flags = 0;
    sigaltstack(&stack, nullptr);
}

void resetToDefault(int nSignal) {
    struct sigaction action;
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;
    sigaction(nSignal, &action, nullptr);
}

void crashTrampoline(int nSignal) {
    if (s_bInHandler) {
        // Crashed inside the crash handler: die the plain way.
        resetToDefault(nSignal);
        raise(nSignal);
        _exit(128 + nSignal);
    }
    s_bInHandler = 1;
    // A crash handler that returned would run into the fault again.
    for (int nCrash : CRASH_SIGNALS) resetToDefault(nCrash);
    onSignal(nSignal);
    _exit(128 + nSignal);
}

} // namespace

void installCrashHandlers() {
    TSL_TRACE();
    installHandlerStack();
    struct sigaction action;
    action.sa_handler = crashTrampoline;
    sigemptyset(&action.sa_mask);
    // Nothing is held back while the handler runs: the trampoline has put
    // every crash signal back to its default, so a second crash ends the
    // process on the spot.
    action.sa_flags = SA_NODEFER | SA_ONSTACK;
    for (int nCrash : CRASH_SIGNALS) sigaction(nCrash, &action, nullptr);
}
