// Requests from outside to end the program (SIGTERM, SIGINT), kept apart
// from the window's close button.
#pragma once

// SDL 1.2 turns SIGTERM and SIGINT into the same quit event as a click on
// the window's close button, and the game answers that with its exit
// question, which nobody is there to answer when a session ends or a
// supervisor stops the game. These handlers only record the signal; the
// event pump asks for it once a frame and ends the run the ordinary way, so
// settings and profiles are saved as on any exit. SDL installs its own
// handlers only where the default one is still in place, so it leaves these
// alone when video starts after them. Installing again does nothing.
void installTerminationHandlers();
// Puts back the handlers that were in place before the install.
void removeTerminationHandlers();
// The termination signal received since the last call, 0 when none was;
// the record is cleared.
int takeTerminationSignal();
