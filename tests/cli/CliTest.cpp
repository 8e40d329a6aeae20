// plavex-cli run as a child process: wrong bytes in its outputs, wrong exit
// codes, refusals that leave files behind or change an older one, writes that
// fail without saying so or kill the tool, and pictures made by other tools
// (every accepted format, the EXIF orientations, a Display P3 photo, the still
// in the format its name asks for) read otherwise than those tools read them.

#include <algorithm>
#include <cstdlib>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

// Qt
#include <QColorSpace>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

// Google Test
#include <gtest/gtest.h>

// Local
#include "cli/CliProgressBar.h"
#include "tests/support/AviProbe.h"
#include "tests/support/TestKit.h"

namespace {

const std::string kOld = "an older file of that name";

QString Q(const std::string& str) { return QString::fromStdString(str); }

bool Contains(const std::string& strText, const std::string& strPart)
{
    return strText.find(strPart) != std::string::npos;
}

// One channel of the blend, truncated toward zero: (b − a) × w + a.
int Mix(int a, int b, double w) { return static_cast<int>(static_cast<double>(b - a) * w + a); }
QRgb Mix(QRgb a, QRgb b, double w)
{
    return qRgb(Mix(qRed(a), qRed(b), w), Mix(qGreen(a), qGreen(b), w), Mix(qBlue(a), qBlue(b), w));
}

// A pixel's bytes in a BMP or a bottom-up frame.
std::string Bgr(QRgb pixel)
{
    return {static_cast<char>(qBlue(pixel)), static_cast<char>(qGreen(pixel)), static_cast<char>(qRed(pixel))};
}

// ffprobe's errors, codec, rate and size.
std::string Summary(const ProbeResult& p)
{
    const std::string strSize = std::to_string(p.nWidth) + "x" + std::to_string(p.nHeight);
    return p.strErrors + p.strCodec + " " + p.strRate + " " + strSize;
}

// The words of a command line written with single spaces.
std::vector<std::string> Words(const std::string& strLine)
{
    std::vector<std::string> words;
    std::istringstream in(strLine);
    for (std::string strWord; in >> strWord;)
        words.push_back(strWord);
    return words;
}

// Rows of the tables are named by their names, which show in a failure's test name.
const auto kRowName = [](const auto& info) { return info.param.m_strName; };

class CliTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        SavePicture(m_strFirst, 40, 30, 1);
        SavePicture(m_strSecond, 36, 26, 2);
        ASSERT_TRUE(QDir().mkpath(Q(m_strOut)));
    }

    std::string Path(const std::string& strName) const { return m_strDir + "/" + strName; }

    // Runs the tool; "@1" and "@2" stand for the two pictures, "@bad" for a
    // picture a test makes, "@/" starts a name in the output folder.
    ChildRun Cli(std::vector<std::string> args, std::int64_t nFileSizeLimit = -1) const
    {
        for (std::string& strArg : args) {
            if (strArg == "@1" || strArg == "@2" || strArg == "@bad")
                strArg = strArg == "@1" ? m_strFirst : strArg == "@2" ? m_strSecond : m_strBad;
            else if (strArg.starts_with("@/"))
                strArg = m_strOut + strArg.substr(1);
        }
        args.insert(args.begin(), PLAVEX_CLI_PATH);
        return RunChild(args, nFileSizeLimit, 30);
    }

    // Exit 1, not killed, and one line on stderr that names strNamed.
    static void ExpectFailureNaming(const ChildRun& run, const std::string& strNamed)
    {
        const auto nLines = std::count(run.m_strErr.begin(), run.m_strErr.end(), '\n');
        EXPECT_EQ(std::tuple(run.m_nSignal, run.m_nExitCode, nLines, Contains(run.m_strErr, strNamed)),
                  std::tuple(0, 1, 1, true)) << "signal, exit code, lines, named; " << run.m_strErr;
    }

    QTemporaryDir m_dir;
    const std::string m_strDir = m_dir.path().toStdString();
    const std::string m_strFirst = Path("first.bmp");
    const std::string m_strSecond = Path("second.jpg");
    const std::string m_strBad = Path("bad picture.avi");
    const std::string m_strOut = Path("out");
};

// Wrong use and input that cannot be used: the exit code, the message, and
// an output folder that holds only the older file, unchanged.
struct Refusal {
    std::string m_strName;
    const char* m_pszArgs;  // "@bad" is the row's picture, made from m_strSeed.
    int m_nExit;
    std::string m_strSeed = "";  // A seed of the picture fuzz corpus, or "pipe"; none: a missing file.
    const char* m_pszMessage = "";
};

class CliRefusalTest : public CliTest, public testing::WithParamInterface<Refusal> {};

