// CAviWriter over the real AVI file services: a header field, index entry or
// frame byte that an independent reader of the layout or ffprobe/ffmpeg reads
// differently, and a failed run that leaves a file or changes an older one.

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <sys/stat.h>

#include <gtest/gtest.h>

// Qt
#include <QTemporaryDir>

// Local
#include "platform/avi/CCompressionChooserGuard.h"
#include "platform/avi/CFixedCompressionChooser.h"
#include "tests/support/AviProbe.h"
#include "tests/support/TestKit.h"
#include "video/CAviWriter.h"

namespace {

BITMAPINFOHEADER Canvas(int w, int h)
{
    return {40, w, h, 1, 24, BI_RGB, static_cast<DWORD>(w * 3 * h), 0, 0, 0, 0};
}

struct RunSpec {
    int nWidth = 36, nHeight = 20, nFrames = 2;
    FOURCC fccCodec = comptypeMJPG;
    std::int64_t nSegment = 0;
    bool bCancel = false;
};

// Runs the writer the way the animation render does; frames gets what was handed over.
HRESULT WriteAvi(const std::string& strPath, const RunSpec& run, std::vector<std::uint8_t>* pFrames = nullptr)
{
    CFixedCompressionChooser chooser({run.fccCodec, 90, run.bCancel});
    CCompressionChooserGuard guard(&chooser);
    CAviWriter writer;
    writer.SetBitmapHeader(Canvas(run.nWidth, run.nHeight));
    writer.m_strFileName = strPath;
    writer.m_nRate = 25;
    if (run.nSegment > 0)
        writer.SetSegmentSize(run.nSegment);
    const HRESULT hr = writer.InitEngine(nullptr);
    for (int k = 0; hr == 0 && k < run.nFrames; ++k) {
        const std::vector<std::uint8_t> frame = MakeFrame(run.nWidth, run.nHeight, k);
        EXPECT_EQ(writer.AddFrame(frame.data()), 0);
        if (pFrames)
            pFrames->insert(pFrames->end(), frame.begin(), frame.end());
    }
    writer.ReleaseEngine();
    return hr;
}

// Both indexes point at the frame chunks, in order, all key frames; the
// legacy one covers the first RIFF only.
void ExpectIndexesMatchFrames(const AviLayout& a)
{
    EXPECT_TRUE(a.stdIndex == a.frames);
    ASSERT_EQ(a.legacyIndex.size(), a.framesPerRiff.at(0));
    EXPECT_TRUE(std::equal(a.legacyIndex.begin(), a.legacyIndex.end(), a.frames.begin()));
}

struct DecodeCase {
    FOURCC fccCodec;
    int nWidth, nHeight, nFrames;
};

void PrintTo(const DecodeCase& c, std::ostream* os)
{
    *os << (c.fccCodec == comptypeDIB ? "raw " : "mjpeg ") << c.nWidth << 'x' << c.nHeight << ' ' << c.nFrames;
}

class AviDecodeTest : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(AviDecodeTest, RealDecoderReadsEveryFrame)
{
    const DecodeCase c = GetParam();
    const bool bRaw = c.fccCodec == comptypeDIB;
    QTemporaryDir dir;
    const std::string strPath = dir.path().toStdString() + "/out.avi";
    std::vector<std::uint8_t> frames;
    ASSERT_EQ(WriteAvi(strPath, {c.nWidth, c.nHeight, c.nFrames, c.fccCodec}, &frames), 0);

    const ProbeResult probe = Probe(strPath);
    EXPECT_EQ(probe.strErrors, "");
    EXPECT_EQ(probe.strCodec, bRaw ? "rawvideo" : "mjpeg");
    EXPECT_EQ(probe.nWidth, c.nWidth);
    EXPECT_EQ(probe.nHeight, c.nHeight);
    EXPECT_EQ(probe.strRate, "25/1");
    EXPECT_EQ(probe.nFrames, c.nFrames);

