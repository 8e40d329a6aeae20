// Writes small sample animations for checking what other readers make of our
// files: every compressor that carries state between frames, at 1, 25 and
// 100000 frames per second, in one segment and in several.
//
//   avi_reader_samples OUTPUT_FOLDER     (prints the names of the files)

#include <cstdio>
#include <string>
#include <vector>

// Local
#include "platform/avi/CCompressionChooserGuard.h"
#include "platform/avi/CFixedCompressionChooser.h"
#include "video/CAviWriter.h"

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: avi_reader_samples OUTPUT_FOLDER\n");
        return 2;
    }
    constexpr int kWidth = 320, kHeight = 240, kFrames = 120;
    const struct {
        const char* szName;
        FOURCC fcc;
    } codecs[] = {{"h264", comptypeH264}, {"ffv1", comptypeFFV1}, {"mjpeg", comptypeMJPG}};
    std::vector<BYTE> frame(static_cast<std::size_t>(kWidth) * 3 * kHeight);
    int nFailures = 0;
    for (const auto& codec : codecs)
        for (const LONG nRate : {1, 25, 100000})
            for (const bool bSegmented : {false, true}) {
                CFixedCompressionChooser chooser({codec.fcc, 90, false});
                CCompressionChooserGuard guard(&chooser);
                CAviWriter writer;
                writer.SetBitmapHeader({40, kWidth, kHeight, 1, 24, BI_RGB,
                                        static_cast<DWORD>(frame.size()), 0, 0, 0, 0});
                writer.m_strFileName = std::string(argv[1]) + "/" + codec.szName + "-" + std::to_string(nRate) +
                                       "fps-" + (bSegmented ? "segmented" : "single") + ".avi";
                writer.m_nRate = nRate;
                if (bSegmented)
                    writer.SetSegmentSize(64 * 1024);
                if (writer.InitEngine(nullptr) != 0) {
                    std::fprintf(stderr, "%s: %s\n", writer.m_strFileName.c_str(), writer.m_strError.c_str());
                    ++nFailures;
                    continue;
                }
                // A moving gradient, so that frames differ as in a dissolve.
                for (int k = 0; k < kFrames; ++k) {
                    for (std::size_t i = 0; i < frame.size(); ++i)
                        frame[i] = static_cast<BYTE>((i / 3 % kWidth) + (i / 3 / kWidth) * (i % 3 + 1) + k * 2);
                    writer.AddFrame(frame.data());
                }
                writer.ReleaseEngine();
                if (!writer.IsCommitted()) {
                    std::fprintf(stderr, "%s: %s\n", writer.m_strFileName.c_str(), writer.RunErrorText().c_str());
                    ++nFailures;
                    continue;
                }
                std::printf("%s\n", writer.m_strFileName.c_str());
            }
    return nFailures == 0 ? 0 : 1;
}