TEST_P(CliRefusalTest, ExitsWithItsCodeAndLeavesTheOutputAlone)
{
    const Refusal& r = GetParam();
    const bool bPicture = !r.m_strSeed.empty() && r.m_strSeed != "pipe";
    const std::string strPicture = bPicture ? ReadFile(PLAVEX_CORPUS_DIR "/load_picture/" + r.m_strSeed) : "";
    ASSERT_TRUE(WriteFile(m_strOut + "/old.bmp", kOld) && bPicture == !strPicture.empty()) << r.m_strSeed;
    ASSERT_TRUE(r.m_strSeed == "pipe" ? ::mkfifo(m_strBad.c_str(), 0644) == 0
                                      : !bPicture || WriteFile(m_strBad, strPicture));
    const std::vector<std::string> args = Words(r.m_pszArgs);
    const ChildRun run = Cli(args);
    const std::string strCommand = args.empty() || args[0] == "mix" ? "" : " " + args[0];
    EXPECT_TRUE(args.empty() || run.m_strErr.starts_with("plavex-cli" + strCommand + ": ")) << run.m_strErr;
    if (r.m_nExit == 1)
        ExpectFailureNaming(run, r.m_strSeed.empty() || *r.m_pszMessage ? r.m_pszMessage : m_strBad);
    else
        EXPECT_TRUE(run.m_nExitCode == 2 && Contains(run.m_strErr, "usage:") &&
                    Contains(run.m_strErr, r.m_pszMessage)) << run.m_nExitCode << " " << run.m_strErr;
    EXPECT_EQ(ListFolder(m_strOut), std::vector<std::string>{"old.bmp"});
    // Neither the older file nor a picture is ever written over.
    EXPECT_TRUE(ReadFile(m_strOut + "/old.bmp") == kOld && (!bPicture || ReadFile(m_strBad) == strPicture));
}

const Refusal kRefusals[] = {
    {"NoCommand", "", 2},
    {"UnknownCommand", "mix @1 @2 @/old.bmp", 2, "", "unknown command 'mix'"},
    {"StillTwoNames", "still @1 @2", 2},
    {"StillRatioAbove100", "still @1 @2 @/old.bmp --ratio 101", 2},
    {"StillRatioTwice", "still @1 @2 @/old.bmp --ratio=1 --ratio=2", 2},
    {"StillShortOption", "still @1 @2 @/old.bmp -r", 2},
    {"StillSizeTooLongForInt", "still @1 @2 @/old.bmp --size 99999999999x1", 2},
    {"AnimNoFrames", "anim @1 @2 @/old.bmp --frames 0", 2},
    {"AnimRateZero", "anim @1 @2 @/old.bmp --fps 0", 2, "", "--fps must be"},
    {"SlideshowRateInExponent", "slideshow @1 @2 @/old.bmp --fps 1e9", 2, "", "--fps must be"},
    {"AnimRateOverAMillion", "anim @1 @2 @/old.bmp --fps 2000001/2", 2, "", "from 1 to 1000000"},
    {"AnimUnknownCodec", "anim @1 @2 @/old.bmp --codec vp9", 2, "", "--codec must be raw, mjpeg, h264 or ffv1"},
    {"AnimQualityForRawFrames", "anim @1 @2 @/old.bmp --codec raw --quality 50", 2, "",
     "--quality applies to --codec mjpeg and h264 only"},
    {"AnimMp4OfMotionJpeg", "anim @1 @2 @/old.MP4 --codec mjpeg", 2, "", "an MP4 file takes --codec h264 only"},
    {"AnimUnknownFit", "anim @1 @2 @/old.bmp --fit zoom", 2, "", "--fit must be stretch, contain or cover"},
    {"SlideshowBackgroundNotHex", "slideshow @1 @2 @/old.bmp --background 12345g", 2, "", "RRGGBB"},
    {"AnimHelpWithValue", "anim --help=yes", 2},
    {"SlideshowOnePicture", "slideshow @1 @/old.bmp", 2},
    {"SlideshowHoldInExponent", "slideshow @1 @2 @/old.bmp --hold 1e3", 2},
    {"SlideshowFadeFinerThanMicroseconds", "slideshow @1 @2 @/old.bmp --fade 0.0000001", 2},
    {"StillNegativeSize", "still @1 @2 @/old.bmp --size -4x8", 2, "", "--size must be WIDTHxHEIGHT"},
    {"AnimSizeBeyond32Bits", "anim @1 @2 @/old.bmp --frames 2 --size 1000000x1000000", 1},
    {"AnimSideBelowFour", "anim @1 @2 @/old.bmp --size 3x8", 1, "",
     "the picture must be at least 4 x 4 pixels (3 x 8 given)"},
    {"AnimTinyPictures", "anim @bad @bad @/old.bmp", 1, "bmp_4bit.bmp", "at least 4 x 4 pixels"},
    {"StillHugeJpegSecond", "still @1 @bad @/old.bmp", 1, "jpeg_huge.jpg"},
    {"StillCutJpegSecond", "still @1 @bad @/old.bmp", 1, "jpeg_cut_half.bin", "the picture is damaged"},
    // Refused before any picture is read: neither exists.
    {"StillNamedGif", "still @bad @bad @/old.gif", 1, "", "stills are written as BMP, PNG, JPEG, WebP or TIFF, not GIF"},
    // libtiff's own complaints are caught, not printed beside the one line.
    {"AnimCutTiffFirst", "anim @bad @2 @/old.bmp", 1, "tiff_cut_half.bin"},
    {"AnimPipeSecond", "anim @1 @bad @/old.bmp", 1, "pipe"},
    {"StillPipeFirst", "still @bad @2 @/old.bmp", 1, "pipe"},
    // In the middle of a slideshow, found from its header or only when its turn comes.
    {"SlideshowPipeSecond", "slideshow @1 @bad @2 @/show.avi", 1, "pipe"},
    {"SlideshowHugeGifThird", "slideshow @1 @2 @bad @1 @/show.avi", 1, "gif_huge.gif"},
    {"SlideshowCutGifThird", "slideshow @1 @2 @bad @1 @/show.avi --hold 0", 1, "gif_cut_half.bin"},
    // The name keeps its "avi", so it is the name the writer would create.
    {"SlideshowOntoItsPicture", "slideshow @1 @bad @2 @bad", 1, "bmp_bgr24.bmp",
     "avi' is one of the source pictures"},
    {"StillOntoItsPicture", "still @bad @2 @bad", 1, "bmp_bgr24.bmp", "avi' is one of the source pictures"},
    {"AnimOntoItsPicture", "anim @1 @bad @bad", 1, "bmp_bgr24.bmp", "avi' is one of the source pictures"},
};
INSTANTIATE_TEST_SUITE_P(Rows, CliRefusalTest, testing::ValuesIn(kRefusals), kRowName);

