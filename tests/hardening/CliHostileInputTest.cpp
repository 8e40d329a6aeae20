// Hostile and odd input to the batch tool: pictures that claim huge sizes,
// broken, empty or missing files, a folder or a pipe given as a picture,
// names with Czech letters, spaces and leading dashes, and custom sizes from
// 0 to far too large.

#include <algorithm>
#include <string>
#include <vector>

#include <sys/stat.h>

// Qt
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

// Google Test
#include <gtest/gtest.h>

// Local
#include "tests/hardening/HardeningSupport.h"

namespace {

void PutLe16(std::vector<unsigned char>& bytes, std::size_t nPos, int nValue)
{
    bytes[nPos] = static_cast<unsigned char>(nValue & 0xFF);
    bytes[nPos + 1] = static_cast<unsigned char>((nValue >> 8) & 0xFF);
}

void PutLe32(std::vector<unsigned char>& bytes, std::size_t nPos, std::int32_t nValue)
{
    for (int i = 0; i < 4; ++i)
        bytes[nPos + i] = static_cast<unsigned char>((static_cast<std::uint32_t>(nValue) >> (8 * i)) & 0xFF);
}

// The GIF with both its screen and its image claiming nWidth × nHeight.
std::vector<unsigned char> GifClaiming(int nWidth, int nHeight)
{
    std::vector<unsigned char> gif = EncodeGif(TestPattern(9, 7, 3));
    PutLe16(gif, 6, nWidth);
    PutLe16(gif, 8, nHeight);
    const std::size_t nDescriptor = 13 + 3 * 256;
    PutLe16(gif, nDescriptor + 5, nWidth);
    PutLe16(gif, nDescriptor + 7, nHeight);
    return gif;
}

// The JPEG with its frame header claiming nWidth × nHeight.
std::vector<unsigned char> JpegClaiming(int nWidth, int nHeight)
{
    std::vector<unsigned char> jpeg = EncodeWithQt(TestPattern(9, 7, 4), "JPEG");
    for (std::size_t i = 2; i + 8 < jpeg.size(); i += 2 + (jpeg[i + 2] << 8 | jpeg[i + 3])) {
        if (jpeg[i] == 0xFF && (jpeg[i + 1] == 0xC0 || jpeg[i + 1] == 0xC2)) {
            jpeg[i + 5] = static_cast<unsigned char>(nHeight >> 8);
            jpeg[i + 6] = static_cast<unsigned char>(nHeight & 0xFF);
            jpeg[i + 7] = static_cast<unsigned char>(nWidth >> 8);
            jpeg[i + 8] = static_cast<unsigned char>(nWidth & 0xFF);
            break;
        }
    }
    return jpeg;
}

std::vector<unsigned char> BmpClaiming(std::int32_t nWidth, std::int32_t nHeight)
{
    std::vector<unsigned char> bmp = EncodeWithQt(TestPattern(9, 7, 5), "BMP");
    PutLe32(bmp, 18, nWidth);
    PutLe32(bmp, 22, nHeight);
    return bmp;
}

class CliHostileInputTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_strGood = Path("good.bmp");
        ASSERT_TRUE(WriteBytes(m_strGood, EncodeWithQt(TestPattern(40, 30, 1), "BMP")));
        m_strOther = Path("other.jpg");
        ASSERT_TRUE(WriteBytes(m_strOther, EncodeWithQt(TestPattern(36, 26, 2), "JPEG")));
    }

    std::string Path(const std::string& strName) const { return m_dir.filePath(QString::fromStdString(strName)).toStdString(); }

    static ChildRun Run(const std::vector<std::string>& args)
    {
        std::vector<std::string> all = {PLAVEX_CLI_PATH};
        all.insert(all.end(), args.begin(), args.end());
        return RunChild({all});
    }

    static void ExpectFailureNaming(const ChildRun& run, const std::string& strNamed)
    {
        EXPECT_EQ(run.m_nSignal, 0) << "killed by signal " << run.m_nSignal;
        EXPECT_EQ(run.m_nExitCode, 1) << run.m_strErr;
        EXPECT_EQ(std::count(run.m_strErr.begin(), run.m_strErr.end(), '\n'), 1) << run.m_strErr;
        EXPECT_NE(run.m_strErr.find(strNamed), std::string::npos) << run.m_strErr;
    }

    QTemporaryDir m_dir;
    std::string m_strGood;
    std::string m_strOther;
};

