// CAviWriter over the real AVI file services, checked with an independent
// reader of the layout and with ffprobe/ffmpeg as the decoder.

#include <algorithm>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

// Qt
#include <QTemporaryDir>

// Local
#include "platform/avi/AviFileServices.h"
#include "platform/avi/CCompressionChooserGuard.h"
#include "platform/avi/CFixedCompressionChooser.h"
#include "tests/video/AviTestSupport.h"
#include "video/CAviWriter.h"

namespace {

BITMAPINFOHEADER CanvasHeader(int nWidth, int nHeight)
{
    BITMAPINFOHEADER bih{};
    bih.biSize = 40;
    bih.biWidth = nWidth;
    bih.biHeight = nHeight;
    bih.biPlanes = 1;
    bih.biBitCount = 24;
    bih.biCompression = BI_RGB;
    bih.biSizeImage = static_cast<DWORD>(nWidth * 3 * nHeight);
    return bih;
}

struct RunSpec {
    int nWidth = 36;
    int nHeight = 20;
    int nFrames = 2;
    int nRate = 25;
    FOURCC fccCodec = comptypeMJPG;
    std::int64_t nSegment = 0;
    bool bCancel = false;
};

// Runs the writer the way the animation render does; frames gets what was handed over.
HRESULT WriteAvi(const std::string& strPath, const RunSpec& run, std::vector<std::vector<std::uint8_t>>* pFrames = nullptr,
                 CAviWriter* pWriter = nullptr)
{
    CFixedCompressionChooser chooser({run.fccCodec, 90, run.bCancel});
    CCompressionChooserGuard guard(&chooser);
    CAviWriter local;
    CAviWriter& writer = pWriter ? *pWriter : local;
    writer.SetBitmapHeader(CanvasHeader(run.nWidth, run.nHeight));
    writer.m_strFileName = strPath;
    writer.EnsureAviExtension();
    writer.m_nRate = run.nRate;
    if (run.nSegment > 0)
        writer.SetSegmentSize(run.nSegment);
    const HRESULT hr = writer.InitEngine(nullptr);
    if (hr == 0) {
        for (int k = 0; k < run.nFrames; ++k) {
            std::vector<std::uint8_t> frame = MakeFrame(run.nWidth, run.nHeight, k);
            writer.AddFrame(frame.data());
            if (pFrames)
                pFrames->push_back(std::move(frame));
        }
    }
    writer.ReleaseEngine();
    return hr;
}

// Every index points at the frame chunks, in order, all key frames.
void ExpectIndexesMatchFrames(const AviLayout& layout)
{
    ASSERT_EQ(layout.stdIndex.size(), layout.frames.size());
    for (std::size_t i = 0; i < layout.frames.size(); ++i) {
        EXPECT_EQ(layout.stdIndex[i].nData, layout.frames[i].nData) << "frame " << i;
        EXPECT_EQ(layout.stdIndex[i].nSize, layout.frames[i].nSize);
        EXPECT_TRUE(layout.stdIndex[i].bKey);
    }
    ASSERT_EQ(layout.legacyIndex.size(), layout.framesPerRiff.at(0));
    for (std::size_t i = 0; i < layout.legacyIndex.size(); ++i) {
        EXPECT_EQ(layout.legacyIndex[i].nData, layout.frames[i].nData) << "frame " << i;
        EXPECT_EQ(layout.legacyIndex[i].nSize, layout.frames[i].nSize);
        EXPECT_TRUE(layout.legacyIndex[i].bKey);
    }
}

struct DecodeCase {
    FOURCC fccCodec;
    int nWidth, nHeight, nFrames;
};

class AviDecodeTest : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(AviDecodeTest, RealDecoderReadsEveryFrame)
{
    const DecodeCase c = GetParam();
    QTemporaryDir dir;
    const std::string strPath = dir.path().toStdString() + "/out.avi";
    std::vector<std::vector<std::uint8_t>> frames;
    ASSERT_EQ(WriteAvi(strPath, {c.nWidth, c.nHeight, c.nFrames, 25, c.fccCodec}, &frames), 0);

    const bool bRaw = c.fccCodec == comptypeDIB;
    const ProbeResult probe = Probe(strPath);
    EXPECT_EQ(probe.strErrors, "");
    EXPECT_EQ(probe.strCodec, bRaw ? "rawvideo" : "mjpeg");
    EXPECT_EQ(probe.nWidth, c.nWidth);
    EXPECT_EQ(probe.nHeight, c.nHeight);
    EXPECT_EQ(probe.strRate, "25/1");
    EXPECT_EQ(probe.nFrames, c.nFrames);

