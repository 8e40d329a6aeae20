#pragma once

// Writes one AVI file holding one video stream through the AVI file services:
// the user picks the compressor while the file is opened, then every frame is
// written as a key frame. Opening reports a numeric status and keeps a text
// describing the last opening result in m_strError.
//
// The file appears under its name only when a complete run is released: until
// then it is a temporary file beside it, and a cancelled, failed or abandoned
// run leaves an existing file of that name untouched.

#include <cstdint>
#include <string>

// Local
#include "platform/avi/AviTypes.h"
#include "platform/avi/IFrameEncoder.h"
#include "platform/win/WinTypes.h"

class CAviWriter {
public:
    CAviWriter();
    // Abandons and releases a run its owner did not release.
    ~CAviWriter();

    CAviWriter(const CAviWriter&) = delete;
    CAviWriter& operator=(const CAviWriter&) = delete;

    // Copies exactly one 40-byte header, the format of every frame.
    void SetBitmapHeader(const BITMAPINFOHEADER& header);

    // Appends ".avi" unless the name already contains "avi" anywhere
    // (case-sensitive): "movie.AVI" gains ".avi", "avid/clip.mp4" does not.
    void EnsureAviExtension();

    // Opens the file, asks for the compressor (modal to hwndOwner) and sets
    // the frame format. 0 when ready for frames; 1 when the services are too
    // old or the user cancelled; otherwise the failing call's result code.
    // m_strError holds "Ok" or the failure text.
    HRESULT InitEngine(HWND hwndOwner);

    // Writes one frame of m_bih.biSizeImage bytes at position m_nFrame as a
    // key frame and advances m_nFrame, also when the write fails. The first
    // failure is remembered and the run then cannot be completed. Without an
    // open stream, or after Abandon, nothing is written (AVIERR_BADHANDLE,
    // AVIERR_USERABORT) and m_nFrame stays.
    HRESULT AddFrame(const void* pPixels);

    // Writes one frame that is already compressed for the chosen compressor
    // (see CompressorHandler) at position m_nFrame, as a key frame when the
    // frame says so, and advances m_nFrame exactly as AddFrame does.
    HRESULT AddEncodedFrame(const EncodedFrame& frame);

    // Records that a frame could not be made (hr, such as AVIERR_COMPRESSOR,
    // when it could not be compressed): the run can no longer complete.
    void FailFrame(HRESULT hr);

    // The compressor (as the chooser named it) and quality chosen in
    // InitEngine, for callers that compress frames themselves; 0 before a
    // successful InitEngine.
    FOURCC CompressorHandler() const { return m_fccHandler; }
    int CompressorQuality() const { return m_nQuality; }

    // Releases the uncompressed stream, the compressing stream and the file,
    // then ends the use of the services. A run that opened with 0, wrote every
    // frame and was not abandoned is completed and moved into place first;
    // otherwise the temporary file is removed.
    void ReleaseEngine();

    // Ends the run without a result: ReleaseEngine then removes the
    // temporary file and leaves any existing file of the name untouched.
    void Abandon();

    // Size of one RIFF segment of the file (default 1 GiB); a frame never
    // splits, so a segment may exceed it by one frame.
    void SetSegmentSize(std::int64_t nBytes);

    bool HasWriteFailed() const { return m_hrWriteError != AVIERR_OK; }
    bool HasCommitFailed() const { return m_hrCommitError != AVIERR_OK; }
    // True once ReleaseEngine has put a complete file under m_strFileName.
    bool IsCommitted() const { return m_bCommitted; }

    // The text of the first frame write or completion failure, with the
    // compressor's own reason when it gave one, or empty.
    std::string RunErrorText() const;

    std::string m_strFileName;
    LONG m_nRate;
    BITMAPINFOHEADER m_bih;
    std::string m_strError;
    LONG m_nFrame;
    PAVIFILE m_pFile;
    PAVISTREAM m_pStream;
    PAVISTREAM m_pCompressed;

    HRESULT m_hrWriteError = AVIERR_OK;
    HRESULT m_hrCommitError = AVIERR_OK;

private:
    bool m_bServicesStarted = false;
    bool m_bReady = false;
    bool m_bAbandoned = false;
    bool m_bCommitted = false;
    FOURCC m_fccHandler = 0;
    int m_nQuality = 0;
    std::int64_t m_nSegmentSize = std::int64_t{1} << 30;
    std::string m_strWriteDetail; // the compressor's words for m_hrWriteError
};
