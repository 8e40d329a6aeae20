#pragma once

// The lines a command writes on stderr when it cannot do its work, each
// starting with "plavex-cli COMMAND: ", and the exit status that goes with
// each.

#include <ostream>
#include <string>

class CliReport {
public:
    CliReport(std::ostream& err, const char* pszCommand, const char* pszUsage)
        : m_err(err), m_pszCommand(pszCommand), m_pszUsage(pszUsage)
    {
    }

    // Why the arguments are wrong, then the usage; gives kExitUsage.
    int Usage(const std::string& strWhy) const;
    // Why the work failed, in one line; gives kExitFailure.
    int Fail(const std::string& strWhy) const;
    // That a stop was asked for and strFile was not written; gives the
    // status of the signal.
    int Interrupted(const std::string& strFile) const;

private:
    std::ostream& m_err;
    const char* m_pszCommand;
    const char* m_pszUsage;
};
