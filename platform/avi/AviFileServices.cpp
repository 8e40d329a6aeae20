#include "platform/avi/AviFileServices.h"

#include <atomic>
#include <string>
#include <strings.h>

// Local
#include "platform/avi/CAviCompressedStream.h"
#include "platform/avi/CAviFile.h"
#include "platform/avi/CAviStream.h"
#include "platform/avi/ICompressionChooser.h"

namespace {

std::atomic<int> g_nInitCount{0};
std::atomic<ICompressionChooser*> g_pChooser{nullptr};

// Only AVI files have a handler; the extension decides, in any case.
bool HasAviExtension(const std::string& strName)
{
    const auto nSlash = strName.find_last_of('/');
    const auto nDot = strName.find_last_of('.');
    if (nDot == std::string::npos || (nSlash != std::string::npos && nDot < nSlash))
        return false;
    return ::strcasecmp(strName.c_str() + nDot, ".avi") == 0;
}

} // namespace

ICompressionChooser* InstallCompressionChooser(ICompressionChooser* chooser)
{
    return g_pChooser.exchange(chooser);
}

ICompressionChooser* InstalledCompressionChooser()
{
    return g_pChooser.load();
}

DWORD VideoForWindowsVersion()
{
    return 0x010A0000;
}

void AVIFileInit()
{
    ++g_nInitCount;
}

void AVIFileExit()
{
    --g_nInitCount;
}

HRESULT AVIFileOpenA(PAVIFILE* ppfile, const char* szFile, UINT uMode, const CLSID* pclsidHandler)
{
    if (!ppfile)
        return AVIERR_BADPARAM;
    *ppfile = nullptr;
    if (!szFile || pclsidHandler)
        return AVIERR_BADPARAM;
    // Reading and editing existing files are not offered.
    if ((uMode & (OF_WRITE | OF_CREATE)) != (OF_WRITE | OF_CREATE))
        return AVIERR_UNSUPPORTED;
    const std::string strName(szFile);
    if (!HasAviExtension(strName))
        return REGDB_E_CLASSNOTREG;
    return CAviFile::Create(strName, ppfile);
}

HRESULT AVIFileSetOptions(PAVIFILE pfile, const AVIFILEOPTIONS& options)
{
    return pfile ? pfile->SetOptions(options) : AVIERR_BADHANDLE;
}

HRESULT AVIFileCreateStreamA(PAVIFILE pfile, PAVISTREAM* ppavi, const AVISTREAMINFOA* psi)
{
    if (!ppavi)
        return AVIERR_BADPARAM;
    *ppavi = nullptr;
    if (!pfile)
        return AVIERR_BADHANDLE;
    if (!psi)
        return AVIERR_BADPARAM;
    return pfile->CreateStream(*psi, ppavi);
}

BOOL AVISaveOptions(HWND hwnd, UINT /*uiFlags*/, int nStreams, PAVISTREAM* ppavi, LPAVICOMPRESSOPTIONS* plpOptions)
{
    if (nStreams < 1 || !ppavi || !plpOptions)
        return FALSE;
    ICompressionChooser* pChooser = g_pChooser.load();
    for (int i = 0; i < nStreams; ++i) {
        AVICOMPRESSOPTIONS* pOptions = plpOptions[i];
        if (!ppavi[i] || !pOptions)
            return FALSE;
        pOptions->fccType = streamtypeVIDEO;
        if (!pChooser) {
            pOptions->fccHandler = comptypeMJPG;
            pOptions->dwQuality = kMjpegDefaultQuality;
            continue;
        }
        if (!pChooser->ChooseCompression(hwnd, *pOptions))
            return FALSE;
    }
    return TRUE;
}

HRESULT AVISaveOptionsFree(int nStreams, LPAVICOMPRESSOPTIONS* plpOptions)
{
    if (nStreams < 0 || (nStreams > 0 && !plpOptions))
        return AVIERR_BADPARAM;
    // The choices carry no format or parameter blocks of their own.
    for (int i = 0; i < nStreams; ++i) {
        if (plpOptions[i]) {
            plpOptions[i]->lpFormat = nullptr;
            plpOptions[i]->cbFormat = 0;
            plpOptions[i]->lpParms = nullptr;
            plpOptions[i]->cbParms = 0;
        }
    }
    return AVIERR_OK;
}

HRESULT AVIMakeCompressedStream(PAVISTREAM* ppsCompressed, PAVISTREAM psSource, const AVICOMPRESSOPTIONS* lpOptions,
                                const CLSID* pclsidHandler)
{
    if (!ppsCompressed)
        return AVIERR_BADPARAM;
    *ppsCompressed = nullptr;
    if (!psSource)
        return AVIERR_BADHANDLE;
    if (!lpOptions || pclsidHandler)
        return AVIERR_BADPARAM;
    return CAviCompressedStream::Create(psSource, *lpOptions, ppsCompressed);
}

HRESULT AVIStreamSetFormat(PAVISTREAM pavi, LONG lPos, const void* lpFormat, LONG cbFormat)
{
    return pavi ? pavi->SetFormat(lPos, lpFormat, cbFormat) : AVIERR_BADHANDLE;
}

HRESULT AVIStreamWrite(PAVISTREAM pavi, LONG lStart, LONG lSamples, const void* lpBuffer, LONG cbBuffer,
                       DWORD dwFlags, LONG* plSampWritten, LONG* plBytesWritten)
{
    if (!pavi)
        return AVIERR_BADHANDLE;
    return pavi->Write(lStart, lSamples, lpBuffer, cbBuffer, dwFlags, plSampWritten, plBytesWritten);
}

std::string AVIStreamErrorText(PAVISTREAM pavi)
{
    return pavi ? pavi->ErrorText() : std::string();
}

ULONG AVIStreamRelease(PAVISTREAM pavi)
{
    return pavi ? pavi->Release() : 0;
}

HRESULT AVIFileCommit(PAVIFILE pfile)
{
    return pfile ? pfile->Commit() : AVIERR_BADHANDLE;
}

ULONG AVIFileRelease(PAVIFILE pfile)
{
    return pfile ? pfile->Release() : 0;
}
