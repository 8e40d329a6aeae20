// CAviWriter over the real AVI file services: a header field, index entry or
// frame byte that an independent reader of the layout or ffprobe/ffmpeg reads
// differently, an encoder's refusal unnamed, and a run that changes an older file.

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
#include "platform/avi/CAvcodecEncoder.h"
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
    bool bCancel = false, bAbandon = false;
    WORD nBitCount = 24;
};

// Runs the writer the way the animation render does; frames gets what was handed over.
HRESULT WriteAvi(const std::string& strPath, const RunSpec& run, std::vector<std::uint8_t>* pFrames = nullptr,
                 CAviWriter* pWriter = nullptr)
{
    CFixedCompressionChooser chooser({run.fccCodec, 90, run.bCancel});
    CCompressionChooserGuard guard(&chooser);
    CAviWriter local;
    CAviWriter& writer = pWriter ? *pWriter : local;
    BITMAPINFOHEADER bih = Canvas(run.nWidth, run.nHeight);
    bih.biBitCount = run.nBitCount;
    writer.SetBitmapHeader(bih);
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
    if (run.bAbandon)
        writer.Abandon();
    writer.ReleaseEngine();
    return hr;
}

// The NAL unit types of an H.264 frame in Annex B form.
std::vector<int> NalTypes(const std::uint8_t* p, std::size_t n)
{
    std::vector<int> types;
    for (std::size_t i = 0; i + 3 < n; ++i)
        if (p[i] == 0 && p[i + 1] == 0 && p[i + 2] == 1)
            types.push_back(p[i + 3] & 0x1F);
    return types;
}

struct DecodeCase {
    FOURCC fccCodec;
    int nWidth, nHeight, nFrames;
    std::int64_t nSegment = 0; // 0: one segment; otherwise small segments
};

const char* CodecName(FOURCC fcc)
{
    return fcc == comptypeDIB ? "rawvideo" : fcc == comptypeMJPG ? "mjpeg" : fcc == comptypeH264 ? "h264" : "ffv1";
}

void PrintTo(const DecodeCase& c, std::ostream* os)
{
    *os << CodecName(c.fccCodec) << ' ' << c.nWidth << 'x' << c.nHeight << ' ' << c.nFrames
        << (c.nSegment ? " segmented" : "");
}

// The headers keep room for the super index and the OpenDML header whether
// or not the file grew past one segment, so the frames start at one place.
constexpr std::int64_t kFirstMoviType = 12 + 12 + 64 + 12 + 64 + 48 + (32 + 16 * 2048) + (12 + 256) + 8;

class AviDecodeTest : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(AviDecodeTest, RealDecoderReadsEveryFrame)
{
    const DecodeCase c = GetParam();
    const bool bRaw = c.fccCodec == comptypeDIB;
    QTemporaryDir dir;
    const std::string strPath = dir.path().toStdString() + "/out.avi";
    std::vector<std::uint8_t> frames;
    ASSERT_EQ(WriteAvi(strPath, {c.nWidth, c.nHeight, c.nFrames, c.fccCodec, c.nSegment}, &frames), 0);

    const ProbeResult probe = Probe(strPath);
    EXPECT_EQ(probe.strErrors, "");
    EXPECT_EQ(probe.strCodec, CodecName(c.fccCodec));
    EXPECT_EQ(probe.nWidth, c.nWidth);
    EXPECT_EQ(probe.nHeight, c.nHeight);
    EXPECT_EQ(probe.strRate, "25/1");
    EXPECT_EQ(probe.nFrames, c.nFrames);

    AviLayout a = ReadAviLayout(strPath);
    ASSERT_EQ(a.strError, "");
    EXPECT_EQ(a.nFirstMovi, kFirstMoviType);
    const auto n = static_cast<std::uint32_t>(c.nFrames);
    EXPECT_EQ(std::vector<std::uint32_t>({a.nLength, a.nScale, a.nRate}), std::vector<std::uint32_t>({n, 1, 25}));
    // The main header: 40,000 µs a frame, an index and interleaved data
    // (AVIF_HASINDEX | AVIF_ISINTERLEAVED), the first segment's frames, one stream, the size.
    ASSERT_EQ(a.avih.size(), 10u);
    const auto w = static_cast<std::uint32_t>(c.nWidth), h = static_cast<std::uint32_t>(c.nHeight);
    EXPECT_EQ(std::vector<std::uint32_t>({a.avih[0], a.avih[3], a.avih[4], a.avih[6], a.avih[8], a.avih[9]}),
              std::vector<std::uint32_t>({40000, 0x110, a.framesPerRiff.at(0), 1, w, h}));
    // Key frames are the ones the encoder made: H.264 instantaneous refresh
    // pictures, which carry their parameter sets; every frame otherwise.
    for (AviLayout::Ref& f : a.frames) {
        if (c.fccCodec != comptypeH264)
            continue;
        const std::vector<int> types = NalTypes(&a.bytes[f.nData], f.nSize);
        f.bKey = std::count(types.begin(), types.end(), 5) > 0;
        if (f.bKey) {
            EXPECT_TRUE(std::count(types.begin(), types.end(), 7) && std::count(types.begin(), types.end(), 8));
        }
    }
    ASSERT_FALSE(a.frames.empty());
    EXPECT_TRUE(a.frames[0].bKey);
    ASSERT_EQ(a.legacyIndex.size(), a.framesPerRiff.at(0));
    EXPECT_TRUE(std::equal(a.legacyIndex.begin(), a.legacyIndex.end(), a.frames.begin()));
    if (c.nSegment == 0) {
        // One segment: no OpenDML indexes, only their placeholders.
        EXPECT_EQ(a.riffTypes, std::vector<std::string>{"AVI "});
        EXPECT_FALSE(a.bSuperIndex);
        EXPECT_TRUE(a.stdIndex.empty());
        EXPECT_EQ(a.nDmlhFrames, 0u);
    } else {
        ASSERT_GE(a.riffTypes.size(), 2u);
        EXPECT_EQ(a.riffTypes[0], "AVI ");
        EXPECT_EQ(std::count(a.riffTypes.begin(), a.riffTypes.end(), "AVIX"), a.riffTypes.size() - 1);
        EXPECT_TRUE(a.bSuperIndex);
        EXPECT_TRUE(a.stdIndex == a.frames);
        EXPECT_EQ(a.nDmlhFrames, n);
    }
    // The suggested buffer is the frame size, or the largest chunk when a
    // tiny picture's compressed form outgrows it.
    const BITMAPINFOHEADER canvas = Canvas(c.nWidth, c.nHeight);
    std::uint32_t nLargest = canvas.biSizeImage;
    for (const AviLayout::Ref& f : a.frames)
        nLargest = std::max(nLargest, f.nSize);
    EXPECT_EQ(a.nSuggested, nLargest);
    EXPECT_EQ(a.avih[7], nLargest);
    ASSERT_EQ(a.strf.size(), 40u);
    BITMAPINFOHEADER strf;
    std::memcpy(&strf, a.strf.data(), 40);

