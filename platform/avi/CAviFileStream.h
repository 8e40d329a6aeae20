#pragma once

// Local
#include "platform/avi/CAviStream.h"

// The video stream of an open file: formats and frames go straight into it.
// Holds a reference to its file.
class CAviFileStream : public CAviStream {
public:
    explicit CAviFileStream(CAviFile* pFile);
    ~CAviFileStream() override;

    HRESULT SetFormat(LONG lPos, const void* pFormat, LONG cbFormat) override;
    HRESULT Write(LONG lStart, LONG lSamples, const void* pBuffer, LONG cbBuffer, DWORD dwFlags,
                  LONG* plSampWritten, LONG* plBytesWritten) override;
    HRESULT Info(AVISTREAMINFOA* psi) const override;

private:
    CAviFile* m_pFile;
};
