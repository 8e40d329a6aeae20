// Pictures as people have them, each made by a tool other than ours: every
// accepted format through plavex-cli against the tool's own decoding, the
// eight EXIF orientations, a Display P3 photo against another tool's sRGB
// conversion, and the still written in the format its name asks for.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

#include <gtest/gtest.h>

// Qt
#include <QColorSpace>
#include <QImage>
#include <QStandardPaths>
#include <QTemporaryDir>

// Local
#include "engine/PictureLoader.h"
#include "tests/support/TestKit.h"

namespace {

struct Difference {
    double m_dMean = 0;
    int m_nMax = 0;
};

// Channel by channel, over two pictures; the worst when their sizes differ.
Difference Compare(const QImage& a, const QImage& b)
{
    const QImage x = a.convertToFormat(QImage::Format_RGB888), y = b.convertToFormat(QImage::Format_RGB888);
    if (x.size() != y.size())
        return {1e9, 255};
    Difference d;
    for (int r = 0; r < x.height(); ++r)
        for (int i = 0; i < x.width() * 3; ++i) {
            const int n = std::abs(x.constScanLine(r)[i] - y.constScanLine(r)[i]);
            d.m_dMean += n / (x.width() * 3.0 * x.height());
            d.m_nMax = std::max(d.m_nMax, n);
        }
    return d;
}

class PictureFormats : public ::testing::Test {
protected:
    void SetUp() override
    {
        // A 64 × 48 pattern of ffmpeg's, and the same with a left-to-right alpha ramp.
        ASSERT_TRUE(m_dir.isValid() && Shell("ffmpeg -loglevel error -f lavfi -i testsrc2=size=64x48 -frames:v 1 src.png"));
        ASSERT_TRUE(Shell("convert src.png -alpha set -channel A -fx i/w +channel alpha.png"));
    }

    static bool Has(const std::string& strTool) { return !QStandardPaths::findExecutable(QString::fromStdString(strTool)).isEmpty(); }

    bool Shell(const std::string& strCommand) const
    {
        return std::system(("cd '" + Path("") + "' && (" + strCommand + ") >/dev/null 2>&1").c_str()) == 0;
    }

    std::string Path(const std::string& strName) const { return m_dir.filePath(QString::fromStdString(strName)).toStdString(); }
    QImage Image(const std::string& strName) const { return QImage(QString::fromStdString(Path(strName))); }

    // The picture as ImageMagick reads it, over white.
    QImage Reference(const std::string& strName) const
    {
        return Shell("convert '" + strName + "' -background white -alpha remove -alpha off ref.ppm") ? Image("ref.ppm") : QImage();
    }

    // The still plavex-cli makes of the two pictures, or of the first alone, as Qt reads it.
    QImage Still(const std::string& strFirst, std::string strSecond = "", const std::string& strOut = "out.bmp") const
    {
        strSecond = Path(strSecond.empty() ? strFirst : strSecond);
        const bool bMade = RunChild({PLAVEX_CLI_PATH, "still", Path(strFirst), strSecond, Path(strOut), "--quiet"}).m_nExitCode == 0;
        return bMade ? Image(strOut) : QImage();
    }

