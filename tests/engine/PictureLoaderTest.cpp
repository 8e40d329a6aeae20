// The picture loader: a wrong pixel from a BMP (GIF, JPEG and the other
// formats are compared with other decoders through plavex-cli, a GIF named as
// a JPEG among them), and a broken, foreign, cut or oversized file that loads
// or crashes instead of being refused for what it is.

#include <cstdint>
#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

// Qt
#include <QImage>
#include <QTemporaryDir>

// Local
#include "engine/PictureLoader.h"
#include "tests/support/TestKit.h"

namespace {

std::string Seed(const std::string& strName) { return PLAVEX_CORPUS_DIR "/load_picture/" + strName; }

class PictureLoaderTest : public ::testing::Test {
protected:
    std::string PathOf(const std::string& strName) const { return m_dir.path().toStdString() + "/" + strName; }

    std::string Write(const std::string& strName, const std::string& bytes) const
    {
        WriteFile(PathOf(strName), bytes);
        return PathOf(strName);
    }

    // Runs a shell command in the test's folder.
    bool Shell(const std::string& strCommand) const
    {
        return std::system(("cd '" + m_dir.path().toStdString() + "' && " + strCommand).c_str()) == 0;
    }

    QTemporaryDir m_dir;
};

TEST_F(PictureLoaderTest, DecodesBmpOfEveryDepthRunLengthAndTopDownAsAnotherDecoderDoes)
{
    // ffmpeg writes each depth; the seed maker builds the 4-bit, run-length and
    // top-down files by hand. ffmpeg's own decoding of each file is the reference.
    for (const std::string strName : {"monob", "pal8", "rgb555le", "bgr24", "bgra", "bmp_4bit.bmp", "bmp_rle8.bmp",
                                      "bmp_rle4.bmp", "bmp_top_down.bmp"}) {
        const bool bSeed = strName.ends_with(".bmp");
        const std::string strFile = bSeed ? Seed(strName) : PathOf("p.bmp");
        const std::string strMake = "ffmpeg -loglevel error -y -f lavfi -i testsrc=size=13x5 -frames:v 1 -pix_fmt " +
                                    strName + " p.bmp && ";
        ASSERT_TRUE(Shell((bSeed ? "" : strMake) + "ffmpeg -loglevel fatal -y -i '" + strFile + "' -f rawvideo -pix_fmt rgb24 p.rgb"));
        const auto bitmap = LoadPictureFile(strFile);
        ASSERT_TRUE(bitmap) << strName << ": " << bitmap.Error().m_strMessage;
        const std::string expected = ReadFile(PathOf("p.rgb"));
        const QImage actual = bitmap.Value().Image().convertToFormat(QImage::Format_RGB888);
        const std::size_t nRow = static_cast<std::size_t>(actual.width()) * 3;
        ASSERT_EQ(expected.size(), nRow * static_cast<std::size_t>(actual.height())) << strName;
        // Decoders widen 5-bit channels to 8 bits in slightly different ways.
        for (std::size_t i = 0; i < expected.size(); ++i)
            ASSERT_NEAR(actual.constScanLine(static_cast<int>(i / nRow))[i % nRow],
                        static_cast<unsigned char>(expected[i]), strName == "rgb555le" ? 7 : 0) << strName << " " << i;
    }
}

// Each refusal with the reason the wizard turns into its sentence: foreign
// formats, broken files, a header of each format claiming more pixels than
// the limit (told from the header, so no decoder allocates them first) and
// a JPEG cut short, which Qt's reader pads out with grey.
struct Refusal {
    std::string m_strName;
    std::string m_strBytes; // the file; "seed:NAME" is a seed of the picture fuzz corpus
    EngineErrorCode m_nCode;
};

class PictureRefusalTest : public PictureLoaderTest, public testing::WithParamInterface<Refusal> {};

TEST_P(PictureRefusalTest, GivesItsReasonWhenMeasuredOrLoaded)
{
    const Refusal& r = GetParam();
    const bool bSeed = r.m_strBytes.starts_with("seed:");
    const std::string strBytes = bSeed ? ReadFile(Seed(r.m_strBytes.substr(5))) : r.m_strBytes;
    ASSERT_TRUE(!bSeed || !strBytes.empty()) << r.m_strBytes;
    const std::string strPath = r.m_strBytes == "folder" ? m_dir.path().toStdString() : Write("picture", strBytes);
    const auto loaded = LoadPictureFile(strPath);
    ASSERT_FALSE(loaded);
    // A slideshow measures every picture before any work: the same reason,
    // unless the damage only shows in the pixels.
    const auto measured = MeasurePictureFile(strPath);
    EXPECT_EQ(std::pair(loaded.Error().m_nCode, measured ? EngineErrorCode::PictureDamaged : measured.Error().m_nCode),
              std::pair(r.m_nCode, r.m_nCode)) << loaded.Error().m_strMessage;
}

const Refusal kRefusals[] = {
    {"Icon", "seed:ico.ico", EngineErrorCode::PictureUnsupported},
    {"Empty", "", EngineErrorCode::PictureUnsupported},
    {"RiffNotWebP", "seed:riff_wave.wav", EngineErrorCode::PictureUnsupported},
    {"BmpCutInItsHeader", "seed:bmp_cut_30.bin", EngineErrorCode::PictureDamaged},
    {"JpegCutInItsHeader", {"\xFF\xD8\xFF\xE0\0\x10", 6}, EngineErrorCode::PictureDamaged},
    {"JpegCutInItsScan", "seed:jpeg_cut_half.bin", EngineErrorCode::PictureDamaged},
    {"JpegCutBeforeItsEndMarker", "seed:jpeg_no_eoi.jpg", EngineErrorCode::PictureDamaged},
    {"Folder", "folder", EngineErrorCode::PictureUnreadable},
    {"BmpTooLarge", "seed:bmp_huge.bmp", EngineErrorCode::PictureTooLarge},
    {"GifTooLarge", "seed:gif_huge.gif", EngineErrorCode::PictureTooLarge},
    {"JpegTooLarge", "seed:jpeg_huge.jpg", EngineErrorCode::PictureTooLarge},
    {"PngTooLarge", "seed:png_huge.png", EngineErrorCode::PictureTooLarge},
    {"WebPTooLarge", "seed:webp_huge.webp", EngineErrorCode::PictureTooLarge},
    {"TiffTooLarge", "seed:tiff_huge.tif", EngineErrorCode::PictureTooLarge},
    {"HeicTooLarge", "seed:heic_huge.heic", EngineErrorCode::PictureTooLarge},
    {"AvifTooLarge", "seed:avif_huge.avif", EngineErrorCode::PictureTooLarge},
};
INSTANTIATE_TEST_SUITE_P(Files, PictureRefusalTest, testing::ValuesIn(kRefusals),
                         [](const auto& info) { return info.param.m_strName; });

TEST_F(PictureLoaderTest, PicturesCutShortAtAnyLengthLoadWholeOrNotAtAll)
{
    for (const char* pszSeed : {"gif.gif", "jpeg_yuvj420p.jpg", "bmp_bgr24.bmp", "png.png", "webp_lossless_rotated.webp",
                                "tiff_rgb.tif", "heic_small.heic", "avif_small.avif"}) {
        const std::string bytes = ReadFile(Seed(pszSeed));
        const auto whole = LoadPictureFile(Write(pszSeed, bytes));
        ASSERT_TRUE(whole) << pszSeed << ": " << whole.Error().m_strMessage;
        for (std::size_t nLength = 0; nLength < bytes.size(); ++nLength) {
            const std::string strPath = Write(pszSeed, bytes.substr(0, nLength));
            const auto loaded = LoadPictureFile(strPath);
            if (loaded) {
                // What decodes keeps the size its header gives.
                EXPECT_EQ(loaded.Value().Image().size(), whole.Value().Image().size()) << pszSeed << " cut to " << nLength;
            } else {
                const EngineErrorCode nCode = loaded.Error().m_nCode;
                EXPECT_TRUE(nCode == EngineErrorCode::PictureUnsupported || nCode == EngineErrorCode::PictureDamaged ||
                            nCode == EngineErrorCode::PictureUnreadable);
                EXPECT_NE(loaded.Error().m_strMessage.find(strPath), std::string::npos);
            }
        }
    }
}

} // namespace
