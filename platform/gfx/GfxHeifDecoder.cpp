#include "platform/gfx/GfxHeifDecoder.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <memory>
#include <string>

// Qt
#include <QByteArray>
#include <QColorSpace>

// libheif
#include <libheif/heif.h>

namespace {

// No side may be longer than this, whatever the pixel count.
constexpr int kMaxSide = 32768;

struct ContextFree {
    void operator()(heif_context* p) const noexcept { heif_context_free(p); }
};
struct HandleRelease {
    void operator()(heif_image_handle* p) const noexcept { heif_image_handle_release(p); }
};
struct ImageRelease {
    void operator()(heif_image* p) const noexcept { heif_image_release(p); }
};
struct OptionsFree {
    void operator()(heif_decoding_options* p) const noexcept { heif_decoding_options_free(p); }
};

std::uint32_t Be32(const unsigned char* p) noexcept
{
    return static_cast<std::uint32_t>(p[0]) << 24 | static_cast<std::uint32_t>(p[1]) << 16 |
           static_cast<std::uint32_t>(p[2]) << 8 | p[3];
}

bool IsStillBrand(const unsigned char* p) noexcept
{
    for (const char* pszBrand : {"heic", "heix", "heim", "heis", "mif1", "avif"})
        if (std::memcmp(p, pszBrand, 4) == 0)
            return true;
    return false;
}

// The colour space a CICP ("nclx") description names, for the few that
// phones and encoders write with other than sRGB colours. Anything else is
// taken as sRGB.
QColorSpace NclxColorSpace(const heif_color_profile_nclx& nclx)
{
    const bool bLinear = nclx.transfer_characteristics == heif_transfer_characteristic_linear;
    const QColorSpace::TransferFunction nTransfer =
        bLinear ? QColorSpace::TransferFunction::Linear : QColorSpace::TransferFunction::SRgb;
    if (nclx.color_primaries == heif_color_primaries_SMPTE_EG_432_1)
        return QColorSpace(QColorSpace::Primaries::DciP3D65, nTransfer);
    if (bLinear)
        return QColorSpace(QColorSpace::Primaries::SRgb, nTransfer);
    return {};
}

// The colour space of the picture: its ICC profile, or its CICP values. A
// profile that Qt cannot use is ignored.
QColorSpace ColorSpaceOf(const heif_image_handle* pHandle)
{
    switch (heif_image_handle_get_color_profile_type(pHandle)) {
    case heif_color_profile_type_prof:
    case heif_color_profile_type_rICC: {
        const std::size_t nSize = heif_image_handle_get_raw_color_profile_size(pHandle);
        if (nSize == 0 || nSize > (std::size_t{1} << 24))
            return {};
        QByteArray profile(static_cast<qsizetype>(nSize), Qt::Uninitialized);
        if (heif_image_handle_get_raw_color_profile(pHandle, profile.data()).code != heif_error_Ok)
            return {};
        return QColorSpace::fromIccProfile(profile);
    }
    case heif_color_profile_type_nclx: {
        heif_color_profile_nclx* pNclx = nullptr;
        if (heif_image_handle_get_nclx_color_profile(pHandle, &pNclx).code != heif_error_Ok || !pNclx)
            return {};
        const QColorSpace space = NclxColorSpace(*pNclx);
        heif_nclx_color_profile_free(pNclx);
        return space;
    }
    default:
        return {};
    }
}

EngineError Failed(const heif_error& error)
{
    // libheif's own size limits answer as allocation errors.
    const EngineErrorCode nCode =
        error.subcode == heif_suberror_Security_limit_exceeded ? EngineErrorCode::PictureTooLarge
        : error.code == heif_error_Memory_allocation_error    ? EngineErrorCode::OutOfMemory
        : error.code == heif_error_Unsupported_filetype || error.code == heif_error_Unsupported_feature
            ? EngineErrorCode::PictureUnsupported
            : EngineErrorCode::PictureDamaged;
    return {nCode, error.message ? error.message : ""};
}

EngineError Damaged(std::string strDetail) { return {EngineErrorCode::PictureDamaged, std::move(strDetail)}; }
EngineError OutOfMemory() { return {EngineErrorCode::OutOfMemory, {}}; }

// The decoder for an AVIF file's AV1 picture: libaom when libheif has it.
// dav1d, libheif's first choice, prints its complaints about some damaged
// files on the standard error stream, which the batch tool keeps to one line
// and which no hook of libheif's catches; libaom reports them as errors.
// Both decode AV1 to the same pixels.
const char* AvifDecoder(const unsigned char* pData, std::size_t nSize)
{
    if (nSize > INT_MAX || !heif_has_compatible_brand(pData, static_cast<int>(nSize), "avif"))
        return nullptr;
    const heif_decoder_descriptor* decoders[8] = {};
    const int nDecoders = heif_get_decoder_descriptors(heif_compression_AV1, decoders, 8);
    for (int i = 0; i < nDecoders; ++i) {
        const char* pszId = heif_decoder_descriptor_get_id_name(decoders[i]);
        if (pszId && std::strcmp(pszId, "aom") == 0)
            return pszId;
    }
    return nullptr;
}

} // namespace