    const AviLayout layout = ReadAviLayout(strPath);
    ASSERT_EQ(layout.strError, "");
    EXPECT_EQ(layout.riffTypes, std::vector<std::string>{"AVI "});
    EXPECT_EQ(layout.nAvihTotalFrames, static_cast<std::uint32_t>(c.nFrames));
    EXPECT_EQ(layout.nDmlhTotalFrames, static_cast<std::uint32_t>(c.nFrames));
    EXPECT_EQ(layout.nStrhLength, static_cast<std::uint32_t>(c.nFrames));
    EXPECT_EQ(layout.nStrhScale, 1u);
    EXPECT_EQ(layout.nStrhRate, 25u);
    const BITMAPINFOHEADER canvas = CanvasHeader(c.nWidth, c.nHeight);
    // The suggested buffer is the frame size, or the largest chunk when a tiny
    // picture's JPEG outgrows it.
    std::uint32_t nLargest = canvas.biSizeImage;
    for (const AviLayout::Chunk& chunk : layout.frames)
        nLargest = std::max(nLargest, chunk.nSize);
    EXPECT_EQ(layout.nStrhSuggested, nLargest);
    EXPECT_EQ(layout.nAvihSuggested, nLargest);
    if (bRaw) {
        EXPECT_EQ(nLargest, canvas.biSizeImage);
    }
    const std::int16_t rc[4] = {0, 0, static_cast<std::int16_t>(c.nWidth), static_cast<std::int16_t>(c.nHeight)};
    EXPECT_EQ(std::memcmp(layout.rcFrame, rc, sizeof rc), 0);
    ASSERT_EQ(layout.strf.size(), 40u);
    ExpectIndexesMatchFrames(layout);

