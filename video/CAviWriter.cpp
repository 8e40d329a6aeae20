#include "video/CAviWriter.h"

#include <algorithm>
#include <cstring>

// Local
#include "platform/avi/AviFileServices.h"

namespace {

constexpr std::int64_t kMinSegmentSize = 4096;

std::string OpenFailureDetail(HRESULT hr)
{
    switch (hr) {
    case REGDB_E_CLASSNOTREG:
        return "According to the registry, the type of file specified in AVIFileOpen does not have a handler to "
               "process it";
    case AVIERR_BADFORMAT:
        return "The file couldn't be read, indicating a corrupt file or an unrecognized format.";
    case AVIERR_MEMORY:
        return "The file could not be opened because of insufficient memory.";
    case AVIERR_FILEREAD:
        return "A disk error occurred while reading the file.";
    case AVIERR_FILEOPEN:
        return "A disk error occurred while opening the file.";
    default:
        return {};
    }
}

std::string StreamFailureDetail(HRESULT hr)
{
    return hr == AVIERR_READONLY ? " Read only file." : std::string();
}

std::string CompressorFailureDetail(HRESULT hr)
{
    switch (hr) {
    case AVIERR_UNSUPPORTED:
        return "Compression is not supported for this type of data. This error might be returned if you try to "
               "compress data that is not audio or video.";
    case AVIERR_MEMORY:
        return " There is not enough memory to complete the operation.";
    case AVIERR_NOCOMPRESSOR:
        return " A suitable compressor cannot be found.";
    default:
        return {};
    }
}

std::string WithLeadingSpace(const std::string& strText)
{
    return strText.empty() ? strText : " " + strText;
}

std::string WriteFailureDetail(HRESULT hr)
{
    switch (hr) {
    case AVIERR_FILEWRITE:
        return " A disk error occurred while writing the file.";
    case AVIERR_MEMORY:
        return " There is not enough memory to complete the operation.";
    case AVIERR_COMPRESSOR:
        return " The compressor could not compress the frame.";
    case AVIERR_BADSIZE:
        return " The file has grown too large.";
    default:
        return {};
    }
}

} // namespace

CAviWriter::CAviWriter()
    : m_strFileName("Untitled.avi"),
      m_nRate(30),
      m_bih{},
      m_nFrame(0),
      m_pFile(nullptr),
      m_pStream(nullptr),
      m_pCompressed(nullptr)
{
}

CAviWriter::~CAviWriter()
{
    if (m_pFile || m_pStream || m_pCompressed || m_bServicesStarted) {
        Abandon();
        ReleaseEngine();
    }
}

void CAviWriter::SetBitmapHeader(const BITMAPINFOHEADER& header)
{
    std::memcpy(&m_bih, &header, sizeof(BITMAPINFOHEADER));
}

void CAviWriter::EnsureAviExtension()
{
    // Searching the bytes of UTF-8 text for ASCII letters never matches
    // inside a multibyte character.
    if (m_strFileName.find("avi") == std::string::npos)
        m_strFileName += ".avi";
}

void CAviWriter::SetSegmentSize(std::int64_t nBytes)
{
    m_nSegmentSize = std::max(nBytes, kMinSegmentSize);
}

HRESULT CAviWriter::InitEngine(HWND hwndOwner)
{
    // A writer opens once; a second call first drops what the first left.
    if (m_pFile || m_pStream || m_pCompressed || m_bServicesStarted) {
        Abandon();
        ReleaseEngine();
    }
    m_bReady = false;
    m_bAbandoned = false;
    m_bCommitted = false;
    m_hrWriteError = AVIERR_OK;
    m_hrCommitError = AVIERR_OK;
    m_fccHandler = 0;
    m_nQuality = 0;
    m_strWriteDetail.clear();

    m_strError = "Ok";

    if ((VideoForWindowsVersion() >> 16) < 0x010A) {
        m_strError = "Version of Video for Windows too old. Come on, join the 21th century!";
        return 1;
    }

    AVIFileInit();
    m_bServicesStarted = true;

    HRESULT hr = AVIFileOpenA(&m_pFile, m_strFileName.c_str(), OF_WRITE | OF_CREATE, nullptr);
    if (hr == AVIERR_OK) {
        AVIFILEOPTIONS options;
        options.llSegmentSize = m_nSegmentSize;
        hr = AVIFileSetOptions(m_pFile, options);
    }
    if (hr != AVIERR_OK) {
        m_strError = "AVI Engine failed to initialize. Check filename " + m_strFileName + ".";
        m_strError += OpenFailureDetail(hr);
        return hr;
    }

    AVISTREAMINFOA info;
    std::memset(&info, 0, sizeof info);
    info.fccType = streamtypeVIDEO;
    info.fccHandler = 0;
    info.dwScale = 1;
    info.dwRate = static_cast<DWORD>(m_nRate);
    info.dwSuggestedBufferSize = m_bih.biSizeImage;
    info.rcFrame = RECT{0, 0, m_bih.biWidth, m_bih.biHeight};

    hr = AVIFileCreateStreamA(m_pFile, &m_pStream, &info);
    if (hr != AVIERR_OK) {
        m_strError = "AVI Stream creation failed. Check Bitmap info.";
        m_strError += StreamFailureDetail(hr);
        return hr;
    }

    AVICOMPRESSOPTIONS options;
    std::memset(&options, 0, sizeof options);
    LPAVICOMPRESSOPTIONS list[1] = {&options};
    if (!AVISaveOptions(hwndOwner, 0, 1, &m_pStream, list)) {
        AVISaveOptionsFree(1, list);
        return 1;
    }

    hr = AVIMakeCompressedStream(&m_pCompressed, m_pStream, &options, nullptr);
    if (hr != AVIERR_OK) {
        AVISaveOptionsFree(1, list);
        m_strError = "AVI Compressed Stream creation failed.";
        m_strError += CompressorFailureDetail(hr);
        return hr;
    }

    const FOURCC fccChosen = options.fccHandler;
    const int nChosenQuality = static_cast<int>(options.dwQuality);
    hr = AVISaveOptionsFree(1, list);
    if (hr != AVIERR_OK) {
        m_strError = "Error releasing memory";
        return hr;
    }

    const LONG nFormatSize = static_cast<LONG>(m_bih.biSize + 4 * m_bih.biClrUsed);
    // Only the 40-byte header is held, so a colour table cannot be passed on.
    hr = m_bih.biClrUsed == 0 ? AVIStreamSetFormat(m_pCompressed, 0, &m_bih, nFormatSize) : AVIERR_BADFORMAT;
    if (hr != AVIERR_OK) {
        // The compressor's reason (a missing encoder, a size it refuses)
        // tells the user what to change.
        m_strError = "AVI Compressed Stream format setting failed.";
        m_strError += WithLeadingSpace(AVIStreamErrorText(m_pCompressed));
        return hr;
    }

    m_nFrame = 0;
    m_fccHandler = fccChosen;
    m_nQuality = nChosenQuality;
    m_bReady = true;
    return 0;
}

