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
        const char* szCodec;
        std::int32_t nQuality;
    } codecs[] = {{"raw", "raw", 0},    {"mjpeg", "mjpeg", 90}, {"mjpeg-q37", "mjpeg", 37},
                  {"h264", "h264", 90}, {"h264-q37", "h264", 37}, {"ffv1", "ffv1", 0}};
    int nFailures = 0;
    for (const auto& codec : codecs)
        for (const std::int32_t nRate : {1, 25, 100000})
            for (const bool bSegmented : {false, true}) {
                CAviWriter writer;
                const std::string strName = std::string(argv[1]) + "/" + codec.szName + "-" + std::to_string(nRate) +
                                            "fps-" + (bSegmented ? "segmented" : "single") + ".avi";
                if (bSegmented)
                    writer.SetSegmentSize(kSmallSegments);
                auto done = writer.Open(strName, {canvas, nRate, FindVideoCodec(codec.szCodec), codec.nQuality});
                if (done) {
                    const FramePipeline::Result result = WriteDissolveFrames(
                        writer, first, second, kFrames, 2, [](std::int32_t) {}, [] { return true; });
                    done = result.m_nOutcome == FramePipeline::Outcome::Done
                               ? writer.Commit()
                               : EngineResult<void>(EngineError{EngineErrorCode::WriteFailed, result.m_strError});
                }
                if (!done) {
                    std::fprintf(stderr, "%s: %s\n", strName.c_str(), done.Error().m_strMessage.c_str());
                    ++nFailures;
                    continue;
                }
                std::printf("%s\n", strName.c_str());
            }
    return nFailures == 0 ? 0 : 1;
}
