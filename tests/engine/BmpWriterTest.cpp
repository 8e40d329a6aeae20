#include <csignal>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include <sys/resource.h>

#include <gtest/gtest.h>

// Qt
#include <QDir>
#include <QImage>
#include <QTemporaryDir>

// Local
#include "engine/BmpWriter.h"
#include "engine/Canvas.h"
#include "engine/PixelBuffer.h"
#include "tests/engine/TestPictureFiles.h"

namespace {

using namespace TestPictureFiles;

std::uint32_t Le32(const Bytes& bytes, std::size_t nAt)
{
    return bytes[nAt] | bytes[nAt + 1] << 8 | bytes[nAt + 2] << 16 | static_cast<std::uint32_t>(bytes[nAt + 3]) << 24;
}

std::uint32_t Le16(const Bytes& bytes, std::size_t nAt)
{
    return bytes[nAt] | bytes[nAt + 1] << 8;
}

class BmpWriterTest : public ::testing::Test {
protected:
    void Prepare(std::int32_t nWidth, std::int32_t nHeight)
    {
        auto canvas = ComputeCanvas(1, nWidth, nHeight, 0, 0, 0, 0);
        ASSERT_TRUE(canvas);
        m_canvas = canvas.Value();
        m_buffer = std::move(PixelBuffer::Allocate(m_canvas)).Value();
        std::mt19937 random(99);
        for (std::size_t i = 0; i < m_buffer.Size(); ++i)
            m_buffer.Data()[i] = static_cast<BYTE>(random());
    }

    std::string PathOf(const char* pszName) const { return m_dir.filePath(pszName).toStdString(); }

    QStringList Entries() const { return QDir(m_dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden); }

    QTemporaryDir m_dir;
    Canvas m_canvas;
    PixelBuffer m_buffer;
};

TEST_F(BmpWriterTest, FileIsBothHeadersThenThePixelsExactly)
{
    Prepare(720, 540);
    const std::string strPath = PathOf("still.bmp");
    ASSERT_TRUE(SaveBitmapFile(strPath, m_buffer, m_canvas));

    const Bytes file = ReadFile(strPath);
    ASSERT_EQ(file.size(), 1166454u);
    EXPECT_EQ(file[0], 'B');
    EXPECT_EQ(file[1], 'M');
    EXPECT_EQ(Le32(file, 2), 1166454u);
    EXPECT_EQ(Le32(file, 6), 0u);
    EXPECT_EQ(Le32(file, 10), 54u);
    EXPECT_EQ(Le32(file, 14), 40u);
    EXPECT_EQ(Le32(file, 18), 720u);
    EXPECT_EQ(Le32(file, 22), 540u);
    EXPECT_EQ(Le16(file, 26), 1u);
    EXPECT_EQ(Le16(file, 28), 24u);
    EXPECT_EQ(Le32(file, 30), 0u);
    EXPECT_EQ(Le32(file, 34), 1166400u);
    for (std::size_t i = 38; i < 54; ++i)
        EXPECT_EQ(file[i], 0) << i;
    EXPECT_EQ(std::memcmp(file.data() + 54, m_buffer.Data(), m_buffer.Size()), 0);
    EXPECT_EQ(Entries(), QStringList{"still.bmp"});
}

TEST_F(BmpWriterTest, AnotherReaderSeesTheSamePicture)
{
    Prepare(12, 8);
    const std::string strPath = PathOf("small.bmp");
    ASSERT_TRUE(SaveBitmapFile(strPath, m_buffer, m_canvas));
    const QImage image(QString::fromStdString(strPath));
    ASSERT_EQ(image.width(), 12);
    ASSERT_EQ(image.height(), 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 12; ++x) {
            const BYTE* p = m_buffer.Data() + ((7 - y) * 12 + x) * 3;
            ASSERT_EQ(image.pixel(x, y), qRgb(p[2], p[1], p[0])) << x << "," << y;
        }
}

TEST_F(BmpWriterTest, EmptyCanvasGivesTheHeadersAloneAndOldFilesAreReplaced)
{
    const std::string strPath = PathOf("out.bmp");
    WriteFile(strPath, Bytes(5000, 0xEE));
    Prepare(3, 100);
    ASSERT_TRUE(SaveBitmapFile(strPath, m_buffer, m_canvas));
    const Bytes file = ReadFile(strPath);
    ASSERT_EQ(file.size(), 54u);
    EXPECT_EQ(Le32(file, 2), 54u);
    EXPECT_EQ(Le32(file, 18), 0u);
    EXPECT_EQ(Le32(file, 22), 100u);
    EXPECT_EQ(Le32(file, 34), 0u);
}

TEST_F(BmpWriterTest, FailuresAreReportedAndLeaveNothingBehind)
{
    Prepare(16, 16);
    const auto missingFolder = SaveBitmapFile(PathOf("no/such/folder/out.bmp"), m_buffer, m_canvas);
    ASSERT_FALSE(missingFolder);
    EXPECT_EQ(missingFolder.Error().m_nCode, EngineErrorCode::WriteFailed);

    ASSERT_TRUE(QDir(m_dir.path()).mkdir("taken"));
    EXPECT_FALSE(SaveBitmapFile(PathOf("taken"), m_buffer, m_canvas));
    EXPECT_TRUE(QDir(m_dir.filePath("taken")).exists());

    EXPECT_FALSE(SaveBitmapFile("", m_buffer, m_canvas));
    PixelBuffer small = std::move(PixelBuffer::Allocate(10)).Value();
    EXPECT_FALSE(SaveBitmapFile(PathOf("short.bmp"), small, m_canvas));
    EXPECT_EQ(Entries(), QStringList{"taken"});
}

// Restores the file size limit and the signal it raises.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t nBytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        m_pPreviousHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_saved;
        limit.rlim_cur = nBytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_pPreviousHandler);
    }

private:
    rlimit m_saved{};
    void (*m_pPreviousHandler)(int) = nullptr;
};

TEST_F(BmpWriterTest, WriteThatRunsOutOfSpaceKeepsTheExistingFile)
{
    const std::string strPath = PathOf("keep.bmp");
    const Bytes old(4000, 0x42);
    WriteFile(strPath, old);
    Prepare(720, 540);
    {
        // The system refuses to let any file grow past 64 KB, as a full disk
        // would part way through the picture.
        const FileSizeLimit limit(64 * 1024);
        const auto result = SaveBitmapFile(strPath, m_buffer, m_canvas);
        ASSERT_FALSE(result);
        EXPECT_EQ(result.Error().m_nCode, EngineErrorCode::WriteFailed);
        EXPECT_EQ(result.Error().m_strMessage.find('\n'), std::string::npos);
    }
    EXPECT_EQ(ReadFile(strPath), old);
    EXPECT_EQ(Entries(), QStringList{"keep.bmp"});
}

} // namespace