TEST_F(CliHostileInputTest, UnusablePicturesAreRefusedByNameInEitherPlace)
{
    struct Bad {
        const char* m_pszName;
        std::vector<unsigned char> m_bytes;
    };
    const std::vector<unsigned char> gif = EncodeGif(TestPattern(20, 10, 6));
    const std::vector<unsigned char> jpeg = EncodeWithQt(TestPattern(20, 10, 7), "JPEG");
    const std::vector<unsigned char> png = EncodeWithQt(TestPattern(20, 10, 8), "PNG");
    const std::vector<unsigned char> webp = EncodeWithQt(TestPattern(20, 10, 9), "WEBP");
    const std::vector<Bad> files = {
        {"empty.gif", {}},
        {"huge screen.gif", GifClaiming(65535, 65535)},
        {"huge.jpg", JpegClaiming(65500, 65500)},
        {"huge.bmp", BmpClaiming(60000, 60000)},
        {"negative.bmp", BmpClaiming(-20, 10)},
        {"cut.gif", std::vector<unsigned char>(gif.begin(), gif.begin() + 20)},
        // Its header is whole, so only decoding finds the cut.
        {"cut image.gif", std::vector<unsigned char>(gif.begin(), gif.begin() + 13 + 3 * 256 + 4)},
        {"cut.jpg", std::vector<unsigned char>(jpeg.begin(), jpeg.begin() + 150)},
        {"cut.png", std::vector<unsigned char>(png.begin(), png.begin() + 60)},
        {"cut.webp", std::vector<unsigned char>(webp.begin(), webp.begin() + 40)},
        {"icon.ico", {0, 0, 1, 0, 1, 0, 16, 16, 0, 0, 1, 0, 32, 0, 40, 0, 0, 0, 22, 0, 0, 0}},
        {"text.txt", {'h', 'e', 'l', 'l', 'o', '\n'}},
    };
    std::vector<std::string> paths;
    for (const Bad& bad : files) {
        paths.push_back(Path(bad.m_pszName));
        ASSERT_TRUE(WriteBytes(paths.back(), bad.m_bytes));
    }
    paths.push_back(Path("missing.bmp"));
    paths.push_back(Path("a folder.jpg"));
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(paths.back())));
    const std::vector<std::string> before = ListFolder(m_dir.path().toStdString());

    for (const std::string& strBad : paths) {
        SCOPED_TRACE(strBad);
        ExpectFailureNaming(Run({"still", strBad, m_strGood, Path("mix.bmp")}), strBad);
        ExpectFailureNaming(Run({"still", m_strGood, strBad, Path("mix.bmp")}), strBad);
        ExpectFailureNaming(Run({"anim", strBad, m_strGood, Path("clip.avi"), "--frames", "2"}), strBad);
        ExpectFailureNaming(Run({"anim", m_strGood, strBad, Path("clip.avi"), "--frames", "2"}), strBad);
        // In the middle of a slideshow, found from its header or only when its turn comes.
        ExpectFailureNaming(Run({"slideshow", m_strGood, m_strOther, strBad, m_strGood, Path("show.avi")}), strBad);
        // Nothing was made, not even a temporary file.
        EXPECT_EQ(ListFolder(m_dir.path().toStdString()), before);
    }
}

TEST_F(CliHostileInputTest, PipeGivenAsPictureIsRefusedNotWaitedOn)
{
    const std::string strPipe = Path("pipe.bmp");
    ASSERT_EQ(::mkfifo(strPipe.c_str(), 0644), 0);
    ChildOptions options;
    options.m_args = {PLAVEX_CLI_PATH, "still", strPipe, m_strGood, Path("mix.bmp")};
    options.m_nTimeoutSeconds = 20;
    ExpectFailureNaming(RunChild(options), strPipe);
    options.m_args = {PLAVEX_CLI_PATH, "anim", m_strGood, strPipe, Path("clip.avi"), "--frames", "2"};
    ExpectFailureNaming(RunChild(options), strPipe);
    options.m_args = {PLAVEX_CLI_PATH, "slideshow", m_strGood, strPipe, m_strOther, Path("show.avi")};
    ExpectFailureNaming(RunChild(options), strPipe);
}

