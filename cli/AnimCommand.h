#pragma once

// plavex-cli anim: makes the cross-dissolve animation from the command line.

#include <ostream>
#include <string>
#include <vector>

// args are the words after "anim". Gives the process exit code.
int RunAnimCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
