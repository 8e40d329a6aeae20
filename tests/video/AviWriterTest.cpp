// CAviWriter against scripted file services linked in place of the real
// ones: a wrong status or text for any outcome of opening, writing or
// finishing, frames numbered wrongly after a failed write, a failed run kept.

#include <cstdint>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

// Local
#include "platform/avi/AviFileServices.h"
#include "video/CAviWriter.h"

using ::testing::ElementsAre;

namespace {

struct Script {
    std::int32_t nVersion = 0x010A0000, bChosen = TRUE;
    std::int32_t hrOpen = 0, hrStream = 0, hrCompressed = 0, hrFree = 0, hrFormat = 0, hrWrite = 0, hrCommit = 0;
    std::string strStreamError;  // What the compressing stream says went wrong.
    int nCommits = 0;
    std::vector<std::string> writes;  // "stream,position,samples,bytes,flags" of each frame handed over
} g_fake;

char g_file, g_stream, g_compressed;

// Hands out a stand-in object unless the step is scripted to fail.
template <class T>
HRESULT Hand(T** pp, HRESULT hr, char& object)
{
    *pp = hr ? nullptr : reinterpret_cast<T*>(&object);
    return hr;
}

} // namespace

DWORD VideoForWindowsVersion() { return static_cast<DWORD>(g_fake.nVersion); }
void AVIFileInit() {}
void AVIFileExit() {}
HRESULT AVIFileSetOptions(PAVIFILE, const AVIFILEOPTIONS&) { return 0; }
HRESULT AVIFileOpenA(PAVIFILE* pp, const char*, UINT, const CLSID*) { return Hand(pp, g_fake.hrOpen, g_file); }
HRESULT AVIFileCreateStreamA(PAVIFILE, PAVISTREAM* pp, const AVISTREAMINFOA*) { return Hand(pp, g_fake.hrStream, g_stream); }
BOOL AVISaveOptions(HWND, UINT, int, PAVISTREAM*, LPAVICOMPRESSOPTIONS*) { return g_fake.bChosen; }
HRESULT AVISaveOptionsFree(int, LPAVICOMPRESSOPTIONS*) { return g_fake.hrFree; }
HRESULT AVIMakeCompressedStream(PAVISTREAM* pp, PAVISTREAM, const AVICOMPRESSOPTIONS*, const CLSID*)
{
    return Hand(pp, g_fake.hrCompressed, g_compressed);
}
HRESULT AVIStreamSetFormat(PAVISTREAM, LONG, const void*, LONG) { return g_fake.hrFormat; }
HRESULT AVIStreamWrite(PAVISTREAM pavi, LONG lStart, LONG lSamples, const void*, LONG cbBuffer, DWORD dwFlags, LONG*,
                       LONG*)
{
    g_fake.writes.push_back(std::string(reinterpret_cast<char*>(pavi) == &g_stream ? "stream," : "compressed,") +
                            std::to_string(lStart) + "," + std::to_string(lSamples) + "," + std::to_string(cbBuffer) +
                            "," + std::to_string(dwFlags));
    return g_fake.hrWrite;
}
ULONG AVIStreamRelease(PAVISTREAM) { return 0; }
HRESULT AVIFileCommit(PAVIFILE)
{
    ++g_fake.nCommits;
    return g_fake.hrCommit;
}
ULONG AVIFileRelease(PAVIFILE) { return 0; }
std::string AVIStreamErrorText(PAVISTREAM) { return g_fake.strStreamError; }

