// Writes the AVI case table through the writer the renders use: every
// compressor, in one segment and in several, at 1, 25 and 100000 frames per
// second, a dissolve of two noisy pictures made by the frame pipeline. Two
// builds' tables are compared byte for byte by bench/video/avi_identity.sh.
//
//   avi_case_table OUTPUT_FOLDER     (prints the names of the files)

#include <cstdint>
#include <cstdio>
#include <string>

// Local
#include "engine/Canvas.h"
#include "engine/PixelBuffer.h"
#include "platform/avi/CCompressionChooserGuard.h"
#include "platform/avi/CFixedCompressionChooser.h"
#include "video/CAviWriter.h"
#include "video/DissolveWriter.h"

namespace {

// Segments of the smallest size the writer takes, so that every compressor's
// file has several.
constexpr std::int64_t kSmallSegments = 4096;

// A gradient with grain that differs per picture, so no compressor makes
// frames of a few bytes.
PixelBuffer MakePicture(const Canvas& canvas, int nSeed)
{
    PixelBuffer buffer = std::move(PixelBuffer::Allocate(canvas)).Value();
    std::uint32_t nNoise = 2463534242u + static_cast<std::uint32_t>(nSeed);
    for (std::size_t i = 0; i < buffer.Size(); ++i) {
        nNoise ^= nNoise << 13;
        nNoise ^= nNoise >> 17;
        nNoise ^= nNoise << 5;
        const std::size_t x = i / 3 % static_cast<std::size_t>(canvas.Width());
        buffer.Data()[i] = static_cast<std::uint8_t>(x * (nSeed + 1) + (nNoise & 15) + (i % 3) * 60);
    }
    return buffer;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: avi_case_table OUTPUT_FOLDER\n");
        return 2;
    }
    const Canvas canvas = ComputeCanvas(kSizeModeCustom, 160, 120, 0, 0, 0, 0).Value();
    const PixelBuffer first = MakePicture(canvas, 1), second = MakePicture(canvas, 2);
    constexpr std::int32_t kFrames = 30;
    const struct {
        const char* szName;
        FOURCC fcc;
        DWORD dwQuality;
    } codecs[] = {{"raw", comptypeDIB, 0},    {"mjpeg", comptypeMJPG, 90}, {"mjpeg-q37", comptypeMJPG, 37},
                  {"h264", comptypeH264, 90}, {"h264-q37", comptypeH264, 37}, {"ffv1", comptypeFFV1, 0}};
    int nFailures = 0;
    for (const auto& codec : codecs)
        for (const LONG nRate : {1, 25, 100000})
            for (const bool bSegmented : {false, true}) {
                CFixedCompressionChooser chooser({codec.fcc, codec.dwQuality, false});
                CCompressionChooserGuard guard(&chooser);
                CAviWriter writer;
                writer.SetBitmapHeader(canvas.Header());
                writer.m_strFileName = std::string(argv[1]) + "/" + codec.szName + "-" + std::to_string(nRate) +
                                       "fps-" + (bSegmented ? "segmented" : "single") + ".avi";
                writer.m_nRate = nRate;
                if (bSegmented)
                    writer.SetSegmentSize(kSmallSegments);
                if (writer.InitEngine(nullptr) != 0) {
                    std::fprintf(stderr, "%s: %s\n", writer.m_strFileName.c_str(), writer.m_strError.c_str());
                    ++nFailures;
                    continue;
                }
                const FramePipeline::Result result = WriteDissolveFrames(
                    writer, canvas, first, second, kFrames, 2, [](std::int32_t) {}, [] { return true; });
                if (result.m_nOutcome != FramePipeline::Outcome::Done)
                    writer.Abandon();
                writer.ReleaseEngine();
                if (!writer.IsCommitted()) {
                    std::fprintf(stderr, "%s: %s %s\n", writer.m_strFileName.c_str(), result.m_strError.c_str(),
                                 writer.RunErrorText().c_str());
                    ++nFailures;
                    continue;
                }
                std::printf("%s\n", writer.m_strFileName.c_str());
            }
    return nFailures == 0 ? 0 : 1;
}
