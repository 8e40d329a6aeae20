#include "cli/CliReport.h"

// Local
#include "cli/CliArgs.h"
#include "cli/CliInterrupt.h"

int CliReport::Usage(const std::string& strWhy) const
{
    m_err << "plavex-cli " << m_pszCommand << ": " << strWhy << "\n" << m_pszUsage << "\n";
    return kExitUsage;
}

int CliReport::Fail(const std::string& strWhy) const
{
    m_err << "plavex-cli " << m_pszCommand << ": " << strWhy << "\n";
    return kExitFailure;
}

int CliReport::Interrupted(const std::string& strFile) const
{
    m_err << "plavex-cli " << m_pszCommand << ": interrupted; '" << strFile << "' was not written\n";
    return CliInterruptedStatus();
}
