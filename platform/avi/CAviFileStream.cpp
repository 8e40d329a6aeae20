#include "platform/avi/CAviFileStream.h"

// Local
#include "platform/avi/CAviFile.h"

CAviFileStream::CAviFileStream(CAviFile* pFile) : m_pFile(pFile)
{
    m_pFile->AddRef();
}

CAviFileStream::~CAviFileStream()
{
    m_pFile->Release();
}

HRESULT CAviFileStream::SetFormat(LONG lPos, const void* pFormat, LONG cbFormat)
{
    if (lPos != 0)
        return AVIERR_UNSUPPORTED; // The format is set once, before the frames.
    return m_pFile->SetStreamFormat(pFormat, cbFormat);
}

HRESULT CAviFileStream::Info(AVISTREAMINFOA* psi) const
{
    if (!psi)
        return AVIERR_BADPARAM;
    *psi = m_pFile->StreamInfo();
    return AVIERR_OK;
}

HRESULT CAviFileStream::Write(LONG lStart, LONG lSamples, const void* pBuffer, LONG cbBuffer, DWORD dwFlags,
                              LONG* plSampWritten, LONG* plBytesWritten)
{
    if (plSampWritten)
        *plSampWritten = 0;
    if (plBytesWritten)
        *plBytesWritten = 0;
    if (lSamples != 1 || cbBuffer < 0)
        return AVIERR_BADPARAM;
    const HRESULT hr = m_pFile->WriteFrame(lStart, pBuffer, static_cast<DWORD>(cbBuffer), dwFlags);
    if (hr == AVIERR_OK) {
        if (plSampWritten)
            *plSampWritten = 1;
        if (plBytesWritten)
            *plBytesWritten = cbBuffer;
    }
    return hr;
}
