#pragma once

// A one-line progress bar for a terminal: frames (or rows) done, percent and
// the time left, redrawn in place on stderr. It draws nothing when disabled,
// so the commands can always drive it and let the caller decide.

#include <cstdint>
#include <functional>
#include <ostream>
#include <string>

class CliProgressBar {
public:
    // Seconds on a steady clock; replaced by tests.
    using Clock = std::function<double()>;

    struct Options {
        bool m_bEnabled = false;
        std::string m_strUnit = "frames";
        int m_nBarWidth = 24;
        // Redraws come at most this often, except the last one.
        double m_dMinInterval = 0.1;
        Clock m_clock;
    };

    CliProgressBar(std::ostream& out, std::int64_t nTotal, Options options);
    ~CliProgressBar();

    CliProgressBar(const CliProgressBar&) = delete;
    CliProgressBar& operator=(const CliProgressBar&) = delete;

    // nDone of the total are finished. strNote, when given, follows the
    // count ("picture 3/20").
    void Update(std::int64_t nDone, const std::string& strNote = {});
    // Ends the line after the last drawing; a message that follows starts on a line of its own.
    void Finish();

    // True when out is the process's stderr and that is a terminal: a bar
    // belongs there, never in a file, a pipe or a test's stream.
    static bool DrawsOn(const std::ostream& out);

    // "0:07", "12:03", "1:02:03".
    static std::string FormatDuration(double dSeconds);

private:
    void Draw(std::int64_t nDone, const std::string& strNote, double dNow);

    std::ostream& m_out;
    std::int64_t m_nTotal;
    Options m_options;
    double m_dStart = 0.0;
    double m_dLastDraw = -1.0;
    std::size_t m_nLastLength = 0;
    bool m_bDrawn = false;
    bool m_bFinished = false;
};
