#pragma once

// plavex-cli slideshow: dissolves any number of pictures, one into the next,
// into one video, holding at most two scaled pictures at a time. Its options
// and texts are its row of the command table.

struct CliArgs;
class CliReport;

// Gives the process exit status, as RunStillCommand does.
int RunSlideshowCommand(const CliArgs& parsed, const CliReport& report);
