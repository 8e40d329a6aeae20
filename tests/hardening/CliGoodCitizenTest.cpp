// plavex-cli as a good citizen: a progress bar on a terminal and silence
// elsewhere or when asked, --help and --version, and the bar's own drawing.

#include <sstream>
#include <string>
#include <vector>

// Qt
#include <QDir>
#include <QTemporaryDir>

// Google Test
#include <gtest/gtest.h>

// Local
#include "cli/CliProgressBar.h"
#include "tests/hardening/HardeningSupport.h"

namespace {

CliProgressBar::Options BarOptions(const double& dNow)
{
    CliProgressBar::Options options;
    options.m_bEnabled = true;
    options.m_nBarWidth = 10;
    options.m_clock = [&dNow] { return dNow; };
    return options;
}

TEST(CliProgressBarTest, DrawsDonePercentAndTimeLeftInPlace)
{
    std::ostringstream out;
    double dNow = 100.0;
    {
        CliProgressBar bar(out, 10, BarOptions(dNow));
        bar.Update(0);
        EXPECT_EQ(out.str(), "\r[----------] 0/10 frames  0%  --:-- left");
        dNow = 104.0;
        bar.Update(4);
        // Four frames took four seconds, so six more take six.
        EXPECT_EQ(out.str().substr(out.str().rfind('\r')), "\r[####------] 4/10 frames  40%  0:06 left");
        dNow = 104.05;
        bar.Update(5);  // Too soon after the last drawing.
        EXPECT_EQ(out.str().find("5/10"), std::string::npos);
        dNow = 110.0;
        bar.Update(10);  // The last state is always drawn.
        EXPECT_EQ(out.str().substr(out.str().rfind('\r')), "\r[##########] 10/10 frames  100%  done in 0:10");
    }
    // Going out of scope ends the line, so what follows starts on its own.
    EXPECT_EQ(out.str().back(), '\n');
}

TEST(CliProgressBarTest, DisabledBarWritesNothing)
{
    std::ostringstream out;
    CliProgressBar::Options options;
    options.m_bEnabled = false;
    {
        CliProgressBar bar(out, 3, options);
        bar.Update(1);
        bar.Update(3);
    }
    EXPECT_TRUE(out.str().empty());
}

TEST(CliProgressBarTest, DurationsReadAsClockTimes)
{
    EXPECT_EQ(CliProgressBar::FormatDuration(0.0), "0:00");
    EXPECT_EQ(CliProgressBar::FormatDuration(6.2), "0:07");
    EXPECT_EQ(CliProgressBar::FormatDuration(723.0), "12:03");
    EXPECT_EQ(CliProgressBar::FormatDuration(3723.0), "1:02:03");
}

class CliGoodCitizenTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_strFirst = m_dir.filePath("first.bmp").toStdString();
        m_strSecond = m_dir.filePath("second.bmp").toStdString();
        ASSERT_TRUE(WriteBytes(m_strFirst, EncodeWithQt(TestPattern(32, 24, 1), "BMP")));
        ASSERT_TRUE(WriteBytes(m_strSecond, EncodeWithQt(TestPattern(32, 24, 2), "BMP")));
    }

    static ChildRun Run(const std::vector<std::string>& args)
    {
        std::vector<std::string> all = {PLAVEX_CLI_PATH};
        all.insert(all.end(), args.begin(), args.end());
        return RunChild({all});
    }

    // Runs the tool with a terminal as its stdin, stdout and stderr, through
    // script(1); the terminal's output comes back as stdout.
    static ChildRun RunOnTerminal(const std::vector<std::string>& args)
    {
        std::string strCommand = "'" PLAVEX_CLI_PATH "'";
        for (const std::string& strArg : args)
            strCommand += " '" + strArg + "'";
        return RunChild({{"script", "-qec", strCommand, "/dev/null"}});
    }

    QTemporaryDir m_dir;
    std::string m_strFirst;
    std::string m_strSecond;
};

