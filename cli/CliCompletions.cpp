#include "cli/CliCompletions.h"

#include <set>
#include <string_view>

// Local
#include "cli/CliCommandTable.h"

namespace {

std::string Joined(const std::vector<std::string>& words, const char* pszBetween = " ")
{
    std::string out;
    for (const std::string& strWord : words)
        out += (out.empty() ? "" : pszBetween) + strWord;
    return out;
}

std::string CommandNames()
{
    std::vector<std::string> names;
    for (const CliCommand& command : CliCommands())
        names.emplace_back(command.m_pszName);
    return Joined(names);
}

// Text inside single quotes of a shell.
std::string Quoted(std::string_view text)
{
    std::string out = "'";
    for (const char c : text)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

// What an option sets, up to its first clause, in brackets for zsh's list.
std::string Brief(const CliOption& option)
{
    const std::string_view what = option.m_pszWhat;
    std::string out = "[";
    for (const char c : what.substr(0, what.find(';'))) {
        if (c == ']' || c == '[' || c == '\\')
            out += '\\';
        out += c;
    }
    return out + "]";
}

} // namespace

std::string CliBashCompletion()
{
    std::string strCommands, strWords;
    std::set<std::string> valueOptions, wordOptions;
    for (const CliCommand& command : CliCommands()) {
        std::vector<std::string> options;
        for (const CliOption& option : command.m_options) {
            options.push_back(std::string(option.m_pszName == std::string_view("help") ? "-h --" : "--") +
                              option.m_pszName);
            if (option.m_words && wordOptions.insert(option.m_pszName).second)
                strWords += "        --" + std::string(option.m_pszName) + ") values=" + Quoted(Joined(option.m_words())) +
                            " ;;\n";
            else if (!option.IsFlag() && !option.m_words)
                valueOptions.insert("--" + std::string(option.m_pszName));
        }
        strCommands += "        " + std::string(command.m_pszName) + ") options=" + Quoted(Joined(options)) + " ;;\n";
    }
    return "# bash completion for plavex-cli, made by plavex_cli_docs from its command table.\n"
           "_plavex_cli()\n"
           "{\n"
           "    local cur prev words cword split\n"
           "    _init_completion -s || return\n"
           "    if ((cword == 1)); then\n"
           "        COMPREPLY=($(compgen -W " + Quoted(CommandNames() + " help --help --version") + " -- \"$cur\"))\n"
           "        return\n"
           "    fi\n"
           "    local i options values=\n"
           "    for ((i = 2; i < cword; i++)); do\n"
           "        [[ ${words[i]} == -- ]] && { _filedir; return; }\n"
           "    done\n"
           "    case ${words[1]} in\n"
           "        help) ((cword == 2)) && COMPREPLY=($(compgen -W " + Quoted(CommandNames()) + " -- \"$cur\")); return ;;\n" +
           strCommands +
           "        *) return ;;\n"
           "    esac\n"
           "    case $prev in\n" + strWords +
           "        " + Joined({valueOptions.begin(), valueOptions.end()}, "|") + ") return ;;\n"
           "    esac\n"
           "    if [[ -n $values ]]; then\n"
           "        COMPREPLY=($(compgen -W \"$values\" -- \"$cur\"))\n"
           "    elif [[ $cur == -* ]]; then\n"
           "        COMPREPLY=($(compgen -W \"$options\" -- \"$cur\"))\n"
           "    else\n"
           "        _filedir\n"
           "    fi\n"
           "}\n"
           "complete -F _plavex_cli plavex-cli\n";
}

std::string CliZshCompletion()
{
    std::string strCommands, strCases;
    for (const CliCommand& command : CliCommands()) {
        strCommands += "    " + Quoted(std::string(command.m_pszName) + ":" + command.m_pszSummary) + "\n";
        strCases += "    " + std::string(command.m_pszName) + ")\n        _arguments -S :";
        for (const CliOption& option : command.m_options) {
            const std::string strName = option.m_pszName;
            strCases += " \\\n            ";
            std::string strSpec = strName == "help" ? "" : "--" + strName;
            if (!option.IsFlag())
                strSpec += "=";
            strSpec += Brief(option);
            if (!option.IsFlag()) {
                strSpec.append(":").append(option.m_pszValue).append(":");
                strSpec += option.m_words ? std::string("(").append(Joined(option.m_words())).append(")") : " ";
            }
            if (strName == "help")
                strCases += "'(-h --help)'{-h,--help}";
            strCases += Quoted(strSpec);
        }
        strCases += " \\\n            '*:file:_files' ;;\n";
    }
    return "#compdef plavex-cli\n"
           "# zsh completion for plavex-cli, made by plavex_cli_docs from its command table.\n"
           "local -a commands others\n"
           "commands=(\n" + strCommands + ")\n"
           "others=(\n"
           "    'help:tell a command'\\''s options and output formats'\n"
           "    '--help:tell every command'\n"
           "    '--version:tell the version'\n"
           ")\n"
           "if ((CURRENT == 2)); then\n"
           "    _describe -t commands 'plavex-cli command' commands -- others\n"
           "    return\n"
           "fi\n"
           "local command=$words[2]\n"
           "shift words\n"
           "((CURRENT--))\n"
           "case $command in\n"
           "    help) ((CURRENT == 2)) && _describe -t commands command commands ;;\n" + strCases +
           "esac\n";
}