// Writes that fail on each road: exit 1 with one line naming the file, no
// partial or temporary file, and an older file of the name untouched.
struct WriteFault {
    std::string m_strName, m_strFault;
    const char* m_pszRoad;  // The command line; the pictures and the output follow its first word.
};

class CliWriteFaultTest : public CliTest, public testing::WithParamInterface<WriteFault> {};

TEST_P(CliWriteFaultTest, FailsCleanlyAndKeepsTheOlderFile)
{
    const std::string& strFault = GetParam().m_strFault;
    // Pictures whose still (38,070 bytes) outgrows the size limit.
    SavePicture(m_strFirst, 128, 96, 1);
    SavePicture(m_strSecond, 136, 100, 2);
    std::vector<std::string> args = Words(GetParam().m_pszRoad);
    const std::string strTarget = m_strOut + (strFault == "MissingFolder" ? "/no such folder/" : "/") +
                                  (args[0] == "still" ? "mix.bmp" : "clip.avi");
    args.insert(args.begin() + 1, {m_strFirst, m_strSecond, strTarget});
    // Renaming a finished file over a pipe or a device would destroy it.
    const mode_t nType = strFault == "PipeInTheWay" ? S_IFIFO : strFault == "DeviceInTheWay" ? S_IFCHR : 0;
    if (nType && ::mknod(strTarget.c_str(), nType | 0666, nType == S_IFCHR ? makedev(1, 3) : 0) != 0)
        GTEST_SKIP() << "cannot make " << strTarget;
    ASSERT_TRUE(strFault != "FolderInTheWay" || QDir().mkpath(Q(strTarget)));
    ASSERT_TRUE(strFault != "FileSizeLimit" || WriteFile(strTarget, kOld));
    const std::vector<std::string> before = ListFolder(m_strOut);
    ExpectFailureNaming(Cli(args, strFault == "FileSizeLimit" ? 4096 : -1), strTarget);
    EXPECT_EQ(ListFolder(m_strOut), before);
    struct stat after {};
    EXPECT_TRUE((strFault != "FolderInTheWay" || ListFolder(strTarget).empty()) &&
                (strFault != "FileSizeLimit" || ReadFile(strTarget) == kOld) &&
                (!nType || (::stat(strTarget.c_str(), &after) == 0 && (after.st_mode & S_IFMT) == nType)));
}

std::vector<WriteFault> AllWriteFaults()
{
    std::vector<WriteFault> all;
    for (const auto& [pszRoad, pszArgs] : {std::pair("Still", "still --ratio 30"),
                                           std::pair("FullFrames", "anim --frames 3 --codec raw"),
                                           std::pair("MotionJpeg", "anim --frames 3 --codec mjpeg"),
                                           std::pair("H264Threads", "anim --frames 9 --codec h264 --threads 3"),
                                           std::pair("Slideshow", "slideshow --hold 0.04 --codec raw")})
        for (const std::string& strFault :
             Words("MissingFolder FolderInTheWay PipeInTheWay DeviceInTheWay FileSizeLimit"))
            all.push_back({pszRoad + strFault, strFault, pszArgs});
    return all;
}
INSTANTIATE_TEST_SUITE_P(Roads, CliWriteFaultTest, testing::ValuesIn(AllWriteFaults()), kRowName);

// The BMP a still must be, byte for byte, written out here from the blend's
// definition: per channel trunc((b − a) × p × 0.01 + a), rows bottom-up.
std::string ModelStill(const QImage& first, const QImage& second, int nRatio)
{
    const int w = first.width(), h = first.height();
    const auto nImage = static_cast<std::uint32_t>(w * 3 * h);
    const std::uint32_t header[] = {54 + nImage, 0, 54, 40, static_cast<std::uint32_t>(w),
                                    static_cast<std::uint32_t>(h), 1 | 24 << 16, 0, nImage, 0, 0, 0, 0};
    std::string bmp = "BM" + std::string(reinterpret_cast<const char*>(header), sizeof header);
    for (int y = h - 1; y >= 0; --y)
        for (int x = 0; x < w; ++x)
            bmp += Bgr(Mix(first.pixel(x, y), second.pixel(x, y), nRatio * 0.01));
    return bmp;
}

// At 70, p × 0.01 and p / 100 differ in their last bit, and 1,015 of the
// 65,536 channel pairs come out one level apart; the pictures hold them all.
TEST_F(CliTest, StillIsTheModelToTheByteAtEveryRatioGiven)
{
    const QImage first = Picture(256, 256, [](int x, int y) { return qRgb(x, y, x ^ y); });
    const QImage second = Picture(256, 256, [](int x, int y) { return qRgb(y, 255 - x, (x * 7 + y) & 0xFF); });
    ASSERT_TRUE(first.save(Q(m_strFirst), "BMP") && second.save(Q(m_strBad), "BMP"));
    // The options, and the ratio they give; the default is half of each.
    for (const auto& [pszOptions, nRatio] :
         {std::pair("", 50), std::pair("--ratio 70", 70), std::pair("--ratio 0", 0), std::pair("--ratio=+95", 95),
          std::pair("--ratio 100 --size 256x256", 100)}) {
        const ChildRun run = Cli(Words(std::string("still @1 @bad @/mix.bmp ") + pszOptions));
        EXPECT_EQ(std::to_string(run.m_nExitCode) + run.m_strOut + run.m_strErr, "0") << pszOptions;
        EXPECT_TRUE(ReadFile(m_strOut + "/mix.bmp") == ModelStill(first, second, nRatio)) << pszOptions;
    }
}

