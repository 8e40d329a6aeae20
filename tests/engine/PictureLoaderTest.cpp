#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

// Qt
#include <QBuffer>
#include <QColor>
#include <QImage>
#include <QTemporaryDir>

// Local
#include "engine/PictureLoader.h"
#include "tests/engine/TestPictureFiles.h"

namespace {

using namespace TestPictureFiles;

class PictureLoaderTest : public ::testing::Test {
protected:
    std::string PathOf(const std::string& strName) const { return m_dir.filePath(QString::fromStdString(strName)).toStdString(); }

    std::string Write(const std::string& strName, const Bytes& bytes) const
    {
        const std::string strPath = PathOf(strName);
        WriteFile(strPath, bytes);
        return strPath;
    }

    // Saves an image through one of Qt's writers and gives the file's path.
    std::string WriteWithQt(const std::string& strName, const QImage& image, const char* pszFormat,
                            int nQuality = -1) const
    {
        const std::string strPath = PathOf(strName);
        EXPECT_TRUE(image.save(QString::fromStdString(strPath), pszFormat, nQuality));
        return strPath;
    }

    static void ExpectRefused(const std::string& strPath, EngineErrorCode nCode)
    {
        const auto bitmap = LoadPictureFile(strPath);
        ASSERT_FALSE(bitmap) << strPath;
        EXPECT_EQ(bitmap.Error().m_nCode, nCode) << bitmap.Error().m_strMessage;
        EXPECT_EQ(bitmap.Error().m_strMessage.find('\n'), std::string::npos);
    }

