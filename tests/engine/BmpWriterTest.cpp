// The still's writer: a header byte or pixel row out of place, and a failed
// write reported as success or leaving a cut file in place of the older one.

#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

// Qt
#include <QImage>
#include <QTemporaryDir>

// Local
#include "engine/BmpWriter.h"
#include "tests/support/TestKit.h"

namespace {

TEST(BmpWriterTest, FileHoldsBothHeadersThenThePixelsAndAFailedWriteKeepsTheOlderFile)
{
    QTemporaryDir dir;
    const std::string strPath = dir.filePath("still.bmp").toStdString();
    const std::string strKept = dir.filePath("keep.bmp").toStdString();
    WriteFile(strPath, std::string(2000000, 'x')); // An older, longer file is replaced.
    WriteFile(strKept, "old");
    const Canvas canvas = ComputeCanvas(0, 0, 0, 640, 480, 800, 600).Value();
    PixelBuffer buffer = std::move(PixelBuffer::Allocate(canvas)).Value();
    for (std::size_t i = 0; i < buffer.Size(); ++i)
        buffer.Data()[i] = static_cast<BYTE>(i * 7 + i / 3);
    ASSERT_TRUE(SaveBitmapFile(strPath, buffer, canvas));

    const std::string file = ReadFile(strPath);
    const unsigned char kHeaders[] = {'B', 'M', 0x76, 0xCC, 0x11, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0, 0xD0, 2,
                                      0, 0, 0x1C, 2, 0, 0, 1, 0, 24, 0, 0, 0, 0, 0, 0x40, 0xCC, 0x11, 0, 0, 0,
                                      0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    ASSERT_EQ(file.size(), 1166454u);
    EXPECT_EQ(file.substr(0, 54), std::string(reinterpret_cast<const char*>(kHeaders), sizeof(kHeaders)));
    EXPECT_EQ(std::memcmp(file.data() + 54, buffer.Data(), buffer.Size()), 0);
    const QImage image(QString::fromStdString(strPath));
    const QImage expected(buffer.Data(), 720, 540, 720 * 3, QImage::Format_BGR888);
    EXPECT_EQ(image.convertToFormat(QImage::Format_RGB32), expected.mirrored().convertToFormat(QImage::Format_RGB32));

    {
        const FileSizeLimit limit(64 * 1024);
        const auto result = SaveBitmapFile(strKept, buffer, canvas);
        ASSERT_FALSE(result);
        EXPECT_EQ(result.Error().m_nCode, EngineErrorCode::WriteFailed);
    }
    EXPECT_FALSE(SaveBitmapFile(dir.filePath("missing/out.bmp").toStdString(), buffer, canvas));
    EXPECT_EQ(ReadFile(strKept), "old");
    EXPECT_EQ(ListFolder(dir.path().toStdString()), (std::vector<std::string>{"keep.bmp", "still.bmp"}));
}

} // namespace
