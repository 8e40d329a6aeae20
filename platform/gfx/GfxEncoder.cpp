#include "platform/gfx/GfxEncoder.h"

#include <cstring>
#include <memory>

// Qt
#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageWriter>

// TurboJPEG
#include <turbojpeg.h>

namespace {

// 72 dots per inch.
constexpr int kDotsPerMeter = 2835;

struct CompressorFree {
    void operator()(void* p) const noexcept { tjDestroy(p); }
};
struct JpegFree {
    void operator()(unsigned char* p) const noexcept { tjFree(p); }
};

// A still keeps every colour sample (4:4:4): at quality 95 halving the
// colour resolution would blur the fine colour edges a still is kept for.
std::vector<unsigned char> EncodeJpeg(const unsigned char* pRows, std::int32_t nWidth, std::int32_t nHeight,
                                      std::string& strError)
{
    const std::unique_ptr<void, CompressorFree> compressor(tjInitCompress());
    if (!compressor) {
        strError = tjGetErrorStr2(nullptr);
        return {};
    }
    unsigned char* pJpeg = nullptr;
    unsigned long nSize = 0;
    // The rows go in as they are held: bottom-up, blue, green, red. The
    // accurate DCT, as quality 95 asks; the fast one loses detail there.
    const int nResult = tjCompress2(compressor.get(), pRows, nWidth, nWidth * 3, nHeight, TJPF_BGR, &pJpeg, &nSize,
                                    TJSAMP_444, 95, TJFLAG_BOTTOMUP | TJFLAG_ACCURATEDCT);
    const std::unique_ptr<unsigned char, JpegFree> jpeg(pJpeg);
    if (nResult != 0 || !jpeg) {
        strError = tjGetErrorStr2(compressor.get());
        return {};
    }
    return std::vector<unsigned char>(jpeg.get(), jpeg.get() + nSize);
}

} // namespace

std::vector<unsigned char> EncodeBgrRows(const unsigned char* pRows, std::int32_t nWidth, std::int32_t nHeight,
                                         GfxOutputFormat nFormat, std::string& strError)
{
    strError = "the picture cannot be encoded";
    if (nWidth <= 0 || nHeight <= 0)
        return {};
    if (nFormat == GfxOutputFormat::Jpeg)
        return EncodeJpeg(pRows, nWidth, nHeight, strError);

    // Format_BGR888 takes the bytes as they are; only the row order turns.
    const std::size_t nStride = static_cast<std::size_t>(nWidth) * 3;
    QImage image(nWidth, nHeight, QImage::Format_BGR888);
    if (image.isNull())
        return {};
    for (std::int32_t y = 0; y < nHeight; ++y)
        std::memcpy(image.scanLine(y), pRows + static_cast<std::size_t>(nHeight - 1 - y) * nStride, nStride);
    // PNG and TIFF record a resolution, which a new picture takes from the
    // screen when there is one: fixed at 72 dots per inch, the file is the
    // same from the wizard and from the batch tool.
    image.setDotsPerMeterX(kDotsPerMeter);
    image.setDotsPerMeterY(kDotsPerMeter);

    QByteArray bytes;
    QBuffer device(&bytes);
    device.open(QIODevice::WriteOnly);
    QImageWriter writer(&device, "png");
    switch (nFormat) {
    case GfxOutputFormat::Png:
    case GfxOutputFormat::Jpeg:
        break;
    case GfxOutputFormat::WebP:
        // Qt's WebP writer is lossless at quality 100.
        writer.setFormat("webp");
        writer.setQuality(100);
        break;
    case GfxOutputFormat::Tiff:
        writer.setFormat("tiff");
        break;
    }
    if (!writer.write(image)) {
        strError = writer.errorString().toStdString();
        return {};
    }
    return std::vector<unsigned char>(bytes.begin(), bytes.end());
}
