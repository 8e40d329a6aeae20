// plavex-cli anim and slideshow end to end: real pictures in, a decoded AVI
// out.

#include <algorithm>
#include <array>
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
#include "cli/SlideshowCommand.h"
#include "engine/Blend.h"
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

    int Run(std::vector<std::string> args, decltype(&RunAnimCommand) command = &RunAnimCommand)
    {
        m_out.str("");
        m_err.str("");
        return command(args, m_out, m_err);
    }

    int RunSlideshow(std::vector<std::string> args) { return Run(std::move(args), &RunSlideshowCommand); }

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

// One solid colour per picture, each of another size.
const std::array<QColor, 5> kColours = {QColor(10, 200, 30), QColor(250, 0, 130), QColor(0, 255, 1),
                                        QColor(128, 64, 255), QColor(33, 33, 200)};

struct SlideshowCase {
    const char* m_pszName;
    int m_nPictures;
    std::vector<std::string> m_options;
    int m_nHold; // round(hold × fps)
    int m_nFade; // max(2, round(fade × fps))
};

void PrintTo(const SlideshowCase& c, std::ostream* pStream)
{
    *pStream << c.m_pszName;
}

class SlideshowSequenceTest : public AnimCommandTest, public testing::WithParamInterface<SlideshowCase> {};

TEST_P(SlideshowSequenceTest, EachFrameShowsItsPictureOrTheFadeAtAnimsWeight)
{
    const SlideshowCase& c = GetParam();
    std::vector<std::string> args;
    std::int64_t nWidthSum = 0, nHeightSum = 0;
    for (int i = 0; i < c.m_nPictures; ++i) {
        args.push_back(m_strDir + "/p" + std::to_string(i) + ".bmp");
        SavePicture(args.back(), kColours[i], 8 + 4 * i, 4 + 2 * i);
        nWidthSum += 8 + 4 * i;
        nHeightSum += 4 + 2 * i;
    }
    const std::string strOut = m_strDir + "/show.avi";
    args.push_back(strOut);
    args.insert(args.end(), c.m_options.begin(), c.m_options.end());
    args.insert(args.end(), {"--fps", "10"});
    ASSERT_EQ(RunSlideshow(args), 0) << m_err.str();
    EXPECT_EQ(m_err.str(), "");

    const int nWidth = static_cast<int>(nWidthSum / c.m_nPictures / 4 * 4);
    const int nHeight = static_cast<int>(nHeightSum / c.m_nPictures / 4 * 4);
    const ProbeResult probe = Probe(strOut);
    EXPECT_EQ(probe.strErrors, "");
    EXPECT_EQ(probe.nWidth, nWidth);
    EXPECT_EQ(probe.nHeight, nHeight);
    EXPECT_EQ(probe.strRate, "10/1");

    // hold(P0), fade(P0 -> P1), hold(P1), ..., hold(Pn-1); fade frame k has weight k × (1 / (D − 1)).
    std::vector<std::array<int, 3>> expected;
    const auto colour = [](const QColor& q) { return std::array<int, 3>{q.blue(), q.green(), q.red()}; };
    for (int i = 0; i < c.m_nPictures; ++i) {
        expected.insert(expected.end(), c.m_nHold, colour(kColours[i]));
        for (int k = 0; i + 1 < c.m_nPictures && k < c.m_nFade; ++k) {
            const double w = k * (1.0 / (c.m_nFade - 1));
            const auto a = colour(kColours[i]), b = colour(kColours[i + 1]);
            expected.push_back({BlendChannel(a[0], b[0], w), BlendChannel(a[1], b[1], w), BlendChannel(a[2], b[2], w)});
        }
    }
    std::string strErrors;
    const std::vector<std::uint8_t> decoded = DecodeBottomUpBgr(strOut, strErrors);
    const std::size_t nPixels = static_cast<std::size_t>(nWidth) * nHeight;
    ASSERT_EQ(decoded.size(), expected.size() * nPixels * 3) << strErrors;
    for (std::size_t f = 0; f < expected.size(); ++f)
        for (std::size_t i = 0; i < nPixels * 3; ++i)
            ASSERT_EQ(decoded[f * nPixels * 3 + i], expected[f][i % 3]) << "frame " << f << " byte " << i;
}

