#include "platform/gfx/GfxDecoder.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <string>

// Qt
#include <QBuffer>
#include <QByteArray>
#include <QColorSpace>
#include <QImage>
#include <QImageReader>

// Local
#include "platform/gfx/GfxDecoderMessages.h"
#include "platform/gfx/GfxHeifDecoder.h"
#include "platform/gfx/GfxMetadata.h"
#include "platform/gfx/GfxPngDecoder.h"

namespace {

const char* ReaderFormat(GfxPictureFormat nFormat) noexcept
{
    switch (nFormat) {
    case GfxPictureFormat::Gif:
        return "gif";
    case GfxPictureFormat::Jpeg:
        return "jpeg";
    case GfxPictureFormat::Bmp:
        return "bmp";
    case GfxPictureFormat::WebP:
        return "webp";
    case GfxPictureFormat::Tiff:
        return "tiff";
    case GfxPictureFormat::Png:
    case GfxPictureFormat::Heif:
    case GfxPictureFormat::Unknown:
        break;
    }
    return nullptr;
}

// Composes the picture over white and drops its transparency. With
// premultiplied pixels that is one addition per channel: c + (255 − alpha).
QImage ComposeOverWhite(const QImage& image)
{
    QImage premultiplied = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (premultiplied.isNull())
        return {};
    for (int y = 0; y < premultiplied.height(); ++y) {
        QRgb* pLine = reinterpret_cast<QRgb*>(premultiplied.scanLine(y));
        for (int x = 0; x < premultiplied.width(); ++x) {
            const QRgb pixel = pLine[x];
            const int nCover = 255 - qAlpha(pixel);
            pLine[x] = qRgb(qRed(pixel) + nCover, qGreen(pixel) + nCover, qBlue(pixel) + nCover);
        }
    }
    // Every alpha is now 255, so reinterpreting as RGB32 changes no pixel.
    premultiplied.reinterpretAsFormat(QImage::Format_RGB32);
    return premultiplied;
}

bool IsDeep(QImage::Format nFormat) noexcept
{
    return nFormat == QImage::Format_RGBX64 || nFormat == QImage::Format_RGBA64 ||
           nFormat == QImage::Format_RGBA64_Premultiplied || nFormat == QImage::Format_Grayscale16;
}

// Converts the picture to sRGB from its own colour profile. A picture with
// no profile, or one that Qt cannot use, is taken as sRGB already. The
// conversion runs on an RGB format of the picture's own depth, so 16-bit
// pictures keep their precision until the end.
QImage ToSRgb(QImage image)
{
    const QColorSpace space = image.colorSpace();
    if (!space.isValid() || space == QColorSpace(QColorSpace::SRgb))
        return image;
    const bool bDeep = IsDeep(image.format());
    const QImage::Format nWork = image.hasAlphaChannel() ? (bDeep ? QImage::Format_RGBA64 : QImage::Format_ARGB32)
                                                         : (bDeep ? QImage::Format_RGBX64 : QImage::Format_RGB32);
    if (image.format() != nWork)
        image = image.convertToFormat(nWork);
    if (!image.isNull())
        image.convertToColorSpace(QColorSpace::SRgb);
    return image;
}

std::int64_t Le16(const unsigned char* p) noexcept
{
    return p[0] | p[1] << 8;
}

std::int64_t Le32Signed(const unsigned char* p) noexcept
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
                                     static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24);
}

// The pixel count that the file's own header announces, where it can be read
// without a decoder. The GIF reader paints every frame onto a canvas of the
// logical screen size, whatever the size of the first image, so that is the
// size that counts.
std::int64_t HeaderPixels(GfxPictureFormat nFormat, const unsigned char* pData, std::size_t nSize) noexcept
{
    if (nFormat == GfxPictureFormat::Gif && nSize >= 10)
        return Le16(pData + 6) * Le16(pData + 8);
    if (nFormat == GfxPictureFormat::Bmp && nSize >= 26) {
        if (Le32Signed(pData + 14) == 12)
            return Le16(pData + 18) * Le16(pData + 20);
        const std::int64_t nWidth = Le32Signed(pData + 18);
        const std::int64_t nHeight = Le32Signed(pData + 22);
        return (nWidth < 0 ? -nWidth : nWidth) * (nHeight < 0 ? -nHeight : nHeight);
    }
    return 0;
}

bool ExceedsLimit(const QSize& size, std::int64_t nMaxPixels) noexcept
{
    return std::int64_t{size.width()} * size.height() > nMaxPixels;
}

} // namespace