    const AviLayout a = ReadAviLayout(strPath);
    ASSERT_EQ(a.strError, "");
    EXPECT_EQ(a.riffTypes, std::vector<std::string>{"AVI "});
    const auto n = static_cast<std::uint32_t>(c.nFrames);
    EXPECT_EQ(std::vector<std::uint32_t>({a.nDmlhFrames, a.nLength, a.nScale, a.nRate}), std::vector<std::uint32_t>({n, n, 1, 25}));
    // The main header: 40,000 µs a frame, an index and interleaved data
    // (AVIF_HASINDEX | AVIF_ISINTERLEAVED), the frames, one stream, the size.
    ASSERT_EQ(a.avih.size(), 10u);
    const auto w = static_cast<std::uint32_t>(c.nWidth), h = static_cast<std::uint32_t>(c.nHeight);
    EXPECT_EQ(std::vector<std::uint32_t>({a.avih[0], a.avih[3], a.avih[4], a.avih[6], a.avih[8], a.avih[9]}),
              std::vector<std::uint32_t>({40000, 0x110, n, 1, w, h}));
    ExpectIndexesMatchFrames(a);
    // The suggested buffer is the frame size, or the largest chunk when a
    // tiny picture's JPEG outgrows it.
    const BITMAPINFOHEADER canvas = Canvas(c.nWidth, c.nHeight);
    std::uint32_t nLargest = canvas.biSizeImage;
    for (const AviLayout::Ref& f : a.frames)
        nLargest = std::max(nLargest, f.nSize);
    EXPECT_EQ(a.nSuggested, nLargest);
    EXPECT_EQ(a.avih[7], nLargest);
    ASSERT_EQ(a.strf.size(), 40u);
    BITMAPINFOHEADER strf;
    std::memcpy(&strf, a.strf.data(), 40);

