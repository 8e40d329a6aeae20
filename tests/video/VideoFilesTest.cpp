// The writers the renders use, read back by independent readers: a header
// field, index entry or frame that ffprobe, ffmpeg or the AVI layout reader
// reads otherwise; an MP4 whose index is not first or whose parameter sets
// are not in its header; a promise of the codec table (fourcc, key-frame
// interval, quality to rate factor, rate, thread count, one encoder across a
// slideshow) broken; a name that gains ".avi" otherwise than the renders'
// rule says; a failure told in other words or leaving a file behind.

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include <sys/stat.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

// Qt
#include <QTemporaryDir>

// Local
#include "engine/Blend.h"
#include "engine/SlideshowPictures.h"
#include "tests/support/AviProbe.h"
#include "tests/support/TestKit.h"
#include "video/CAviWriter.h"
#include "video/DissolveWriter.h"
#include "video/SlideshowWriter.h"
#include "video/VideoContainer.h"

using ::testing::IsSupersetOf;

namespace {

const auto kRowName = [](const auto& info) { return std::string(info.param.m_pszName); };

// Two canvas-sized gradients that differ in every pixel, and the frames of
// a dissolve between them as the pipeline blends them.
struct Sources {
    Sources(int nWidth, int nHeight) : canvas(ComputeCanvas(kSizeModeCustom, nWidth, nHeight, 0, 0, 0, 0).Value()) {}
    PixelBuffer Make(int nSeed) const
    {
        PixelBuffer buffer = std::move(PixelBuffer::Allocate(canvas)).Value();
        for (std::size_t i = 0, w = static_cast<std::size_t>(canvas.Width()); i < buffer.Size(); ++i)
            buffer.Data()[i] = static_cast<std::uint8_t>((i / 3 % w) * 7 + (i / 3 / w) * 5 * (i % 3) + nSeed * 13);
        return buffer;
    }
    std::vector<std::uint8_t> Frames(int nFrames) const
    {
        std::vector<std::uint8_t> frames(first.Size() * static_cast<std::size_t>(nFrames));
        for (int k = 0; k < nFrames; ++k)
            BlendBytesReference(first.Data(), second.Data(), &frames[first.Size() * static_cast<std::size_t>(k)],
                                first.Size(), FrameWeight(FrameStep(nFrames), k));
        return frames;
    }
    Canvas canvas;
    PixelBuffer first = Make(0), second = Make(9);
};

struct FileCase {
    const char* m_pszName;
    const char* m_pszFile; // as chosen: its extension chooses the container, and an AVI name may gain ".avi"
    const char* m_pszCodec;
    int m_nWidth, m_nHeight, m_nFrames, m_nRate = 25;
    std::int64_t m_nSegment = 0; // AVI: 0 for one segment, else the size of small ones
    int m_nQuality = 90;
    std::string m_strFailure = {}; // the writer's words when it must fail; "@" stands for the file's name
    rlim_t m_nSizeLimit = RLIM_INFINITY;
    int m_nScale = 1; // m_nRate frames every m_nScale seconds
};

// Writes the dissolve as the renders do; an empty text, or the failure.
std::string WriteDissolve(const std::string& strPath, const FileCase& c, const Sources& s)
{
    std::unique_ptr<IVideoWriter> pWriter = MakeVideoWriter(ContainerOfName(strPath));
    if (c.m_nSegment > 0)
        static_cast<CAviWriter&>(*pWriter).SetSegmentSize(c.m_nSegment);
    auto done = pWriter->Open(strPath, {s.canvas, c.m_nRate, FindVideoCodec(c.m_pszCodec), c.m_nQuality, c.m_nScale});
    if (done) {
        const FramePipeline::Result result = WriteDissolveFrames(
            *pWriter, s.first, s.second, c.m_nFrames, 3, [](std::int32_t) {}, [] { return true; });
        if (result.m_nOutcome != FramePipeline::Outcome::Done)
            return result.m_strError;
        done = pWriter->Commit();
    }
    return done ? "" : done.Error().m_strMessage;
}

// Each codec's name in ffprobe and its fourcc in an AVI file (none for full frames).
const std::map<std::string, std::pair<std::string, std::string>> kCodecNames = {
    {"raw", {"rawvideo", std::string(4, '\0')}}, {"mjpeg", {"mjpeg", "MJPG"}}, {"h264", {"h264", "H264"}},
    {"ffv1", {"ffv1", "FFV1"}}};

// The headers keep room for the super index and the OpenDML header whether
// or not the file grew past one segment, so the frames start at one place.
constexpr std::int64_t kFirstMoviType = 12 + 12 + 64 + 12 + 64 + 48 + (32 + 16 * 2048) + (12 + 256) + 8;

class VideoFileTest : public ::testing::TestWithParam<FileCase> {};

// A failure is told in the writer's words and leaves the folder as it was:
// no temporary file, the older file of the name untouched. A complete file
// replaces it.
TEST_P(VideoFileTest, ReadersReadEveryFrameAsWrittenOrTheFailureIsTold)
{
    const FileCase& c = GetParam();
    const VideoCodec& codec = *FindVideoCodec(c.m_pszCodec);
    const bool bAvi = ContainerOfName(c.m_pszFile) == VideoContainer::Avi, bSegmented = c.m_nSegment != 0;
    QTemporaryDir dir;
    // The renders add ".avi" to an AVI name that does not hold "avi", in this case.
    const std::string strChosen = dir.filePath(c.m_pszFile).toStdString(),
                      strPath = strChosen + (bAvi && strChosen.find("avi") == std::string::npos ? ".avi" : "");
    const bool bOld = WriteFile(strPath, "old");
    const std::vector<std::string> before = ListFolder(dir.path().toStdString());
    const Sources s(c.m_nWidth, c.m_nHeight);
    std::string strFailure = c.m_strFailure;
    if (const std::size_t nAt = strFailure.find('@'); nAt != std::string::npos)
        strFailure.replace(nAt, 1, strPath);
    {
        const FileSizeLimit limit(c.m_nSizeLimit);
        ASSERT_EQ(WriteDissolve(VideoFileName(strChosen), c, s), strFailure);
    }
    if (!strFailure.empty()) {
        EXPECT_EQ(std::pair(ListFolder(dir.path().toStdString()), ReadFile(strPath)),
                  std::pair(before, std::string(bOld ? "old" : "")));
        return;
    }

    const ProbeResult probe = Probe(strPath);
    EXPECT_EQ(probe.strErrors, "");
    EXPECT_EQ(std::tie(probe.strCodec, probe.nWidth, probe.nHeight, probe.strRate, probe.nFrames),
              std::make_tuple(kCodecNames.at(c.m_pszCodec).first, c.m_nWidth, c.m_nHeight,
                              std::to_string(c.m_nRate) + "/" + std::to_string(c.m_nScale), c.m_nFrames));
    std::string strErrors;
    const std::vector<std::uint8_t> decoded = DecodeBottomUpBgr(strPath, strErrors), frames = s.Frames(c.m_nFrames);
    EXPECT_EQ(strErrors, "");
    ASSERT_EQ(decoded.size(), frames.size());
    // Lossless frames come back byte for byte, the others close to the
    // frames, which an upside-down copy of these gradients is not, and with
    // no error that follows blue minus red, as a conversion that takes one
    // for the other leaves.
    long nDiff = 0;
    double dAlong = 0, dNorm = 1;
    for (std::size_t i = 0; i < frames.size(); ++i) {
        const int nError = decoded[i] - frames[i], nBlueMinusRed = frames[i - i % 3] - frames[i - i % 3 + 2];
        nDiff += std::abs(nError), dAlong += nError * nBlueMinusRed, dNorm += nBlueMinusRed * nBlueMinusRed;
    }
    EXPECT_TRUE(nDiff < (codec.m_bTakesQuality ? 16 * static_cast<long>(frames.size()) : 1) && std::abs(dAlong) < 0.08 * dNorm) << nDiff << " " << dAlong;

    // H.264 as the table makes it: the quality's rate factor, no B-frames,
    // the file's rate known to the encoder, which keeps its shortest key
    // interval within a second (23 frames at 24000/1001), four threads
    // whatever the machine (x264 makes at most one slice per four rows of
    // blocks), and a key frame at the start and every 250 frames, none
    // elsewhere.
    if (std::string(c.m_pszCodec) == "h264") {
        EXPECT_THAT(H264Options(strPath),
                    IsSupersetOf({std::string("keyint=250"), std::string("bframes=0"),
                                  std::string(c.m_nQuality == 90 ? "crf=19.0" : "crf=38.1"),
                                  "keyint_min=" + std::to_string(std::min(c.m_nRate / c.m_nScale, 25)),
                                  "threads=" + std::to_string(std::clamp((c.m_nHeight + 15) / 16 / 4, 1, 4))}));
        for (std::size_t i = 0; i < probe.packets.size(); ++i)
            EXPECT_EQ(probe.packets[i][0] == 'K', i % 250 == 0) << i;
    }
    if (!bAvi) {
        // For the web: the index first, the parameter sets in the header
        // and in no frame, the duration exact.
        const Mp4Layout m = ReadMp4Layout(strPath);
        EXPECT_EQ(std::pair(m.boxes, probe.strTag),
                  std::pair(std::vector<std::string>{"ftyp", "moov", "free", "mdat"}, std::string("avc1")));
        EXPECT_TRUE(m.bAvcC && !m.nalTypes.empty() && std::ranges::none_of(m.nalTypes, [](int n) { return n == 7 || n == 8; }));
        EXPECT_DOUBLE_EQ(std::stod(probe.strDuration), static_cast<double>(c.m_nFrames) * c.m_nScale / c.m_nRate);
        return;
    }
    AviLayout a = ReadAviLayout(strPath);
    ASSERT_EQ(std::pair(a.strError, a.avih.size()), std::pair(std::string(), std::size_t{10}));
    // FFV1's parameters follow the canvas header, padded to an even size.
    const auto nFormat = static_cast<std::uint32_t>(a.strf.size());
    EXPECT_EQ(std::pair(a.nFirstMovi, nFormat > 40), std::pair(kFirstMoviType + (nFormat - 39) / 2 * 2,
                                                               std::string(c.m_pszCodec) == "ffv1"));
    // Key frames are the ones the encoder made: H.264 instantaneous refresh
    // pictures; every frame otherwise.
    for (AviLayout::Ref& f : a.frames)
        f.bKey = std::string(c.m_pszCodec) != "h264" || (a.bytes[static_cast<std::size_t>(f.nData) + 4] & 0x1F) == 7;
    // The suggested buffer is the frame size, or the largest chunk when a
    // tiny picture's compressed form outgrows it.
    const std::uint32_t nLargest =
        std::max(s.canvas.ImageSize(), std::ranges::max(a.frames, {}, &AviLayout::Ref::nSize).nSize);
    const auto n = static_cast<std::uint32_t>(c.m_nFrames), r = static_cast<std::uint32_t>(c.m_nRate),
               sc = static_cast<std::uint32_t>(c.m_nScale);
    const auto w = static_cast<std::uint32_t>(c.m_nWidth), h = static_cast<std::uint32_t>(c.m_nHeight);
    // The format is the canvas header, its size covering what follows,
    // naming the codec by its fourcc, with the size of a decoded frame.
    std::uint32_t nFourcc = 0;
    std::memcpy(&nFourcc, kCodecNames.at(c.m_pszCodec).second.data(), 4);
    const std::uint32_t format[10] = {nFormat, w, h, 1 | 24 << 16, nFourcc, w * h * 3, 0, 0, 0, 0};
    EXPECT_TRUE(nFormat >= 40 && std::memcmp(a.strf.data(), format, 40) == 0);
    // The stream header's codec, length, scale, rate and buffer; then the
    // main header: the time of a frame in µs, an index and interleaved data
    // (AVIF_HASINDEX | AVIF_ISINTERLEAVED), the first segment's frames, one
    // stream, the buffer, the size.
    EXPECT_EQ(std::vector<std::uint32_t>({a.nHandler, a.nLength, a.nScale, a.nRate, a.nSuggested, a.avih[0], a.avih[3],
                                          a.avih[4], a.avih[6], a.avih[7], a.avih[8], a.avih[9]}),
              std::vector<std::uint32_t>(
                  {nFourcc, n, sc, r, nLargest, 1000000 * sc / r, 0x110, a.framesPerRiff.at(0), 1, nLargest, w, h}));
    EXPECT_TRUE(std::equal(a.legacyIndex.begin(), a.legacyIndex.end(), a.frames.begin(),
                           a.frames.begin() + a.framesPerRiff.at(0)));
    // One segment has no OpenDML indexes, only their placeholders.
    EXPECT_EQ(std::tuple(a.riffTypes.size() > 1, a.bSuperIndex, a.nDmlhFrames),
              std::tuple(bSegmented, bSegmented, bSegmented ? n : 0u));
    EXPECT_TRUE(a.stdIndex == (bSegmented ? a.frames : std::vector<AviLayout::Ref>()));
}

const std::string kAviOpen = "AVI Engine failed to initialize. Check filename @.";
const std::string kMp4Open = "MP4 file could not be created. Check filename @.";
INSTANTIATE_TEST_SUITE_P(
    ContainersCodecsSegmentsFailures, VideoFileTest,
    ::testing::Values(
        FileCase{"AviRawTiny", "movie.AVI", "raw", 4, 4, 1}, FileCase{"AviRaw", "movie", "raw", 100, 60, 50},
        FileCase{"AviRawSegments", "v.avi", "raw", 64, 48, 60, 25, 64 * 1024},
        FileCase{"AviMjpegTiny", "Žluťoučký kůň", "mjpeg", 4, 4, 1},
        FileCase{"AviMjpegSegments", "v.avi", "mjpeg", 160, 120, 40, 1, 16 * 1024},
        FileCase{"AviH264", "v.avi", "h264", 32, 32, 260, 30},
        FileCase{"AviH264Segments", "v.avi", "h264", 160, 120, 60, 100000, 4096},
        FileCase{"AviFfv1FourRows", "klip.mp4.bak", "ffv1", 36, 4, 2}, FileCase{"AviFfv1Segments", "v.avi", "ffv1", 64, 48, 30, 25, 16 * 1024},
        FileCase{"Mp4H264Quality37", "david.mp4", "h264", 64, 48, 260, 25, 0, 37},
        FileCase{"Mp4H264TinyAt1Fps", "v.MP4", "h264", 4, 4, 3, 1},
        FileCase{"Mp4H264At100000Fps", "v.mp4", "h264", 64, 256, 10, 100000},
        // NTSC's 29.97 as the fraction it is: 30 frames last 1.001 s.
        FileCase{"AviH264AtNtscRate", "v.avi", "h264", 32, 32, 30, 30000, 0, 90, "", RLIM_INFINITY, 1001},
        FileCase{"Mp4H264AtFilmRate", "v.mp4", "h264", 32, 32, 30, 24000, 0, 90, "", RLIM_INFINITY, 1001},
        FileCase{"AviOtherExtension", "david.wmv", "mjpeg", 16, 16, 2, 25, 0, 90,
                 kAviOpen + "According to the registry, the type of file specified in AVIFileOpen does not have a "
                            "handler to process it"},
        FileCase{"AviRateZero", "v.avi", "raw", 16, 16, 2, 0, 0, 90, "AVI Stream creation failed. Check Bitmap info."},
        FileCase{"AviQualityZero", "v.avi", "mjpeg", 16, 16, 2, 25, 0, 0, "AVI Compressed Stream creation failed."},
        FileCase{"Mp4MissingFolder", "missing/v.mp4", "h264", 16, 16, 2, 25, 0, 90,
                 kMp4Open + " A disk error occurred while opening the file."},
        FileCase{"Mp4MotionJpeg", "v.mp4", "mjpeg", 16, 16, 2, 25, 0, 90, kMp4Open + " MP4 files hold H.264 only."},
        // The frames fit the muxer's buffer, which is first written out at the end.
        FileCase{"Mp4FileSizeLimit", "v.mp4", "h264", 160, 120, 30, 25, 0, 90,
                 "MP4 file could not be finished. Check filename @. A disk error occurred while writing the file.", 5000}),
    kRowName);

// A slideshow of three pictures held 5 frames and faded over 4: one encoder
// carries H.264 through every picture, so only the first frame is a key
// frame, and in MP4 each hold is one sample lasting it. (An AVI file holds
// each frame of a hold; the batch tool's frame table decodes those.)
TEST(SlideshowFileTest, OneEncoderCarriesEveryPictureAndMp4HoldsAreOneSample)
{
    QTemporaryDir dir;
    std::vector<std::string> pictures;
    for (int i = 0; i < 3; ++i)
        pictures.push_back(SavePicture(dir.filePath(QString::number(i) + ".bmp").toStdString(), 48, 32, i));
    const Canvas canvas = ComputeCanvas(kSizeModeCustom, 48, 32, 0, 0, 0, 0).Value();
    const SlideshowPlan plan(3, 5, 4);
    const std::string strPath = dir.filePath("show.mp4").toStdString();
    std::unique_ptr<IVideoWriter> pWriter = MakeVideoWriter(VideoContainer::Mp4);
    ASSERT_TRUE(pWriter->Open(strPath, {canvas, 25, FindVideoCodec("h264"), 90}));
    SlideshowPictures shown(pictures, canvas);
    ASSERT_TRUE(shown.Allocate());
    SlideshowWriter frames(*pWriter, plan, 2);
    std::int64_t nWritten = 0;
    std::vector<std::string> expected;
    for (std::int32_t i = 0; i < 3; ++i) {
        ASSERT_TRUE(shown.Load(i));
        ASSERT_EQ(frames.WriteTurn(shown, i, [&](std::int64_t n) { nWritten = n; }, [] { return true; }).m_nOutcome,
                  FramePipeline::Outcome::Done);
        expected.insert(expected.end(), i > 0 ? 4 : 0, "_ 0.040000");
        expected.push_back("_ 0.200000");
    }
    ASSERT_TRUE(pWriter->Commit());
    EXPECT_EQ(nWritten, plan.FrameCount());
    expected[0][0] = 'K';
    const ProbeResult probe = Probe(strPath);
    EXPECT_EQ(std::pair(probe.packets, std::stod(probe.strDuration)), std::pair(expected, 23.0 / 25));
}

// A complete file replaces the one a name or a link leads to, keeping its
// permissions, or is created with the usual ones, even at the length limit
// of a name. Both writers stage their files through the same pending file.
TEST(VideoFileSafetyTest, CompleteFilesReplaceOrCreateAsTheUserExpects)
{
    using std::filesystem::perms;
    const FileCase c{"", "", "h264", 16, 16, 2};
    const Sources sources(16, 16);
    QTemporaryDir dir;
    const std::string strBase = dir.path().toStdString(), strNew = strBase + "/" + std::string(246, 'n') + ".mp4",
                      strKept = strBase + "/kept.mp4", strLink = strBase + "/link.mp4";
    WriteFile(strKept, "old");
    std::filesystem::permissions(strKept, perms::owner_read | perms::owner_write);
    const mode_t nOldMask = ::umask(022);
    EXPECT_EQ(WriteDissolve(strNew, c, sources) + WriteDissolve(strKept, c, sources), "");
    ::umask(nOldMask);
    EXPECT_EQ(std::filesystem::status(strNew).permissions(),
              perms::owner_read | perms::owner_write | perms::group_read | perms::others_read);
    EXPECT_EQ(std::filesystem::status(strKept).permissions(), perms::owner_read | perms::owner_write);
    std::filesystem::create_symlink("kept.mp4", strLink);
    WriteFile(strKept, "old");
    EXPECT_EQ(WriteDissolve(strLink, c, sources), "");
    EXPECT_EQ(std::tuple(std::filesystem::is_symlink(strLink), Probe(strKept).nFrames, ListFolder(strBase).size()),
              std::tuple(true, 2, std::size_t{3}));
}

} // namespace
