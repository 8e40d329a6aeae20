// Fuzz target: the AVI writer driven by arbitrary frame formats, rates,
// compressor choices, segment sizes and sequences of frames, abandons and
// early endings.
//
// Input: width i32, height i32, bit count u16, image size u32, rate i32,
// compressor u8 (0 full frames, 1 Motion JPEG, 2 cancel, 3 H.264, 4 FFV1,
// other: an unknown compressor), quality u8, segment size in KiB u16 (0: the default), name
// flags u8 (1: a file of that name exists, 2: no extension, 4: ".AVI"); then
// one byte per step: below 0x80 writes a frame filled from that byte,
// 0x80..0xBF abandons the run, 0xC0..0xDF releases the writer, 0xE0 and above
// destroys it without a release.
//
// Whatever happens, the folder must afterwards hold either a complete AVI
// file with every frame written, or the file that was there before (or
// nothing), and never a temporary file.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

// Local
#include "platform/avi/AviTypes.h"
#include "platform/avi/CCompressionChooserGuard.h"
#include "platform/avi/CFixedCompressionChooser.h"
#include "fuzz/FuzzInput.h"
#include "tests/support/AviProbe.h"
#include "video/CAviWriter.h"

namespace {

namespace fs = std::filesystem;

// Frames larger than this are not fed, so every run stays fast.
constexpr std::uint32_t kMaxFrameBytes = 1u << 20;
constexpr int kMaxFrames = 48;
const char kOldContent[] = "an older file that must survive a failed run";

// One folder for the whole run, in memory where the machine offers it.
const fs::path& WorkFolder()
{
    static const fs::path folder = [] {
        std::error_code error;
        const fs::path base = fs::is_directory("/dev/shm", error) ? fs::path("/dev/shm") : fs::temp_directory_path();
        std::string strTemplate = (base / "plavex-fuzz-avi-XXXXXX").string();
        Require(mkdtemp(strTemplate.data()) != nullptr);
        std::atexit([] { std::error_code ignored; fs::remove_all(WorkFolder(), ignored); });
        return fs::path(strTemplate);
    }();
    return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize)
{
    FuzzInput reader(pData, nSize);
    BITMAPINFOHEADER bih{};
    bih.biWidth = reader.Int32();
    bih.biHeight = reader.Int32();
    bih.biBitCount = static_cast<WORD>(reader.Uint(2));
    bih.biSizeImage = reader.Uint(4);
    bih.biSize = sizeof bih;
    bih.biPlanes = 1;
    bih.biCompression = BI_RGB;
    const LONG nRate = reader.Int32();
    const std::uint8_t nCodec = reader.Byte(), nQuality = reader.Byte();
    const std::uint32_t nSegmentKiB = reader.Uint(2);
    const std::uint8_t nNameFlags = reader.Byte();
    if (bih.biSizeImage > kMaxFrameBytes)
        return 0;
    const fs::path& folder = WorkFolder();
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder))
        fs::remove_all(entry.path(), error);

    constexpr FOURCC kCodecs[] = {comptypeDIB, comptypeMJPG, comptypeMJPG, comptypeH264, comptypeFFV1};
    CFixedCompressionChooser chooser({nCodec < std::size(kCodecs) ? kCodecs[nCodec] : mmioFOURCC('X', 'V', 'I', 'D'),
                                      nQuality, nCodec == 2});
    CCompressionChooserGuard guard(&chooser);
    std::optional<CAviWriter> writer(std::in_place);
    if (nSegmentKiB != 0)
        writer->SetSegmentSize(std::int64_t{nSegmentKiB} * 1024);
    writer->SetBitmapHeader(bih);
    writer->m_strFileName = (folder / "clip").string() + ((nNameFlags & 2) ? "" : (nNameFlags & 4) ? ".AVI" : ".avi");
    writer->EnsureAviExtension();
    writer->m_nRate = nRate;
    const fs::path target = writer->m_strFileName;
    Require(target.parent_path() == folder);
    if (nNameFlags & 1)
        std::ofstream(target, std::ios::binary) << kOldContent;

    const HRESULT hrInit = writer->InitEngine(nullptr);
    Require(!writer->m_strError.empty());
    if (hrInit == 0)
        Require(writer->m_strError == "Ok");

    std::vector<std::uint8_t> frame(bih.biSizeImage);
    int nWritten = 0;
    bool bAbandoned = false, bFailedWrite = false, bReleased = false, bDestroyed = false;
    for (int nStep = 0; nStep < kMaxFrames && !reader.AtEnd() && !bReleased && !bDestroyed; ++nStep) {
        const std::uint8_t nOp = reader.Byte();
        if (nOp < 0x80) {
            for (std::size_t i = 0; i < frame.size(); ++i)
                frame[i] = static_cast<std::uint8_t>(nOp * 5 + i * 3);
            const LONG nBefore = writer->m_nFrame;
            const HRESULT hr = writer->AddFrame(frame.data());
            if (hrInit != 0 || bAbandoned) {
                // Nothing to write to: refused, and the position stays.
                Require(hr != 0 && writer->m_nFrame == nBefore);
            } else {
                Require(writer->m_nFrame == nBefore + 1);
                bFailedWrite = bFailedWrite || hr != 0;
                nWritten += !bFailedWrite;
            }
        } else if (nOp < 0xC0) {
            writer->Abandon();
            bAbandoned = true;
        } else if (nOp < 0xE0) {
            writer->ReleaseEngine();
            bReleased = true;
        } else {
            writer.reset();
            bDestroyed = true;
        }
    }
    bool bCommitted = false;
    if (!bDestroyed) {
        if (!bReleased)
            writer->ReleaseEngine();
        bCommitted = writer->IsCommitted();
        if (hrInit == 0 && !bAbandoned && !bFailedWrite)
            Require(bCommitted || writer->HasCommitFailed());
        if (bCommitted)
            Require(hrInit == 0 && !bAbandoned && !writer->HasWriteFailed());
        writer.reset();
    }

    // Only the target may be left in the folder: no temporary file, ever.
    for (const auto& entry : fs::directory_iterator(folder))
        Require(entry.path() == target);

    if (bCommitted) {
        // Every chunk inside its parent, RIFF 'AVI ' then only 'AVIX', and every frame counted.
        const AviLayout avi = ReadAviLayout(target.string());
        Require(avi.strError.empty() && !avi.riffTypes.empty() && avi.riffTypes[0] == "AVI ");
        for (std::size_t i = 1; i < avi.riffTypes.size(); ++i)
            Require(avi.riffTypes[i] == "AVIX");
        Require(avi.frames.size() == static_cast<std::size_t>(nWritten) && avi.nRate == static_cast<DWORD>(nRate));
        Require(avi.nDmlhFrames == 0 || avi.nDmlhFrames == static_cast<DWORD>(nWritten));
    } else if (nNameFlags & 1) {
        std::ifstream old(target, std::ios::binary);
        Require(std::string(std::istreambuf_iterator<char>(old), {}) == kOldContent);
    } else {
        Require(!fs::exists(target));
    }
    return 0;
}
