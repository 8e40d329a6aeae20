// plavex-cli: makes Plavex's still pictures and animations without the wizard.

#include <csignal>
#include <iostream>
#include <string>
#include <vector>

// Qt
#include <QtGlobal>

// Local
#include "cli/CliCommandLine.h"
#include "cli/CliInterrupt.h"

namespace {

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
    return RunCommandLine(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
