#pragma once

// The AVI file services: write one AVI file (OpenDML, any size) with one
// video stream, compressed by a compressor the user chooses. The calls keep
// the Windows names, arguments and result codes.
//
// A file opened for writing lives in a temporary file beside its name until
// AVIFileCommit completes it and moves it into place; a file released without
// a successful commit is removed, so an existing file of that name is never
// touched by an unfinished or failed run.

#include <string>

// Local
#include "platform/avi/AviTypes.h"

// Version of the services: 1.10 in the upper 16 bits.
DWORD VideoForWindowsVersion();

// Start and end the use of the services. Calls nest.
void AVIFileInit();
void AVIFileExit();

// Opens a new AVI file for writing (uMode must hold OF_WRITE | OF_CREATE).
// The handler is chosen by the name's extension: only ".avi" (any case) has
// one, other names give REGDB_E_CLASSNOTREG. An unwritable folder or a name
// that is a folder gives AVIERR_FILEOPEN.
HRESULT AVIFileOpenA(PAVIFILE* ppfile, const char* szFile, UINT uMode, const CLSID* pclsidHandler);

// Changes the segment layout; only before the first frame is written.
HRESULT AVIFileSetOptions(PAVIFILE pfile, const AVIFILEOPTIONS& options);

// Creates the file's one video stream. The rate, scale and frame rectangle
// must be non-empty (AVIERR_BADFORMAT otherwise).
HRESULT AVIFileCreateStreamA(PAVIFILE pfile, PAVISTREAM* ppavi, const AVISTREAMINFOA* psi);

// Asks the installed compression chooser (platform/avi/ICompressionChooser.h)
// for each stream's compressor. FALSE when the user cancels.
BOOL AVISaveOptions(HWND hwnd, UINT uiFlags, int nStreams, PAVISTREAM* ppavi, LPAVICOMPRESSOPTIONS* plpOptions);
HRESULT AVISaveOptionsFree(int nStreams, LPAVICOMPRESSOPTIONS* plpOptions);

// Lays a compressing stream over psSource. Unknown compressors give
// AVIERR_NOCOMPRESSOR, a Motion JPEG quality outside 1..100 AVIERR_BADPARAM.
HRESULT AVIMakeCompressedStream(PAVISTREAM* ppsCompressed, PAVISTREAM psSource, const AVICOMPRESSOPTIONS* lpOptions,
                                const CLSID* pclsidHandler);

// Sets the frame format: a BITMAPINFOHEADER of a 24-bit uncompressed bottom-up
// picture for a compressing stream, any BITMAPINFOHEADER for a file stream.
HRESULT AVIStreamSetFormat(PAVISTREAM pavi, LONG lPos, const void* lpFormat, LONG cbFormat);

// Writes lSamples (1) frame at position lStart, which must be the next one.
// After a failure the stream refuses every further write with that code.
HRESULT AVIStreamWrite(PAVISTREAM pavi, LONG lStart, LONG lSamples, const void* lpBuffer, LONG cbBuffer,
                       DWORD dwFlags, LONG* plSampWritten, LONG* plBytesWritten);

// The compressor's own words for the stream's last failure (for example an
// encoder missing from the installed libraries), or empty.
std::string AVIStreamErrorText(PAVISTREAM pavi);

ULONG AVIStreamRelease(PAVISTREAM pavi);

// Completes the file (indexes, headers, flush) and puts it in place of its
// name. Fails with the first write error of the run, or AVIERR_FILEWRITE when
// the file cannot be finished or moved; the temporary file is then removed.
HRESULT AVIFileCommit(PAVIFILE pfile);

// Drops a reference; the last one closes the file, removing it unless it was
// committed.
ULONG AVIFileRelease(PAVIFILE pfile);
