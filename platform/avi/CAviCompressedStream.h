#pragma once

#include <memory>
#include <string>

// Local
#include "platform/avi/CAviStream.h"
#include "platform/avi/IFrameEncoder.h"

// A compressing stream over another stream. It takes frames in the format of
// a 24-bit uncompressed bottom-up picture and hands each on as one chunk from
// the chosen encoder (full frames, Motion JPEG, H.264 or FFV1), flagged as a
// key frame when the encoder made one.
class CAviCompressedStream : public CAviStream {
public:
    // Checks the choice; AVIERR_NOCOMPRESSOR or AVIERR_BADPARAM when unusable.
    // The encoder is made when the format gives the picture size.
    static HRESULT Create(CAviStream* pSource, const AVICOMPRESSOPTIONS& options, CAviStream** ppStream);
    ~CAviCompressedStream() override;

    HRESULT SetFormat(LONG lPos, const void* pFormat, LONG cbFormat) override;
    HRESULT Write(LONG lStart, LONG lSamples, const void* pBuffer, LONG cbBuffer, DWORD dwFlags,
                  LONG* plSampWritten, LONG* plBytesWritten) override;
    HRESULT Info(AVISTREAMINFOA* psi) const override { return m_pSource->Info(psi); }
    std::string ErrorText() const override { return m_strError; }

private:
    CAviCompressedStream(CAviStream* pSource, FOURCC fccHandler, int nQuality);

    CAviStream* m_pSource;
    FOURCC m_fccHandler;
    int m_nQuality;
    bool m_bFormatSet = false;
    LONG m_nStride = 0;      // bytes per input row, padded to 4
    DWORD m_nImageBytes = 0; // bytes of one input frame
    std::unique_ptr<IFrameEncoder> m_pEncoder;
    HRESULT m_hrFailed = AVIERR_OK;
    std::string m_strError; // the encoder's reason for the last failure
};
