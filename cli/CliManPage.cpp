#include "cli/CliManPage.h"

#include <cstdio>
#include <string_view>

// Local
#include "cli/CliCommandTable.h"
#include "cli/CliHelp.h"

namespace {

// Text as roff prints it: backslashes and hyphens escaped, characters beyond
// ASCII as their Unicode names, and a line that would start with a control
// character guarded.
std::string Roff(std::string_view text)
{
    std::string out = text.starts_with('.') || text.starts_with('\'') ? "\\&" : "";
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '\\' || c == '-') {
            out += c == '\\' ? "\\e" : "\\-";
        } else if (c >= 0xC0) {
            // Two or three bytes of UTF-8 carry every character the texts use.
            const bool bThree = c >= 0xE0;
            unsigned nCode = c & (bThree ? 0x0F : 0x1F);
            for (int k = 0; k < (bThree ? 2 : 1) && i + 1 < text.size(); ++k)
                nCode = nCode << 6 | (static_cast<unsigned char>(text[++i]) & 0x3F);
            char sz[16];
            std::snprintf(sz, sizeof sz, "\\[u%04X]", nCode);
            out += sz;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

// Paragraphs, one a line of text.
std::string Paragraphs(std::string_view text)
{
    std::string out;
    for (std::size_t nStart = 0; nStart <= text.size();) {
        const std::size_t nEnd = std::min(text.find('\n', nStart), text.size());
        out += (nStart > 0 ? ".PP\n" : "") + Roff(text.substr(nStart, nEnd - nStart)) + "\n";
        nStart = nEnd + 1;
    }
    return out;
}

std::string Synopsis(const char* pszCommand, const std::string& strOperands)
{
    return ".B plavex\\-cli " + std::string(pszCommand) + "\n" + strOperands + "\n.br\n";
}

} // namespace

std::string CliManPage(const std::string& strVersion)
{
    std::string out = ".\\\" The batch tool's manual page, made by plavex_cli_docs from cli/CliCommandTable.cpp.\n"
                      ".TH PLAVEX\\-CLI 1 \"\" \"plavex " + Roff(strVersion) + "\" \"User Commands\"\n"
                      ".nh\n"
                      ".SH NAME\n"
                      "plavex\\-cli \\- mix two pictures into one, or dissolve pictures into a video\n"
                      ".SH SYNOPSIS\n";
    for (const CliCommand& command : CliCommands())
        out += Synopsis(command.m_pszName, ".I " + std::string(command.m_pszOperands) + "\n.RI [ options ]");
    out += Synopsis("help", ".RI [ COMMAND ]") + ".B plavex\\-cli \\-\\-help\n.br\n.B plavex\\-cli \\-\\-version\n";
    out += ".SH DESCRIPTION\n" + Paragraphs(CliAbout()) + ".SH COMMANDS\n";
    for (const CliCommand& command : CliCommands()) {
        out += ".SS \"" + std::string(command.m_pszName) + " \\fI" + command.m_pszOperands + "\\fR\"\n" +
               Paragraphs(command.m_pszDescription);
        for (const CliOption& option : command.m_options) {
            out += ".TP\n";
            const std::string strName = option.m_pszName;
            if (strName == "help")
                out += ".BR \\-h \", \" \\-\\-help\n";
            else if (option.IsFlag())
                out += ".B \\-\\-" + Roff(strName) + "\n";
            else
                out += ".BI \\-\\-" + Roff(strName) + " \" " + Roff(option.m_pszValue) + "\"\n";
            out += Roff(CliOptionHelp(option)) + "\n";
        }
        out += ".PP\n" + Paragraphs(command.m_pszOutput) + ".PP\nExample:\n.RS\n.nf\n" + Roff(command.m_pszExample) +
               "\n.fi\n.RE\n";
    }
    out += ".SH \"EXIT STATUS\"\n";
    for (const CliExitStatus& status : CliExitStatuses())
        out += ".TP\n.B " + Roff(status.m_pszStatus) + "\n" + Roff(status.m_pszMeaning) + "\n";
    return out;
}
