#include "cli/CliCommandLine.h"

// Local
#include "cli/CliArgs.h"
#include "cli/CliCommandTable.h"
#include "cli/CliHelp.h"
#include "cli/CliReport.h"

namespace {

int UnknownCommand(const std::string& strName, std::ostream& err)
{
    err << "plavex-cli: unknown command '" << strName << "'\n" << CliSynopsis();
    return kExitUsage;
}

// plavex-cli help [COMMAND]
int Help(const std::vector<std::string>& words, std::ostream& out, std::ostream& err)
{
    if (words.size() == 1) {
        out << CliOverview();
        return kExitOk;
    }
    const CliCommand* pCommand = FindCliCommand(words[1]);
    if (!pCommand)
        return UnknownCommand(words[1], err);
    if (words.size() > 2)
        return CliReport(err, *pCommand).Usage("help takes one COMMAND");
    out << CliCommandHelp(*pCommand);
    return kExitOk;
}

int Run(const CliCommand& command, const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    const auto parsing = ParseCliArgs(args, command.m_options);
    if (!parsing)
        return CliReport(err, command).Usage(parsing.Error().m_strMessage);
    const CliArgs& parsed = parsing.Value();
    const CliReport report(err, command, parsed.Has("quiet"));
    if (parsed.Has("help")) {
        out << CliCommandHelp(command);
        return kExitOk;
    }
    const std::size_t nOperands = parsed.m_positional.size();
    if (nOperands < command.m_nMinOperands || nOperands > command.m_nMaxOperands)
        return report.Usage(std::string("expected ") + command.m_pszExpected);
    return command.m_run(parsed, report);
}

} // namespace

int RunCommandLine(const std::vector<std::string>& words, std::ostream& out, std::ostream& err)
{
    if (words.empty()) {
        err << CliSynopsis() << "Run 'plavex-cli --help' for the commands and what they take.\n";
        return kExitUsage;
    }
    const std::string& strCommand = words.front();
    if (const CliCommand* pCommand = FindCliCommand(strCommand))
        return Run(*pCommand, std::vector<std::string>(words.begin() + 1, words.end()), out, err);
    if (strCommand == "--version") {
        out << "plavex-cli " << PLAVEX_VERSION << "\n";
        return kExitOk;
    }
    if (strCommand == "--help" || strCommand == "-h")
        return Help({strCommand}, out, err);
    if (strCommand == "help")
        return Help(words, out, err);
    return UnknownCommand(strCommand, err);
}
