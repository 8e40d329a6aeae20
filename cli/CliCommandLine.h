#pragma once

// The whole command line of plavex-cli: the command it names, run with its
// parsed options, or the help, the version, or the usage when it is wrong.

#include <ostream>
#include <string>
#include <vector>

// words are the arguments after the program's name. Gives the exit status.
int RunCommandLine(const std::vector<std::string>& words, std::ostream& out, std::ostream& err);
