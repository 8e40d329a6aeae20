#pragma once

// The manual page plavex-cli(1), in roff with the man macros, made from the
// command table like the help the tool prints.

#include <string>

std::string CliManPage(const std::string& strVersion);
