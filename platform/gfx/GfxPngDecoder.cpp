#include "platform/gfx/GfxPngDecoder.h"

#include <bit>
#include <csetjmp>
#include <cstring>
#include <vector>

// Qt
#include <QByteArray>
#include <QColorSpace>

// libpng
#include <png.h>

namespace {

// The bytes libpng reads, from the caller's block.
struct PngSource {
    const unsigned char* m_pData;
    std::size_t m_nSize;
    std::size_t m_nAt = 0;
};

void OnError(png_structp png, png_const_charp pszMessage)
{
    *static_cast<std::string*>(png_get_error_ptr(png)) = pszMessage;
    png_longjmp(png, 1);
}

// libpng goes on after a warning (a damaged ancillary chunk), and so does
// the picture.
void OnWarning(png_structp, png_const_charp) {}

void OnRead(png_structp png, png_bytep pOut, std::size_t nLength)
{
    PngSource& source = *static_cast<PngSource*>(png_get_io_ptr(png));
    if (nLength > source.m_nSize - source.m_nAt)
        png_error(png, "the file ends early");
    std::memcpy(pOut, source.m_pData + source.m_nAt, nLength);
    source.m_nAt += nLength;
}

// One libpng read of the caller's bytes. libpng reports an error by a long
// jump back into the step that was running; each step is a function of its
// own with nothing to destroy on its frame, so the jump skips no destructor.
class PngRead {
public:
    PngRead(const unsigned char* pData, std::size_t nSize) : m_source{pData, nSize}
    {
        m_png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &m_strError, OnError, OnWarning);
        m_info = m_png ? png_create_info_struct(m_png) : nullptr;
        if (m_info)
            png_set_read_fn(m_png, &m_source, OnRead);
    }
    ~PngRead() { png_destroy_read_struct(&m_png, &m_info, nullptr); }
    PngRead(const PngRead&) = delete;
    PngRead& operator=(const PngRead&) = delete;

    // Reads the chunks before the pixels; the size is known afterwards.
    EngineResult<QSize> ReadHeader(std::int64_t nMaxPixels)
    {
        if (!m_info)
            return EngineError{EngineErrorCode::OutOfMemory, {}};
        if (!ReadInfo())
            return Failed();
        if (std::int64_t{Width()} * Height() > nMaxPixels)
            return EngineError{EngineErrorCode::PictureTooLarge,
                               std::to_string(Width()) + " x " + std::to_string(Height()) + " pixels"};
        return QSize(Width(), Height());
    }

    int Width() const { return static_cast<int>(png_get_image_width(m_png, m_info)); }
    int Height() const { return static_cast<int>(png_get_image_height(m_png, m_info)); }

    // Asks libpng for four channels of the picture's own depth (8 or 16
    // bits): the palette and the transparent colour expanded, grey made RGB,
    // an opaque picture given a filler. Gives the QImage format that holds
    // such rows, or Format_Invalid.
    QImage::Format SetUpRows()
    {
        const bool bAlpha = (png_get_color_type(m_png, m_info) & PNG_COLOR_MASK_ALPHA) != 0 ||
                            png_get_valid(m_png, m_info, PNG_INFO_tRNS) != 0;
        const bool bDeep = png_get_bit_depth(m_png, m_info) == 16;
        if (!Transform(bAlpha, bDeep))
            return QImage::Format_Invalid;
        if (png_get_rowbytes(m_png, m_info) != static_cast<std::size_t>(Width()) * (bDeep ? 8 : 4))
            return QImage::Format_Invalid;
        return bDeep ? (bAlpha ? QImage::Format_RGBA64 : QImage::Format_RGBX64)
                     : (bAlpha ? QImage::Format_RGBA8888 : QImage::Format_RGBX8888);
    }

    // Reads every row, through all passes of an interlaced picture.
    bool ReadRows(png_bytepp ppRows)
    {
        if (setjmp(png_jmpbuf(m_png)))
            return false;
        png_read_image(m_png, ppRows);
        return true;
    }

    // The embedded ICC profile, or an empty array.
    QByteArray IccProfile() const
    {
        png_charp pszName = nullptr;
        int nCompression = 0;
        png_bytep pProfile = nullptr;
        png_uint_32 nLength = 0;
        if (!png_get_iCCP(m_png, m_info, &pszName, &nCompression, &pProfile, &nLength) || !pProfile)
            return {};
        return QByteArray(reinterpret_cast<const char*>(pProfile), static_cast<qsizetype>(nLength));
    }

    EngineError Failed() const { return {EngineErrorCode::PictureDamaged, m_strError}; }

private:
    bool ReadInfo()
    {
        if (setjmp(png_jmpbuf(m_png)))
            return false;
        png_read_info(m_png, m_info);
        return true;
    }

    bool Transform(bool bAlpha, bool bDeep)
    {
        if (setjmp(png_jmpbuf(m_png)))
            return false;
        png_set_expand(m_png);
        png_set_gray_to_rgb(m_png);
        if (!bAlpha)
            png_set_filler(m_png, bDeep ? 0xFFFF : 0xFF, PNG_FILLER_AFTER);
        // PNG holds 16-bit samples big-endian; QImage holds them as numbers.
        if (bDeep && std::endian::native == std::endian::little)
            png_set_swap(m_png);
        png_set_interlace_handling(m_png);
        png_read_update_info(m_png, m_info);
        return true;
    }

    PngSource m_source;
    std::string m_strError;
    png_structp m_png = nullptr;
    png_infop m_info = nullptr;
};

} // namespace

EngineResult<QSize> GfxPngDecoder::Measure(const unsigned char* pData, std::size_t nSize, std::int64_t nMaxPixels)
{
    PngRead read(pData, nSize);
    return read.ReadHeader(nMaxPixels);
}

EngineResult<QImage> GfxPngDecoder::Decode(const unsigned char* pData, std::size_t nSize, std::int64_t nMaxPixels)
{
    PngRead read(pData, nSize);
    if (auto header = read.ReadHeader(nMaxPixels); !header)
        return header.Error();
    const QImage::Format nFormat = read.SetUpRows();
    if (nFormat == QImage::Format_Invalid)
        return read.Failed();
    QImage image(read.Width(), read.Height(), nFormat);
    std::vector<png_bytep> rows(static_cast<std::size_t>(image.height()));
    if (image.isNull() || rows.size() != static_cast<std::size_t>(read.Height()))
        return EngineError{EngineErrorCode::OutOfMemory, {}};
    for (int y = 0; y < image.height(); ++y)
        rows[static_cast<std::size_t>(y)] = image.scanLine(y);
    if (!read.ReadRows(rows.data()))
        return read.Failed();
    if (const QByteArray profile = read.IccProfile(); !profile.isEmpty())
        image.setColorSpace(QColorSpace::fromIccProfile(profile));
    return image;
}
