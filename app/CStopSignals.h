#pragma once

// The requests to end the program that come as signals: SIGTERM (the session
// ends), SIGHUP (the terminal goes) and SIGINT (Ctrl+C). Each one is handed
// to the user-interface thread as a call, so the program can end as the
// user's "Konec" ends it, its unfinished file removed. The handler only
// bumps an eventfd, which the event loop watches: nothing else is safe
// inside a signal handler. A signal that was ignored when the program
// started (as under nohup) stays ignored, and a second signal of a kind
// takes its default action, so a program that does not end can still be
// ended. One instance at a time; the handlers before it come back when it
// goes.

#include <array>
#include <csignal>
#include <functional>
#include <memory>

class QSocketNotifier;

class CStopSignals {
public:
    explicit CStopSignals(std::function<void()> onStop);
    ~CStopSignals();
    CStopSignals(const CStopSignals&) = delete;
    CStopSignals& operator=(const CStopSignals&) = delete;

private:
    static constexpr std::array kSignals{SIGTERM, SIGHUP, SIGINT};

    std::function<void()> m_onStop;
    int m_nEventFd = -1;
    std::unique_ptr<QSocketNotifier> m_pNotifier;
    std::array<struct sigaction, kSignals.size()> m_previous{};
};
