// Pictures as people have them, each made by a tool other than ours: every
// accepted format through plavex-cli against the tool's own decoding, the
// eight EXIF orientations, a Display P3 photo against another tool's sRGB
// conversion, and the still written in the format its name asks for.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
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

// Channel by channel, over two pictures of one size.
Difference Compare(const QImage& a, const QImage& b)
{
    const QImage x = a.convertToFormat(QImage::Format_RGB888);
    const QImage y = b.convertToFormat(QImage::Format_RGB888);
    Difference d;
    if (x.size() != y.size())
        return {1e9, 255};
    double dSum = 0;
    for (int r = 0; r < x.height(); ++r)
        for (int i = 0; i < x.width() * 3; ++i) {
            const int n = std::abs(x.constScanLine(r)[i] - y.constScanLine(r)[i]);
            dSum += n;
            d.m_nMax = std::max(d.m_nMax, n);
        }
    d.m_dMean = dSum / (x.width() * 3.0 * x.height());
    return d;
}

class PictureFormats : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        // A 64 × 48 pattern of ffmpeg's, and the same with a left-to-right alpha ramp.
        ASSERT_TRUE(Shell("ffmpeg -loglevel error -f lavfi -i testsrc2=size=64x48 -frames:v 1 src.png"));
        ASSERT_TRUE(Shell("convert src.png -alpha set -channel A -fx i/w +channel alpha.png"));
    }

    static bool Has(const char* pszTool) { return !QStandardPaths::findExecutable(pszTool).isEmpty(); }

    bool Shell(const std::string& strCommand) const
    {
        const std::string strRun = "cd '" + m_dir.path().toStdString() + "' && (" + strCommand + ") >/dev/null 2>&1";
        return std::system(strRun.c_str()) == 0;
    }

    static int Cli(std::vector<std::string> args)
    {
        args.insert(args.begin(), PLAVEX_CLI_PATH);
        return RunChild(args).m_nExitCode;
    }

    std::string Path(const std::string& strName) const { return m_dir.filePath(QString::fromStdString(strName)).toStdString(); }

    // The picture as ImageMagick reads it, over white.
    QImage Reference(const std::string& strName) const
    {
        if (!Shell("convert '" + strName + "' -background white -alpha remove -alpha off ref.ppm"))
            return {};
        return QImage(QString::fromStdString(Path("ref.ppm")));
    }

    // The still plavex-cli makes of the picture alone.
    QImage Still(const std::string& strName) const
    {
        const std::string strIn = Path(strName);
        if (Cli({"still", strIn, strIn, Path("out.bmp"),
                         "--ratio", "0", "--quiet"}) != 0)
            return {};
        return QImage(m_dir.filePath("out.bmp"));
    }

    QTemporaryDir m_dir;
};

struct RoundTrip {
    const char* m_pszName;
    const char* m_pszTool;    // Needed to make the picture; the row is skipped without it.
    const char* m_pszMake;    // Makes x.<ext> from src.png or alpha.png.
    const char* m_pszFile;
    const char* m_pszDecode;  // The tool's own decoding, or null when ImageMagick reads the file itself.
    const char* m_pszDecoded; // What that decoding writes.
    double m_dMaxMean;        // 0: exact.
};

constexpr std::array<RoundTrip, 14> kRoundTrips = {{
    {"png_rgb8", "ffmpeg", "ffmpeg -loglevel error -i src.png x.png", "x.png", nullptr, nullptr, 0},
    {"png_rgb16", "convert", "convert src.png -define png:bit-depth=16 -define png:color-type=2 x.png", "x.png", nullptr, nullptr, 0},
    {"png_palette", "convert", "convert src.png -colors 64 PNG8:x.png", "x.png", nullptr, nullptr, 0},
    {"png_grey_alpha", "convert", "convert alpha.png -colorspace gray -define png:color-type=4 x.png", "x.png", nullptr, nullptr, 0.5},
    {"webp_lossless", "cwebp", "cwebp -quiet -lossless src.png -o x.webp", "x.webp", "dwebp -quiet x.webp -ppm -o d.ppm", "d.ppm", 0},
    {"webp_lossy", "cwebp", "cwebp -quiet -q 80 src.png -o x.webp", "x.webp", "dwebp -quiet x.webp -ppm -o d.ppm", "d.ppm", 1},
    {"webp_alpha", "cwebp", "cwebp -quiet -lossless -exact alpha.png -o x.webp", "x.webp", "dwebp -quiet x.webp -pam -o d.pam", "d.pam", 0.5},
    {"tiff_rgb8", "convert", "convert src.png x.tif", "x.tif", nullptr, nullptr, 0},
    {"tiff_rgb16", "convert", "convert src.png -depth 16 x.tif", "x.tif", nullptr, nullptr, 0},
    {"tiff_cmyk", "convert", "convert src.png -colorspace CMYK x.tif", "x.tif", nullptr, nullptr, 1},
    {"heic", "heif-enc", "heif-enc -q 90 -o x.heic src.png", "x.heic", "heif-convert x.heic d.png", "d.png", 1},
    {"heic_alpha", "heif-enc", "heif-enc -q 90 -o x.heic alpha.png", "x.heic", "heif-convert x.heic d.png", "d.png", 1},
    {"avif_lossless", "avifenc", "avifenc -l src.png x.avif", "x.avif", "avifdec x.avif d.png", "d.png", 0},
    {"avif_lossy", "avifenc", "avifenc --min 10 --max 20 src.png x.avif", "x.avif", "avifdec x.avif d.png", "d.png", 1},
}};

