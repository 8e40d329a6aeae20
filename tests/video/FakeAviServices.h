#pragma once

// A scripted stand-in for the AVI file services, linked instead of the real
// ones, so that every outcome of opening can be produced and the calls the
// writer makes can be checked in order.

#include <string>
#include <vector>

// Local
#include "platform/avi/AviTypes.h"

struct FakeAviScript {
    DWORD dwVersion = 0x010A0000;
    HRESULT hrOpen = AVIERR_OK;
    HRESULT hrCreateStream = AVIERR_OK;
    BOOL bSaveOptions = TRUE;
    HRESULT hrMakeCompressed = AVIERR_OK;
    HRESULT hrOptionsFree = AVIERR_OK;
    HRESULT hrSetFormat = AVIERR_OK;
    HRESULT hrWrite = AVIERR_OK;
    HRESULT hrCommit = AVIERR_OK;

    // What the writer passed.
    std::vector<std::string> calls;
    std::string strOpenName;
    UINT uOpenMode = 0;
    AVISTREAMINFOA info{};
    LONG cbFormat = 0;
    BITMAPINFOHEADER format{};
    std::vector<LONG> writePositions;
    std::vector<LONG> writeSizes;
    std::vector<DWORD> writeFlags;
};

// Reset before each test.
FakeAviScript& FakeAvi();

// Handles the fake hands out.
PAVIFILE FakeFileHandle();
PAVISTREAM FakeStreamHandle();
PAVISTREAM FakeCompressedHandle();