bool GfxHeifDecoder::Sniff(const unsigned char* pData, std::size_t nSize) noexcept
{
    if (nSize < 16 || std::memcmp(pData + 4, "ftyp", 4) != 0)
        return false;
    const std::size_t nBox = std::min<std::size_t>(Be32(pData), nSize);
    if (IsStillBrand(pData + 8))
        return true;
    // The compatible brands follow the major brand and its version.
    for (std::size_t nAt = 16; nAt + 4 <= nBox; nAt += 4)
        if (IsStillBrand(pData + nAt))
            return true;
    return false;
}

namespace {

// The file's primary image, opened without decoding it; its size checked.
struct PrimaryImage {
    std::unique_ptr<heif_context, ContextFree> m_context;
    std::unique_ptr<heif_image_handle, HandleRelease> m_handle;
    int m_nWidth = 0;
    int m_nHeight = 0;
};

EngineResult<void> OpenPrimaryImage(const unsigned char* pData, std::size_t nSize, std::int64_t nMaxPixels,
                                    PrimaryImage& image)
{
    image.m_context.reset(heif_context_alloc());
    if (!image.m_context)
        return OutOfMemory();
    heif_context_set_maximum_image_size_limit(image.m_context.get(), kMaxSide);
    // The bytes stay the caller's; libheif reads them in place.
    heif_error error = heif_context_read_from_memory_without_copy(image.m_context.get(), pData, nSize, nullptr);
    if (error.code != heif_error_Ok)
        return Failed(error);

    heif_image_handle* pRawHandle = nullptr;
    error = heif_context_get_primary_image_handle(image.m_context.get(), &pRawHandle);
    image.m_handle.reset(pRawHandle);
    if (error.code != heif_error_Ok || !image.m_handle)
        return Failed(error);

    // The handle's size is the upright size, after rotation and cropping.
    image.m_nWidth = heif_image_handle_get_width(image.m_handle.get());
    image.m_nHeight = heif_image_handle_get_height(image.m_handle.get());
    if (image.m_nWidth <= 0 || image.m_nHeight <= 0)
        return Damaged("no image size");
    if (std::int64_t{image.m_nWidth} * image.m_nHeight > nMaxPixels || image.m_nWidth > kMaxSide ||
        image.m_nHeight > kMaxSide)
        return EngineError{EngineErrorCode::PictureTooLarge,
                           std::to_string(image.m_nWidth) + " x " + std::to_string(image.m_nHeight) + " pixels"};
    return {};
}

} // namespace

EngineResult<QSize> GfxHeifDecoder::Measure(const unsigned char* pData, std::size_t nSize, std::int64_t nMaxPixels)
{
    PrimaryImage primary;
    if (auto opened = OpenPrimaryImage(pData, nSize, nMaxPixels, primary); !opened)
        return opened.Error();
    return QSize(primary.m_nWidth, primary.m_nHeight);
}

EngineResult<QImage> GfxHeifDecoder::Decode(const unsigned char* pData, std::size_t nSize, std::int64_t nMaxPixels)
{
    PrimaryImage primary;
    if (auto opened = OpenPrimaryImage(pData, nSize, nMaxPixels, primary); !opened)
        return opened.Error();
    const auto& handle = primary.m_handle;

    const bool bAlpha = heif_image_handle_has_alpha_channel(handle.get()) != 0;
    std::unique_ptr<heif_decoding_options, OptionsFree> options(heif_decoding_options_alloc());
    if (!options)
        return OutOfMemory();
    options->ignore_transformations = 0;
    options->convert_hdr_to_8bit = 1;
    options->decoder_id = AvifDecoder(pData, nSize);
    heif_image* pRawImage = nullptr;
    const heif_error error =
        heif_decode_image(handle.get(), &pRawImage, heif_colorspace_RGB,
                          bAlpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB, options.get());
    std::unique_ptr<heif_image, ImageRelease> decoded(pRawImage);
    if (error.code != heif_error_Ok || !decoded)
        return Failed(error);

    int nStride = 0;
    const std::uint8_t* pPlane = heif_image_get_plane_readonly(decoded.get(), heif_channel_interleaved, &nStride);
    const int nImageWidth = heif_image_get_width(decoded.get(), heif_channel_interleaved);
    const int nImageHeight = heif_image_get_height(decoded.get(), heif_channel_interleaved);
    const int nBytesPerPixel = bAlpha ? 4 : 3;
    if (!pPlane || nImageWidth <= 0 || nImageHeight <= 0 || nStride < nImageWidth * nBytesPerPixel ||
        std::int64_t{nImageWidth} * nImageHeight > nMaxPixels)
        return Damaged("the decoder gave no usable picture");
    // A picture is measured from its header before it is decoded (the
    // slideshow sizes its canvas so); one whose pixels come out another size,
    // as a damaged grid can, is damaged.
    if (nImageWidth != primary.m_nWidth || nImageHeight != primary.m_nHeight)
        return Damaged("the decoded picture is " + std::to_string(nImageWidth) + " x " + std::to_string(nImageHeight) +
                       " pixels, not the size its header gives");

    // A deep copy: the plane goes with the decoded image.
    QImage image = QImage(pPlane, nImageWidth, nImageHeight, nStride,
                          bAlpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888)
                       .copy();
    if (image.isNull())
        return OutOfMemory();
    image.setColorSpace(ColorSpaceOf(handle.get()));
    return image;
}