    if (bRaw) {
        // The format is exactly the canvas header and the frames come back byte for byte.
        EXPECT_EQ(std::memcmp(layout.strf.data(), &canvas, 40), 0);
        EXPECT_EQ(layout.nStrhHandler, 0u);
        std::string strErrors;
        const std::vector<std::uint8_t> decoded = DecodeBottomUpBgr(strPath, strErrors);
        EXPECT_EQ(strErrors, "");
        std::vector<std::uint8_t> expected;
        for (const auto& f : frames)
            expected.insert(expected.end(), f.begin(), f.end());
        EXPECT_TRUE(decoded == expected);
    } else {
        EXPECT_EQ(layout.nStrhHandler, comptypeMJPG);
        BITMAPINFOHEADER strf;
        std::memcpy(&strf, layout.strf.data(), 40);
        EXPECT_EQ(strf.biCompression, comptypeMJPG);
        EXPECT_EQ(strf.biSizeImage, canvas.biSizeImage);
        // Each frame is a whole JPEG picture carrying its own tables.
        for (const AviLayout::Chunk& chunk : layout.frames) {
            const std::string jpeg(reinterpret_cast<const char*>(&layout.bytes[chunk.nData]), chunk.nSize);
            EXPECT_EQ(jpeg.substr(0, 2), "\xFF\xD8");
            EXPECT_EQ(jpeg.substr(jpeg.size() - 2), "\xFF\xD9");
            EXPECT_NE(jpeg.find("\xFF\xC4"), std::string::npos) << "no Huffman table";
            EXPECT_NE(jpeg.find("\xFF\xDB"), std::string::npos) << "no quantisation table";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Codecs, AviDecodeTest,
                         ::testing::Values(DecodeCase{comptypeDIB, 4, 4, 1}, DecodeCase{comptypeDIB, 36, 20, 2},
                                           DecodeCase{comptypeDIB, 100, 60, 50}, DecodeCase{comptypeMJPG, 4, 4, 1},
                                           DecodeCase{comptypeMJPG, 36, 20, 2},
                                           DecodeCase{comptypeMJPG, 100, 60, 50}));

TEST(AviOpenDmlTest, ForcedSegmentsDecodeCompletely)
{
    QTemporaryDir dir;
    const std::string strPath = dir.path().toStdString() + "/long.avi";
    const std::int64_t nSegment = 64 * 1024;
    std::vector<std::vector<std::uint8_t>> frames;
    ASSERT_EQ(WriteAvi(strPath, {64, 48, 60, 30, comptypeDIB, nSegment}, &frames), 0);

    const AviLayout layout = ReadAviLayout(strPath);
    ASSERT_EQ(layout.strError, "");
    ASSERT_GE(layout.riffTypes.size(), 5u);
    EXPECT_EQ(layout.riffTypes[0], "AVI ");
    for (std::size_t i = 1; i < layout.riffTypes.size(); ++i)
        EXPECT_EQ(layout.riffTypes[i], "AVIX");
    EXPECT_EQ(layout.nSuperIndexEntries, layout.riffTypes.size());
    EXPECT_EQ(layout.nAvihTotalFrames, layout.framesPerRiff[0]);
    EXPECT_EQ(layout.nDmlhTotalFrames, 60u);
    EXPECT_EQ(layout.nStrhLength, 60u);
    EXPECT_EQ(layout.frames.size(), 60u);
    ExpectIndexesMatchFrames(layout);

    const ProbeResult probe = Probe(strPath);
    EXPECT_EQ(probe.strErrors, "");
    EXPECT_EQ(probe.nFrames, 60);
    std::string strErrors;
    const std::vector<std::uint8_t> decoded = DecodeBottomUpBgr(strPath, strErrors);
    EXPECT_EQ(strErrors, "");
    std::vector<std::uint8_t> expected;
    for (const auto& f : frames)
        expected.insert(expected.end(), f.begin(), f.end());
    EXPECT_TRUE(decoded == expected);
}

TEST(AviOpenDmlTest, MotionJpegSegmentsDecodeCompletely)
{
    QTemporaryDir dir;
    const std::string strPath = dir.path().toStdString() + "/long.avi";
    ASSERT_EQ(WriteAvi(strPath, {160, 120, 40, 25, comptypeMJPG, 16 * 1024}), 0);
    const AviLayout layout = ReadAviLayout(strPath);
    ASSERT_EQ(layout.strError, "");
    EXPECT_GE(layout.riffTypes.size(), 3u);
    ExpectIndexesMatchFrames(layout);
    const ProbeResult probe = Probe(strPath);
    EXPECT_EQ(probe.strErrors, "");
    EXPECT_EQ(probe.nFrames, 40);
}

// The file name, with an old file of that name in place, and nothing else in its folder.
class ExistingFile {
public:
    ExistingFile() : m_strPath(m_dir.path().toStdString() + "/keep.avi") { WriteWholeFile(m_strPath, "old bytes"); }
    const std::string& Path() const { return m_strPath; }
    void ExpectUntouched() const
    {
        EXPECT_EQ(ReadWholeFile(m_strPath), "old bytes");
        EXPECT_EQ(ListFolder(m_dir.path().toStdString()), std::vector<std::string>{"keep.avi"});
    }

private:
    QTemporaryDir m_dir;
    std::string m_strPath;
};

TEST(AviSafetyTest, CancelLeavesExistingFileAndNoPartialFile)
{
    ExistingFile file;
    CAviWriter writer;
    RunSpec run;
    run.bCancel = true;
    EXPECT_EQ(WriteAvi(file.Path(), run, nullptr, &writer), 1);
    EXPECT_EQ(writer.m_strError, "Ok");
    EXPECT_FALSE(writer.IsCommitted());
    file.ExpectUntouched();
}

TEST(AviSafetyTest, AbandonedRunLeavesExistingFile)
{
    ExistingFile file;
    CFixedCompressionChooser chooser;
    CCompressionChooserGuard guard(&chooser);
    CAviWriter writer;
    writer.SetBitmapHeader(CanvasHeader(8, 8));
    writer.m_strFileName = file.Path();
    ASSERT_EQ(writer.InitEngine(nullptr), 0);
    const std::vector<std::uint8_t> frame = MakeFrame(8, 8, 0);
    EXPECT_EQ(writer.AddFrame(frame.data()), 0);
    writer.Abandon();
    EXPECT_EQ(writer.AddFrame(frame.data()), AVIERR_USERABORT);
    writer.ReleaseEngine();
    EXPECT_FALSE(writer.IsCommitted());
    EXPECT_FALSE(writer.HasCommitFailed());
    file.ExpectUntouched();
}

TEST(AviSafetyTest, FormatFailureLeavesExistingFile)
{
    ExistingFile file;
    CFixedCompressionChooser chooser;
    CCompressionChooserGuard guard(&chooser);
    CAviWriter writer;
    BITMAPINFOHEADER bih = CanvasHeader(8, 8);
    bih.biBitCount = 32; // neither compressor takes it
    writer.SetBitmapHeader(bih);
    writer.m_strFileName = file.Path();
    EXPECT_EQ(writer.InitEngine(nullptr), AVIERR_BADFORMAT);
    EXPECT_EQ(writer.m_strError, "AVI Compressed Stream format setting failed.");
    writer.ReleaseEngine();
    file.ExpectUntouched();
}

TEST(AviSafetyTest, FailedWriteIsRememberedAndKeepsExistingFile)
{
    ExistingFile file;
    // A file size limit makes the disk "full" part-way through the run.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    rlimit small = old;
    small.rlim_cur = 200 * 1024;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);

    CFixedCompressionChooser chooser({comptypeDIB, 0, false});
    CCompressionChooserGuard guard(&chooser);
    CAviWriter writer;
    writer.SetBitmapHeader(CanvasHeader(100, 60));
    writer.m_strFileName = file.Path();
    ASSERT_EQ(writer.InitEngine(nullptr), 0);
    int nFirstFailure = -1;
    for (int k = 0; k < 30; ++k) {
        const std::vector<std::uint8_t> frame = MakeFrame(100, 60, k);
        const HRESULT hr = writer.AddFrame(frame.data());
        if (hr != 0 && nFirstFailure < 0)
            nFirstFailure = k;
        if (nFirstFailure >= 0) {
            EXPECT_EQ(hr, AVIERR_FILEWRITE) << "frame " << k;
        }
    }
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &old), 0);

