#pragma once

// Command-line parsing shared by the plavex-cli commands.

#include <cstdint>
#include <initializer_list>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Local
#include "engine/EngineResult.h"

// Exit codes of every command.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

struct CliArgs {
    std::vector<std::string> m_positional;
    // Option name without its dashes ("ratio") to its value; flags map to "".
    std::map<std::string, std::string> m_options;

    bool Has(std::string_view strName) const { return m_options.find(std::string(strName)) != m_options.end(); }
};

struct CliOptionTable {
    // Options that take a value, given as "--name VALUE" or "--name=VALUE".
    std::initializer_list<std::string_view> m_valueOptions;
    // Options that take none ("--name").
    std::initializer_list<std::string_view> m_flagOptions;
};

// Splits args into positional arguments and options. "--" ends the options;
// everything after it is positional, even when it starts with a dash. A lone
// "-" is positional. Unknown, repeated or value-less options fail with
// BadArgument and one line saying why.
EngineResult<CliArgs> ParseCliArgs(const std::vector<std::string>& args, const CliOptionTable& options);

// A whole decimal number with an optional sign, within nMin..nMax.
std::optional<std::int32_t> ParseInt32(std::string_view strText, std::int32_t nMin, std::int32_t nMax);

// A decimal number of seconds ("2", "0.5", "1.25") from 0 to nMaxSeconds,
// with at most six decimals and no sign, in whole microseconds.
std::optional<std::int64_t> ParseMicroseconds(std::string_view strText, std::int32_t nMaxSeconds);

struct CliSize {
    std::int32_t m_nWidth = 0;
    std::int32_t m_nHeight = 0;
};

// "WxH" (or "WXH"): two whole 32-bit numbers; their range is left to the caller.
std::optional<CliSize> ParseSize(std::string_view strText);