    if (bRaw) {
        // The format is exactly the canvas header; frames come back byte for byte.
        EXPECT_EQ(std::memcmp(&strf, &canvas, 40), 0);
        EXPECT_EQ(a.nHandler, 0u);
        std::string strErrors;
        EXPECT_TRUE(DecodeBottomUpBgr(strPath, strErrors) == frames);
        EXPECT_EQ(strErrors, "");
        return;
    }
    EXPECT_EQ(a.nHandler, comptypeMJPG);
    EXPECT_EQ(strf.biCompression, comptypeMJPG);
    EXPECT_EQ(strf.biSizeImage, canvas.biSizeImage);
    // Each frame is a whole JPEG picture with its own tables.
    for (const AviLayout::Ref& f : a.frames) {
        const std::string jpeg(reinterpret_cast<const char*>(&a.bytes[f.nData]), f.nSize);
        EXPECT_EQ(jpeg.substr(0, 2) + jpeg.substr(jpeg.size() - 2), "\xFF\xD8\xFF\xD9");
        EXPECT_NE(jpeg.find("\xFF\xC4"), std::string::npos) << "no Huffman table";
        EXPECT_NE(jpeg.find("\xFF\xDB"), std::string::npos) << "no quantisation table";
    }
}

INSTANTIATE_TEST_SUITE_P(Codecs, AviDecodeTest,
                         ::testing::Values(DecodeCase{comptypeDIB, 4, 4, 1}, DecodeCase{comptypeDIB, 36, 20, 2},
                                           DecodeCase{comptypeDIB, 100, 60, 50}, DecodeCase{comptypeMJPG, 4, 4, 1},
                                           DecodeCase{comptypeMJPG, 36, 20, 2},
                                           DecodeCase{comptypeMJPG, 100, 60, 50}));

TEST(AviOpenDmlTest, ForcedSegmentsDecodeCompletely)
{
    for (const RunSpec& run : {RunSpec{64, 48, 60, comptypeDIB, 64 * 1024}, RunSpec{160, 120, 40, comptypeMJPG, 16 * 1024}}) {
        QTemporaryDir dir;
        const std::string strPath = dir.path().toStdString() + "/long.avi";
        std::vector<std::uint8_t> frames;
        ASSERT_EQ(WriteAvi(strPath, run, &frames), 0);

        const AviLayout a = ReadAviLayout(strPath);
        ASSERT_EQ(a.strError, "");
        ASSERT_GE(a.riffTypes.size(), 3u);
        EXPECT_EQ(a.riffTypes[0], "AVI ");
        EXPECT_EQ(std::count(a.riffTypes.begin(), a.riffTypes.end(), "AVIX"), a.riffTypes.size() - 1);
        EXPECT_EQ(a.avih.at(4), a.framesPerRiff[0]);
        EXPECT_EQ(a.nDmlhFrames, static_cast<std::uint32_t>(run.nFrames));
        EXPECT_EQ(a.nLength, static_cast<std::uint32_t>(run.nFrames));
        ExpectIndexesMatchFrames(a);

        const ProbeResult probe = Probe(strPath);
        EXPECT_EQ(probe.strErrors, "");
        EXPECT_EQ(probe.nFrames, run.nFrames);
        if (run.fccCodec == comptypeDIB) {
            std::string strErrors;
            EXPECT_TRUE(DecodeBottomUpBgr(strPath, strErrors) == frames);
        }
    }
}

TEST(AviMotionJpegTest, KeepsOrientationAndPaddedRows)
{
    // 13 pixels make 39 bytes, padded to 40 per row; the bottom row comes first.
    const int w = 13, h = 7, nStride = 40;
    BITMAPINFOHEADER bih = Canvas(w, h);
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
    CCompressionChooserGuard guard(nullptr); // no chooser: Motion JPEG at 90
    CAviWriter writer;
    writer.SetBitmapHeader(bih);
    writer.m_strFileName = strPath;
    ASSERT_EQ(writer.InitEngine(nullptr), 0);
    ASSERT_EQ(writer.AddFrame(frame.data()), 0);
    writer.ReleaseEngine();
    ASSERT_TRUE(writer.IsCommitted());

    std::string strErrors;
    const std::vector<std::uint8_t> decoded = DecodeBottomUpBgr(strPath, strErrors);
    ASSERT_EQ(decoded.size(), static_cast<std::size_t>(w * 3 * h)) << strErrors;
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

TEST(AviSafetyTest, CompleteRunsReplaceOrCreateWithTheUsualPermissions)
{
    QTemporaryDir dir;
    const std::string strBase = dir.path().toStdString();
    const std::string strNew = strBase + "/" + std::string(246, 'n') + ".avi"; // at the name length limit
    const std::string strKept = strBase + "/kept.avi";
    WriteFile(strKept, "old");
    using std::filesystem::perms;
    std::filesystem::permissions(strKept, perms::owner_read | perms::owner_write);
    const mode_t nOldMask = ::umask(022);
    EXPECT_EQ(WriteAvi(strNew, {}), 0);
    EXPECT_EQ(WriteAvi(strKept, {}), 0);
    ::umask(nOldMask);

    EXPECT_EQ(std::filesystem::status(strNew).permissions(),
              perms::owner_read | perms::owner_write | perms::group_read | perms::others_read);
    EXPECT_EQ(std::filesystem::status(strKept).permissions(), perms::owner_read | perms::owner_write);
    EXPECT_EQ(Probe(strKept).nFrames, 2);
    EXPECT_EQ(ListFolder(strBase).size(), 2u);

    // A link keeps pointing where it did; the file it names is replaced.
    const std::string strLink = strBase + "/link.avi";
    std::filesystem::create_symlink("kept.avi", strLink);
    WriteFile(strKept, "old");
    EXPECT_EQ(WriteAvi(strLink, {}), 0);
    EXPECT_TRUE(std::filesystem::is_symlink(strLink));
    EXPECT_EQ(Probe(strKept).nFrames, 2);
    EXPECT_EQ(ListFolder(strBase).size(), 3u);
}

} // namespace
