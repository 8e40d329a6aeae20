#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include <sys/wait.h>

#include <gtest/gtest.h>

// Qt
#include <QDir>
#include <QTemporaryDir>

// Local
#include "cli/StillCommand.h"
#include "engine/Blend.h"
#include "tests/engine/TestPictureFiles.h"

namespace {

using namespace TestPictureFiles;

// The pixel data that follows the two headers of a 24-bit BMP.
Bytes PixelsOf(const Bytes& bmp)
{
    return Bytes(bmp.begin() + 54, bmp.end());
}

// The test pattern of a MakeBmp picture as bottom-up blue, green, red rows.
Bytes ExpectedPixels(BmpKind nKind, int nWidth, int nHeight)
{
    Bytes pixels;
    for (int m = 0; m < nHeight; ++m)
        for (int x = 0; x < nWidth; ++x) {
            const QColor color = BmpExpectedColor(nKind, x, nHeight - 1 - m);
            pixels.insert(pixels.end(), {static_cast<unsigned char>(color.blue()),
                                         static_cast<unsigned char>(color.green()),
                                         static_cast<unsigned char>(color.red())});
        }
    return pixels;
}

std::uint32_t Le32(const Bytes& bytes, std::size_t nAt)
{
    return bytes[nAt] | bytes[nAt + 1] << 8 | bytes[nAt + 2] << 16 | static_cast<std::uint32_t>(bytes[nAt + 3]) << 24;
}

class StillCommandTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_first = MakeBmp(16, 8, {});
        // The second picture is an indexed one, stored top-down.
        m_second = MakeBmp(16, 8, {BmpKind::Bits8, true});
        WriteFile(PathOf("first.bmp"), m_first);
        WriteFile(PathOf("second.bmp"), m_second);
    }

    std::string PathOf(const std::string& strName) const
    {
        return m_dir.filePath(QString::fromStdString(strName)).toStdString();
    }

    int Run(std::vector<std::string> args)
    {
        m_out.str("");
        m_err.str("");
        return RunStillCommand(args, m_out, m_err);
    }

    bool ErrIsOneLine() const
    {
        const std::string strErr = m_err.str();
        return !strErr.empty() && strErr.find('\n') == strErr.size() - 1;
    }

    QTemporaryDir m_dir;
    Bytes m_first;
    Bytes m_second;
    std::ostringstream m_out;
    std::ostringstream m_err;
};

TEST_F(StillCommandTest, RatioChoosesTheShareOfTheSecondPicture)
{
    const std::string strFirst = PathOf("first.bmp");
    const std::string strSecond = PathOf("second.bmp");
    const std::string strOut = PathOf("out.bmp");

    ASSERT_EQ(Run({strFirst, strSecond, strOut, "--ratio", "0"}), 0) << m_err.str();
    EXPECT_EQ(PixelsOf(ReadFile(strOut)), PixelsOf(m_first));
    ASSERT_EQ(Run({strFirst, strSecond, strOut, "--ratio=100"}), 0) << m_err.str();
    const Bytes b = ExpectedPixels(BmpKind::Bits8, 16, 8);
    EXPECT_EQ(PixelsOf(ReadFile(strOut)), b);

    // The default is half and half, blended channel by channel.
    ASSERT_EQ(Run({strFirst, strSecond, strOut}), 0) << m_err.str();
    const Bytes mixed = PixelsOf(ReadFile(strOut));
    const Bytes a = PixelsOf(m_first);
    ASSERT_EQ(a, ExpectedPixels(BmpKind::Bits24, 16, 8));
    ASSERT_EQ(mixed.size(), a.size());
    for (std::size_t i = 0; i < a.size(); ++i)
        ASSERT_EQ(mixed[i], BlendChannel(a[i], b[i], 0.5)) << i;
    EXPECT_EQ(m_out.str(), "");
}

TEST_F(StillCommandTest, SizeOptionSetsACustomCanvas)
{
    const std::string strOut = PathOf("sized.bmp");
    ASSERT_EQ(Run({PathOf("first.bmp"), PathOf("second.bmp"), strOut, "--size=103x99"}), 0) << m_err.str();
    Bytes file = ReadFile(strOut);
    ASSERT_EQ(file.size(), 54u + 100 * 3 * 96);
    EXPECT_EQ(Le32(file, 18), 100u);
    EXPECT_EQ(Le32(file, 22), 96u);

    ASSERT_EQ(Run({PathOf("first.bmp"), PathOf("second.bmp"), strOut, "--size", "2x2"}), 0) << m_err.str();
    EXPECT_EQ(ReadFile(strOut).size(), 54u);
}