TEST_F(CliGoodCitizenTest, HelpAndVersion)
{
    ChildRun run = Run({"--version"});
    EXPECT_EQ(run.m_nExitCode, 0);
    EXPECT_EQ(run.m_strOut, "plavex-cli " PLAVEX_VERSION "\n");
    run = Run({"--help"});
    EXPECT_EQ(run.m_nExitCode, 0);
    for (const char* pszWord : {"still", "anim", "slideshow", "--quiet", "--version"})
        EXPECT_NE(run.m_strOut.find(pszWord), std::string::npos) << pszWord;
    for (const char* pszCommand : {"still", "anim", "slideshow"}) {
        run = Run({pszCommand, "--help"});
        EXPECT_EQ(run.m_nExitCode, 0) << pszCommand;
        EXPECT_NE(run.m_strOut.find("--quiet"), std::string::npos) << pszCommand;
    }
}

TEST_F(CliGoodCitizenTest, ProgressShowsOnATerminalOnlyAndNotWhenQuiet)
{
    if (RunChild({{"script", "-qec", "true", "/dev/null"}}).m_nExitCode != 0)
        GTEST_SKIP() << "script(1) cannot give the tool a terminal here";
    const std::string strClip = m_dir.filePath("clip.avi").toStdString();
    ChildRun run = RunOnTerminal({"anim", m_strFirst, m_strSecond, strClip, "--frames", "7"});
    EXPECT_EQ(run.m_nExitCode, 0) << run.m_strOut;
    EXPECT_NE(run.m_strOut.find("7/7 frames  100%"), std::string::npos) << run.m_strOut;
    run = RunOnTerminal({"still", m_strFirst, m_strSecond, m_dir.filePath("mix.bmp").toStdString()});
    EXPECT_EQ(run.m_nExitCode, 0) << run.m_strOut;
    EXPECT_NE(run.m_strOut.find("24/24 rows  100%"), std::string::npos) << run.m_strOut;

    run = RunOnTerminal({"anim", "--quiet", m_strFirst, m_strSecond, strClip, "--frames", "7"});
    EXPECT_EQ(run.m_nExitCode, 0) << run.m_strOut;
    EXPECT_EQ(run.m_strOut, "");
    // Not a terminal: no bar, and a successful run says nothing.
    run = Run({"anim", m_strFirst, m_strSecond, strClip, "--frames", "7"});
    EXPECT_EQ(run.m_nExitCode, 0);
    EXPECT_EQ(run.m_strErr, "");
    EXPECT_EQ(run.m_strOut, "");
}

TEST_F(CliGoodCitizenTest, StoppedAnimationLeavesNoPartialFile)
{
    // SIGTERM as soon as the temporary file appears; a job in the background
    // of a shell ignores SIGINT, so the polite stop of a script is used.
    for (const char* pszCommand : {"anim \"$2\" \"$3\" \"$4/clip.avi\" --frames 20000 --threads 3",
                                   "slideshow \"$2\" \"$3\" \"$2\" \"$4/clip.avi\" --hold 400 --threads 3"}) {
        SCOPED_TRACE(pszCommand);
        const std::string strOut = m_dir.filePath("out").toStdString();
        ASSERT_TRUE(QDir().mkpath(QString::fromStdString(strOut)));
        const std::string strOld = "an older file of that name";
        ASSERT_TRUE(WriteBytes(strOut + "/clip.avi", {strOld.begin(), strOld.end()}));
        const std::string strScript =
            std::string("\"$1\" ") + pszCommand + " --size 320x240 & pid=$!; i=0; "
            "until ls -A \"$4\" | grep -q '^\\.'; do sleep 0.01; i=$((i+1)); [ $i -gt 3000 ] && break; done; "
            "kill -TERM $pid; wait $pid; echo status=$?";
        const ChildRun run =
            RunChild({{"sh", "-c", strScript, "sh", PLAVEX_CLI_PATH, m_strFirst, m_strSecond, strOut}});
        EXPECT_EQ(run.m_strOut, "status=143\n") << run.m_strErr;
        EXPECT_NE(run.m_strErr.find("interrupted; '" + strOut + "/clip.avi' was not written"), std::string::npos)
            << run.m_strErr;
        EXPECT_EQ(ListFolder(strOut), std::vector<std::string>{"clip.avi"});
        const std::vector<unsigned char> kept = ReadBytes(strOut + "/clip.avi");
        EXPECT_EQ(std::string(kept.begin(), kept.end()), strOld);
    }
}

}  // namespace
