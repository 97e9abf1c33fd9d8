// Routing of crash signals to the program's crash handler.
#pragma once

// The program's crash handler (defined by the game): logs, reports and ends
// the process; it does not return.
void onSignal(int nSignal);

// Sends segmentation faults, aborts and floating-point errors (and bus
// errors and illegal instructions, the faults Windows reports as unhandled
// exceptions) to onSignal. A second crash while the handler runs ends the
// process with the signal's default action instead of entering it again.
// The handler runs on a stack of its own (set up for the calling thread), so
// a stack overflow is reported too.
void installCrashHandlers();