// Slideshows of solid pictures, each of another size (means like 11.5 pixels
// are truncated) and stretched over the canvas: every hold and fade frame
// against a model of the blend written here, decoded by ffmpeg.
struct FramesCase {
    std::string m_strName;
    int m_nPictures;
    const char* m_pszOptions;
    int m_nHold, m_nFade;  // round(hold × fps); max(2, round(fade × fps))
    const char* m_pszProbe;  // Summary(): the size is the pictures' mean sides rounded down to four.
};

class CliFramesTest : public CliTest, public testing::WithParamInterface<FramesCase> {};

TEST_P(CliFramesTest, EachFrameShowsItsPictureOrTheFadeAtItsWeight)
{
    const FramesCase& c = GetParam();
    const QRgb colours[] = {qRgb(10, 200, 30), qRgb(250, 0, 130), qRgb(0, 255, 1), qRgb(128, 64, 255),
                            qRgb(33, 33, 200)};
    std::vector<std::string> args = Words(std::string("slideshow --fit stretch ") + c.m_pszOptions);
    for (int i = 0; i < c.m_nPictures; ++i) {
        args.insert(args.begin() + 1 + i, Path(std::to_string(i) + ".bmp"));
        ASSERT_TRUE(Picture(8 + 7 * i, 4 + 2 * i, [&](int, int) { return colours[i]; }).save(Q(args[1 + i]), "BMP"));
    }
    args.insert(args.begin() + 1 + c.m_nPictures, "@/show.avi");
    ASSERT_EQ(Cli(args).m_nExitCode, 0);
    const ProbeResult p = Probe(m_strOut + "/show.avi");
    ASSERT_EQ(Summary(p), c.m_pszProbe);
    // hold(P0), fade(P0 -> P1), hold(P1), ..., hold(Pn-1); fade frame k weighs k × (1 / (D − 1)).
    std::string expected, strErrors;
    for (int i = 0; i < c.m_nPictures; ++i)
        for (int k = -c.m_nHold; k < (i + 1 < c.m_nPictures ? c.m_nFade : 0); ++k) {
            const QRgb pixel = k < 0 ? colours[i] : Mix(colours[i], colours[i + 1], k * (1.0 / (c.m_nFade - 1)));
            for (int n = 0; n < p.nWidth * p.nHeight; ++n)
                expected += Bgr(pixel);
        }
    const std::vector<std::uint8_t> decoded = DecodeBottomUpBgr(m_strOut + "/show.avi", strErrors);
    const std::string actual(decoded.begin(), decoded.end());
    EXPECT_TRUE(actual == expected)
        << strErrors << "from byte " << std::ranges::mismatch(actual, expected).in1 - actual.begin() << " on";
}

const FramesCase kFrames[] = {
    // Full frames make each hold of one frame written again; lossless FFV1
    // carries one encoder through every fade and hold.
    {"ThreeShortHoldsAndFades", 3, "--hold 0.2 --fade 0.3 --codec raw --threads 1 --fps 10", 2, 3, "rawvideo 10/1 12x4"},
    {"NoHoldAndNoFade", 2, "--hold 0 --fade 0 --codec raw --fps 10", 0, 2, "rawvideo 10/1 8x4"},
    {"HalfFramesRoundUp", 4, "--hold 0.05 --fade 0.45 --codec ffv1 --threads 3 --fps 10", 1, 5, "ffv1 10/1 16x4"},
    {"DefaultsHoldTwoSecondsAndFadeOne", 5, "--codec ffv1 --threads 2 --fps 10", 20, 10, "ffv1 10/1 20x8"},
    // 29.97 is NTSC's 30000/1001, at which 0.15015 s are 4.5 frames, and
    // 0.05005 s 1.5: rounded up, where 2997/100 or a binary fraction give less.
    {"NtscRateAsDecimal", 2, "--hold 0.1001 --fade 0.15015 --codec raw --fps 29.97", 3, 5, "rawvideo 30000/1001 8x4"},
    {"NtscRateAsFraction", 3, "--hold 0.05005 --fade 0.2002 --codec raw --fps 30000/1001", 2, 6, "rawvideo 30000/1001 12x4"},
    {"DecimalRateExact", 2, "--hold 0.2 --fade 0.36 --codec raw --fps 12.5", 3, 5, "rawvideo 25/2 8x4"},
};
INSTANTIATE_TEST_SUITE_P(Sequences, CliFramesTest, testing::ValuesIn(kFrames), kRowName);

// Each fit of a portrait, a landscape and a panorama onto a 64 × 48 canvas,
// against a model of the picture's box written here: the whole picture at
// its aspect (contain), or the canvas (stretch, cover), to a pixel either way
// whatever the rounding; nothing but the bars' colour outside it; and of the
// red ends of the picture's long side, which a cover crops away, all or none.
struct FitCase {
    std::string m_strName;
    std::string m_strCommand;  // the command line before the files; the output follows them
    int m_nWidth, m_nHeight, m_nRed;  // the picture; the outer m_nRed pixels of its long side are red
    bool m_bContain, m_bCropped;
    QRgb m_bars;
};

