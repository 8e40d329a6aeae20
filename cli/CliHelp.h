#pragma once

// The help the tool prints, made from the command table: for the whole tool
// (plavex-cli --help) and for one command (plavex-cli help COMMAND, COMMAND
// --help), wrapped for an 80-column terminal.

#include <string>

// Local
#include "cli/CliCommandTable.h"

// The usage lines of every command.
std::string CliSynopsis();
// The commands, what they share and the exit statuses.
std::string CliOverview();
// One command: its description, every option with its values, bounds and
// default, what OUTPUT becomes, an example and the exit statuses.
std::string CliCommandHelp(const CliCommand& command);
// "usage: plavex-cli COMMAND OPERANDS [options]", and where the help is.
std::string CliUsageLine(const CliCommand& command);
// An option's help: what it sets, its values and its default, as sentences.
std::string CliOptionHelp(const CliOption& option);
// "--name VALUE", or "-h, --help".
std::string CliOptionLabel(const CliOption& option);
