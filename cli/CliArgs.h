#pragma once

// Command-line parsing shared by the plavex-cli commands: the words after a
// command split by Qt's parser against the command's option rows, and the
// numbers the options take.

#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Local
#include "cli/CliCommandTable.h"
#include "engine/EngineResult.h"

// Exit codes of every command.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

// An argument that cannot be taken as given, and why, in one line.
inline EngineError BadArgument(std::string strWhy) { return {EngineErrorCode::BadArgument, std::move(strWhy)}; }

struct CliArgs {
    std::vector<std::string> m_positional;
    // Option name without its dashes ("ratio") to its value; flags map to "".
    std::map<std::string, std::string> m_options;
    // The rows the options were parsed against.
    std::span<const CliOption> m_table;

    bool Has(std::string_view strName) const { return m_options.find(std::string(strName)) != m_options.end(); }
    // The option's value, or its row's default when it is not given.
    std::string Text(std::string_view strName) const;
    // A whole-number option's value, or its row's default; BadArgument
    // naming its bounds when it is not a whole number within them.
    EngineResult<std::int32_t> Whole(std::string_view strName) const;
};

// Splits args into positional arguments and the options of the table. "--"
// ends the options; everything after it is positional, even when it starts
// with a dash. A lone "-" is positional. Unknown, repeated or value-less
// options fail with BadArgument and one line saying why.
EngineResult<CliArgs> ParseCliArgs(const std::vector<std::string>& args, std::span<const CliOption> table);

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

// m_nRate frames every m_nScale seconds, in lowest terms.
struct CliRate {
    std::int32_t m_nRate = 25;
    std::int32_t m_nScale = 1;
};

// A frame rate from 1 to 1000000 per second: a whole number, a fraction of
// two whole numbers, or a decimal with up to three places. A decimal that
// N × 1000/1001 rounds to at its places, for a whole N, is that fraction
// (29.97 is 30000/1001); any other is its exact value (12.5 is 25/2).
std::optional<CliRate> ParseFrameRate(std::string_view strText);