    EXPECT_GT(nFirstFailure, 0);
    EXPECT_EQ(writer.m_nFrame, 30); // numbering goes on past the failure
    EXPECT_TRUE(writer.HasWriteFailed());
    writer.ReleaseEngine();
    EXPECT_FALSE(writer.IsCommitted());
    EXPECT_EQ(writer.RunErrorText(), "AVI frame write failed. A disk error occurred while writing the file.");
    file.ExpectUntouched();
}

TEST(AviSafetyTest, CompleteRunReplacesExistingFile)
{
    ExistingFile file;
    CAviWriter writer;
    ASSERT_EQ(WriteAvi(file.Path(), {}, nullptr, &writer), 0);
    EXPECT_TRUE(writer.IsCommitted());
    EXPECT_EQ(Probe(file.Path()).nFrames, 2);
    EXPECT_EQ(ListFolder(std::filesystem::path(file.Path()).parent_path().string()),
              std::vector<std::string>{"keep.avi"});
}

TEST(AviSafetyTest, ZeroSideCanvasMakesNoFile)
{
    ExistingFile file;
    for (const auto& [w, h] : {std::pair{0, 8}, std::pair{8, 0}, std::pair{0, 0}}) {
        CAviWriter writer;
        RunSpec run;
        run.nWidth = w;
        run.nHeight = h;
        EXPECT_EQ(WriteAvi(file.Path(), run, nullptr, &writer), AVIERR_BADFORMAT);
        EXPECT_EQ(writer.m_strError, "AVI Stream creation failed. Check Bitmap info.");
        EXPECT_EQ(writer.m_nFrame, 0);
    }
    file.ExpectUntouched();
}

TEST(AviOpenTest, OpenFailuresGiveTheirCodeAndText)
{
    QTemporaryDir dir;
    const std::string strBase = dir.path().toStdString();
    struct Case {
        std::string strName;
        HRESULT hr;
        std::string strDetail;
    };
    std::filesystem::create_directory(strBase + "/folder.avi");
    const std::string strOpen = "A disk error occurred while opening the file.";
    const Case cases[] = {
        {strBase + "/missing/out.avi", AVIERR_FILEOPEN, strOpen},
        {strBase + "/folder.avi", AVIERR_FILEOPEN, strOpen},
        {strBase + "/avid/clip.mp4", REGDB_E_CLASSNOTREG,
         "According to the registry, the type of file specified in AVIFileOpen does not have a handler to process it"},
    };
    for (const Case& c : cases) {
        CAviWriter writer;
        writer.SetBitmapHeader(CanvasHeader(8, 8));
        writer.m_strFileName = c.strName;
        writer.EnsureAviExtension();
        EXPECT_EQ(writer.m_strFileName, c.strName);
        EXPECT_EQ(writer.InitEngine(nullptr), c.hr) << c.strName;
        EXPECT_EQ(writer.m_strError, "AVI Engine failed to initialize. Check filename " + c.strName + "." + c.strDetail);
        writer.ReleaseEngine();
    }
    EXPECT_EQ(ListFolder(strBase), std::vector<std::string>{"folder.avi"});
}

