#pragma once

// plavex-cli still: mixes two pictures into one picture file, exactly as the
// wizard's still render does, in the format OUTPUT's extension asks for
// (engine/StillFile.h). Its options and texts are its row of the command
// table.

struct CliArgs;
class CliReport;

// Gives 0 on success, 1 with one line on stderr when a picture cannot be
// loaded, the size is impossible or the output cannot be written, 2 for an
// option out of its bounds, and 128 + the signal's number when interrupted.
int RunStillCommand(const CliArgs& parsed, const CliReport& report);
