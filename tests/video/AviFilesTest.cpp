// CAviWriter over the real AVI file services: a header field, index entry or
// frame byte that an independent reader of the layout or ffprobe/ffmpeg reads
// differently, an encoder's refusal unnamed, and a run that changes an older file.

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

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
    FOURCC fccCodec = comptypeMJPG;
    int nWidth = 36, nHeight = 20, nFrames = 2;
    std::int64_t nSegment = 0; // 0: one segment; otherwise small segments
};

const std::map<FOURCC, std::string> kCodecNames = {
    {comptypeDIB, "rawvideo"}, {comptypeMJPG, "mjpeg"}, {comptypeH264, "h264"}, {comptypeFFV1, "ffv1"}};

// Runs the writer the way the animation render does; frames gets what was handed over.
HRESULT WriteAvi(const std::string& strPath, const RunSpec& run, std::vector<std::uint8_t>* pFrames = nullptr,
                 CAviWriter* pWriter = nullptr)
{
    CFixedCompressionChooser chooser({run.fccCodec, 90, false});
    CCompressionChooserGuard guard(&chooser);
    CAviWriter local;
    CAviWriter& writer = pWriter ? *pWriter : local;
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

// The NAL unit types of an H.264 frame in Annex B form.
std::set<int> NalTypes(std::string_view data)
{
    std::set<int> types;
    for (std::size_t i = 0; i + 3 < data.size(); ++i)
        if (data.substr(i, 3) == std::string_view("\0\0\1", 3))
            types.insert(data[i + 3] & 0x1F);
    return types;
}

// The headers keep room for the super index and the OpenDML header whether
// or not the file grew past one segment, so the frames start at one place.
constexpr std::int64_t kFirstMoviType = 12 + 12 + 64 + 12 + 64 + 48 + (32 + 16 * 2048) + (12 + 256) + 8;

class AviDecodeTest : public ::testing::TestWithParam<RunSpec> {};

TEST_P(AviDecodeTest, RealDecoderReadsEveryFrame)
{
    const RunSpec c = GetParam();
    const bool bRaw = c.fccCodec == comptypeDIB, bSegmented = c.nSegment != 0;
    QTemporaryDir dir;
    const std::string strPath = dir.path().toStdString() + "/out.avi";
    std::vector<std::uint8_t> frames;
    ASSERT_EQ(WriteAvi(strPath, c, &frames), 0);

    const ProbeResult probe = Probe(strPath);
    EXPECT_EQ(probe.strErrors, "");
    EXPECT_EQ(std::tie(probe.strCodec, probe.nWidth, probe.nHeight, probe.strRate, probe.nFrames),
              std::make_tuple(kCodecNames.at(c.fccCodec), c.nWidth, c.nHeight, std::string("25/1"), c.nFrames));

    AviLayout a = ReadAviLayout(strPath);
    ASSERT_EQ(a.strError, "");
    ASSERT_FALSE(a.frames.empty());
    ASSERT_EQ(a.avih.size(), 10u);
    EXPECT_EQ(a.nFirstMovi, kFirstMoviType);
    // Key frames are the ones the encoder made: H.264 instantaneous refresh
    // pictures, which carry their parameter sets; every frame otherwise. Each
    // Motion JPEG frame is a whole JPEG picture with its own tables.
    for (AviLayout::Ref& f : a.frames) {
        const std::string_view data(reinterpret_cast<const char*>(&a.bytes[f.nData]), f.nSize);
        const std::set<int> types = NalTypes(data);
        f.bKey = c.fccCodec != comptypeH264 || types.count(5);
        EXPECT_TRUE(!f.bKey || c.fccCodec != comptypeH264 || (types.count(7) && types.count(8)));
        EXPECT_TRUE(c.fccCodec != comptypeMJPG || (data.starts_with("\xFF\xD8") && data.ends_with("\xFF\xD9") &&
                                                   data.find("\xFF\xC4") != data.npos &&
                                                   data.find("\xFF\xDB") != data.npos));
    }
    EXPECT_TRUE(a.frames[0].bKey);
    // The suggested buffer is the frame size, or the largest chunk when a
    // tiny picture's compressed form outgrows it.
    const BITMAPINFOHEADER canvas = Canvas(c.nWidth, c.nHeight);
    std::uint32_t nLargest = canvas.biSizeImage;
    for (const AviLayout::Ref& f : a.frames)
        nLargest = std::max(nLargest, f.nSize);
    // The stream header's length, scale, rate and buffer; then the main header:
    // 40,000 µs a frame, an index and interleaved data (AVIF_HASINDEX |
    // AVIF_ISINTERLEAVED), the first segment's frames, one stream, the buffer, the size.
    const auto n = static_cast<std::uint32_t>(c.nFrames);
    const auto w = static_cast<std::uint32_t>(c.nWidth), h = static_cast<std::uint32_t>(c.nHeight);
    EXPECT_EQ(std::vector<std::uint32_t>({a.nLength, a.nScale, a.nRate, a.nSuggested, a.avih[0], a.avih[3], a.avih[4],
                                          a.avih[6], a.avih[7], a.avih[8], a.avih[9]}),
              std::vector<std::uint32_t>({n, 1, 25, nLargest, 40000, 0x110, a.framesPerRiff.at(0), 1, nLargest, w, h}));
    ASSERT_EQ(a.legacyIndex.size(), a.framesPerRiff.at(0));
    EXPECT_TRUE(std::equal(a.legacyIndex.begin(), a.legacyIndex.end(), a.frames.begin()));
    // One segment has no OpenDML indexes, only their placeholders.
    EXPECT_EQ(std::tuple(a.riffTypes.size() > 1, a.bSuperIndex, a.nDmlhFrames),
              std::tuple(bSegmented, bSegmented, bSegmented ? n : 0u));
    EXPECT_TRUE(a.stdIndex == (bSegmented ? a.frames : std::vector<AviLayout::Ref>()));

    // The format is the canvas header, naming the compressor where there is one.
    BITMAPINFOHEADER format = canvas;
    format.biCompression = c.fccCodec == comptypeDIB ? BI_RGB : c.fccCodec;
    ASSERT_EQ(a.strf.size(), 40u);
    EXPECT_EQ(std::memcmp(a.strf.data(), &format, 40), 0);
    EXPECT_EQ(a.nHandler, bRaw ? 0u : c.fccCodec);
    if (c.fccCodec == comptypeH264)
        return;
    // Lossless frames come back byte for byte; Motion JPEG ones close to the
    // frames, which an upside-down copy of these gradients is not.
    std::string strErrors;
    const std::vector<std::uint8_t> decoded = DecodeBottomUpBgr(strPath, strErrors);
    EXPECT_EQ(strErrors, "");
    ASSERT_EQ(decoded.size(), frames.size());
    if (c.fccCodec != comptypeMJPG) {
        EXPECT_TRUE(decoded == frames);
        return;
    }
    long nDiff = 0;
    for (std::size_t i = 0; i < frames.size(); ++i)
        nDiff += std::abs(decoded[i] - frames[i]);
    EXPECT_LT(nDiff / static_cast<long>(frames.size()), 16);
}

INSTANTIATE_TEST_SUITE_P(
    Codecs, AviDecodeTest,
    ::testing::Values(RunSpec{comptypeDIB, 4, 4, 1}, RunSpec{comptypeDIB, 100, 60, 50},
                      RunSpec{comptypeDIB, 64, 48, 60, 64 * 1024}, RunSpec{comptypeMJPG, 4, 4, 1},
                      RunSpec{comptypeMJPG, 100, 60, 50}, RunSpec{comptypeMJPG, 160, 120, 40, 16 * 1024},
                      RunSpec{comptypeH264, 160, 120, 40}, RunSpec{comptypeH264, 160, 120, 60, 8 * 1024},
                      RunSpec{comptypeFFV1, 36, 20, 2}, RunSpec{comptypeFFV1, 64, 48, 30, 16 * 1024}));

// A refused run keeps the older file and names the encoder's problem; a
// complete one replaces the file a name or a link leads to, keeping its
// permissions, or creates it with the usual ones, even at the name length limit.
TEST(AviSafetyTest, RunsReplaceOrCreateOnlyWhenComplete)
{
    QTemporaryDir dir;
    const std::string strBase = dir.path().toStdString();
    const std::string strNew = strBase + "/" + std::string(246, 'n') + ".avi";
    const std::string strKept = strBase + "/kept.avi", strLink = strBase + "/link.avi";
    WriteFile(strKept, "old");
    CAviWriter writer;
    EXPECT_EQ(WriteAvi(strKept, {comptypeH264, 8, 9, 2}, nullptr, &writer), AVIERR_COMPRESSOR);
    EXPECT_EQ(writer.m_strError, "AVI Compressed Stream format setting failed. The H.264 encoder refused the picture "
                                 "size 8×9 or its options (height not divisible by 2 (8x9)).");
    EXPECT_FALSE(writer.IsCommitted());
    EXPECT_EQ(ReadFile(strKept), "old");
    EXPECT_EQ(ListFolder(strBase), std::vector<std::string>{"kept.avi"});

    using std::filesystem::perms;
    std::filesystem::permissions(strKept, perms::owner_read | perms::owner_write);
    const mode_t nOldMask = ::umask(022);
    EXPECT_EQ(WriteAvi(strNew, {}), 0);
    EXPECT_EQ(WriteAvi(strKept, {}), 0);
    ::umask(nOldMask);
    EXPECT_EQ(std::filesystem::status(strNew).permissions(),
              perms::owner_read | perms::owner_write | perms::group_read | perms::others_read);
    EXPECT_EQ(std::filesystem::status(strKept).permissions(), perms::owner_read | perms::owner_write);
    std::filesystem::create_symlink("kept.avi", strLink);
    WriteFile(strKept, "old");
    EXPECT_EQ(WriteAvi(strLink, {}), 0);
    EXPECT_TRUE(std::filesystem::is_symlink(strLink));
    EXPECT_EQ(Probe(strKept).nFrames, 2);
    EXPECT_EQ(ListFolder(strBase).size(), 3u);

    CAvcodecEncoder encoder;
    EXPECT_FALSE(encoder.Init(CAvcodecEncoder::Kind::Ffv1, 8, 8, 90, 25, 1, "no-such-encoder"));
    EXPECT_EQ(encoder.LastError(), "The FFV1 encoder \"no-such-encoder\" is missing from the installed libavcodec.");
    EncodedFrame frame;
    EXPECT_FALSE(encoder.Encode(MakeFrame(8, 8, 0).data(), 24, &frame));
}

} // namespace
