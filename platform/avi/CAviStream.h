#pragma once

// A stream handle of the AVI file services: reference-counted, deleted when
// the last reference goes. A stream in a file and a compressing stream laid
// over another stream share this interface.

#include <string>

// Local
#include "platform/avi/AviTypes.h"

class CAviStream {
public:
    virtual ~CAviStream() = default;

    CAviStream(const CAviStream&) = delete;
    CAviStream& operator=(const CAviStream&) = delete;

    ULONG AddRef() { return ++m_nRefs; }
    ULONG Release()
    {
        const ULONG nRefs = --m_nRefs;
        if (nRefs == 0)
            delete this;
        return nRefs;
    }

    virtual HRESULT SetFormat(LONG lPos, const void* pFormat, LONG cbFormat) = 0;
    virtual HRESULT Write(LONG lStart, LONG lSamples, const void* pBuffer, LONG cbBuffer, DWORD dwFlags,
                          LONG* plSampWritten, LONG* plBytesWritten) = 0;
    // The stream's description (its rate and scale among them).
    virtual HRESULT Info(AVISTREAMINFOA* psi) const = 0;
    // The reason of the last failure in words, when the stream knows more
    // than its result code says; empty otherwise.
    virtual std::string ErrorText() const { return {}; }

protected:
    CAviStream() = default;

private:
    ULONG m_nRefs = 1;
};
