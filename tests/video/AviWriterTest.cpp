// CAviWriter against scripted file services: every outcome of opening, the
// calls made and released in order, frame numbering and completion.

#include <cstring>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

// Local
#include "tests/video/FakeAviServices.h"
#include "video/CAviWriter.h"

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

namespace {

BITMAPINFOHEADER Canvas(LONG nWidth, LONG nHeight)
{
    BITMAPINFOHEADER bih{};
    bih.biSize = 40;
    bih.biWidth = nWidth;
    bih.biHeight = nHeight;
    bih.biPlanes = 1;
    bih.biBitCount = 24;
    bih.biSizeImage = static_cast<DWORD>(nWidth * 3 * nHeight);
    return bih;
}

class AviWriterTest : public ::testing::Test {
protected:
    void SetUp() override { FakeAvi() = FakeAviScript{}; }

    // Opens a configured writer and gives the calls of InitEngine only.
    HRESULT Open(CAviWriter& writer)
    {
        writer.SetBitmapHeader(Canvas(8, 4));
        writer.m_strFileName = "out.avi";
        writer.m_nRate = 25;
        const HRESULT hr = writer.InitEngine(nullptr);
        m_initCalls = FakeAvi().calls;
        FakeAvi().calls.clear();
        return hr;
    }

    std::vector<std::string> m_initCalls;
};

const std::vector<std::string> kUpToStream = {"Version", "Init", "Open", "CreateStream(file)"};

std::vector<std::string> Calls(std::vector<std::string> head, std::initializer_list<std::string> tail)
{
    head.insert(head.end(), tail);
    return head;
}

struct Outcome {
    const char* szName;
    void (*script)(FakeAviScript&);
    HRESULT hrStatus;
    std::string strError;
    std::vector<std::string> initCalls;
    std::vector<std::string> releaseCalls;
};

const std::string kOpenText = "AVI Engine failed to initialize. Check filename out.avi.";
const std::vector<std::string> kReleaseAll = {"StreamRelease(stream)", "StreamRelease(compressed)",
                                              "FileRelease(file)", "Exit"};

const Outcome kOutcomes[] = {
    {"TooOld", [](FakeAviScript& s) { s.dwVersion = 0x01090000; }, 1,
     "Version of Video for Windows too old. Come on, join the 21th century!", {"Version"}, {}},
    {"OpenClassNotRegistered", [](FakeAviScript& s) { s.hrOpen = REGDB_E_CLASSNOTREG; }, REGDB_E_CLASSNOTREG,
     kOpenText + "According to the registry, the type of file specified in AVIFileOpen does not have a handler to "
                 "process it",
     {"Version", "Init", "Open"}, {"Exit"}},
    {"OpenBadFormat", [](FakeAviScript& s) { s.hrOpen = AVIERR_BADFORMAT; }, AVIERR_BADFORMAT,
     kOpenText + "The file couldn't be read, indicating a corrupt file or an unrecognized format.",
     {"Version", "Init", "Open"}, {"Exit"}},
    {"OpenMemory", [](FakeAviScript& s) { s.hrOpen = AVIERR_MEMORY; }, AVIERR_MEMORY,
     kOpenText + "The file could not be opened because of insufficient memory.", {"Version", "Init", "Open"},
     {"Exit"}},
    {"OpenFileRead", [](FakeAviScript& s) { s.hrOpen = AVIERR_FILEREAD; }, AVIERR_FILEREAD,
     kOpenText + "A disk error occurred while reading the file.", {"Version", "Init", "Open"}, {"Exit"}},
    {"OpenFileOpen", [](FakeAviScript& s) { s.hrOpen = AVIERR_FILEOPEN; }, AVIERR_FILEOPEN,
     kOpenText + "A disk error occurred while opening the file.", {"Version", "Init", "Open"}, {"Exit"}},
    {"OpenOther", [](FakeAviScript& s) { s.hrOpen = AVIERR_ERROR; }, AVIERR_ERROR, kOpenText,
     {"Version", "Init", "Open"}, {"Exit"}},
    {"StreamReadOnly", [](FakeAviScript& s) { s.hrCreateStream = AVIERR_READONLY; }, AVIERR_READONLY,
     "AVI Stream creation failed. Check Bitmap info. Read only file.", kUpToStream, {"FileRelease(file)", "Exit"}},
    {"StreamOther", [](FakeAviScript& s) { s.hrCreateStream = AVIERR_BADFORMAT; }, AVIERR_BADFORMAT,
     "AVI Stream creation failed. Check Bitmap info.", kUpToStream, {"FileRelease(file)", "Exit"}},
    {"Cancelled", [](FakeAviScript& s) { s.bSaveOptions = FALSE; }, 1, "Ok",
     Calls(kUpToStream, {"SaveOptions(0,1,stream)", "SaveOptionsFree(1)"}),
     {"StreamRelease(stream)", "FileRelease(file)", "Exit"}},
    {"CompressedUnsupported", [](FakeAviScript& s) { s.hrMakeCompressed = AVIERR_UNSUPPORTED; }, AVIERR_UNSUPPORTED,
     "AVI Compressed Stream creation failed.Compression is not supported for this type of data. This error might "
     "be returned if you try to compress data that is not audio or video.",
     Calls(kUpToStream, {"SaveOptions(0,1,stream)", "MakeCompressed(stream)", "SaveOptionsFree(1)"}),
     {"StreamRelease(stream)", "FileRelease(file)", "Exit"}},
    {"CompressedMemory", [](FakeAviScript& s) { s.hrMakeCompressed = AVIERR_MEMORY; }, AVIERR_MEMORY,
     "AVI Compressed Stream creation failed. There is not enough memory to complete the operation.",
     Calls(kUpToStream, {"SaveOptions(0,1,stream)", "MakeCompressed(stream)", "SaveOptionsFree(1)"}),
     {"StreamRelease(stream)", "FileRelease(file)", "Exit"}},
    {"CompressedNoCompressor", [](FakeAviScript& s) { s.hrMakeCompressed = AVIERR_NOCOMPRESSOR; },
     AVIERR_NOCOMPRESSOR, "AVI Compressed Stream creation failed. A suitable compressor cannot be found.",
     Calls(kUpToStream, {"SaveOptions(0,1,stream)", "MakeCompressed(stream)", "SaveOptionsFree(1)"}),
     {"StreamRelease(stream)", "FileRelease(file)", "Exit"}},
    {"CompressedOther", [](FakeAviScript& s) { s.hrMakeCompressed = AVIERR_BADPARAM; }, AVIERR_BADPARAM,
     "AVI Compressed Stream creation failed.",
     Calls(kUpToStream, {"SaveOptions(0,1,stream)", "MakeCompressed(stream)", "SaveOptionsFree(1)"}),
     {"StreamRelease(stream)", "FileRelease(file)", "Exit"}},
    {"OptionsFreeFailed", [](FakeAviScript& s) { s.hrOptionsFree = AVIERR_ERROR; }, AVIERR_ERROR,
     "Error releasing memory",
     Calls(kUpToStream, {"SaveOptions(0,1,stream)", "MakeCompressed(stream)", "SaveOptionsFree(1)"}), kReleaseAll},
    {"FormatFailed", [](FakeAviScript& s) { s.hrSetFormat = AVIERR_BADFORMAT; }, AVIERR_BADFORMAT,
     "AVI Compressed Stream format setting failed.",
     Calls(kUpToStream,
           {"SaveOptions(0,1,stream)", "MakeCompressed(stream)", "SaveOptionsFree(1)", "SetFormat(compressed,0)"}),
     kReleaseAll},
    {"Success", [](FakeAviScript&) {}, 0, "Ok",
     Calls(kUpToStream,
           {"SaveOptions(0,1,stream)", "MakeCompressed(stream)", "SaveOptionsFree(1)", "SetFormat(compressed,0)"}),
     {"StreamRelease(stream)", "StreamRelease(compressed)", "Commit(file)", "FileRelease(file)", "Exit"}},
};

class AviWriterOutcomeTest : public AviWriterTest, public ::testing::WithParamInterface<Outcome> {};

TEST_P(AviWriterOutcomeTest, StatusTextAndReleases)
{
    const Outcome& o = GetParam();
    o.script(FakeAvi());
    CAviWriter writer;
    writer.m_strError = "stale";
    EXPECT_EQ(Open(writer), o.hrStatus);
    EXPECT_EQ(writer.m_strError, o.strError);
    EXPECT_THAT(m_initCalls, ElementsAreArray(o.initCalls));
    writer.ReleaseEngine();
    EXPECT_THAT(FakeAvi().calls, ElementsAreArray(o.releaseCalls));
    EXPECT_EQ(writer.m_pFile, nullptr);
    EXPECT_EQ(writer.m_pStream, nullptr);
    EXPECT_EQ(writer.m_pCompressed, nullptr);
    EXPECT_EQ(writer.IsCommitted(), o.hrStatus == 0);

    // A second release finds nothing left to release.
    FakeAvi().calls.clear();
    writer.ReleaseEngine();
    EXPECT_TRUE(FakeAvi().calls.empty());
}

INSTANTIATE_TEST_SUITE_P(All, AviWriterOutcomeTest, ::testing::ValuesIn(kOutcomes),
                         [](const auto& info) { return std::string(info.param.szName); });

TEST_F(AviWriterTest, DefaultsAndExtensionRule)
{
    CAviWriter writer;
    EXPECT_EQ(writer.m_strFileName, "Untitled.avi");
    EXPECT_EQ(writer.m_nRate, 30);
    EXPECT_EQ(writer.m_nFrame, 0);
    EXPECT_EQ(writer.m_strError, "");
    const BITMAPINFOHEADER zero{};
    EXPECT_EQ(std::memcmp(&writer.m_bih, &zero, sizeof zero), 0);

    const std::pair<std::string, std::string> cases[] = {
        {"Untitled.avi", "Untitled.avi"},
        {"movie", "movie.avi"},
        {"movie.AVI", "movie.AVI.avi"},
        {"avid/clip.mp4", "avid/clip.mp4"},
        {"navigate.bmp", "navigate.bmp"},
        {"Žluťoučký kůň", "Žluťoučký kůň.avi"},
        {"", ".avi"},
    };
    for (const auto& [strIn, strOut] : cases) {
        writer.m_strFileName = strIn;
        writer.EnsureAviExtension();
        EXPECT_EQ(writer.m_strFileName, strOut);
    }
}

TEST_F(AviWriterTest, StreamDescriptionAndFormatComeFromTheHeader)
{
    CAviWriter writer;
    ASSERT_EQ(Open(writer), 0);
    EXPECT_EQ(FakeAvi().strOpenName, "out.avi");
    EXPECT_EQ(FakeAvi().uOpenMode, 0x1001u);
    const AVISTREAMINFOA& info = FakeAvi().info;
    EXPECT_EQ(info.fccType, streamtypeVIDEO);
    EXPECT_EQ(info.fccHandler, 0u);
    EXPECT_EQ(info.dwScale, 1u);
    EXPECT_EQ(info.dwRate, 25u);
    EXPECT_EQ(info.dwSuggestedBufferSize, 96u);
    EXPECT_EQ(info.rcFrame.right, 8);
    EXPECT_EQ(info.rcFrame.bottom, 4);
    EXPECT_EQ(info.dwQuality, 0u);
    EXPECT_EQ(info.dwLength, 0u);
    EXPECT_EQ(FakeAvi().cbFormat, 40);
    const BITMAPINFOHEADER canvas = Canvas(8, 4);
    EXPECT_EQ(std::memcmp(&FakeAvi().format, &canvas, 40), 0);
    writer.ReleaseEngine();
}

TEST_F(AviWriterTest, FramesAreNumberedOnAfterAFailedWrite)
{
    CAviWriter writer;
    ASSERT_EQ(Open(writer), 0);
    const std::vector<BYTE> frame(96);
    EXPECT_EQ(writer.AddFrame(frame.data()), 0);
    FakeAvi().hrWrite = AVIERR_FILEWRITE;
    EXPECT_EQ(writer.AddFrame(frame.data()), AVIERR_FILEWRITE);
    FakeAvi().hrWrite = AVIERR_OK;
    EXPECT_EQ(writer.AddFrame(frame.data()), 0);
    EXPECT_EQ(writer.m_nFrame, 3);
    EXPECT_THAT(FakeAvi().writePositions, ElementsAre(0, 1, 2));
    EXPECT_THAT(FakeAvi().writeSizes, ElementsAre(96, 96, 96));
    EXPECT_THAT(FakeAvi().writeFlags, ElementsAre(AVIIF_KEYFRAME, AVIIF_KEYFRAME, AVIIF_KEYFRAME));
    EXPECT_TRUE(writer.HasWriteFailed());
    EXPECT_EQ(writer.m_hrWriteError, AVIERR_FILEWRITE);

    // A run with a lost frame is not completed.
    FakeAvi().calls.clear();
    writer.ReleaseEngine();
    EXPECT_THAT(FakeAvi().calls, ElementsAreArray(kReleaseAll));
    EXPECT_FALSE(writer.IsCommitted());
    EXPECT_EQ(writer.RunErrorText(), "AVI frame write failed. A disk error occurred while writing the file.");
}

TEST_F(AviWriterTest, FailedCompletionIsReported)
{
    FakeAvi().hrCommit = AVIERR_FILEWRITE;
    CAviWriter writer;
    ASSERT_EQ(Open(writer), 0);
    writer.ReleaseEngine();
    EXPECT_TRUE(writer.HasCommitFailed());
    EXPECT_FALSE(writer.IsCommitted());
    EXPECT_EQ(writer.RunErrorText(),
              "AVI file could not be finished. Check filename out.avi. A disk error occurred while writing the file.");
}

TEST_F(AviWriterTest, NothingIsWrittenWithoutAnOpenStream)
{
    FakeAvi().bSaveOptions = FALSE;
    CAviWriter writer;
    ASSERT_EQ(Open(writer), 1);
    const std::vector<BYTE> frame(96);
    EXPECT_EQ(writer.AddFrame(frame.data()), AVIERR_BADHANDLE);
    EXPECT_EQ(writer.m_nFrame, 0);
    EXPECT_TRUE(FakeAvi().writePositions.empty());
    writer.ReleaseEngine();
}

TEST_F(AviWriterTest, ForgottenReleaseDropsTheRunOnDestruction)
{
    {
        CAviWriter writer;
        ASSERT_EQ(Open(writer), 0);
    }
    EXPECT_THAT(FakeAvi().calls, ElementsAreArray(kReleaseAll));
}

} // namespace
