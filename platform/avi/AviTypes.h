#pragma once

// The data types, constants and result codes of the AVI file services, with
// the Windows names, values and layouts. The services themselves are declared
// in platform/avi/AviFileServices.h.

#include <cstdint>

// Local
#include "platform/win/WinTypes.h"

using FOURCC = DWORD;
using ULONG = std::uint32_t;
using LONGLONG = std::int64_t;

constexpr FOURCC mmioFOURCC(char c0, char c1, char c2, char c3)
{
    return static_cast<FOURCC>(static_cast<BYTE>(c0)) | (static_cast<FOURCC>(static_cast<BYTE>(c1)) << 8) |
           (static_cast<FOURCC>(static_cast<BYTE>(c2)) << 16) | (static_cast<FOURCC>(static_cast<BYTE>(c3)) << 24);
}

// Stream types and the compressors the services offer.
inline constexpr FOURCC streamtypeVIDEO = mmioFOURCC('v', 'i', 'd', 's');
inline constexpr FOURCC comptypeDIB = mmioFOURCC('D', 'I', 'B', ' ');     // full frames, uncompressed
inline constexpr FOURCC comptypeMJPG = mmioFOURCC('M', 'J', 'P', 'G');    // Motion JPEG
inline constexpr FOURCC comptypeH264 = mmioFOURCC('H', '2', '6', '4');    // H.264 (libx264)
inline constexpr FOURCC comptypeFFV1 = mmioFOURCC('F', 'F', 'V', '1');    // FFV1, lossless

// Opening modes (only writing a new file is supported).
inline constexpr UINT OF_READ = 0x0000;
inline constexpr UINT OF_WRITE = 0x0001;
inline constexpr UINT OF_CREATE = 0x1000;

// Sample flags.
inline constexpr DWORD AVIIF_KEYFRAME = 0x10;

// Result codes: 0 is success, failures are negative HRESULTs.
inline constexpr HRESULT AVIERR_OK = 0;
constexpr HRESULT MakeAviErr(unsigned n) { return static_cast<HRESULT>(0x80044000u + n); }
inline constexpr HRESULT AVIERR_UNSUPPORTED = MakeAviErr(101);   // 0x80044065
inline constexpr HRESULT AVIERR_BADFORMAT = MakeAviErr(102);     // 0x80044066
inline constexpr HRESULT AVIERR_MEMORY = MakeAviErr(103);        // 0x80044067
inline constexpr HRESULT AVIERR_INTERNAL = MakeAviErr(104);
inline constexpr HRESULT AVIERR_BADFLAGS = MakeAviErr(105);
inline constexpr HRESULT AVIERR_BADPARAM = MakeAviErr(106);
inline constexpr HRESULT AVIERR_BADSIZE = MakeAviErr(107);
inline constexpr HRESULT AVIERR_BADHANDLE = MakeAviErr(108);
inline constexpr HRESULT AVIERR_FILEREAD = MakeAviErr(109);      // 0x8004406D
inline constexpr HRESULT AVIERR_FILEWRITE = MakeAviErr(110);     // 0x8004406E
inline constexpr HRESULT AVIERR_FILEOPEN = MakeAviErr(111);      // 0x8004406F
inline constexpr HRESULT AVIERR_COMPRESSOR = MakeAviErr(112);
inline constexpr HRESULT AVIERR_NOCOMPRESSOR = MakeAviErr(113);  // 0x80044071
inline constexpr HRESULT AVIERR_READONLY = MakeAviErr(114);      // 0x80044072
inline constexpr HRESULT AVIERR_NODATA = MakeAviErr(115);
inline constexpr HRESULT AVIERR_BUFFERTOOSMALL = MakeAviErr(116);
inline constexpr HRESULT AVIERR_CANTCOMPRESS = MakeAviErr(117);
inline constexpr HRESULT AVIERR_USERABORT = MakeAviErr(198);
inline constexpr HRESULT AVIERR_ERROR = MakeAviErr(199);
inline constexpr HRESULT REGDB_E_CLASSNOTREG = static_cast<HRESULT>(0x80040154u);

// A file-handler class; the services have one handler and take none.
struct CLSID {
    DWORD Data1;
    WORD Data2;
    WORD Data3;
    BYTE Data4[8];
};

// Handles of open files and streams (reference-counted service objects).
class CAviFile;
class CAviStream;
using PAVIFILE = CAviFile*;
using PAVISTREAM = CAviStream*;

struct AVISTREAMINFOA {
    FOURCC fccType;
    FOURCC fccHandler;
    DWORD dwFlags;
    DWORD dwCaps;
    WORD wPriority;
    WORD wLanguage;
    DWORD dwScale;
    DWORD dwRate;
    DWORD dwStart;
    DWORD dwLength;
    DWORD dwInitialFrames;
    DWORD dwSuggestedBufferSize;
    DWORD dwQuality;
    DWORD dwSampleSize;
    RECT rcFrame;
    DWORD dwEditCount;
    DWORD dwFormatChangeCount;
    char szName[64];
};
static_assert(sizeof(AVISTREAMINFOA) == 140);

// A compressor choice. fccHandler is comptypeDIB (or 0) for full frames,
// comptypeMJPG, comptypeH264 or comptypeFFV1; dwQuality is the quality 1..100
// of Motion JPEG and H.264 (FFV1 is lossless and ignores it).
struct AVICOMPRESSOPTIONS {
    FOURCC fccType;
    FOURCC fccHandler;
    DWORD dwKeyFrameEvery;
    DWORD dwQuality;
    DWORD dwBytesPerSecond;
    DWORD dwFlags;
    void* lpFormat;
    DWORD cbFormat;
    void* lpParms;
    DWORD cbParms;
    DWORD dwInterleaveEvery;
};
using LPAVICOMPRESSOPTIONS = AVICOMPRESSOPTIONS*;

inline constexpr DWORD kMjpegDefaultQuality = 90;

// Layout of a file being written. A file grows in RIFF segments of at most
// llSegmentSize bytes (the first one 'AVI ', the rest 'AVIX'); the super index
// has room for dwSuperIndexEntries segments.
struct AVIFILEOPTIONS {
    LONGLONG llSegmentSize = LONGLONG{1} << 30;
    DWORD dwSuperIndexEntries = 2048;
};
