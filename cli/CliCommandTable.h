#pragma once

// The batch tool's commands and their options, one row each. The parser, the
// help the tool prints, its manual page and its shell completions are all
// made from these rows, so what the tool takes and what it says it takes
// cannot part. A new option is a row here and the lines that read it.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

struct CliArgs;
class CliReport;

struct CliOption {
    const char* m_pszName;  // without its dashes; "help" is also "-h"
    const char* m_pszValue; // the value's name ("P"); null for a flag
    const char* m_pszWhat;  // what it sets, a phrase
    // The values it takes, their bounds and what they do, without a final
    // full stop; null for a whole number from m_nMin to m_nMax.
    const char* m_pszValues = nullptr;
    std::int32_t m_nMin = 0;
    std::int32_t m_nMax = 0;
    std::int32_t m_nDefault = 0;
    // The default in words; null for a whole number's m_nDefault.
    const char* m_pszDefault = nullptr;
    // A sentence or more after the default; null for none.
    const char* m_pszMore = nullptr;
    // The words it takes, for completion; null when it takes any text.
    std::vector<std::string> (*m_words)() = nullptr;

    bool IsFlag() const { return m_pszValue == nullptr; }
    // m_pszValues, or "a whole number from MIN to MAX".
    std::string Values() const;
    // m_pszDefault, or m_nDefault; empty for a flag.
    std::string Default() const;
};

struct CliCommand {
    const char* m_pszName;
    const char* m_pszOperands; // "FIRST SECOND OUTPUT"
    std::size_t m_nMinOperands;
    std::size_t m_nMaxOperands;
    const char* m_pszExpected;    // what a wrong count of operands misses
    const char* m_pszSummary;     // a phrase, for the list of commands
    const char* m_pszDescription; // paragraphs, one a line
    const char* m_pszOutput;      // what OUTPUT's name makes of the file
    const char* m_pszExample;
    std::span<const CliOption> m_options;
    // Does the work once the arguments are parsed and counted.
    int (*m_run)(const CliArgs& parsed, const CliReport& report);
};

struct CliExitStatus {
    const char* m_pszStatus;
    const char* m_pszMeaning;
};

// The commands, in the order the help lists them.
std::span<const CliCommand> CliCommands();
// The command of that name, or null.
const CliCommand* FindCliCommand(std::string_view strName);
// What every command shares, paragraphs one a line: the pictures it reads,
// how outputs are written, the progress and stopping.
const char* CliAbout();
std::span<const CliExitStatus> CliExitStatuses();