TEST_F(StillCommandTest, FailuresExitWithOneAndOneLine)
{
    const std::string strOut = PathOf("out.bmp");
    WriteFile(strOut, {'o', 'l', 'd'});
    const std::vector<std::vector<std::string>> failures = {
        {PathOf("missing.bmp"), PathOf("second.bmp"), strOut},
        {PathOf("first.bmp"), PathOf("missing.bmp"), strOut},
        {PathOf("first.bmp"), PathOf("second.bmp"), strOut, "--size=-8x8"},
        {PathOf("first.bmp"), PathOf("second.bmp"), strOut, "--size=40000x40000"},
    };
    for (const auto& args : failures) {
        EXPECT_EQ(Run(args), 1) << args[0];
        EXPECT_TRUE(ErrIsOneLine()) << m_err.str();
        EXPECT_EQ(ReadFile(strOut), (Bytes{'o', 'l', 'd'}));
    }
    EXPECT_EQ(Run({PathOf("first.bmp"), PathOf("second.bmp"), PathOf("none/out.bmp")}), 1);
    EXPECT_TRUE(ErrIsOneLine()) << m_err.str();
}

TEST_F(StillCommandTest, UsageErrorsExitWithTwo)
{
    const std::string strFirst = PathOf("first.bmp");
    const std::string strOut = PathOf("out.bmp");
    const std::vector<std::vector<std::string>> misuses = {
        {},
        {strFirst, strFirst},
        {strFirst, strFirst, strOut, "extra"},
        {strFirst, strFirst, strOut, "--ratio", "101"},
        {strFirst, strFirst, strOut, "--ratio=half"},
        {strFirst, strFirst, strOut, "--size", "big"},
        {strFirst, strFirst, strOut, "--fast"},
        {strFirst, strFirst, strOut, "--ratio"},
    };
    for (const auto& args : misuses)
        EXPECT_EQ(Run(args), 2) << (args.empty() ? "" : args.back());
    EXPECT_FALSE(QDir(m_dir.path()).exists("out.bmp"));
}

TEST_F(StillCommandTest, DoubleDashAllowsFileNamesStartingWithADash)
{
    const QString strPrevious = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(m_dir.path()));
    EXPECT_EQ(Run({"--ratio", "0", "--", "first.bmp", "second.bmp", "-out.bmp"}), 0) << m_err.str();
    QDir::setCurrent(strPrevious);
    EXPECT_EQ(PixelsOf(ReadFile(PathOf("-out.bmp"))), PixelsOf(m_first));
}

int RunProgram(const std::string& strArgs)
{
    std::string strCommand = PLAVEX_CLI_PATH;
    strCommand += ' ';
    strCommand += strArgs;
    strCommand += " 2>/dev/null >/dev/null";
    const int nStatus = std::system(strCommand.c_str());
    return WIFEXITED(nStatus) ? WEXITSTATUS(nStatus) : -1;
}

std::string Quoted(const std::string& strPath)
{
    std::string strQuoted = "'";
    strQuoted += strPath;
    strQuoted += "' ";
    return strQuoted;
}

TEST_F(StillCommandTest, ProgramDispatchesCommandsAndReportsExitCodes)
{
    std::string strArgs = "still ";
    strArgs += Quoted(PathOf("first.bmp"));
    strArgs += Quoted(PathOf("second.bmp"));
    strArgs += Quoted(PathOf("p.bmp"));
    EXPECT_EQ(RunProgram(strArgs + "--ratio 0"), 0);
    EXPECT_EQ(PixelsOf(ReadFile(PathOf("p.bmp"))), PixelsOf(m_first));

    std::string strMissing = "still ";
    strMissing += Quoted(PathOf("missing.bmp"));
    strMissing += "x y";
    EXPECT_EQ(RunProgram(strMissing), 1);
    EXPECT_EQ(RunProgram(""), 2);
    EXPECT_EQ(RunProgram("paint"), 2);
    EXPECT_EQ(RunProgram("--help"), 0);
}

} // namespace
