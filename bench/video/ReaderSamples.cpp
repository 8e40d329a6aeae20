// Writes small sample animations for checking what other readers make of our
// AVI files: every codec that carries state between frames, at 1, 25 and
// 100000 frames per second, in one segment and in several.
//
//   avi_reader_samples OUTPUT_FOLDER     (prints the names of the files)

#include <cstdio>
#include <string>
#include <vector>

// Local
#include "video/CAviWriter.h"

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: avi_reader_samples OUTPUT_FOLDER\n");
        return 2;
    }
    constexpr int kWidth = 320, kHeight = 240, kFrames = 120;
    const Canvas canvas = ComputeCanvas(kSizeModeCustom, kWidth, kHeight, 0, 0, 0, 0).Value();
    std::vector<std::uint8_t> frame(canvas.ImageSize());
    int nFailures = 0;
    for (const char* pszCodec : {"h264", "ffv1", "mjpeg"})
        for (const std::int32_t nRate : {1, 25, 100000})
            for (const bool bSegmented : {false, true}) {
                CAviWriter writer;
                const std::string strName = std::string(argv[1]) + "/" + pszCodec + "-" + std::to_string(nRate) +
                                            "fps-" + (bSegmented ? "segmented" : "single") + ".avi";
                if (bSegmented)
                    writer.SetSegmentSize(64 * 1024);
                auto done = writer.Open(strName, {canvas, nRate, FindVideoCodec(pszCodec), 90});
                auto encoder = writer.MakeEncoder();
                // A moving gradient, so that frames differ as in a dissolve.
                for (int k = 0; k < kFrames && done && encoder; ++k) {
                    for (std::size_t i = 0; i < frame.size(); ++i)
                        frame[i] = static_cast<std::uint8_t>((i / 3 % kWidth) + (i / 3 / kWidth) * (i % 3 + 1) + k * 2);
                    const auto encoded = encoder.Value()->Encode(frame.data(), canvas.Stride());
                    done = encoded ? writer.WriteFrame(encoded.Value()) : EngineResult<void>(encoded.Error());
                }
                if (done && encoder)
                    done = writer.Commit();
                if (!done || !encoder) {
                    std::fprintf(stderr, "%s: %s\n", strName.c_str(),
                                 (done ? encoder.Error() : done.Error()).m_strMessage.c_str());
                    ++nFailures;
                    continue;
                }
                std::printf("%s\n", strName.c_str());
            }
    return nFailures == 0 ? 0 : 1;
}