TEST(AviOpenTest, WithoutChooserMotionJpegAtDefaultQuality)
{
    QTemporaryDir dir;
    const std::string strPath = dir.path().toStdString() + "/plain.avi";
    CCompressionChooserGuard guard(nullptr);
    CAviWriter writer;
    writer.SetBitmapHeader(CanvasHeader(16, 16));
    writer.m_strFileName = strPath;
    ASSERT_EQ(writer.InitEngine(nullptr), 0);
    const std::vector<std::uint8_t> frame = MakeFrame(16, 16, 0);
    EXPECT_EQ(writer.AddFrame(frame.data()), 0);
    writer.ReleaseEngine();
    EXPECT_EQ(Probe(strPath).strCodec, "mjpeg");
}

} // namespace

namespace {

TEST(AviMotionJpegTest, KeepsOrientationAndPaddedRows)
{
    // 13 pixels make 39 bytes, padded to 40 per row; the bottom row comes first.
    const int w = 13, h = 7, nStride = 40;
    BITMAPINFOHEADER bih = CanvasHeader(w, h);
    bih.biSizeImage = nStride * h;
    std::vector<std::uint8_t> frame(bih.biSizeImage, 0xEE);
    for (int row = 0; row < h; ++row)
        for (int x = 0; x < w; ++x) {
            std::uint8_t* p = &frame[row * nStride + x * 3];
            p[0] = static_cast<std::uint8_t>(x * 16);
            p[1] = static_cast<std::uint8_t>(row * 30);
            p[2] = 128;
        }

    QTemporaryDir dir;
    const std::string strPath = dir.path().toStdString() + "/odd.avi";
    CFixedCompressionChooser chooser({comptypeMJPG, 95, false});
    CCompressionChooserGuard guard(&chooser);
    CAviWriter writer;
    writer.SetBitmapHeader(bih);
    writer.m_strFileName = strPath;
    ASSERT_EQ(writer.InitEngine(nullptr), 0);
    ASSERT_EQ(writer.AddFrame(frame.data()), 0);
    writer.ReleaseEngine();
    ASSERT_TRUE(writer.IsCommitted());

    std::string strErrors;
    const std::vector<std::uint8_t> decoded = DecodeBottomUpBgr(strPath, strErrors);
    EXPECT_EQ(strErrors, "");
    ASSERT_EQ(decoded.size(), static_cast<std::size_t>(w * 3 * h));
    // Lossy, so compare against the picture and against its upside-down copy.
    long nDiff = 0, nFlipped = 0;
    for (int row = 0; row < h; ++row)
        for (int i = 0; i < w * 3; ++i) {
            nDiff += std::abs(decoded[row * w * 3 + i] - frame[row * nStride + i]);
            nFlipped += std::abs(decoded[row * w * 3 + i] - frame[(h - 1 - row) * nStride + i]);
        }
    EXPECT_LT(nDiff / (w * 3 * h), 16);
    EXPECT_LT(nDiff * 2, nFlipped);
}

} // namespace

namespace {

TEST(AviSafetyTest, NewFilesFollowTheUmaskAndReplacedFilesKeepTheirMode)
{
    QTemporaryDir dir;
    const std::string strBase = dir.path().toStdString();
    const mode_t nOldMask = ::umask(022);
    const std::string strNew = strBase + "/" + std::string(246, 'n') + ".avi"; // near the name length limit
    const std::string strKept = strBase + "/kept.avi";
    WriteWholeFile(strKept, "old");
    std::filesystem::permissions(strKept, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);

    EXPECT_EQ(WriteAvi(strNew, {}), 0);
    EXPECT_EQ(WriteAvi(strKept, {}), 0);
    ::umask(nOldMask);

    using std::filesystem::perms;
    EXPECT_EQ(std::filesystem::status(strNew).permissions(),
              perms::owner_read | perms::owner_write | perms::group_read | perms::others_read);
    EXPECT_EQ(std::filesystem::status(strKept).permissions(), perms::owner_read | perms::owner_write);
    EXPECT_EQ(Probe(strKept).nFrames, 2);
    EXPECT_EQ(ListFolder(strBase).size(), 2u);
}

} // namespace