class PictureRoundTrip : public PictureFormats, public ::testing::WithParamInterface<RoundTrip> {};

TEST_P(PictureRoundTrip, StillOfThePictureAloneIsTheToolsOwnDecoding)
{
    const RoundTrip& c = GetParam();
    if (!Has(c.m_pszTool))
        GTEST_SKIP() << c.m_pszTool << " is not installed";
    ASSERT_TRUE(Shell(c.m_pszMake)) << c.m_pszMake;
    if (c.m_pszDecode) {
        ASSERT_TRUE(Shell(c.m_pszDecode)) << c.m_pszDecode;
    }
    const QImage expected = Reference(c.m_pszDecode ? c.m_pszDecoded : c.m_pszFile);
    ASSERT_FALSE(expected.isNull());
    const QImage actual = Still(c.m_pszFile);
    ASSERT_EQ(actual.size(), QSize(64, 48));
    const Difference d = Compare(actual, expected);
    if (c.m_dMaxMean == 0)
        EXPECT_EQ(d.m_nMax, 0) << "mean " << d.m_dMean;
    else
        EXPECT_LE(d.m_dMean, c.m_dMaxMean) << "max " << d.m_nMax;
}

INSTANTIATE_TEST_SUITE_P(Formats, PictureRoundTrip, ::testing::ValuesIn(kRoundTrips),
                         [](const auto& info) { return std::string(info.param.m_pszName); });

TEST_F(PictureFormats, EveryOrientationIsTurnedUprightInEveryFormat)
{
    // What ImageMagick does to the stored picture to show each orientation.
    const char* const kTurn[9] = {nullptr, "", "-flop", "-rotate 180", "-flip", "-transpose", "-rotate 90",
                                  "-transverse", "-rotate 270"};
    ASSERT_TRUE(Shell("convert src.png -crop 40x24+0+0 +repage s.png && cwebp -quiet -lossless s.png -o s.webp && "
                      "convert s.png s.tif && convert s.png -quality 95 s.jpg"));
    // One exiftool run tags a copy of each picture with each value.
    QByteArray args;
    for (const char* pszExt : {"png", "webp", "tif", "jpg"})
        for (int n = 1; n <= 8; ++n)
            args += QStringLiteral("-q\n-overwrite_original\n-Orientation#=%1\no%1.%2\n-execute\n")
                        .arg(n)
                        .arg(pszExt)
                        .toUtf8();
    WriteFile(Path("tags.args"), args.toStdString());
    ASSERT_TRUE(Shell("for n in 1 2 3 4 5 6 7 8; do for e in png webp tif jpg; do cp s.$e o$n.$e; done; done && "
                      "exiftool -@ tags.args"));
    for (int n = 1; n <= 8; ++n) {
        // The three lossless files hold the pixels of s.png; the JPEG its own.
        ASSERT_TRUE(Shell(std::string("convert s.png ") + kTurn[n] + " turned.ppm && convert s.jpg " + kTurn[n] +
                          " turned-jpg.ppm"));
        for (const char* pszExt : {"png", "webp", "tif", "jpg"}) {
            const std::string strName = QStringLiteral("o%1.%2").arg(n).arg(pszExt).toStdString();
            SCOPED_TRACE(strName);
            const bool bJpeg = std::string(pszExt) == "jpg";
            const auto loaded = LoadPictureFile(Path(strName));
            ASSERT_TRUE(loaded) << loaded.Error().m_strMessage;
            // The JPEG decoders may round a level or two apart.
            const QImage turned(m_dir.filePath(bJpeg ? "turned-jpg.ppm" : "turned.ppm"));
            EXPECT_LE(Compare(loaded.Value().Image(), turned).m_nMax, bJpeg ? 3 : 0)
                << loaded.Value().Width() << "x" << loaded.Value().Height();
        }
    }
    // A tag that names no orientation leaves the picture as stored.
    ASSERT_TRUE(Shell("cp s.png bad.png && exiftool -q -overwrite_original -n -Orientation=9 bad.png"));
    const auto loaded = LoadPictureFile(Path("bad.png"));
    ASSERT_TRUE(loaded);
    EXPECT_EQ(Compare(loaded.Value().Image(), Reference("s.png")).m_nMax, 0);

    // HEIF's own rotation: a quarter turn anticlockwise.
    if (Has("avifenc")) {
        ASSERT_TRUE(Shell("avifenc -l --irot 1 s.png r.avif && convert s.png -rotate 270 turned.ppm"));
        const auto rotated = LoadPictureFile(Path("r.avif"));
        ASSERT_TRUE(rotated) << rotated.Error().m_strMessage;
        EXPECT_EQ(Compare(rotated.Value().Image(), QImage(m_dir.filePath("turned.ppm"))).m_nMax, 0);
    }
}