class CliFitTest : public CliTest, public testing::WithParamInterface<FitCase> {};

TEST_P(CliFitTest, PictureFillsItsBoxAndTheBarsAreLeftAlone)
{
    const FitCase& c = GetParam();
    const QImage picture = Picture(c.m_nWidth, c.m_nHeight, [&c](int x, int y) {
        const int nAlong = c.m_nWidth > c.m_nHeight ? x : y, nLong = std::max(c.m_nWidth, c.m_nHeight);
        return nAlong < c.m_nRed || nAlong >= nLong - c.m_nRed ? qRgb(220, 30, 30) : qRgb(40, 170, 90);
    });
    ASSERT_TRUE(picture.save(Q(m_strFirst), "BMP"));
    std::vector<std::string> args = Words(c.m_strCommand);
    const bool bStill = args[0] == "still";
    args.insert(args.begin() + 1, {"@1", "@1", bStill ? "@/fit.bmp" : "@/fit.avi"});
    ASSERT_EQ(Cli(args).m_nExitCode, 0);
    std::string strErrors;
    const std::vector<std::uint8_t> frames = DecodeBottomUpBgr(m_strOut + (bStill ? "/fit.bmp" : "/fit.avi"), strErrors);
    ASSERT_EQ(frames.size(), (bStill ? 1u : 2u) * 64 * 48 * 3) << strErrors;

    const double dScale = std::min(64.0 / c.m_nWidth, 48.0 / c.m_nHeight);
    const double dWidth = c.m_bContain ? c.m_nWidth * dScale : 64, dHeight = c.m_bContain ? c.m_nHeight * dScale : 48;
    const double dLeft = (64 - dWidth) / 2, dTop = (48 - dHeight) / 2;
    int nWrongBars = 0, nWrongPicture = 0, nRed = 0;
    for (std::size_t i = 0; i < frames.size(); i += 3) {
        const int x = static_cast<int>(i / 3 % 64), y = 47 - static_cast<int>(i / 3 / 64 % 48);
        const QRgb pixel = qRgb(frames[i + 2], frames[i + 1], frames[i]);
        const int nFromBars = std::abs(qRed(pixel) - qRed(c.m_bars)) + std::abs(qGreen(pixel) - qGreen(c.m_bars)) +
                              std::abs(qBlue(pixel) - qBlue(c.m_bars));
        if (x + 2 <= dLeft || x - 1 >= dLeft + dWidth || y + 2 <= dTop || y - 1 >= dTop + dHeight)
            nWrongBars += pixel != c.m_bars;
        else if (x - 1 >= dLeft && x + 2 <= dLeft + dWidth && y - 1 >= dTop && y + 2 <= dTop + dHeight)
            nWrongPicture += nFromBars < 60;
        nRed += qRed(pixel) > 150 && qGreen(pixel) < 100;
    }
    EXPECT_EQ(std::tuple(nWrongBars, nWrongPicture, nRed > 0), std::tuple(0, 0, !c.m_bCropped))
        << "pixels of the bars changed, pixels of the picture left as bars, red shown";
}

std::vector<FitCase> AllFits()
{
    std::vector<FitCase> all;
    // Each command with its options, the fit it takes without --fit, and its bars' colour.
    for (const auto& [pszCommand, pszOptions, pszDefault, bars] :
         {std::tuple("Still", "still", "Stretch", qRgb(0, 0, 0)),
          std::tuple("Anim", "anim --frames 2 --codec raw --background 2050C0", "Stretch", qRgb(0x20, 0x50, 0xC0)),
          std::tuple("Slideshow", "slideshow --hold 0 --fade 0 --codec raw", "Contain", qRgb(0, 0, 0))})
        for (const QString strFit : {"Stretch", "Contain", "Cover"})
            for (const auto& [pszShape, nWidth, nHeight, nRed] : {std::tuple("Portrait", 30, 60, 12),
                                                                  std::tuple("Landscape", 80, 50, 4),
                                                                  std::tuple("Panorama", 200, 25, 60)}) {
                const QString strFitOption = strFit == pszDefault ? QString() : " --fit " + strFit.toLower();
                all.push_back({pszCommand + strFit.toStdString() + pszShape,
                               pszOptions + (" --size 64x48" + strFitOption).toStdString(), nWidth, nHeight, nRed,
                               strFit == "Contain", strFit == "Cover", bars});
            }
    return all;
}
INSTANTIATE_TEST_SUITE_P(Shapes, CliFitTest, testing::ValuesIn(AllFits()), kRowName);

