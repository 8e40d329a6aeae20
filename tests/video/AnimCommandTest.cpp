// plavex-cli anim end to end: real pictures in, a decoded AVI out.

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

// Qt
#include <QColor>
#include <QImage>
#include <QTemporaryDir>

// Local
#include "cli/AnimCommand.h"
#include "tests/video/AviTestSupport.h"

namespace {

class AnimCommandTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_strDir = m_dir.path().toStdString();
        m_strFirst = m_strDir + "/first.bmp";
        m_strSecond = m_strDir + "/second.bmp";
        SavePicture(m_strFirst, QColor(10, 200, 30), 8, 4);
        SavePicture(m_strSecond, QColor(250, 0, 130), 8, 4);
    }

    static void SavePicture(const std::string& strPath, const QColor& colour, int w, int h)
    {
        QImage image(w, h, QImage::Format_RGB32);
        image.fill(colour);
        ASSERT_TRUE(image.save(QString::fromStdString(strPath), "BMP"));
    }

    int Run(std::vector<std::string> args)
    {
        m_out.str("");
        m_err.str("");
        return RunAnimCommand(args, m_out, m_err);
    }

    QTemporaryDir m_dir;
    std::string m_strDir, m_strFirst, m_strSecond;
    std::ostringstream m_out, m_err;
};

TEST_F(AnimCommandTest, RawFramesDissolveFromFirstToSecond)
{
    const std::string strOut = m_strDir + "/fade.avi";
    ASSERT_EQ(Run({m_strFirst, m_strSecond, strOut, "--frames", "3", "--fps", "12", "--codec", "raw"}), 0)
        << m_err.str();
    EXPECT_EQ(m_err.str(), "");

    const ProbeResult probe = Probe(strOut);
    EXPECT_EQ(probe.strErrors, "");
    EXPECT_EQ(probe.strCodec, "rawvideo");
    EXPECT_EQ(probe.nFrames, 3);
    EXPECT_EQ(probe.strRate, "12/1");

    // Weights 0, 0.5 and 1 per channel, truncated: blue 30 -> 130, green
    // 200 -> 0, red 10 -> 250.
    std::string strErrors;
    const std::vector<std::uint8_t> decoded = DecodeBottomUpBgr(strOut, strErrors);
    ASSERT_EQ(decoded.size(), 3u * 8 * 4 * 3);
    const std::uint8_t expected[3][3] = {{30, 200, 10}, {80, 100, 130}, {130, 0, 250}};
    for (int k = 0; k < 3; ++k)
        for (int i = 0; i < 8 * 4; ++i)
            for (int c = 0; c < 3; ++c)
                ASSERT_EQ(decoded[(k * 32 + i) * 3 + c], expected[k][c]) << "frame " << k << " pixel " << i;
}

TEST_F(AnimCommandTest, EveryThreadCountWritesTheSameFile)
{
    SavePicture(m_strSecond, QColor(250, 0, 130), 40, 24);
    for (const char* pszCodec : {"raw", "mjpeg"}) {
        std::string strFirstFile;
        for (const char* pszThreads : {"1", "2", "3", "8"}) {
            const std::string strOut = m_strDir + "/t" + pszThreads + pszCodec + ".avi";
            ASSERT_EQ(Run({m_strFirst, m_strSecond, strOut, "--frames", "17", "--codec", pszCodec, "--threads",
                           pszThreads}),
                      0)
                << m_err.str();
            const std::string strFile = ReadWholeFile(strOut);
            if (strFirstFile.empty())
                strFirstFile = strFile;
            EXPECT_EQ(strFile, strFirstFile) << pszCodec << " on " << pszThreads << " threads";
        }
    }
}

TEST_F(AnimCommandTest, DefaultsAreMotionJpegAt25FpsWithAviAppended)
{
    ASSERT_EQ(Run({m_strFirst, m_strSecond, m_strDir + "/clip.mp4", "--frames", "5", "--size", "16x12"}), 0)
        << m_err.str();
    const ProbeResult probe = Probe(m_strDir + "/clip.mp4.avi");
    EXPECT_EQ(probe.strErrors, "");
    EXPECT_EQ(probe.strCodec, "mjpeg");
    EXPECT_EQ(probe.strRate, "25/1");
    EXPECT_EQ(probe.nWidth, 16);
    EXPECT_EQ(probe.nHeight, 12);
    EXPECT_EQ(probe.nFrames, 5);
}

TEST_F(AnimCommandTest, UsageErrorsExitWithTwo)
{
    const std::string strOut = m_strDir + "/x.avi";
    const std::vector<std::vector<std::string>> cases = {
        {}, {m_strFirst, m_strSecond},
        {m_strFirst, m_strSecond, strOut, "--frames", "0"}, {m_strFirst, m_strSecond, strOut, "--frames", "1000001"},
        {m_strFirst, m_strSecond, strOut, "--fps", "x"},    {m_strFirst, m_strSecond, strOut, "--size", "0x5"},
        {m_strFirst, m_strSecond, strOut, "--codec", "vp9"}, {m_strFirst, m_strSecond, strOut, "--quality", "101"},
        {m_strFirst, m_strSecond, strOut, "--codec", "raw", "--quality", "50"},
        {m_strFirst, m_strSecond, strOut, "--codec", "ffv1", "--quality", "50"},
        {m_strFirst, m_strSecond, strOut, "--bogus"},       {m_strFirst, m_strSecond, strOut, "--threads", "0"},
    };
    for (const auto& args : cases) {
        EXPECT_EQ(Run(args), 2) << testing::PrintToString(args);
        EXPECT_NE(m_err.str().find("usage:"), std::string::npos);
    }
    EXPECT_EQ(ListFolder(m_strDir).size(), 2u);
}

TEST_F(AnimCommandTest, FailuresExitWithOneAndKeepAnExistingFile)
{
    const std::string strOut = m_strDir + "/keep.avi";
    WriteWholeFile(strOut, "old");
    struct Case {
        std::vector<std::string> args;
        std::string strMessage;
    };
    const Case cases[] = {
        {{m_strDir + "/none.bmp", m_strSecond, strOut}, ""},
        {{m_strFirst, m_strSecond, strOut, "--size", "3x8"}, "the picture must be at least 4 x 4 pixels (3 x 8 given)"},
        {{m_strFirst, m_strSecond, m_strDir + "/no/x.avi"},
         "AVI Engine failed to initialize. Check filename " + m_strDir +
             "/no/x.avi.A disk error occurred while opening the file."},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Run(c.args), 1) << testing::PrintToString(c.args);
        const std::string strErr = m_err.str();
        EXPECT_EQ(std::count(strErr.begin(), strErr.end(), '\n'), 1) << strErr;
        EXPECT_NE(strErr.find(c.strMessage), std::string::npos) << strErr;
    }
    EXPECT_EQ(ReadWholeFile(strOut), "old");
    EXPECT_EQ(ListFolder(m_strDir).size(), 3u);
}

} // namespace
