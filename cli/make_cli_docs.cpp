// plavex_cli_docs: writes the batch tool's manual page and its bash and zsh
// completions, made from the command table, into a folder at build time.
//
//   plavex_cli_docs FOLDER VERSION   writes plavex-cli.1, plavex-cli.bash and _plavex-cli

#include <fstream>
#include <iostream>
#include <string>

// Local
#include "cli/CliCompletions.h"
#include "cli/CliManPage.h"

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "usage: plavex_cli_docs FOLDER VERSION\n";
        return 2;
    }
    const std::string strFolder = argv[1];
    for (const auto& [pszName, strText] : {std::pair("plavex-cli.1", CliManPage(argv[2])),
                                           std::pair("plavex-cli.bash", CliBashCompletion()),
                                           std::pair("_plavex-cli", CliZshCompletion())}) {
        std::ofstream out(strFolder + "/" + pszName, std::ios::binary);
        if (!(out << strText) || !out.flush()) {
            std::cerr << "plavex_cli_docs: cannot write " << strFolder << "/" << pszName << "\n";
            return 1;
        }
    }
    return 0;
}