TEST_F(CliTest, NamesWithCzechLettersSpacesDashesAndOtherEncodings)
{
    // Relative names that start with a dash need "--" before them; a custom
    // size is rounded down to a multiple of four, and a line says so.
    ASSERT_TRUE(QFile::copy(Q(m_strFirst), Q(Path("-první obrázek.bmp"))));
    const QString strPrevious = QDir::currentPath();
    QDir::setCurrent(m_dir.path());
    const ChildRun run = Cli({"still", "--size", "103x99", "--", "-první obrázek.bmp", "@2", "-výsledek ř.bmp"});
    EXPECT_EQ(std::to_string(run.m_nExitCode) + " " + run.m_strErr,
              "0 plavex-cli still: --size 103x99 is not a multiple of 4; using 100x96\n");
    QDir::setCurrent(strPrevious);
    EXPECT_EQ(ReadFile(Path("-výsledek ř.bmp")).size(), 54u + 100 * 3 * 96);
    // A name in Windows-1250 is bytes, and the file gets exactly those bytes.
    const std::string strLegacy = m_strOut + "/\xE8" "erven\xE1";
    EXPECT_EQ(Cli({"anim", "--frames", "2", "@1", "@2", strLegacy}).m_nExitCode, 0);
    EXPECT_EQ(ListFolder(m_strOut), std::vector<std::string>{"\xE8" "erven\xE1.avi"});
    // Qt cannot remove a name that is not UTF-8, so the temporary folder would stay behind.
    EXPECT_EQ(::unlink((strLegacy + ".avi").c_str()), 0);
}

TEST_F(CliTest, HelpVersionDefaultsAndAProgressBarOnATerminalOnly)
{
    ChildRun run = Cli({"--version"});
    EXPECT_EQ(std::to_string(run.m_nExitCode) + " " + run.m_strOut, "0 plavex-cli " PLAVEX_VERSION "\n");
    // Each command's help is one text, however asked for, and the tool's own
    // help names every command.
    const std::string strHelp = Cli({"--help"}).m_strOut;
    for (const char* pszCommand : {"still", "anim", "slideshow"}) {
        run = Cli({"help", pszCommand});
        EXPECT_TRUE(run.m_nExitCode == 0 && Contains(run.m_strOut, "Default: ") && Contains(strHelp, pszCommand));
        EXPECT_EQ(Cli({pszCommand, "--help"}).m_strOut + Cli({pszCommand, "-h", "@1"}).m_strOut, run.m_strOut + run.m_strOut);
    }
    // Not a terminal: no bar, and a successful run says nothing. By default
    // 25 frames a second: Motion JPEG, with ".avi" added to a name without
    // "avi", or H.264 for a name ending in ".mp4", in any case.
    for (const auto& [pszName, pszWritten, pszProbe] : {std::tuple("@/clip", "/clip.avi", "mjpeg 25/1 16x12 5"),
                                                        std::tuple("@/clip.Mp4", "/clip.Mp4", "h264 25/1 16x12 5")}) {
        run = Cli({"anim", "@1", "@2", pszName, "--frames", "5", "--size", "16x12"});
        EXPECT_EQ(std::to_string(run.m_nExitCode) + run.m_strOut + run.m_strErr, "0");
        const ProbeResult probe = Probe(m_strOut + pszWritten);
        EXPECT_EQ(Summary(probe) + " " + std::to_string(probe.nFrames), pszProbe);
    }
    // script(1) gives the tool a terminal; what it drew comes back as stdout.
    const auto onTerminal = [this](const std::string& strCommand, const std::string& strOutput) {
        const std::string strFiles = " '" + m_strFirst + "' '" + m_strSecond + "' '" + m_strOut + strOutput;
        return RunChild({"script", "-qec", "'" PLAVEX_CLI_PATH "' " + strCommand + strFiles, "/dev/null"});
    };
    if (RunChild({"script", "-qec", "true", "/dev/null"}).m_nExitCode != 0)
        GTEST_SKIP() << "script(1) cannot give the tool a terminal here";
    EXPECT_PRED2(Contains, onTerminal("anim", "/clip.avi' --frames 7").m_strOut, "7/7 frames  100%");
    EXPECT_PRED2(Contains, onTerminal("still", "/mix.bmp'").m_strOut, "28/28 rows  100%");
    // At 30000/1001 fps, a hold of 3 frames, a fade of 5 (4.5 rounded up), a hold of 3.
    EXPECT_PRED2(Contains, onTerminal("slideshow --hold 0.1001 --fade 0.15015 --fps 29.97", "/clip.avi'").m_strOut,
                 "11/11 frames, picture 2/2  100%");
    // Quiet: neither the bar nor the line on a size rounded down.
    run = onTerminal("anim --quiet --size 18x14", "/clip.avi' --frames 7");
    EXPECT_EQ(std::to_string(run.m_nExitCode) + run.m_strOut, "0");
}

TEST_F(CliTest, StoppedAnimationOrSlideshowLeavesNoPartialFile)
{
    // SIGTERM as soon as the temporary file appears; a job in the background
    // of a shell ignores SIGINT, so the polite stop of a script is used.
    for (const char* pszCommand : {"anim \"$2\" \"$3\" \"$4/clip.avi\" --frames 20000 --threads 3",
                                   "slideshow \"$2\" \"$3\" \"$2\" \"$4/clip.avi\" --hold 400 --threads 3"}) {
        ASSERT_TRUE(WriteFile(m_strOut + "/clip.avi", kOld));
        const std::string strScript = std::string("\"$1\" ") + pszCommand + " --size 320x240 & pid=$!; i=0; "
            "until ls -A \"$4\" | grep -q '^\\.'; do sleep 0.01; i=$((i+1)); [ $i -gt 3000 ] && break; done; "
            "kill -TERM $pid; wait $pid; echo status=$?";
        const ChildRun run =
            RunChild({"sh", "-c", strScript, "sh", PLAVEX_CLI_PATH, m_strFirst, m_strSecond, m_strOut});
        EXPECT_EQ(run.m_strOut, "status=143\n") << pszCommand << run.m_strErr;
        EXPECT_PRED2(Contains, run.m_strErr, "interrupted; '" + m_strOut + "/clip.avi' was not written");
        EXPECT_EQ(ListFolder(m_strOut), std::vector<std::string>{"clip.avi"});
        EXPECT_EQ(ReadFile(m_strOut + "/clip.avi"), kOld);
    }
}