namespace {

// Starts a script, opens a writer for an 8 × 4 canvas and gives the status.
HRESULT Open(CAviWriter& writer, Script script = {})
{
    g_fake = script;
    writer.SetBitmapHeader({40, 8, 4, 1, 24, BI_RGB, 96, 0, 0, 0, 0});
    writer.m_strFileName = "out.avi";
    writer.m_strError = "stale";
    return writer.InitEngine(nullptr);
}

struct Outcome {
    const char* szName;
    std::int32_t Script::*pStep; // the step scripted to give nValue
    std::int32_t nValue;
    HRESULT hrStatus;
    std::string strError;
    const char* pszRunError = ""; // what the run reports once released
};

const std::string kOpen = "AVI Engine failed to initialize. Check filename out.avi.";
const std::string kStream = "AVI Stream creation failed. Check Bitmap info.";
const std::string kCompressed = "AVI Compressed Stream creation failed.";
const std::string kFormat = "AVI Compressed Stream format setting failed.";

const Outcome kOutcomes[] = {
    {"TooOld", &Script::nVersion, 0x01090000, 1,
     "Version of Video for Windows too old. Come on, join the 21th century!"},
    {"NoHandler", &Script::hrOpen, REGDB_E_CLASSNOTREG, REGDB_E_CLASSNOTREG,
     kOpen + "According to the registry, the type of file specified in AVIFileOpen does not have a handler to "
             "process it"},
    {"BadFormat", &Script::hrOpen, AVIERR_BADFORMAT, AVIERR_BADFORMAT,
     kOpen + "The file couldn't be read, indicating a corrupt file or an unrecognized format."},
    {"OpenMemory", &Script::hrOpen, AVIERR_MEMORY, AVIERR_MEMORY,
     kOpen + "The file could not be opened because of insufficient memory."},
    {"FileRead", &Script::hrOpen, AVIERR_FILEREAD, AVIERR_FILEREAD,
     kOpen + "A disk error occurred while reading the file."},
    {"FileOpen", &Script::hrOpen, AVIERR_FILEOPEN, AVIERR_FILEOPEN,
     kOpen + "A disk error occurred while opening the file."},
    {"OpenOther", &Script::hrOpen, AVIERR_ERROR, AVIERR_ERROR, kOpen},
    {"ReadOnly", &Script::hrStream, AVIERR_READONLY, AVIERR_READONLY, kStream + " Read only file."},
    {"StreamOther", &Script::hrStream, AVIERR_BADFORMAT, AVIERR_BADFORMAT, kStream},
    {"Cancelled", &Script::bChosen, FALSE, 1, "Ok"},
    {"Unsupported", &Script::hrCompressed, AVIERR_UNSUPPORTED, AVIERR_UNSUPPORTED,
     kCompressed + "Compression is not supported for this type of data. This error might be returned if you try "
                   "to compress data that is not audio or video."},
    {"CompressedMemory", &Script::hrCompressed, AVIERR_MEMORY, AVIERR_MEMORY,
     kCompressed + " There is not enough memory to complete the operation."},
    {"NoCompressor", &Script::hrCompressed, AVIERR_NOCOMPRESSOR, AVIERR_NOCOMPRESSOR,
     kCompressed + " A suitable compressor cannot be found."},
    {"CompressedOther", &Script::hrCompressed, AVIERR_BADPARAM, AVIERR_BADPARAM, kCompressed},
    {"FreeFailed", &Script::hrFree, AVIERR_ERROR, AVIERR_ERROR, "Error releasing memory"},
    {"FormatFailed", &Script::hrFormat, AVIERR_BADFORMAT, AVIERR_BADFORMAT, kFormat},
    {"CommitFailed", &Script::hrCommit, AVIERR_FILEWRITE, 0, "Ok",
     "AVI file could not be finished. Check filename out.avi. A disk error occurred while writing the file."},
    {"Success", &Script::hrOpen, 0, 0, "Ok"},
};

class AviWriterOutcomeTest : public ::testing::TestWithParam<Outcome> {};

TEST_P(AviWriterOutcomeTest, StatusTextAndReleases)
{
    Script script;
    script.*GetParam().pStep = GetParam().nValue;
    CAviWriter writer;
    EXPECT_EQ(Open(writer, script), GetParam().hrStatus);
    EXPECT_EQ(writer.m_strError, GetParam().strError);
    writer.ReleaseEngine();
    EXPECT_EQ(writer.RunErrorText(), GetParam().pszRunError);
    EXPECT_EQ(writer.IsCommitted(), GetParam().hrStatus == 0 && !*GetParam().pszRunError);
}

INSTANTIATE_TEST_SUITE_P(All, AviWriterOutcomeTest, ::testing::ValuesIn(kOutcomes),
                         [](const auto& info) { return std::string(info.param.szName); });

TEST(AviWriterTest, ExtensionIsAddedToNamesWithoutAvi)
{
    for (const auto& [pszIn, pszOut] : {std::pair{"movie", "movie.avi"}, {"movie.AVI", "movie.AVI.avi"},
                                        {"avid/clip.mp4", "avid/clip.mp4"}, {"Žluťoučký kůň", "Žluťoučký kůň.avi"}}) {
        CAviWriter writer;
        writer.m_strFileName = pszIn;
        writer.EnsureAviExtension();
        EXPECT_EQ(writer.m_strFileName, pszOut);
    }
}

// Frames keep their positions after a failed write and go whole, as key frames
// unless an encoder says otherwise; a failed write or encoding is reported,
// and such a run, an abandoned or a forgotten one is not kept.
TEST(AviWriterTest, FailuresSpoilTheRunButFramesKeepTheirPositions)
{
    const std::vector<BYTE> bytes(96);
    CAviWriter writer, encoded, abandoned;
    EXPECT_EQ(writer.AddEncodedFrame(EncodedFrame{}), AVIERR_BADHANDLE);
    ASSERT_EQ(Open(writer), 0);
    EXPECT_EQ(writer.AddFrame(bytes.data()), 0);
    EXPECT_EQ(writer.AddEncodedFrame(EncodedFrame{bytes.data(), 40, true}), 0);
    EXPECT_EQ(writer.AddEncodedFrame(EncodedFrame{bytes.data(), 7, false}), 0);
    g_fake.hrWrite = AVIERR_COMPRESSOR;
    g_fake.strStreamError = "The encoder gave nothing back for frame 3.";
    EXPECT_EQ(writer.AddFrame(bytes.data()), AVIERR_COMPRESSOR);
    g_fake.hrWrite = 0;
    EXPECT_EQ(writer.AddFrame(bytes.data()), 0);
    EXPECT_THAT(g_fake.writes, ElementsAre("compressed,0,1,96,16", "stream,1,1,40,16", "stream,2,1,7,0",
                                           "compressed,3,1,96,16", "compressed,4,1,96,16"));
    EXPECT_TRUE(writer.HasWriteFailed());
    writer.ReleaseEngine();
    EXPECT_EQ(writer.RunErrorText(), "AVI frame write failed. The compressor could not compress the frame. The "
                                     "encoder gave nothing back for frame 3.");

    ASSERT_EQ(Open(encoded), 0);
    encoded.FailFrame(AVIERR_COMPRESSOR);
    EXPECT_EQ(encoded.AddEncodedFrame(EncodedFrame{bytes.data(), 40, true}), AVIERR_COMPRESSOR);
    EXPECT_EQ(encoded.m_nFrame, 1);
    encoded.ReleaseEngine();
    EXPECT_EQ(encoded.RunErrorText(), "AVI frame write failed. The compressor could not compress the frame.");
    {
        CAviWriter forgotten;
        ASSERT_EQ(Open(forgotten), 0);
    }
    EXPECT_EQ(g_fake.nCommits, 0);
    ASSERT_EQ(Open(abandoned), 0);
    abandoned.Abandon();
    EXPECT_EQ(abandoned.AddFrame(bytes.data()), AVIERR_USERABORT);
    abandoned.ReleaseEngine();
    EXPECT_FALSE(writer.IsCommitted() || encoded.IsCommitted() || abandoned.IsCommitted());
}

} // namespace