TEST_F(CliHostileInputTest, CzechLettersSpacesAndLeadingDashesInNames)
{
    const std::string strFirst = Path("-první obrázek.bmp");
    const std::string strSecond = Path("druhý – čtverec ž.jpg");
    ASSERT_TRUE(QFile::copy(QString::fromStdString(m_strGood), QString::fromStdString(strFirst)));
    ASSERT_TRUE(QFile::copy(QString::fromStdString(m_strOther), QString::fromStdString(strSecond)));

    // Relative names that start with a dash need "--" before them.
    const QString strPrevious = QDir::currentPath();
    QDir::setCurrent(m_dir.path());
    ChildRun run = Run({"still", "--ratio", "30", "--", "-první obrázek.bmp", "druhý – čtverec ž.jpg", "-výsledek ř 1.bmp"});
    EXPECT_EQ(run.m_nExitCode, 0) << run.m_strErr;
    EXPECT_EQ(ReadBytes(Path("-výsledek ř 1.bmp")).size(), 54u + 36 * 3 * 28);
    run = Run({"still", "-první obrázek.bmp", "druhý – čtverec ž.jpg", "x.bmp"});
    EXPECT_EQ(run.m_nExitCode, 2) << run.m_strErr;

    run = Run({"anim", "--frames", "2", "--codec", "raw", "--", strFirst, strSecond, "-animace ř"});
    EXPECT_EQ(run.m_nExitCode, 0) << run.m_strErr;
    EXPECT_GT(ReadBytes(Path("-animace ř.avi")).size(), 2u * 36 * 3 * 28);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(Path("x.bmp"))));
    QDir::setCurrent(strPrevious);

    // A name in another encoding than UTF-8 (here Windows-1250) is bytes, and
    // the file gets exactly those bytes.
    const std::string strLegacy = m_dir.path().toStdString() + "/\xE8" "erven\xE1 smaz\xE1" "n\xED";
    EXPECT_EQ(Run({"still", m_strGood, m_strOther, strLegacy + ".bmp"}).m_nExitCode, 0);
    EXPECT_EQ(Run({"anim", "--frames", "2", m_strGood, m_strOther, strLegacy}).m_nExitCode, 0);
    EXPECT_EQ(ReadBytes(strLegacy + ".bmp").size(), 54u + 36 * 3 * 28);
    EXPECT_GT(ReadBytes(strLegacy + ".avi").size(), 0u);
}

TEST_F(CliHostileInputTest, CustomSizesFromZeroToFarTooLarge)
{
    const std::string strOut = Path("mix.bmp");
    // Sides below 4, which would round down to 0, and negative and oversized
    // canvases are refused before anything is written.
    for (const char* pszSize : {"0x0", "1x1", "2x3", "3x3", "3x8", "8x3", "-4x8", "8x-4", "1000000x1000000",
                                "2147483647x4", "50000x50000"}) {
        SCOPED_TRACE(pszSize);
        ChildRun run = Run({"still", m_strGood, m_strOther, strOut, "--size", pszSize});
        EXPECT_EQ(run.m_nExitCode, 1) << run.m_strErr;
        EXPECT_FALSE(QFile::exists(QString::fromStdString(strOut)));
    }

    // The animation page allows sides from 1; a canvas side of 0 has no frame to write.
    const std::string strClip = Path("clip.avi");
    for (const char* pszSize : {"1x1", "3x3", "3x8", "1000000x1000000"}) {
        SCOPED_TRACE(pszSize);
        ChildRun run = Run({"anim", m_strGood, m_strOther, strClip, "--frames", "2", "--size", pszSize});
        EXPECT_EQ(run.m_nExitCode, 1) << run.m_strErr;
        EXPECT_FALSE(QFile::exists(QString::fromStdString(strClip)));
    }
    for (const char* pszSize : {"0x0", "-4x8"}) {
        SCOPED_TRACE(pszSize);
        EXPECT_EQ(Run({"anim", m_strGood, m_strOther, strClip, "--size", pszSize}).m_nExitCode, 2);
    }
    ChildRun run = Run({"anim", m_strGood, m_strOther, strClip, "--frames", "2", "--size", "4x4"});
    EXPECT_EQ(run.m_nExitCode, 0) << run.m_strErr;
    EXPECT_EQ(ListFolder(m_dir.path().toStdString()), (std::vector<std::string>{"clip.avi", "good.bmp", "other.jpg"}));
}

}  // namespace