TEST(CliProgressBarTest, DrawsDonePercentAndTimeLeftInPlace)
{
    std::ostringstream out;
    double dNow = 100.0;
    {
        // Four frames in four seconds leave 26 for 26 more, and 13.3% is shown
        // as 13%; the fifth comes too soon after to be drawn, the last always is.
        CliProgressBar bar(out, 30, {.m_bEnabled = true, .m_nBarWidth = 10, .m_clock = [&dNow] { return dNow; }});
        for (const auto& [dWhen, nDone] : {std::pair(100.0, 0), std::pair(104.0, 4), std::pair(104.05, 5),
                                           std::pair(3823.0, 30)}) {
            dNow = dWhen;
            bar.Update(nDone);
        }
    }
    EXPECT_EQ(out.str(), "\r[----------] 0/30 frames  0%  --:-- left\r[#---------] 4/30 frames  13%  0:26 left"
                         "\r[##########] 30/30 frames  100%  done in 1:02:03\n");
    EXPECT_EQ(CliProgressBar::FormatDuration(6.2) + CliProgressBar::FormatDuration(723.0), "0:0712:03");
}

// Channel by channel over two pictures: the largest and the mean difference;
// the worst when their sizes differ or one is missing.
std::pair<int, double> Compare(const QImage& a, const QImage& b)
{
    const QImage x = a.convertToFormat(QImage::Format_RGB888), y = b.convertToFormat(QImage::Format_RGB888);
    if (x.size() != y.size() || x.isNull())
        return {255, 1e9};
    std::pair<int, double> d;
    for (int r = 0; r < x.height(); ++r)
        for (int i = 0; i < x.width() * 3; ++i) {
            const int n = std::abs(x.constScanLine(r)[i] - y.constScanLine(r)[i]);
            d = {std::max(d.first, n), d.second + n / (x.width() * 3.0 * x.height())};
        }
    return d;
}

// Pictures as people have them, each made by a tool other than ours, from a
// 64 × 48 pattern of ffmpeg's and the same with a left-to-right alpha ramp.
class PictureFormats : public CliTest {
protected:
    void SetUp() override
    {
        CliTest::SetUp();
        // Display P3's profile, sRGB's, and one whose tag table is broken, for ImageMagick and exiftool.
        QByteArray p3 = QColorSpace(QColorSpace::DisplayP3).iccProfile();
        ASSERT_TRUE(WriteFile(Path("p3.icc"), p3.toStdString()) &&
                    WriteFile(Path("srgb.icc"), QColorSpace(QColorSpace::SRgb).iccProfile().toStdString()) &&
                    WriteFile(Path("broken.icc"), p3.replace(132, 68, QByteArray(68, '\xFF')).toStdString()));
        // p3.png takes the pattern's numbers as Display P3 colours.
        ASSERT_TRUE(Shell("ffmpeg -loglevel error -f lavfi -i testsrc2=size=64x48 -frames:v 1 src.png && "
                          "convert src.png -alpha set -channel A -fx i/w +channel alpha.png && "
                          "convert src.png -profile p3.icc p3.png"));
    }

    bool Shell(const std::string& strCommand) const
    {
        return std::system(("cd '" + m_strDir + "' && (" + strCommand + ") >/dev/null 2>&1").c_str()) == 0;
    }

    // The picture as ImageMagick reads it, over white.
    QImage Reference(const std::string& strName) const
    {
        const bool bRead = Shell("convert '" + strName + "' -background white -alpha remove -alpha off ref.ppm");
        return bRead ? QImage(Q(Path("ref.ppm"))) : QImage();
    }

    // The still plavex-cli makes of the two pictures as Qt reads it; none when the tool fails.
    QImage Still(const std::string& strFirst, const std::string& strSecond, const std::string& strOut) const
    {
        return RunChild({PLAVEX_CLI_PATH, "still", Path(strFirst), Path(strSecond), Path(strOut)}).m_nExitCode == 0
                   ? QImage(Q(Path(strOut))) : QImage();
    }
};

// The command that makes the file from src.png or alpha.png (a row is skipped
// without its tool), the tool's own decoding into its last word (none when
// ImageMagick reads the file), and the mean difference allowed (0: exact).
struct RoundTrip {
    std::string m_strName, m_strMake, m_strFile, m_strDecode;
    double m_dMaxMean;
};

