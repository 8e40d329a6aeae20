// Fuzz target: decoding a picture file's bytes, as the picture loader does,
// and stretching the result onto a small canvas as the renders do.
//
// Whatever the bytes, decoding must give either a bitmap within the size
// limit or a refusal, never a crash, a hang or an allocation beyond the limit;
// a decoded bitmap must go onto a canvas by every fit, and measuring the same bytes
// without decoding must give its size. The orientation readers see the same
// bytes as an EXIF block, a PNG and a WebP file.

#include <cstddef>
#include <cstdint>
#include <vector>

// Local
#include "engine/PictureFit.h"
#include "engine/PictureLoader.h"
#include "fuzz/FuzzInput.h"
#include "platform/gfx/GfxDecoder.h"
#include "platform/gfx/GfxMetadata.h"
#include "platform/gfx/GfxStretch.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize)
{
    for (const int nOrientation : {GfxMetadata::OrientationOfExif(pData, nSize),
                                   GfxMetadata::OrientationOfPng(pData, nSize),
                                   GfxMetadata::OrientationOfWebP(pData, nSize)})
        Require(nOrientation >= 1 && nOrientation <= 8);

    GfxDecodeOptions options;
    options.m_nMaxPixels = kMaxPicturePixels;
    const auto result = DecodePicture(pData, nSize, options);
    const auto measured = MeasurePicture(pData, nSize, options);
    if (!result)
        return 0;

    // Only a recognised picture format may decode.
    Require(SniffPictureFormat(pData, nSize) != GfxPictureFormat::Unknown);
    const GfxBitmap& bitmap = result.Value();
    Require(!bitmap.IsNull() && bitmap.Width() > 0 && bitmap.Height() > 0);
    Require(std::int64_t{bitmap.Width()} * bitmap.Height() <= kMaxPicturePixels);
    // A slideshow takes its canvas from the measured sizes before decoding.
    Require(measured && measured.Value() == QSize(bitmap.Width(), bitmap.Height()));

    // A small canvas keeps each run fast; the last input byte varies its shape
    // so both reduction and enlargement are exercised.
    const std::int32_t nWidth = 4 + 4 * (nSize ? pData[nSize - 1] % 4 : 0);
    const std::int32_t nHeight = 4 + 4 * (nSize ? pData[nSize - 1] / 64 : 0);
    std::vector<unsigned char> rows(static_cast<std::size_t>(nWidth) * 3 * nHeight);
    for (const PictureFit nFit : {PictureFit::Stretch, PictureFit::Contain, PictureFit::Cover})
        Require(StretchAreaToBgrRows(bitmap, PlanPicture(bitmap.Width(), bitmap.Height(), nWidth, nHeight, nFit),
                                     nWidth, nHeight, rows.data(), rows.size()));
    return 0;
}