INSTANTIATE_TEST_SUITE_P(
    Sequences, SlideshowSequenceTest,
    testing::ValuesIn(std::array<SlideshowCase, 4>{{
        // Full frames make each hold of one frame written again; lossless FFV1
        // carries one encoder through every fade and hold.
        {"ThreeShortHoldsAndFades", 3, {"--hold", "0.2", "--fade", "0.3", "--codec", "raw", "--threads", "1"}, 2, 3},
        {"NoHoldAndNoFadeStillGivesTwoFadeFrames", 2, {"--hold", "0", "--fade", "0", "--codec", "raw"}, 0, 2},
        {"HalfFramesRoundUp", 4, {"--hold", "0.05", "--fade", "0.45", "--codec", "ffv1", "--threads", "3"}, 1, 5},
        {"DefaultsHoldTwoSecondsAndFadeOne", 5, {"--codec", "ffv1", "--threads", "2"}, 20, 10},
    }}),
    [](const testing::TestParamInfo<SlideshowCase>& info) { return std::string(info.param.m_pszName); });

TEST_F(AnimCommandTest, TwoPictureSlideshowWithoutHoldIsTheAnimationByteForByte)
{
    SavePicture(m_strSecond, QColor(250, 0, 130), 20, 13);
    for (const char* pszCodec : {"raw", "mjpeg", "h264", "ffv1"}) {
        const std::string strAnim = m_strDir + "/anim.avi", strShow = m_strDir + "/show.avi";
        ASSERT_EQ(Run({m_strFirst, m_strSecond, strAnim, "--frames", "13", "--fps", "30", "--codec", pszCodec}), 0);
        ASSERT_EQ(RunSlideshow({m_strFirst, m_strSecond, strShow, "--hold", "0", "--fade", "0.42", "--fps", "30",
                                "--codec", pszCodec}),
                  0)
            << m_err.str();
        EXPECT_EQ(ReadWholeFile(strShow), ReadWholeFile(strAnim)) << pszCodec;
    }
}

TEST_F(AnimCommandTest, SlideshowFileIsTheSameOnAnyNumberOfThreads)
{
    for (const char* pszCodec : {"mjpeg", "h264"}) {
        std::string strFiles[2];
        for (const int nThreads : {1, 3}) {
            std::string& strFile = strFiles[nThreads / 3];
            strFile = m_strDir + "/show" + std::to_string(nThreads) + ".avi";
            ASSERT_EQ(RunSlideshow({m_strFirst, m_strSecond, m_strFirst, strFile, "--hold", "0.3", "--fade", "0.2",
                                    "--codec", pszCodec, "--threads", std::to_string(nThreads)}),
                      0)
                << m_err.str();
        }
        EXPECT_EQ(ReadWholeFile(strFiles[0]), ReadWholeFile(strFiles[1])) << pszCodec;
        EXPECT_EQ(Probe(strFiles[1]).nFrames, 3 * 8 + 2 * 5) << pszCodec;
    }
}

TEST_F(AnimCommandTest, SlideshowRefusesAnOutputThatIsOneOfItsPictures)
{
    // The name keeps its "avi", so it is the name the writer would create.
    const std::string strMiddle = m_strDir + "/middle.avi";
    SavePicture(strMiddle, QColor(1, 2, 3), 8, 4);
    const std::string strKept = ReadWholeFile(strMiddle);
    EXPECT_EQ(RunSlideshow({m_strFirst, strMiddle, m_strSecond, strMiddle}), 1);
    EXPECT_EQ(m_err.str(), "plavex-cli slideshow: '" + strMiddle +
                               "' is one of the source pictures; choose another output file\n");
    EXPECT_EQ(ReadWholeFile(strMiddle), strKept);
    EXPECT_EQ(ListFolder(m_strDir).size(), 3u);
}

} // namespace