HRESULT CAviWriter::AddFrame(const void* pPixels)
{
    if (!m_pCompressed || !m_bReady)
        return AVIERR_BADHANDLE;
    if (m_bAbandoned)
        return AVIERR_USERABORT;
    const HRESULT hr = AVIStreamWrite(m_pCompressed, m_nFrame, 1, pPixels, static_cast<LONG>(m_bih.biSizeImage),
                                      AVIIF_KEYFRAME, nullptr, nullptr);
    ++m_nFrame;
    if (hr != AVIERR_OK && m_hrWriteError == AVIERR_OK) {
        m_hrWriteError = hr;
        m_strWriteDetail = AVIStreamErrorText(m_pCompressed);
    }
    return hr;
}

HRESULT CAviWriter::AddEncodedFrame(const EncodedFrame& frame)
{
    if (!m_pStream || !m_bReady)
        return AVIERR_BADHANDLE;
    if (m_bAbandoned)
        return AVIERR_USERABORT;
    // The compressing stream is passed by: the frame goes straight to the
    // file's stream, with the same limits the compressing stream applies.
    HRESULT hr = m_hrWriteError;
    if (hr == AVIERR_OK && ((!frame.m_pData && frame.m_nSize > 0) || frame.m_nSize > 0x7FFFFFF0u))
        hr = AVIERR_BADSIZE;
    if (hr == AVIERR_OK)
        hr = AVIStreamWrite(m_pStream, m_nFrame, 1, frame.m_pData, static_cast<LONG>(frame.m_nSize),
                            frame.m_bKeyFrame ? AVIIF_KEYFRAME : 0, nullptr, nullptr);
    ++m_nFrame;
    if (hr != AVIERR_OK && m_hrWriteError == AVIERR_OK)
        m_hrWriteError = hr;
    return hr;
}

void CAviWriter::FailFrame(HRESULT hr)
{
    if (m_hrWriteError == AVIERR_OK)
        m_hrWriteError = hr;
}

void CAviWriter::ReleaseEngine()
{
    if (m_pStream) {
        AVIStreamRelease(m_pStream);
        m_pStream = nullptr;
    }
    if (m_pCompressed) {
        AVIStreamRelease(m_pCompressed);
        m_pCompressed = nullptr;
    }
    if (m_pFile) {
        // Only a whole run replaces the file; anything else is dropped with
        // the release.
        if (m_bReady && !m_bAbandoned && m_hrWriteError == AVIERR_OK) {
            m_hrCommitError = AVIFileCommit(m_pFile);
            m_bCommitted = m_hrCommitError == AVIERR_OK;
        }
        AVIFileRelease(m_pFile);
        m_pFile = nullptr;
    }
    if (m_bServicesStarted) {
        AVIFileExit();
        m_bServicesStarted = false;
    }
    m_bReady = false;
}

void CAviWriter::Abandon()
{
    m_bAbandoned = true;
}

std::string CAviWriter::RunErrorText() const
{
    if (m_hrWriteError != AVIERR_OK)
        return "AVI frame write failed." + WriteFailureDetail(m_hrWriteError) + WithLeadingSpace(m_strWriteDetail);
    if (m_hrCommitError != AVIERR_OK)
        return "AVI file could not be finished. Check filename " + m_strFileName + "." +
               WriteFailureDetail(m_hrCommitError);
    return {};
}