    QTemporaryDir m_dir;
};

TEST_F(PictureLoaderTest, DecodesEveryCommonBmpLayout)
{
    struct Variant {
        const char* m_pszName;
        BmpOptions m_options;
    };
    const Variant variants[] = {
        {"1 bit", {BmpKind::Bits1, false}},   {"4 bits", {BmpKind::Bits4, false}},
        {"8 bits", {BmpKind::Bits8, false}},  {"16 bits", {BmpKind::Bits16, false}},
        {"24 bits", {BmpKind::Bits24, false}}, {"32 bits", {BmpKind::Bits32, false}},
        {"RLE4", {BmpKind::Rle4, false}},     {"RLE8", {BmpKind::Rle8, false}},
        {"top-down 24 bits", {BmpKind::Bits24, true}}, {"top-down 8 bits", {BmpKind::Bits8, true}},
    };
    constexpr int kWidth = 13;
    constexpr int kHeight = 5;
    for (const Variant& variant : variants) {
        SCOPED_TRACE(variant.m_pszName);
        const auto bitmap = LoadPictureFile(Write("picture.bmp", MakeBmp(kWidth, kHeight, variant.m_options)));
        ASSERT_TRUE(bitmap) << bitmap.Error().m_strMessage;
        ASSERT_EQ(bitmap.Value().Width(), kWidth);
        ASSERT_EQ(bitmap.Value().Height(), kHeight);
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                ASSERT_EQ(QColor(bitmap.Value().Image().pixel(x, y)),
                          BmpExpectedColor(variant.m_options.m_nKind, x, y))
                    << x << "," << y;
    }
}

TEST_F(PictureLoaderTest, DecodesJpegAndGifAndJudgesByContentNotName)
{
    QImage flat(17, 9, QImage::Format_RGB32);
    flat.fill(QColor(200, 100, 50));
    const auto jpeg = LoadPictureFile(WriteWithQt("photo.bmp", flat, "JPEG", 100));
    ASSERT_TRUE(jpeg) << jpeg.Error().m_strMessage;
    ASSERT_EQ(jpeg.Value().Width(), 17);
    const QColor sample(jpeg.Value().Image().pixel(8, 4));
    EXPECT_NEAR(sample.red(), 200, 3);
    EXPECT_NEAR(sample.green(), 100, 3);
    EXPECT_NEAR(sample.blue(), 50, 3);

    const std::vector<QColor> palette{Qt::red, Qt::green, Qt::blue, Qt::black};
    const auto gif = LoadPictureFile(Write("drawing.jpg", MakeGif(3, 2, palette, {{3, 2, {0, 1, 2, 3, 2, 1}, -1}})));
    ASSERT_TRUE(gif) << gif.Error().m_strMessage;
    EXPECT_EQ(QColor(gif.Value().Image().pixel(0, 0)), QColor(Qt::red));
    EXPECT_EQ(QColor(gif.Value().Image().pixel(2, 0)), QColor(Qt::blue));
    EXPECT_EQ(QColor(gif.Value().Image().pixel(0, 1)), QColor(Qt::black));

    const auto bmp = LoadPictureFile(Write("picture.gif", MakeBmp(4, 4, {})));
    EXPECT_TRUE(bmp);
}

TEST_F(PictureLoaderTest, GifGivesItsFirstImageWithTransparencyOverWhite)
{
    const std::vector<QColor> palette{Qt::red, Qt::green, Qt::blue, Qt::black};
    const GifFrame first{2, 1, {0, 3}, 3};
    const GifFrame second{2, 1, {2, 2}, -1};
    const auto gif = LoadPictureFile(Write("anim.gif", MakeGif(2, 1, palette, {first, second})));
    ASSERT_TRUE(gif) << gif.Error().m_strMessage;
    EXPECT_EQ(QColor(gif.Value().Image().pixel(0, 0)), QColor(Qt::red));
    EXPECT_EQ(QColor(gif.Value().Image().pixel(1, 0)), QColor(Qt::white));
    EXPECT_EQ(gif.Value().Image().format(), QImage::Format_RGB32);
}

TEST_F(PictureLoaderTest, RefusesIconsCursorsMetafilesAndOtherFormats)
{
    QImage icon(16, 16, QImage::Format_ARGB32);
    icon.fill(Qt::red);
    const std::string strIcon = WriteWithQt("icon.ico", icon, "ICO");
    ExpectRefused(strIcon, EngineErrorCode::PictureUnsupported);

    // A cursor is an icon file with resource type 2.
    Bytes cursor = ReadFile(strIcon);
    ASSERT_GT(cursor.size(), 4u);
    cursor[2] = 2;
    ExpectRefused(Write("pointer.cur", cursor), EngineErrorCode::PictureUnsupported);

    ExpectRefused(Write("drawing.wmf", {0xD7, 0xCD, 0xC6, 0x9A, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}),
                  EngineErrorCode::PictureUnsupported);
    Bytes emf(88, 0);
    emf[0] = 1;
    emf[40] = ' ';
    emf[41] = 'E';
    emf[42] = 'M';
    emf[43] = 'F';
    ExpectRefused(Write("drawing.emf", emf), EngineErrorCode::PictureUnsupported);
    ExpectRefused(WriteWithQt("picture.png", icon, "PNG"), EngineErrorCode::PictureUnsupported);
    ExpectRefused(Write("noise.bmp", {'n', 'o', 't', ' ', 'a', ' ', 'p', 'i', 'c', 't', 'u', 'r', 'e'}),
                  EngineErrorCode::PictureUnsupported);
}

TEST_F(PictureLoaderTest, RefusesEmptyMissingTruncatedAndUnreadableFiles)
{
    ExpectRefused(Write("empty.bmp", {}), EngineErrorCode::PictureUnsupported);
    ExpectRefused(PathOf("missing.bmp"), EngineErrorCode::PictureUnreadable);
    ExpectRefused(m_dir.path().toStdString(), EngineErrorCode::PictureUnreadable);

    QImage flat(64, 64, QImage::Format_RGB32);
    flat.fill(Qt::darkCyan);
    Bytes jpeg = ReadFile(WriteWithQt("whole.jpg", flat, "JPEG"));
    jpeg.resize(20);
    ExpectRefused(Write("cut.jpg", jpeg), EngineErrorCode::PictureUnsupported);

    Bytes bmp = MakeBmp(8, 8, {});
    bmp.resize(30);
    ExpectRefused(Write("cut.bmp", bmp), EngineErrorCode::PictureUnsupported);

    Bytes gif = MakeGif(2, 1, {Qt::red}, {{2, 1, {0, 0}, -1}});
    gif.resize(13);
    ExpectRefused(Write("cut.gif", gif), EngineErrorCode::PictureUnsupported);
}

TEST_F(PictureLoaderTest, RefusesHugeClaimedSizesWithoutDecoding)
{
    static_assert(kMaxPicturePixels >= 100'000'000, "a 100-megapixel photo must load");

    // A few dozen bytes that claim 60000 × 60000 pixels: decoding would need
    // over 13 GB, so the header alone must turn it away.
    ExpectRefused(Write("huge.gif", MakeGif(60000, 60000, {Qt::red}, {{1, 1, {0}, -1}})),
                  EngineErrorCode::PictureTooLarge);

    Bytes bmp = MakeBmp(4, 4, {});
    bmp[18] = 0x50; // Width 50000.
    bmp[19] = 0xC3;
    bmp[22] = 0x50; // Height 50000.
    bmp[23] = 0xC3;
    ExpectRefused(Write("huge.bmp", bmp), EngineErrorCode::PictureTooLarge);
}

} // namespace
