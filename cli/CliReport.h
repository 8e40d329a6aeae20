#pragma once

// The lines a command writes on stderr, each starting with
// "plavex-cli COMMAND: ", the exit status that goes with each, and whether
// the command draws its progress there.

#include <ostream>
#include <string>

// Local
#include "cli/CliCommandTable.h"
#include "cli/CliProgressBar.h"

class CliReport {
public:
    // bQuiet (--quiet) leaves out the progress bar and the notes.
    CliReport(std::ostream& err, const CliCommand& command, bool bQuiet = false)
        : m_err(err), m_command(command), m_bQuiet(bQuiet)
    {
    }

    // Why the arguments are wrong, then the usage; gives kExitUsage.
    int Usage(const std::string& strWhy) const;
    // Why the work failed, in one line; gives kExitFailure.
    int Fail(const std::string& strWhy) const;
    // That a stop was asked for and strFile was not written; gives the
    // status of the signal.
    int Interrupted(const std::string& strFile) const;
    // One line on how the work is done ("using 1080x1348"), unless quiet.
    void Note(const std::string& strText) const;

    // A progress bar of nTotal strUnit, drawn only on a terminal and unless quiet.
    CliProgressBar Progress(std::int64_t nTotal, const std::string& strUnit = "frames") const;

private:
    std::ostream& m_err;
    const CliCommand& m_command;
    bool m_bQuiet;
};
