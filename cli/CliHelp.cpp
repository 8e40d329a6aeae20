#include "cli/CliHelp.h"

#include <algorithm>
#include <string_view>

namespace {

constexpr std::size_t kWidth = 79;

// Columns a UTF-8 text takes: one for each character.
std::size_t Columns(std::string_view str)
{
    return static_cast<std::size_t>(std::count_if(str.begin(), str.end(), [](char c) { return (c & 0xC0) != 0x80; }));
}

// Appends text as lines of at most kWidth columns, the first starting with
// strLead and the others as far in. Each line of text is a paragraph, and a
// blank line parts them.
void Wrap(std::string& out, const std::string& strLead, std::string_view text)
{
    const std::string strIndent(Columns(strLead), ' ');
    for (std::size_t nStart = 0; nStart <= text.size();) {
        const std::size_t nEnd = std::min(text.find('\n', nStart), text.size());
        if (nStart > 0)
            out += "\n";
        std::string strLine = nStart == 0 ? strLead : strIndent;
        std::size_t nColumns = Columns(strLine);
        bool bLineEmpty = true;
        for (std::string_view rest = text.substr(nStart, nEnd - nStart); !rest.empty();) {
            const std::size_t nSpace = std::min(rest.find(' '), rest.size());
            const std::string_view word = rest.substr(0, nSpace);
            rest.remove_prefix(std::min(nSpace + 1, rest.size()));
            if (!bLineEmpty && nColumns + 1 + Columns(word) > kWidth) {
                out += strLine + "\n";
                strLine = strIndent;
                nColumns = strIndent.size();
                bLineEmpty = true;
            }
            strLine += bLineEmpty ? "" : " ";
            strLine += word;
            nColumns += (bLineEmpty ? 0 : 1) + Columns(word);
            bLineEmpty = false;
        }
        out += strLine + "\n";
        nStart = nEnd + 1;
    }
}

std::string Capitalised(std::string str)
{
    if (!str.empty() && str[0] >= 'a' && str[0] <= 'z')
        str[0] = static_cast<char>(str[0] - 'a' + 'A');
    return str;
}

// Rows of a label and a text, the texts in one column after the longest label.
template <class Row, class Label, class Text>
void Table(std::string& out, const char* pszTitle, std::span<const Row> rows, Label label, Text text)
{
    std::size_t nLabel = 0;
    for (const Row& row : rows)
        nLabel = std::max(nLabel, Columns(label(row)));
    out += std::string(pszTitle) + ":\n";
    for (const Row& row : rows) {
        const std::string strLabel = label(row);
        Wrap(out, "  " + strLabel + std::string(nLabel + 2 - Columns(strLabel), ' '), text(row));
    }
}

void ExitStatuses(std::string& out)
{
    Table(out, "Exit status", CliExitStatuses(), [](const CliExitStatus& s) { return std::string(s.m_pszStatus); },
          [](const CliExitStatus& s) { return std::string(s.m_pszMeaning); });
}

} // namespace

std::string CliOptionLabel(const CliOption& option)
{
    const std::string strName = option.m_pszName;
    return (strName == "help" ? "-h, --" : "--") + strName + (option.IsFlag() ? "" : std::string(" ") + option.m_pszValue);
}

std::string CliOptionHelp(const CliOption& option)
{
    if (option.IsFlag())
        return Capitalised(option.m_pszWhat) + ".";
    return Capitalised(option.m_pszWhat) + ": " + option.Values() + ". Default: " + option.Default() + "." +
           (option.m_pszMore ? std::string(" ") + option.m_pszMore : "");
}

std::string CliUsageLine(const CliCommand& command)
{
    return std::string("usage: plavex-cli ") + command.m_pszName + " " + command.m_pszOperands +
           " [options]   (plavex-cli help " + command.m_pszName + ")";
}

std::string CliSynopsis()
{
    std::string out;
    for (const CliCommand& command : CliCommands())
        out += std::string(out.empty() ? "usage: " : "       ") + "plavex-cli " + command.m_pszName + " " +
               command.m_pszOperands + " [options]\n";
    return out + "       plavex-cli help [COMMAND] | --help | --version\n";
}

std::string CliOverview()
{
    std::string out = CliSynopsis() + "\n";
    Table(out, "Commands", CliCommands(), [](const CliCommand& c) { return std::string(c.m_pszName); },
          [](const CliCommand& c) { return std::string(c.m_pszSummary); });
    out += "\n";
    Wrap(out, "", CliAbout());
    out += "\n";
    ExitStatuses(out);
    out += "\n";
    Wrap(out, "", "\"plavex-cli help COMMAND\" tells the command's options with their values, bounds and defaults, "
                  "and the files it writes.");
    return out;
}

std::string CliCommandHelp(const CliCommand& command)
{
    std::string out = std::string("usage: plavex-cli ") + command.m_pszName + " " + command.m_pszOperands +
                      " [options]\n\n";
    Wrap(out, "", command.m_pszDescription);
    out += "\n";
    Table(out, "Options", command.m_options, CliOptionLabel, CliOptionHelp);
    out += "\nOutput:\n";
    Wrap(out, "  ", command.m_pszOutput);
    out += "\nExample:\n  " + std::string(command.m_pszExample) + "\n\n";
    ExitStatuses(out);
    return out;
}