GfxPictureFormat SniffPictureFormat(const unsigned char* pData, std::size_t nSize) noexcept
{
    if (nSize >= 6 && (std::memcmp(pData, "GIF87a", 6) == 0 || std::memcmp(pData, "GIF89a", 6) == 0))
        return GfxPictureFormat::Gif;
    if (nSize >= 3 && pData[0] == 0xFF && pData[1] == 0xD8 && pData[2] == 0xFF)
        return GfxPictureFormat::Jpeg;
    if (nSize >= 2 && pData[0] == 'B' && pData[1] == 'M')
        return GfxPictureFormat::Bmp;
    if (nSize >= 8 && std::memcmp(pData, "\x89PNG\r\n\x1a\n", 8) == 0)
        return GfxPictureFormat::Png;
    if (nSize >= 12 && std::memcmp(pData, "RIFF", 4) == 0 && std::memcmp(pData + 8, "WEBP", 4) == 0)
        return GfxPictureFormat::WebP;
    if (nSize >= 4 && (std::memcmp(pData, "II*\0", 4) == 0 || std::memcmp(pData, "MM\0*", 4) == 0))
        return GfxPictureFormat::Tiff;
    if (GfxHeifDecoder::Sniff(pData, nSize))
        return GfxPictureFormat::Heif;
    return GfxPictureFormat::Unknown;
}

namespace {

EngineError TooLarge(const QSize& size)
{
    return {EngineErrorCode::PictureTooLarge, std::to_string(size.width()) + " x " + std::to_string(size.height()) + " pixels"};
}

// Qt's reader for the format over the caller's bytes, which it reads in
// place; nothing is copied. JPEG and TIFF orientation is applied by the
// reader itself.
class BytesReader {
public:
    BytesReader(GfxPictureFormat nFormat, const unsigned char* pData, std::size_t nSize)
        : m_bytes(QByteArray::fromRawData(reinterpret_cast<const char*>(pData), static_cast<qsizetype>(nSize))),
          m_device(&m_bytes)
    {
        m_device.open(QIODevice::ReadOnly);
        m_reader.setDevice(&m_device);
        m_reader.setFormat(ReaderFormat(nFormat));
        m_reader.setDecideFormatFromContent(false);
        m_reader.setAutoTransform(true);
    }
    BytesReader(const BytesReader&) = delete;
    BytesReader& operator=(const BytesReader&) = delete;

    QImageReader& Reader() { return m_reader; }

private:
    QByteArray m_bytes;
    QBuffer m_device;
    QImageReader m_reader;
};

// The EXIF orientation that Qt's WebP reader leaves to the caller, 1 to 8;
// 1 when the reader turns the picture itself or there is none.
int OrientationLeftToUs(GfxPictureFormat nFormat, const unsigned char* pData, std::size_t nSize,
                        QImageReader& reader)
{
    if (reader.transformation() != QImageIOHandler::TransformationNone || nFormat != GfxPictureFormat::WebP)
        return 1;
    return GfxMetadata::OrientationOfWebP(pData, nSize);
}

// A picture turned upright by its orientation, 1 to 8.
EngineResult<QImage> Upright(QImage image, int nOrientation)
{
    if (nOrientation != 1)
        image = GfxMetadata::Upright(image, nOrientation);
    if (image.isNull())
        return EngineError{EngineErrorCode::OutOfMemory, {}};
    return image;
}

// Decodes with Qt's reader for the format, the picture turned upright.
EngineResult<QImage> DecodeWithQt(GfxPictureFormat nFormat, const unsigned char* pData, std::size_t nSize,
                                  std::int64_t nMaxPixels)
{
    const GfxDecoderMessages messages;
    BytesReader bytes(nFormat, pData, nSize);
    QImageReader& reader = bytes.Reader();

    // A quarter turn swaps the sides but keeps the pixel count.
    const QSize claimed = reader.size();
    if (claimed.isValid() && ExceedsLimit(claimed, nMaxPixels))
        return TooLarge(claimed);
    // The reader's allocation limit is in megabytes; count 8 bytes a pixel,
    // as 16-bit pictures need.
    const std::int64_t nLimitMegabytes = (nMaxPixels * 8 + (1 << 20) - 1) >> 20;
    reader.setAllocationLimit(static_cast<int>(std::min<std::int64_t>(nLimitMegabytes + 1, INT_MAX)));

    QImage image = reader.read();
    // The decoder's own words say more than the reader's summary.
    if (image.isNull())
        return EngineError{reader.error() == QImageReader::UnsupportedFormatError ? EngineErrorCode::PictureUnsupported
                                                                                  : EngineErrorCode::PictureDamaged,
                           messages.Last().empty() ? reader.errorString().toStdString() : messages.Last()};
    return Upright(std::move(image), OrientationLeftToUs(nFormat, pData, nSize, reader));
}

// The upright size that DecodeWithQt would give, from the header alone.
EngineResult<QSize> MeasureWithQt(GfxPictureFormat nFormat, const unsigned char* pData, std::size_t nSize)
{
    const GfxDecoderMessages messages;
    BytesReader bytes(nFormat, pData, nSize);
    QImageReader& reader = bytes.Reader();
    // The reader gives the size as the file stores it: a top-down BMP with
    // its height negative, and every picture before it is turned.
    QSize size = reader.size();
    if (size.height() < 0 && size.height() != INT_MIN)
        size.setHeight(-size.height());
    // The reader gives no reason of its own for a header it cannot read.
    if (!size.isValid())
        return EngineError{EngineErrorCode::PictureDamaged,
                           messages.Last().empty() ? "its header cannot be read" : messages.Last()};
    if ((reader.transformation() & QImageIOHandler::TransformationRotate90) ||
        OrientationLeftToUs(nFormat, pData, nSize, reader) >= 5)
        size.transpose();
    return size;
}

// Refuses bytes of no format this decoder reads, a picture whose header
// already claims too many pixels, and a JPEG that ends before its picture
// does. Qt's JPEG reader pads such a file out with grey and calls it a
// success; libjpeg's own readers call it a premature end.
EngineResult<void> CheckHeader(GfxPictureFormat nFormat, const unsigned char* pData, std::size_t nSize,
                               const GfxDecodeOptions& options)
{
    if (nFormat == GfxPictureFormat::Unknown || nSize > static_cast<std::size_t>(INT_MAX))
        return EngineError{EngineErrorCode::PictureUnsupported, {}};
    if (const std::int64_t nHeaderPixels = HeaderPixels(nFormat, pData, nSize); nHeaderPixels > options.m_nMaxPixels)
        return EngineError{EngineErrorCode::PictureTooLarge, std::to_string(nHeaderPixels) + " pixels"};
    if (nFormat == GfxPictureFormat::Jpeg && !GfxMetadata::JpegReachesItsEnd(pData, nSize))
        return EngineError{EngineErrorCode::PictureDamaged, "the file ends before the picture does"};
    return {};
}

} // namespace

