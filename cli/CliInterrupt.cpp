#include "cli/CliInterrupt.h"

#include <csignal>
#include <initializer_list>

namespace {

volatile std::sig_atomic_t g_nSignal = 0;

extern "C" void OnStopSignal(int nSignal)
{
    g_nSignal = nSignal;
}

} // namespace

void InstallCliInterruptHandlers()
{
    for (const int nSignal : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction previous {};
        if (sigaction(nSignal, nullptr, &previous) != 0 || previous.sa_handler == SIG_IGN)
            continue;
        struct sigaction action {};
        action.sa_handler = OnStopSignal;
        sigemptyset(&action.sa_mask);
        // The handler runs once; after it the default action is back in place.
        action.sa_flags = SA_RESETHAND;
        sigaction(nSignal, &action, nullptr);
    }
}

bool CliInterrupted() noexcept
{
    return g_nSignal != 0;
}

int CliInterruptedStatus() noexcept
{
    return 128 + static_cast<int>(g_nSignal);
}
