// Fuzz target: the video writers the renders use, driven by arbitrary names,
// canvases, rates and their scales, codecs, qualities, segment sizes and
// sequences of frames, commits and abandons.
//
// Input: name u8 (0 ".avi", 1 ".mp4", 2 no extension, 3 ".AVI", 4 ".MP4",
// other ".wmv"; +8: a file of that name exists; bits 4 and 5: the rate's
// scale, 1, 1001, 100 or 65536), codec u8 (a row of the
// table; past its end none), quality u8, width u8, height u8 (4 plus the
// byte), rate i32, segment size in KiB u16 (AVI; 0: the default); then one
// byte per step: below 0x80 writes a frame filled from that byte and lasting
// 1 + (byte & 3) frame times, 0x80..0xBF drops the writer uncommitted, 0xC0
// and above commits.
//
// Whatever happens, the folder must afterwards hold either a complete file
// with every frame written (an AVI that an independent reader walks, an MP4
// with its index before its frames), or the file that was there before (or
// nothing), and never a temporary file.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

// Local
#include "fuzz/FuzzInput.h"
#include "tests/support/AviProbe.h"
#include "video/CAviWriter.h"
#include "video/VideoContainer.h"

namespace {

namespace fs = std::filesystem;

constexpr int kMaxSteps = 48;
const char kOldContent[] = "an older file that must survive a failed run";

// One folder for the whole run, in memory where the machine offers it.
const fs::path& WorkFolder()
{
    static const fs::path folder = [] {
        std::error_code error;
        std::string strTemplate = (fs::is_directory("/dev/shm", error) ? fs::path("/dev/shm") : fs::temp_directory_path())
                                      .append("plavex-fuzz-video-XXXXXX");
        Require(mkdtemp(strTemplate.data()) != nullptr);
        std::atexit([] { std::error_code ignored; fs::remove_all(WorkFolder(), ignored); });
        return fs::path(strTemplate);
    }();
    return folder;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize)
{
    FuzzInput reader(pData, nSize);
    const std::uint8_t nName = reader.Byte(), nCodec = reader.Byte(), nQuality = reader.Byte();
    const std::int32_t nWidth = 4 + reader.Byte(), nHeight = 4 + reader.Byte(), nRate = reader.Int32();
    const std::uint32_t nSegmentKiB = static_cast<std::uint32_t>(reader.Uint(2));
    const std::int32_t kScales[] = {1, 1001, 100, 65536};
    const std::int32_t nScale = kScales[nName >> 4 & 3];
    const fs::path& folder = WorkFolder();
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder))
        fs::remove_all(entry.path(), error);

    // The name and the container as the front ends take them.
    const char* const kExtensions[] = {".avi", ".mp4", "", ".AVI", ".MP4", ".wmv"};
    const std::string strName = VideoFileName((folder / "clip").string() + kExtensions[std::min(nName & 7, 5)]);
    const VideoContainer container = ContainerOfName(strName);
    const fs::path target = strName;
    Require(target.parent_path() == folder);
    if (nName & 8)
        std::ofstream(target, std::ios::binary) << kOldContent;

    const std::span<const VideoCodec> codecs = VideoCodecs();
    const Canvas canvas = ComputeCanvas(kSizeModeCustom, nWidth, nHeight, 0, 0, 0, 0).Value();
    std::unique_ptr<IVideoWriter> pWriter = MakeVideoWriter(container);
    if (nSegmentKiB != 0 && container == VideoContainer::Avi)
        static_cast<CAviWriter&>(*pWriter).SetSegmentSize(std::int64_t{nSegmentKiB} * 1024);
    const bool bOpen =
        static_cast<bool>(pWriter->Open(strName, {canvas, nRate, nCodec < codecs.size() ? &codecs[nCodec] : nullptr, nQuality, nScale}));
    auto encoder = bOpen ? pWriter->MakeEncoder() : EngineResult<std::unique_ptr<IFrameEncoder>>(EngineError{});
    Require(!bOpen || encoder);

    std::vector<std::uint8_t> frame(canvas.ImageSize());
    std::int64_t nSamples = 0;
    bool bFailed = !bOpen, bCommitted = false;
    for (int nStep = 0; nStep < kMaxSteps && !reader.AtEnd() && pWriter && !bCommitted; ++nStep) {
        const std::uint8_t nOp = reader.Byte();
        if (nOp < 0x80) {
            for (std::size_t i = 0; i < frame.size(); ++i)
                frame[i] = static_cast<std::uint8_t>(nOp * 5 + i * 3);
            const auto encoded = bOpen ? encoder.Value()->Encode(frame.data(), canvas.Stride())
                                       : EngineResult<EncodedFrame>(EngineError{});
            const std::int32_t nDuration = 1 + (nOp & 3);
            const bool bWritten = encoded && pWriter->WriteFrame(encoded.Value(), nDuration);
            // Nothing is written once the writer failed, and a failure stays.
            Require(!bWritten || !bFailed);
            bFailed = bFailed || !bWritten;
            nSamples += bWritten ? (pWriter->HoldsInOneSample() ? 1 : nDuration) : 0;
        } else if (nOp < 0xC0) {
            pWriter.reset();
        } else {
            bCommitted = static_cast<bool>(pWriter->Commit());
            Require(!bCommitted || !bFailed);
        }
    }
    pWriter.reset();

    // Only the target may be left in the folder: no temporary file, ever.
    for (const auto& entry : fs::directory_iterator(folder))
        Require(entry.path() == target);

    if (bCommitted && container == VideoContainer::Avi) {
        // Every chunk inside its parent, RIFF 'AVI ' then only 'AVIX', and every frame counted.
        const AviLayout avi = ReadAviLayout(target.string());
        Require(avi.strError.empty() && !avi.riffTypes.empty() && avi.riffTypes[0] == "AVI " &&
                std::count(avi.riffTypes.begin(), avi.riffTypes.end(), "AVIX") + 1 == std::ssize(avi.riffTypes));
        Require(static_cast<std::int64_t>(avi.frames.size()) == nSamples && avi.nRate == static_cast<std::uint32_t>(nRate) &&
                avi.nScale == static_cast<std::uint32_t>(nScale));
        Require(avi.nDmlhFrames == 0 || avi.nDmlhFrames == static_cast<std::uint32_t>(nSamples));
    } else if (bCommitted) {
        // The index before the frames, each frame a sample; a file without
        // frames has no track to describe.
        const Mp4Layout mp4 = ReadMp4Layout(target.string());
        Require(mp4.boxes.size() == 4 && mp4.boxes[1] == "moov" && mp4.boxes[3] == "mdat");
        Require(mp4.nSamples == nSamples && mp4.bAvcC == (nSamples > 0));
    } else {
        // The older file as it was, or none.
        std::ifstream old(target, std::ios::binary);
        Require(nName & 8 ? std::string(std::istreambuf_iterator<char>(old), {}) == kOldContent : !fs::exists(target));
    }
    return 0;
}