TEST_F(PictureFormats, DisplayP3PictureMatchesAnotherToolsConversionToSrgb)
{
    // Both profiles as files, for ImageMagick's colour management to use.
    ASSERT_TRUE(WriteFile(Path("p3.icc"), QColorSpace(QColorSpace::DisplayP3).iccProfile().toStdString()));
    ASSERT_TRUE(WriteFile(Path("srgb.icc"), QColorSpace(QColorSpace::SRgb).iccProfile().toStdString()));
    // The pattern's numbers taken as Display P3 colours.
    ASSERT_TRUE(Shell("convert src.png -profile p3.icc p3.png"));
    const struct {
        const char* m_pszTool;
        const char* m_pszMake;    // Makes x.* from p3.png.
        const char* m_pszFile;
        const char* m_pszDecode;  // The tool's own decoding into d.png.
    } kPictures[] = {{"cp", "cp p3.png x.png", "x.png", "cp x.png d.png"},
                     {"heif-enc", "heif-enc -L -o x.heic p3.png", "x.heic", "heif-convert x.heic d.png"}};
    for (const auto& picture : kPictures) {
        SCOPED_TRACE(picture.m_pszMake);
        if (!Has(picture.m_pszTool))
            continue;
        ASSERT_TRUE(Shell(picture.m_pszMake));
        ASSERT_TRUE(Shell(std::string(picture.m_pszDecode) + " && convert d.png -profile p3.icc -profile srgb.icc e.png"));
        const QImage actual = Still(picture.m_pszFile);
        ASSERT_FALSE(actual.isNull());
        // The conversion moves colours a long way; two colour engines agree
        // on it to a level or two.
        EXPECT_GT(Compare(actual, Reference("d.png")).m_nMax, 20);
        const Difference d = Compare(actual, Reference("e.png"));
        EXPECT_LE(d.m_dMean, 0.5);
        EXPECT_LE(d.m_nMax, 2);
    }

    // A profile whose tag table is broken is ignored: the picture loads as sRGB.
    QByteArray broken = QColorSpace(QColorSpace::DisplayP3).iccProfile();
    broken.replace(132, 68, QByteArray(68, '\xFF'));
    WriteFile(Path("broken.icc"), broken.toStdString());
    ASSERT_TRUE(Shell("convert src.png -quality 95 plain.jpg && cp plain.jpg broken.jpg && "
                      "exiftool -q -overwrite_original '-icc_profile<=broken.icc' broken.jpg"));
    EXPECT_EQ(Still("broken.jpg"), Still("plain.jpg"));
}

TEST_F(PictureFormats, StillIsWrittenInTheFormatItsNameAsks)
{
    const struct {
        const char* m_pszName;
        const char* m_pszMagic;  // ImageMagick's name of what the file holds, and a JPEG's quality.
        bool m_bExact;
    } kOutputs[] = {
        {"mix.png", "PNG", true}, {"mix.jpg", "JPEG 95", false}, {"mix.JPEG", "JPEG 95", false},
        {"mix.webp", "WEBP", true}, {"mix.tif", "TIFF", true}, {"mix.tiff", "TIFF", true},
        {"mix.bmp", "BMP3", true}, {"mix.data", "BMP3", true},
    };
    ASSERT_EQ(Cli({"still", Path("src.png"), Path("alpha.png"), Path("ref.bmp"), "--quiet"}), 0);
    const QImage reference(m_dir.filePath("ref.bmp"));
    for (const auto& output : kOutputs) {
        SCOPED_TRACE(output.m_pszName);
        ASSERT_EQ(Cli({"still", Path("src.png"), Path("alpha.png"), Path(output.m_pszName), "--quiet"}),
                  0);
        const std::string strFormat = output.m_bExact ? "%m" : "'%m %Q'";
        ASSERT_TRUE(Shell("identify -format " + strFormat + " " + output.m_pszName + " > kind.txt"));
        EXPECT_EQ(ReadFile(Path("kind.txt")), output.m_pszMagic);
        const Difference d = Compare(Reference(output.m_pszName), reference);
        if (output.m_bExact)
            EXPECT_EQ(d.m_nMax, 0);
        else
            EXPECT_LE(d.m_dMean, 8.0);  // Sharp coloured edges, chroma at half resolution.
    }
    // Only the finished files are there: every one went through a temporary name.
    const std::vector<std::string> names = ListFolder(m_dir.path().toStdString());
    EXPECT_EQ(std::count_if(names.begin(), names.end(), [](const std::string& n) { return n.starts_with("mix"); }), 8);
    EXPECT_EQ(std::count_if(names.begin(), names.end(), [](const std::string& n) { return n.find(".mix") != std::string::npos; }), 0);
}

} // namespace
