// plavex-cli: makes Plavex's still pictures and animations without the wizard.

#include <csignal>
#include <iostream>
#include <string>
#include <vector>

// Qt
#include <QtGlobal>

// Local
#include "cli/AnimCommand.h"
#include "cli/CliArgs.h"
#include "cli/CliInterrupt.h"
#include "cli/SlideshowCommand.h"
#include "cli/StillCommand.h"

namespace {

constexpr const char* kUsage =
    "usage: plavex-cli still FIRST SECOND OUTPUT [options]   (plavex-cli still --help)\n"
    "       plavex-cli anim FIRST SECOND OUTPUT [options]   (plavex-cli anim --help)\n"
    "       plavex-cli slideshow PICTURE... OUTPUT [options]   (plavex-cli slideshow --help)\n"
    "       plavex-cli --help | --version\n"
    "  On a terminal a progress bar on stderr shows the work; --quiet leaves it out.\n"
    "  \"--\" ends the options, so file names may start with a dash.\n";

// The image readers report their complaints through Qt's message log; the
// commands report every failure themselves in one line, so those are dropped.
void DropQtMessages(QtMsgType, const QMessageLogContext&, const QString&) {}

} // namespace

int main(int argc, char** argv)
{
    qInstallMessageHandler(DropQtMessages);
    // Past the file size limit (ulimit -f) a write must fail with EFBIG, so
    // the command can drop its temporary file and say why, instead of the
    // signal ending the program in the middle of the write.
    std::signal(SIGXFSZ, SIG_IGN);
    InstallCliInterruptHandlers();

    const std::vector<std::string> words(argv + 1, argv + argc);
    if (words.empty()) {
        std::cerr << kUsage;
        return kExitUsage;
    }
    const std::string& strCommand = words.front();
    const std::vector<std::string> args(words.begin() + 1, words.end());
    if (strCommand == "still")
        return RunStillCommand(args, std::cout, std::cerr);
    if (strCommand == "anim")
        return RunAnimCommand(args, std::cout, std::cerr);
    if (strCommand == "slideshow")
        return RunSlideshowCommand(args, std::cout, std::cerr);
    if (strCommand == "--version") {
        std::cout << "plavex-cli " << PLAVEX_VERSION << "\n";
        return kExitOk;
    }
    if (strCommand == "--help" || strCommand == "-h" || strCommand == "help") {
        std::cout << kUsage;
        return kExitOk;
    }
    std::cerr << "plavex-cli: unknown command '" << strCommand << "'\n" << kUsage;
    return kExitUsage;
}
