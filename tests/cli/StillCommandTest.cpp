#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

// Qt
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>

// Local
#include "cli/StillCommand.h"
#include "engine/Blend.h"

namespace {

class StillCommandTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QImage first(16, 8, QImage::Format_RGB32);
        QImage second(16, 8, QImage::Format_RGB32);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 16; ++x) {
                first.setPixel(x, y, qRgb(x * 16, y * 32, 255 - x * 9));
                second.setPixel(x, y, qRgb(y * 30, 255 - x * 16, x * y));
            }
        ASSERT_TRUE(first.save(QString::fromStdString(m_strFirst), "BMP"));
        ASSERT_TRUE(second.save(QString::fromStdString(m_strSecond), "JPEG", 100));
        m_first = first;
        m_second = QImage(QString::fromStdString(m_strSecond)).convertToFormat(QImage::Format_RGB32);
    }

    int Run(const std::vector<std::string>& args)
    {
        std::ostringstream out;
        m_err.str("");
        const int nCode = RunStillCommand(args, out, m_err);
        EXPECT_EQ(out.str(), "");
        return nCode;
    }

    QImage Output() const { return QImage(QString::fromStdString(m_strOut)).convertToFormat(QImage::Format_RGB32); }

    QTemporaryDir m_dir;
    const std::string m_strFirst = m_dir.filePath("first.bmp").toStdString();
    const std::string m_strSecond = m_dir.filePath("second.jpg").toStdString();
    const std::string m_strOut = m_dir.filePath("out.bmp").toStdString();
    QImage m_first;
    QImage m_second;
    std::ostringstream m_err;
};

TEST_F(StillCommandTest, RatioIsTheShareOfTheSecondPictureAndSizeSetsTheCanvas)
{
    ASSERT_EQ(Run({m_strFirst, m_strSecond, m_strOut, "--ratio", "0"}), 0) << m_err.str();
    EXPECT_EQ(Output(), m_first);
    ASSERT_EQ(Run({"--ratio=100", "--", m_strFirst, m_strSecond, m_strOut}), 0) << m_err.str();
    EXPECT_EQ(Output(), m_second);

    ASSERT_EQ(Run({m_strFirst, m_strSecond, m_strOut}), 0) << m_err.str();
    const QImage mixed = Output();
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 16; ++x) {
            const QRgb a = m_first.pixel(x, y);
            const QRgb b = m_second.pixel(x, y);
            ASSERT_EQ(mixed.pixel(x, y), qRgb(BlendChannel(qRed(a), qRed(b), 0.5), BlendChannel(qGreen(a), qGreen(b), 0.5),
                                              BlendChannel(qBlue(a), qBlue(b), 0.5)));
        }

    ASSERT_EQ(Run({m_strFirst, m_strSecond, m_strOut, "--size=103x99"}), 0) << m_err.str();
    EXPECT_EQ(QFileInfo(QString::fromStdString(m_strOut)).size(), 54 + 100 * 3 * 96);
}

TEST_F(StillCommandTest, FailuresExitWithOneAndUsageErrorsWithTwo)
{
    const std::string strMissing = m_dir.filePath("missing.bmp").toStdString();
    std::ofstream(m_strOut) << "old";
    const std::vector<std::vector<std::string>> failures = {
        {strMissing, m_strFirst, m_strOut}, {m_strFirst, strMissing, m_strOut},
        {m_strFirst, m_strFirst, m_strOut, "--size=-8x8"}, {m_strFirst, m_strFirst, m_strOut, "--size=40000x40000"},
        {m_strFirst, m_strFirst, m_strOut, "--size=2x2"}, {m_strFirst, m_strFirst, m_strOut, "--size=8x3"},
        {m_strFirst, m_strFirst, m_dir.filePath("missing/out.bmp").toStdString()},
    };
    for (const auto& args : failures) {
        EXPECT_EQ(Run(args), 1) << args[0];
        const std::string strErr = m_err.str();
        EXPECT_EQ(std::count(strErr.begin(), strErr.end(), '\n'), 1) << strErr;
    }
    const std::vector<std::vector<std::string>> misuses = {
        {}, {m_strFirst, m_strFirst}, {m_strFirst, m_strFirst, m_strOut, "extra"},
        {m_strFirst, m_strFirst, m_strOut, "--ratio", "101"}, {m_strFirst, m_strFirst, m_strOut, "--size", "big"},
    };
    for (const auto& args : misuses)
        EXPECT_EQ(Run(args), 2) << args.size();
    EXPECT_EQ(QFileInfo(QString::fromStdString(m_strOut)).size(), 3);
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files), (QStringList{"first.bmp", "out.bmp", "second.jpg"}));
}

} // namespace