std::vector<RoundTrip> AllRoundTrips()
{
    std::vector<RoundTrip> all = {
        {"png_rgb16", "convert src.png -define png:bit-depth=16 -define png:color-type=2 x.png", "x.png", "", 0},
        // A transparent colour in 16 bits, over white as in 8.
        {"png_rgb16_transparent_colour", "convert src.png -transparent '#00003E' -define png:bit-depth=16 "
         "-define png:color-type=2 x.png", "x.png", "", 0},
        {"png_grey_alpha", "convert alpha.png -colorspace gray -define png:color-type=4 x.png", "x.png", "", 0.5},
        // A GIF of two frames named as a JPEG: the first, its transparent pixels over white.
        {"gif_first_frame_named_jpg", "convert alpha.png src.png gif:x.jpg", "x.jpg", "convert 'x.jpg[0]' d.png", 0},
        {"webp_alpha", "cwebp -quiet -lossless -exact alpha.png -o x.webp", "x.webp",
         "dwebp -quiet x.webp -pam -o d.pam", 0.5},
        {"tiff_cmyk", "convert src.png -colorspace CMYK x.tif", "x.tif", "", 1},
        {"heic", "heif-enc -q 90 -o x.heic src.png", "x.heic", "heif-convert x.heic d.png", 1},
        {"heic_alpha", "heif-enc -q 90 -o x.heic alpha.png", "x.heic", "heif-convert x.heic d.png", 1},
        // HEIF's own rotation: a quarter turn anticlockwise.
        {"avif_rotated", "avifenc -l --irot 1 src.png x.avif", "x.avif", "convert src.png -rotate 270 d.png", 0},
        // Colours a long way from their numbers, against ImageMagick's conversion to sRGB.
        {"png_display_p3", "cp p3.png x.png", "x.png",
         "convert p3.png -profile p3.icc -profile srgb.icc d.png", 0.5},
        {"heic_display_p3", "heif-enc -L -o x.heic p3.png", "x.heic",
         "heif-convert x.heic d.png && convert d.png -profile p3.icc -profile srgb.icc d.png", 0.5},
        // A profile whose tag table is broken is ignored: the picture loads as sRGB.
        {"jpeg_broken_profile", "convert src.png -quality 95 x.jpg && exiftool -q -overwrite_original "
         "'-icc_profile<=broken.icc' x.jpg", "x.jpg", "", 1},
    };
    // Each EXIF orientation in each format that carries one, against what
    // ImageMagick does to the stored picture to show it; 9 names none. The
    // lossless files hold the pixels of src.png, the JPEG its own.
    const char* const kTurn[10] = {nullptr, "", "-flop", "-rotate 180", "-flip", "-transpose", "-rotate 90",
                                   "-transverse", "-rotate 270", ""};
    for (const std::string strMake : {"cp src.png x.png", "convert src.png -quality 95 x.jpg",
                                      "convert src.png x.tif", "cwebp -quiet -lossless src.png -o x.webp"})
        for (int n = 1; n <= 9; ++n) {
            const std::string strFile = strMake.substr(strMake.rfind(' ') + 1), strN = std::to_string(n);
            const bool bJpeg = strFile == "x.jpg";
            all.push_back({"orientation_" + strN + "_" + strFile.substr(2),
                           strMake + " && exiftool -q -overwrite_original -n -Orientation=" + strN + " " + strFile,
                           strFile, "convert " + (bJpeg ? strFile : "src.png") + " " + kTurn[n] + " d.ppm",
                           bJpeg ? 0.5 : 0});
        }
    return all;
}

class PictureRoundTrip : public PictureFormats, public ::testing::WithParamInterface<RoundTrip> {};

TEST_P(PictureRoundTrip, StillOfThePictureAloneIsTheToolsOwnDecoding)
{
    const RoundTrip& c = GetParam();
    if (!Shell("command -v " + c.m_strMake.substr(0, c.m_strMake.find(' '))))
        GTEST_SKIP() << c.m_strMake << ": not installed";
    const std::string& strDecode = c.m_strDecode;
    ASSERT_TRUE(Shell(c.m_strMake) && (strDecode.empty() || Shell(strDecode))) << c.m_strMake << "; " << strDecode;
    const std::string strReference = strDecode.empty() ? c.m_strFile : strDecode.substr(strDecode.rfind(' ') + 1);
    const auto [nMax, dMean] = Compare(Still(c.m_strFile, c.m_strFile, "out.bmp"), Reference(strReference));
    EXPECT_LE(c.m_dMaxMean == 0 ? nMax : dMean, c.m_dMaxMean) << "max " << nMax << ", mean " << dMean;
}

INSTANTIATE_TEST_SUITE_P(Formats, PictureRoundTrip, ::testing::ValuesIn(AllRoundTrips()), kRowName);

TEST_F(PictureFormats, StillIsWrittenInTheFormatItsNameAsks)
{
    // ImageMagick's name of what the file holds, and a JPEG's quality and sampling.
    const std::pair<const char*, const char*> kOutputs[] = {
        {"mix.png", "PNG"}, {"mix.jpg", "JPEG 95 1x1,1x1,1x1"}, {"mix.JPEG", "JPEG 95 1x1,1x1,1x1"}, {"mix.webp", "WEBP"},
        {"mix.tif", "TIFF"}, {"mix.tiff", "TIFF"}, {"mix.bmp", "BMP3"}, {"mix.data", "BMP3"}};
    const QImage reference = Still("src.png", "alpha.png", "ref.bmp");
    for (const auto& [pszName, pszMagic] : kOutputs) {
        const bool bExact = !std::string(pszMagic).starts_with("JPEG");
        ASSERT_FALSE(Still("src.png", "alpha.png", pszName).isNull()) << pszName;
        const char* pszFormat = bExact ? "%m" : "%m %Q %[jpeg:sampling-factor]";
        EXPECT_EQ(RunChild({"identify", "-format", pszFormat, Path(pszName)}).m_strOut, pszMagic);
        // JPEG: sharp coloured edges, every colour sample kept.
        const auto [nMax, dMean] = Compare(Reference(pszName), reference);
        EXPECT_LE(bExact ? nMax : dMean, bExact ? 0 : 2.0) << pszName;
    }
    // Only the 11 inputs and helpers and the 8 finished files are there: no temporary file stayed.
    EXPECT_EQ(ListFolder(m_strDir).size(), 19u);
}

} // namespace
