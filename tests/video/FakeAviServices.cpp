#include "tests/video/FakeAviServices.h"

#include <cstring>

// Local
#include "platform/avi/AviFileServices.h"

namespace {
char g_file, g_stream, g_compressed;
}

FakeAviScript& FakeAvi()
{
    static FakeAviScript script;
    return script;
}

PAVIFILE FakeFileHandle() { return reinterpret_cast<PAVIFILE>(&g_file); }
PAVISTREAM FakeStreamHandle() { return reinterpret_cast<PAVISTREAM>(&g_stream); }
PAVISTREAM FakeCompressedHandle() { return reinterpret_cast<PAVISTREAM>(&g_compressed); }

static std::string Name(const void* p)
{
    if (p == FakeFileHandle())
        return "file";
    if (p == FakeStreamHandle())
        return "stream";
    if (p == FakeCompressedHandle())
        return "compressed";
    return "?";
}

DWORD VideoForWindowsVersion()
{
    FakeAvi().calls.push_back("Version");
    return FakeAvi().dwVersion;
}

void AVIFileInit() { FakeAvi().calls.push_back("Init"); }
void AVIFileExit() { FakeAvi().calls.push_back("Exit"); }

HRESULT AVIFileOpenA(PAVIFILE* ppfile, const char* szFile, UINT uMode, const CLSID*)
{
    FakeAvi().calls.push_back("Open");
    FakeAvi().strOpenName = szFile;
    FakeAvi().uOpenMode = uMode;
    *ppfile = FakeAvi().hrOpen == AVIERR_OK ? FakeFileHandle() : nullptr;
    return FakeAvi().hrOpen;
}

HRESULT AVIFileSetOptions(PAVIFILE, const AVIFILEOPTIONS&) { return AVIERR_OK; }

HRESULT AVIFileCreateStreamA(PAVIFILE pfile, PAVISTREAM* ppavi, const AVISTREAMINFOA* psi)
{
    FakeAvi().calls.push_back("CreateStream(" + Name(pfile) + ")");
    FakeAvi().info = *psi;
    *ppavi = FakeAvi().hrCreateStream == AVIERR_OK ? FakeStreamHandle() : nullptr;
    return FakeAvi().hrCreateStream;
}

BOOL AVISaveOptions(HWND, UINT uiFlags, int nStreams, PAVISTREAM* ppavi, LPAVICOMPRESSOPTIONS* plpOptions)
{
    FakeAvi().calls.push_back("SaveOptions(" + std::to_string(uiFlags) + "," + std::to_string(nStreams) + "," +
                              Name(ppavi[0]) + ")");
    plpOptions[0]->fccHandler = comptypeDIB;
    return FakeAvi().bSaveOptions;
}

HRESULT AVISaveOptionsFree(int nStreams, LPAVICOMPRESSOPTIONS*)
{
    FakeAvi().calls.push_back("SaveOptionsFree(" + std::to_string(nStreams) + ")");
    return FakeAvi().hrOptionsFree;
}

HRESULT AVIMakeCompressedStream(PAVISTREAM* ppsCompressed, PAVISTREAM psSource, const AVICOMPRESSOPTIONS*,
                                const CLSID*)
{
    FakeAvi().calls.push_back("MakeCompressed(" + Name(psSource) + ")");
    *ppsCompressed = FakeAvi().hrMakeCompressed == AVIERR_OK ? FakeCompressedHandle() : nullptr;
    return FakeAvi().hrMakeCompressed;
}

HRESULT AVIStreamSetFormat(PAVISTREAM pavi, LONG lPos, const void* lpFormat, LONG cbFormat)
{
    FakeAvi().calls.push_back("SetFormat(" + Name(pavi) + "," + std::to_string(lPos) + ")");
    FakeAvi().cbFormat = cbFormat;
    std::memcpy(&FakeAvi().format, lpFormat, sizeof(BITMAPINFOHEADER));
    return FakeAvi().hrSetFormat;
}

HRESULT AVIStreamWrite(PAVISTREAM pavi, LONG lStart, LONG lSamples, const void*, LONG cbBuffer, DWORD dwFlags,
                       LONG* plSampWritten, LONG* plBytesWritten)
{
    FakeAvi().calls.push_back("Write(" + Name(pavi) + ")");
    FakeAvi().writePositions.push_back(lStart);
    FakeAvi().writeSizes.push_back(cbBuffer * lSamples);
    FakeAvi().writeFlags.push_back(dwFlags);
    if (plSampWritten || plBytesWritten)
        FakeAvi().calls.push_back("asked for counts");
    return FakeAvi().hrWrite;
}

ULONG AVIStreamRelease(PAVISTREAM pavi)
{
    FakeAvi().calls.push_back("StreamRelease(" + Name(pavi) + ")");
    return 0;
}

HRESULT AVIFileCommit(PAVIFILE pfile)
{
    FakeAvi().calls.push_back("Commit(" + Name(pfile) + ")");
    return FakeAvi().hrCommit;
}

ULONG AVIFileRelease(PAVIFILE pfile)
{
    FakeAvi().calls.push_back("FileRelease(" + Name(pfile) + ")");
    return 0;
}
