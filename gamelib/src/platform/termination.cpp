#include "platform/termination.h"

#include <atomic>
#include <csignal>

namespace {

const int TERMINATION_SIGNALS[] = {SIGTERM, SIGINT};
const int SIGNAL_COUNT = sizeof(TERMINATION_SIGNALS) / sizeof(TERMINATION_SIGNALS[0]);

// Lock-free, so the handler may write it; exchanged so that a signal that
// comes while the pump reads it is not lost.
std::atomic<int> s_nReceived{0};
static_assert(ATOMIC_INT_LOCK_FREE == 2, "the signal record must be lock-free");
bool s_bInstalled = false;
struct sigaction s_aPrevious[SIGNAL_COUNT];

void recordSignal(int nSignal) { s_nReceived = nSignal; }

} // namespace

void installTerminationHandlers() {
    if (s_bInstalled) return;
    // Zeroed, so that no field this code does not set carries stack garbage.
    struct sigaction action = {};
    action.sa_handler = recordSignal;
    sigemptyset(&action.sa_mask);
    // A blocking call the signal interrupts carries on: the pump looks at
    // the record within a frame.
    action.sa_flags = SA_RESTART;
    for (int i = 0; i < SIGNAL_COUNT; ++i) sigaction(TERMINATION_SIGNALS[i], &action, &s_aPrevious[i]);
    s_nReceived = 0;
    s_bInstalled = true;
}

void removeTerminationHandlers() {
    if (!s_bInstalled) return;
    for (int i = 0; i < SIGNAL_COUNT; ++i) sigaction(TERMINATION_SIGNALS[i], &s_aPrevious[i], nullptr);
    s_bInstalled = false;
}

int takeTerminationSignal() { return s_nReceived.exchange(0); }
