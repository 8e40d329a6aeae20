#include "cli/CliProgressBar.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <utility>

#include <unistd.h>

namespace {

double SteadySeconds()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

} // namespace

CliProgressBar::CliProgressBar(std::ostream& out, std::int64_t nTotal, Options options)
    : m_out(out), m_nTotal(std::max<std::int64_t>(nTotal, 0)), m_options(std::move(options))
{
    if (!m_options.m_clock)
        m_options.m_clock = SteadySeconds;
    m_options.m_nBarWidth = std::max(m_options.m_nBarWidth, 1);
    if (m_options.m_bEnabled)
        m_dStart = m_options.m_clock();
}

CliProgressBar::~CliProgressBar()
{
    Finish();
}

void CliProgressBar::Update(std::int64_t nDone, const std::string& strNote)
{
    if (!m_options.m_bEnabled || m_bFinished)
        return;
    nDone = std::clamp<std::int64_t>(nDone, 0, m_nTotal);
    const double dNow = m_options.m_clock();
    if (nDone < m_nTotal && m_dLastDraw >= 0.0 && dNow - m_dLastDraw < m_options.m_dMinInterval)
        return;
    Draw(nDone, strNote, dNow);
}

void CliProgressBar::Finish()
{
    if (m_bFinished)
        return;
    m_bFinished = true;
    if (m_bDrawn) {
        m_out << '\n';
        m_out.flush();
    }
}

bool CliProgressBar::DrawsOn(const std::ostream& out)
{
    return &out == &std::cerr && ::isatty(STDERR_FILENO) == 1;
}

std::string CliProgressBar::FormatDuration(double dSeconds)
{
    const long long nTotal = dSeconds > 0.0 ? static_cast<long long>(std::ceil(dSeconds)) : 0;
    const long long nHours = nTotal / 3600;
    const long long nMinutes = nTotal / 60 % 60;
    const long long nSeconds = nTotal % 60;
    char text[32];
    if (nHours > 0)
        std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", nHours, nMinutes, nSeconds);
    else
        std::snprintf(text, sizeof text, "%lld:%02lld", nMinutes, nSeconds);
    return text;
}

void CliProgressBar::Draw(std::int64_t nDone, const std::string& strNote, double dNow)
{
    const int nPercent = m_nTotal > 0 ? static_cast<int>(nDone * 100 / m_nTotal) : 100;
    const int nFilled = m_nTotal > 0 ? static_cast<int>(nDone * m_options.m_nBarWidth / m_nTotal)
                                     : m_options.m_nBarWidth;

    std::string strLine;
    strLine.reserve(static_cast<std::size_t>(m_options.m_nBarWidth) + 80);
    strLine += '[';
    strLine.append(static_cast<std::size_t>(nFilled), '#');
    strLine.append(static_cast<std::size_t>(m_options.m_nBarWidth - nFilled), '-');
    strLine += "] ";
    strLine += std::to_string(nDone);
    strLine += '/';
    strLine += std::to_string(m_nTotal);
    strLine += ' ';
    strLine += m_options.m_strUnit;
    if (!strNote.empty()) {
        strLine += ", ";
        strLine += strNote;
    }
    strLine += "  ";
    strLine += std::to_string(nPercent);
    strLine += "%  ";
    // The time left follows the pace so far; it is unknown until something is done.
    const double dElapsed = dNow - m_dStart;
    if (nDone >= m_nTotal) {
        strLine += "done in ";
        strLine += FormatDuration(dElapsed);
    } else if (nDone > 0) {
        strLine += FormatDuration(dElapsed * static_cast<double>(m_nTotal - nDone) / static_cast<double>(nDone));
        strLine += " left";
    } else {
        strLine += "--:-- left";
    }

    // Spaces wipe what a longer earlier line left behind.
    const std::size_t nLength = strLine.size();
    if (nLength < m_nLastLength)
        strLine.append(m_nLastLength - nLength, ' ');
    m_out << '\r' << strLine;
    m_out.flush();
    m_nLastLength = nLength;
    m_dLastDraw = dNow;
    m_bDrawn = true;
}
