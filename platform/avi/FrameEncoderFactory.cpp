#include "platform/avi/FrameEncoderFactory.h"

#include <new>

// Local
#include "platform/avi/CAvcodecEncoder.h"
#include "platform/avi/CFullFrameEncoder.h"
#include "platform/avi/CMjpegEncoder.h"

FOURCC CanonicalCompressor(FOURCC fccHandler)
{
    switch (fccHandler) {
    case 0:
    case comptypeDIB:
    case mmioFOURCC('d', 'i', 'b', ' '):
        return comptypeDIB;
    case comptypeMJPG:
    case mmioFOURCC('m', 'j', 'p', 'g'):
        return comptypeMJPG;
    case comptypeH264:
    case mmioFOURCC('h', '2', '6', '4'):
        return comptypeH264;
    case comptypeFFV1:
    case mmioFOURCC('f', 'f', 'v', '1'):
        return comptypeFFV1;
    default:
        return 0;
    }
}

std::unique_ptr<IFrameEncoder> CreateFrameEncoder(FOURCC fccHandler, int nWidth, int nHeight, int nQuality,
                                                  std::string* pError, DWORD dwRate, DWORD dwScale)
{
    std::string strError;
    std::unique_ptr<IFrameEncoder> pEncoder;
    // A row padded to four bytes must stay within 32 bits.
    if (nWidth <= 0 || nHeight <= 0 || nWidth > (0x7FFFFFFF - 3) / 3) {
        strError = "Invalid picture size.";
    } else {
        switch (CanonicalCompressor(fccHandler)) {
        case comptypeDIB:
            pEncoder.reset(new (std::nothrow) CFullFrameEncoder(nWidth, nHeight));
            break;
        case comptypeMJPG: {
            auto pMjpeg = std::unique_ptr<CMjpegEncoder>(new (std::nothrow) CMjpegEncoder());
            if (pMjpeg && !pMjpeg->Init(nWidth, nHeight, nQuality))
                strError = pMjpeg->LastError();
            else
                pEncoder = std::move(pMjpeg);
            break;
        }
        case comptypeH264:
        case comptypeFFV1: {
            auto pAvcodec = std::unique_ptr<CAvcodecEncoder>(new (std::nothrow) CAvcodecEncoder());
            const auto kind = CanonicalCompressor(fccHandler) == comptypeH264 ? CAvcodecEncoder::Kind::H264
                                                                              : CAvcodecEncoder::Kind::Ffv1;
            if (pAvcodec && !pAvcodec->Init(kind, nWidth, nHeight, nQuality, dwRate, dwScale))
                strError = pAvcodec->LastError();
            else
                pEncoder = std::move(pAvcodec);
            break;
        }
        default:
            strError = "A suitable compressor cannot be found.";
            break;
        }
        if (!pEncoder && strError.empty())
            strError = "There is not enough memory to complete the operation.";
    }
    if (!pEncoder && pError)
        *pError = strError;
    return pEncoder;
}

bool EncoderFramesAreIndependent(FOURCC fccHandler)
{
    const FOURCC fcc = CanonicalCompressor(fccHandler);
    return fcc == comptypeDIB || fcc == comptypeMJPG;
}