    if (bRaw || c.fccCodec == comptypeFFV1) {
        // Lossless: frames come back byte for byte.
        std::string strErrors;
        EXPECT_TRUE(DecodeBottomUpBgr(strPath, strErrors) == frames);
        EXPECT_EQ(strErrors, "");
    }
    if (bRaw) {
        // The format is exactly the canvas header.
        EXPECT_EQ(std::memcmp(&strf, &canvas, 40), 0);
        EXPECT_EQ(a.nHandler, 0u);
        return;
    }
    EXPECT_EQ(a.nHandler, c.fccCodec);
    EXPECT_EQ(strf.biCompression, c.fccCodec);
    EXPECT_EQ(strf.biSizeImage, canvas.biSizeImage);
    if (c.fccCodec != comptypeMJPG)
        return;
    // Each frame is a whole JPEG picture with its own tables.
    for (const AviLayout::Ref& f : a.frames) {
        const std::string jpeg(reinterpret_cast<const char*>(&a.bytes[f.nData]), f.nSize);
        EXPECT_EQ(jpeg.substr(0, 2) + jpeg.substr(jpeg.size() - 2), "\xFF\xD8\xFF\xD9");
        EXPECT_NE(jpeg.find("\xFF\xC4"), std::string::npos) << "no Huffman table";
        EXPECT_NE(jpeg.find("\xFF\xDB"), std::string::npos) << "no quantisation table";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Codecs, AviDecodeTest,
    ::testing::Values(DecodeCase{comptypeDIB, 4, 4, 1}, DecodeCase{comptypeDIB, 36, 20, 2},
                      DecodeCase{comptypeDIB, 100, 60, 50}, DecodeCase{comptypeDIB, 64, 48, 60, 64 * 1024},
                      DecodeCase{comptypeMJPG, 4, 4, 1}, DecodeCase{comptypeMJPG, 36, 20, 2},
                      DecodeCase{comptypeMJPG, 100, 60, 50}, DecodeCase{comptypeMJPG, 160, 120, 40, 16 * 1024},
                      DecodeCase{comptypeH264, 36, 20, 2}, DecodeCase{comptypeH264, 160, 120, 40},
                      DecodeCase{comptypeH264, 160, 120, 60, 8 * 1024}, DecodeCase{comptypeFFV1, 4, 4, 1},
                      DecodeCase{comptypeFFV1, 36, 20, 2}, DecodeCase{comptypeFFV1, 64, 48, 30, 16 * 1024}));

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

TEST(AviSafetyTest, EncoderProblemsAreNamedAndKeepTheExistingFile)
{
    QTemporaryDir dir;
    const std::string strPath = dir.path().toStdString() + "/keep.avi";
    WriteFile(strPath, "old bytes");
    CAviWriter writer;
    EXPECT_EQ(WriteAvi(strPath, {8, 9, 2, comptypeH264}, nullptr, &writer), AVIERR_COMPRESSOR);
    EXPECT_EQ(writer.m_strError, "AVI Compressed Stream format setting failed. The H.264 encoder refused the picture "
                                 "size 8×9 or its options (height not divisible by 2 (8x9)).");
    EXPECT_FALSE(writer.IsCommitted());
    EXPECT_EQ(ReadFile(strPath), "old bytes");
    EXPECT_EQ(ListFolder(dir.path().toStdString()), std::vector<std::string>{"keep.avi"});

    CAvcodecEncoder encoder;
    EXPECT_FALSE(encoder.Init(CAvcodecEncoder::Kind::Ffv1, 8, 8, 90, 25, 1, "no-such-encoder"));
    EXPECT_EQ(encoder.LastError(), "The FFV1 encoder \"no-such-encoder\" is missing from the installed libavcodec.");
    EncodedFrame frame;
    EXPECT_FALSE(encoder.Encode(MakeFrame(8, 8, 0).data(), 24, &frame));
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