EngineResult<GfxBitmap> DecodePicture(const unsigned char* pData, std::size_t nSize, const GfxDecodeOptions& options)
{
    const GfxPictureFormat nFormat = SniffPictureFormat(pData, nSize);
    // Sizes are checked before any pixel memory exists: first the header's
    // own claim, then what the decoder reports. The reader's allocation limit
    // backs this up for pictures whose size only shows while decoding.
    if (auto checked = CheckHeader(nFormat, pData, nSize, options); !checked)
        return checked.Error();
    const std::int64_t nMax = options.m_nMaxPixels;
    // A PNG is stored as it is and then turned upright by its EXIF orientation.
    auto decoded = [&]() -> EngineResult<QImage> {
        if (nFormat == GfxPictureFormat::Heif)
            return GfxHeifDecoder::Decode(pData, nSize, nMax);
        if (nFormat != GfxPictureFormat::Png)
            return DecodeWithQt(nFormat, pData, nSize, nMax);
        auto png = GfxPngDecoder::Decode(pData, nSize, nMax);
        if (!png)
            return png.Error();
        return Upright(std::move(png.Value()), GfxMetadata::OrientationOfPng(pData, nSize));
    }();
    if (!decoded)
        return decoded.Error();
    QImage image = std::move(decoded.Value());
    if (ExceedsLimit(image.size(), nMax))
        return TooLarge(image.size());

    // Colour first, at the picture's own depth; then transparency goes.
    image = ToSRgb(std::move(image));
    if (image.hasAlphaChannel())
        image = ComposeOverWhite(image);
    else if (image.format() != QImage::Format_RGB32)
        image = image.convertToFormat(QImage::Format_RGB32);
    if (image.isNull())
        return EngineError{EngineErrorCode::OutOfMemory, {}};
    return GfxBitmap(std::move(image));
}

EngineResult<QSize> MeasurePicture(const unsigned char* pData, std::size_t nSize, const GfxDecodeOptions& options)
{
    const GfxPictureFormat nFormat = SniffPictureFormat(pData, nSize);
    if (auto checked = CheckHeader(nFormat, pData, nSize, options); !checked)
        return checked.Error();
    const std::int64_t nMax = options.m_nMaxPixels;
    auto measured = [&]() -> EngineResult<QSize> {
        if (nFormat == GfxPictureFormat::Heif)
            return GfxHeifDecoder::Measure(pData, nSize, nMax);
        if (nFormat == GfxPictureFormat::Png) {
            auto size = GfxPngDecoder::Measure(pData, nSize, nMax);
            if (size && GfxMetadata::OrientationOfPng(pData, nSize) >= 5)
                size.Value().transpose();
            return size;
        }
        if (nFormat != GfxPictureFormat::Gif)
            return MeasureWithQt(nFormat, pData, nSize);
        // A GIF's first picture is laid on its logical screen, whose size the
        // reader only settles while decoding (it disbelieves some screens and
        // reports the picture's own size before), so measuring a GIF decodes
        // its first picture.
        auto image = DecodeWithQt(nFormat, pData, nSize, nMax);
        if (!image)
            return image.Error();
        return image.Value().size();
    }();
    if (measured && ExceedsLimit(measured.Value(), nMax))
        return TooLarge(measured.Value());
    return measured;
}
