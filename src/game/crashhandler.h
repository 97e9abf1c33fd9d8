#pragma once

#include "tsl2/str.h"

// The crash path. A crash can strike anywhere, inside malloc or with the
// log's stream half written, so the handler (onSignal, platform/sighandler.h)
// only writes to a descriptor opened at start, bounded by an alarm, and
// exits. The report of a crashed run is built at the next start, from the
// log, before the log is trimmed.

// Opens the descriptor the handler writes to (appending to the log).
void openCrashLog(const char* pszLogFile);
void closeCrashLog();

enum { CRASH_EXIT_BASE = 128, CRASH_ALARM_SECONDS = 5 };

// Whether the last run the log holds ended in a crash signal.
bool lastRunCrashed(const char* pszLogFile);
// When it did: the report beside the log, named on stderr; returns its name
// (empty when there was nothing to report).
Tsl::String reportPreviousCrash(const char* pszLogFile);
