#include "cli/CliReport.h"

#include <utility>

// Local
#include "cli/CliArgs.h"
#include "cli/CliHelp.h"
#include "cli/CliInterrupt.h"

int CliReport::Usage(const std::string& strWhy) const
{
    m_err << "plavex-cli " << m_command.m_pszName << ": " << strWhy << "\n" << CliUsageLine(m_command) << "\n";
    return kExitUsage;
}

int CliReport::Fail(const std::string& strWhy) const
{
    m_err << "plavex-cli " << m_command.m_pszName << ": " << strWhy << "\n";
    return kExitFailure;
}

int CliReport::Interrupted(const std::string& strFile) const
{
    m_err << "plavex-cli " << m_command.m_pszName << ": interrupted; '" << strFile << "' was not written\n";
    return CliInterruptedStatus();
}

void CliReport::Note(const std::string& strText) const
{
    if (!m_bQuiet)
        m_err << "plavex-cli " << m_command.m_pszName << ": " << strText << "\n";
}

CliProgressBar CliReport::Progress(std::int64_t nTotal, const std::string& strUnit) const
{
    CliProgressBar::Options options;
    options.m_bEnabled = !m_bQuiet && CliProgressBar::DrawsOn(m_err);
    options.m_strUnit = strUnit;
    return CliProgressBar(m_err, nTotal, std::move(options));
}
