#pragma once

// The bash and zsh completions of plavex-cli, made from the command table:
// the commands, each command's options, the words of --fit and --codec, and
// file names for the pictures and the output.

#include <string>

// For /usr/share/bash-completion/completions/plavex-cli.
std::string CliBashCompletion();
// For zsh's vendor-completions folder, as _plavex-cli.
std::string CliZshCompletion();
