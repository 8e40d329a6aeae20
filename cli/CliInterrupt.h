#pragma once

// Stopping a command cleanly when the user interrupts it (Ctrl+C) or the
// system asks it to end (SIGTERM, SIGHUP): the command stops at the next row
// or frame and removes what it had begun, so no partial file is left.

// Installs the handlers, except for a signal that was ignored when the
// program started (as for a job run in the background). A second signal of
// the same kind ends the program at once.
void InstallCliInterruptHandlers();

// True once a stop was asked for.
bool CliInterrupted() noexcept;

// The exit status for the stop, as shells report a signal: 128 + its number.
int CliInterruptedStatus() noexcept;
