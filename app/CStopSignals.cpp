#include "app/CStopSignals.h"

#include <cerrno>
#include <cstdint>
#include <utility>

#include <sys/eventfd.h>
#include <unistd.h>

// Qt
#include <QSocketNotifier>

namespace {

volatile std::sig_atomic_t g_nEventFd = -1;

extern "C" void WriteStopSignal(int)
{
    // write() is safe here; errno is the interrupted code's.
    const int nSavedErrno = errno;
    const std::uint64_t nOne = 1;
    [[maybe_unused]] const ssize_t nWritten = ::write(g_nEventFd, &nOne, sizeof nOne);
    errno = nSavedErrno;
}

} // namespace

CStopSignals::CStopSignals(std::function<void()> onStop) : m_onStop(std::move(onStop))
{
    // Without the eventfd the signals keep the action they had.
    m_nEventFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (m_nEventFd < 0)
        return;
    g_nEventFd = m_nEventFd;
    m_pNotifier = std::make_unique<QSocketNotifier>(m_nEventFd, QSocketNotifier::Read);
    QObject::connect(m_pNotifier.get(), &QSocketNotifier::activated, m_pNotifier.get(), [this] {
        std::uint64_t nCount = 0;
        if (::read(m_nEventFd, &nCount, sizeof nCount) == sizeof nCount)
            m_onStop();
    });
    for (std::size_t i = 0; i < kSignals.size(); ++i) {
        if (sigaction(kSignals[i], nullptr, &m_previous[i]) != 0 || m_previous[i].sa_handler == SIG_IGN)
            continue;
        struct sigaction action {};
        action.sa_handler = WriteStopSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART | SA_RESETHAND;
        sigaction(kSignals[i], &action, nullptr);
    }
}

CStopSignals::~CStopSignals()
{
    if (m_nEventFd < 0)
        return;
    // The handlers go before the eventfd they write to.
    for (std::size_t i = 0; i < kSignals.size(); ++i)
        if (m_previous[i].sa_handler != SIG_IGN)
            sigaction(kSignals[i], &m_previous[i], nullptr);
    g_nEventFd = -1;
    m_pNotifier.reset();
    ::close(m_nEventFd);
}
