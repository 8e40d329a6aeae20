#pragma once

#include <memory>

// Local
#include "platform/avi/CAviStream.h"

class CMjpegEncoder;

// A compressing stream over another stream. It takes frames in the format of
// a 24-bit uncompressed bottom-up picture and hands them on either as they
// are (full frames) or as one complete JPEG picture each (Motion JPEG).
class CAviCompressedStream : public CAviStream {
public:
    // Checks the choice; AVIERR_NOCOMPRESSOR or AVIERR_BADPARAM when unusable.
    static HRESULT Create(CAviStream* pSource, const AVICOMPRESSOPTIONS& options, CAviStream** ppStream);
    ~CAviCompressedStream() override;

    HRESULT SetFormat(LONG lPos, const void* pFormat, LONG cbFormat) override;
    HRESULT Write(LONG lStart, LONG lSamples, const void* pBuffer, LONG cbBuffer, DWORD dwFlags,
                  LONG* plSampWritten, LONG* plBytesWritten) override;

private:
    CAviCompressedStream(CAviStream* pSource, FOURCC fccHandler, int nQuality);

    CAviStream* m_pSource;
    FOURCC m_fccHandler;
    int m_nQuality;
    bool m_bFormatSet = false;
    LONG m_nStride = 0;      // bytes per input row, padded to 4
    DWORD m_nImageBytes = 0; // bytes of one input frame
    std::unique_ptr<CMjpegEncoder> m_pEncoder;
    HRESULT m_hrFailed = AVIERR_OK;
};