    QTemporaryDir m_dir;
};

// The command that makes the file from src.png or alpha.png (a row is skipped
// without its tool), the tool's own decoding into its last word (none when
// ImageMagick reads the file), and the mean difference allowed (0: exact).
struct RoundTrip {
    const char *m_pszName, *m_pszMake, *m_pszFile, *m_pszDecode;
    double m_dMaxMean;
};

constexpr std::array<RoundTrip, 14> kRoundTrips = {{
    {"png_rgb8", "ffmpeg -loglevel error -i src.png x.png", "x.png", nullptr, 0},
    {"png_rgb16", "convert src.png -define png:bit-depth=16 -define png:color-type=2 x.png", "x.png", nullptr, 0},
    {"png_palette", "convert src.png -colors 64 PNG8:x.png", "x.png", nullptr, 0},
    {"png_grey_alpha", "convert alpha.png -colorspace gray -define png:color-type=4 x.png", "x.png", nullptr, 0.5},
    {"webp_lossless", "cwebp -quiet -lossless src.png -o x.webp", "x.webp", "dwebp -quiet x.webp -ppm -o d.ppm", 0},
    {"webp_lossy", "cwebp -quiet -q 80 src.png -o x.webp", "x.webp", "dwebp -quiet x.webp -ppm -o d.ppm", 1},
    {"webp_alpha", "cwebp -quiet -lossless -exact alpha.png -o x.webp", "x.webp", "dwebp -quiet x.webp -pam -o d.pam", 0.5},
    {"tiff_rgb8", "convert src.png x.tif", "x.tif", nullptr, 0},
    {"tiff_rgb16", "convert src.png -depth 16 x.tif", "x.tif", nullptr, 0},
    {"tiff_cmyk", "convert src.png -colorspace CMYK x.tif", "x.tif", nullptr, 1},
    {"heic", "heif-enc -q 90 -o x.heic src.png", "x.heic", "heif-convert x.heic d.png", 1},
    {"heic_alpha", "heif-enc -q 90 -o x.heic alpha.png", "x.heic", "heif-convert x.heic d.png", 1},
    {"avif_lossless", "avifenc -l src.png x.avif", "x.avif", "avifdec x.avif d.png", 0},
    {"avif_lossy", "avifenc --min 10 --max 20 src.png x.avif", "x.avif", "avifdec x.avif d.png", 1},
}};

class PictureRoundTrip : public PictureFormats, public ::testing::WithParamInterface<RoundTrip> {};

TEST_P(PictureRoundTrip, StillOfThePictureAloneIsTheToolsOwnDecoding)
{
    const RoundTrip& c = GetParam();
    const std::string strMake = c.m_pszMake, strDecode = c.m_pszDecode ? c.m_pszDecode : "";
    if (!Has(strMake.substr(0, strMake.find(' '))))
        GTEST_SKIP() << strMake << ": not installed";
    ASSERT_TRUE(Shell(strMake)) << strMake;
    ASSERT_TRUE(strDecode.empty() || Shell(strDecode)) << strDecode;
    const QImage expected = Reference(strDecode.empty() ? c.m_pszFile : strDecode.substr(strDecode.rfind(' ') + 1));
    ASSERT_FALSE(expected.isNull());
    const QImage actual = Still(c.m_pszFile);
    ASSERT_EQ(actual.size(), QSize(64, 48));
    const Difference d = Compare(actual, expected);
    EXPECT_LE(c.m_dMaxMean == 0 ? d.m_nMax : d.m_dMean, c.m_dMaxMean) << "max " << d.m_nMax << ", mean " << d.m_dMean;
}

INSTANTIATE_TEST_SUITE_P(Formats, PictureRoundTrip, ::testing::ValuesIn(kRoundTrips),
                         [](const auto& info) { return std::string(info.param.m_pszName); });

TEST_F(PictureFormats, EveryOrientationIsTurnedUprightInEveryFormat)
{
    // What ImageMagick does to the stored picture to show each orientation.
    const char* const kTurn[10] = {nullptr, "", "-flop", "-rotate 180", "-flip", "-transpose", "-rotate 90",
                                   "-transverse", "-rotate 270", ""};
    // One exiftool run tags a copy of each picture with each value; 9 names no orientation.
    ASSERT_TRUE(Shell("convert src.png -crop 40x24+0+0 +repage s.png && cwebp -quiet -lossless s.png -o s.webp && "
                      "convert s.png s.tif && convert s.png -quality 95 s.jpg && "
                      "for n in 1 2 3 4 5 6 7 8 9; do for e in png webp tif jpg; do cp s.$e o$n.$e; printf -- "
                      "'-q\\n-overwrite_original\\n-n\\n-Orientation=%s\\no%s.%s\\n-execute\\n' $n $n $e; done; done "
                      "> tags.args && exiftool -@ tags.args"));
    for (int n = 1; n <= 9; ++n) {
        // The three lossless files hold the pixels of s.png; the JPEG its own.
        ASSERT_TRUE(Shell(std::string("convert s.png ") + kTurn[n] + " t.ppm && convert s.jpg " + kTurn[n] + " tj.ppm"));
        for (const char* pszExt : {"png", "webp", "tif", "jpg"}) {
            const std::string strName = QStringLiteral("o%1.%2").arg(n).arg(pszExt).toStdString(), strJpeg = pszExt;
            const auto loaded = LoadPictureFile(Path(strName));
            ASSERT_TRUE(loaded) << strName << ": " << loaded.Error().m_strMessage;
            // The JPEG decoders may round a level or two apart.
            EXPECT_LE(Compare(loaded.Value().Image(), Image(strJpeg == "jpg" ? "tj.ppm" : "t.ppm")).m_nMax, strJpeg == "jpg" ? 3 : 0)
                << strName << " " << loaded.Value().Width() << "x" << loaded.Value().Height();
        }
    }
    // HEIF's own rotation: a quarter turn anticlockwise.
    if (Has("avifenc")) {
        ASSERT_TRUE(Shell("avifenc -l --irot 1 s.png r.avif && convert s.png -rotate 270 t.ppm"));
        const auto rotated = LoadPictureFile(Path("r.avif"));
        ASSERT_TRUE(rotated) << rotated.Error().m_strMessage;
        EXPECT_EQ(Compare(rotated.Value().Image(), Image("t.ppm")).m_nMax, 0);
    }
}

TEST_F(PictureFormats, DisplayP3PictureMatchesAnotherToolsConversionToSrgb)
{
    // Both profiles as files for ImageMagick's colour management, and the
    // pattern's numbers taken as Display P3 colours.
    ASSERT_TRUE(WriteFile(Path("p3.icc"), QColorSpace(QColorSpace::DisplayP3).iccProfile().toStdString()));
    ASSERT_TRUE(WriteFile(Path("srgb.icc"), QColorSpace(QColorSpace::SRgb).iccProfile().toStdString()));
    ASSERT_TRUE(Shell("convert src.png -profile p3.icc p3.png"));
    // The picture made from p3.png, then the tool's own decoding of it into d.png.
    for (const auto& [pszFile, pszMake] : {std::pair("x.png", "cp p3.png x.png && cp x.png d.png"),
                                           std::pair("x.heic", "heif-enc -L -o x.heic p3.png && heif-convert x.heic d.png")}) {
        SCOPED_TRACE(pszMake);
        if (!Has(std::string(pszMake, std::strchr(pszMake, ' '))))
            continue;
        ASSERT_TRUE(Shell(std::string(pszMake) + " && convert d.png -profile p3.icc -profile srgb.icc e.png"));
        const QImage actual = Still(pszFile);
        // The conversion moves colours a long way; two colour engines agree on it to a level or two.
        EXPECT_GT(Compare(actual, Reference("d.png")).m_nMax, 20);
        const Difference d = Compare(actual, Reference("e.png"));
        EXPECT_TRUE(d.m_dMean <= 0.5 && d.m_nMax <= 2) << "max " << d.m_nMax << ", mean " << d.m_dMean;
    }
    // A profile whose tag table is broken is ignored: the picture loads as sRGB.
    QByteArray broken = QColorSpace(QColorSpace::DisplayP3).iccProfile();
    WriteFile(Path("broken.icc"), broken.replace(132, 68, QByteArray(68, '\xFF')).toStdString());
    ASSERT_TRUE(Shell("convert src.png -quality 95 plain.jpg && cp plain.jpg broken.jpg && "
                      "exiftool -q -overwrite_original '-icc_profile<=broken.icc' broken.jpg"));
    const QImage plain = Still("plain.jpg");
    ASSERT_FALSE(plain.isNull());
    EXPECT_EQ(Still("broken.jpg"), plain);
}

TEST_F(PictureFormats, StillIsWrittenInTheFormatItsNameAsks)
{
    // ImageMagick's name of what the file holds, and a JPEG's quality.
    const std::pair<const char*, const char*> kOutputs[] = {
        {"mix.png", "PNG"}, {"mix.jpg", "JPEG 95"}, {"mix.JPEG", "JPEG 95"}, {"mix.webp", "WEBP"},
        {"mix.tif", "TIFF"}, {"mix.tiff", "TIFF"}, {"mix.bmp", "BMP3"}, {"mix.data", "BMP3"}};
    const QImage reference = Still("src.png", "alpha.png", "ref.bmp");
    for (const auto& [pszName, pszMagic] : kOutputs) {
        SCOPED_TRACE(pszName);
        const bool bExact = std::string(pszMagic).find("JPEG") == std::string::npos;
        ASSERT_FALSE(Still("src.png", "alpha.png", pszName).isNull());
        ASSERT_TRUE(Shell(std::string("identify -format ") + (bExact ? "%m " : "'%m %Q' ") + pszName + " > kind.txt"));
        EXPECT_EQ(ReadFile(Path("kind.txt")), pszMagic);
        const Difference d = Compare(Reference(pszName), reference);
        EXPECT_LE(bExact ? d.m_nMax : d.m_dMean, bExact ? 0 : 8.0);  // JPEG: sharp coloured edges, chroma at half resolution.
    }
    // Only the finished files are there: every one went through a temporary name.
    const std::vector<std::string> names = ListFolder(Path(""));
    EXPECT_EQ(std::count_if(names.begin(), names.end(), [](const std::string& n) { return n.starts_with("mix"); }), 8);
    EXPECT_EQ(std::count_if(names.begin(), names.end(), [](const std::string& n) { return n.find(".mix") != std::string::npos; }), 0);
}

} // namespace
