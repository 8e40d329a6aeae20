#pragma once

// plavex-cli anim: makes the cross-dissolve animation from the command line.
// Its options and texts are its row of the command table.

struct CliArgs;
class CliReport;

// Gives the process exit status, as RunStillCommand does.
int RunAnimCommand(const CliArgs& parsed, const CliReport& report);
