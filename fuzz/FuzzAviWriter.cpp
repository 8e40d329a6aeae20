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
#include <cstdio>
#include <cstdlib>
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
#include "video/CAviWriter.h"

namespace {

namespace fs = std::filesystem;

// Frames larger than this are not fed, so every run stays fast.
constexpr std::uint32_t kMaxFrameBytes = 1u << 20;
constexpr int kMaxFrames = 48;
const char kOldContent[] = "an older file that must survive a failed run";

void Require(bool bCondition)
{
    if (!bCondition)
        std::abort();
}

class ByteReader {
public:
    ByteReader(const std::uint8_t* pData, std::size_t nSize) : m_pData(pData), m_nSize(nSize) {}

    bool AtEnd() const { return m_nPos >= m_nSize; }
    std::uint8_t Byte() { return m_nPos < m_nSize ? m_pData[m_nPos++] : 0; }
    std::uint32_t Uint(int nBytes)
    {
        std::uint32_t n = 0;
        for (int i = 0; i < nBytes; ++i)
            n |= static_cast<std::uint32_t>(Byte()) << (8 * i);
        return n;
    }

private:
    const std::uint8_t* m_pData;
    std::size_t m_nSize;
    std::size_t m_nPos = 0;
};

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

std::vector<std::uint8_t> ReadFile(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::vector<std::uint8_t>((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

std::uint32_t Le32(const std::vector<std::uint8_t>& bytes, std::size_t nPos)
{
    return static_cast<std::uint32_t>(bytes[nPos]) | static_cast<std::uint32_t>(bytes[nPos + 1]) << 8 |
           static_cast<std::uint32_t>(bytes[nPos + 2]) << 16 | static_cast<std::uint32_t>(bytes[nPos + 3]) << 24;
}

bool IsId(const std::vector<std::uint8_t>& bytes, std::size_t nPos, const char* pId)
{
    return std::memcmp(bytes.data() + nPos, pId, 4) == 0;
}

struct AviFacts {
    int m_nSegments = 0;
    int m_nFrames = 0;
    std::int64_t m_nTotalFrames = -1;  // From 'dmlh', when present.
    std::int64_t m_nRate = -1;         // From the video 'strh'.
};

// Walks the chunks between nBegin and nEnd; every chunk must lie inside its parent.
void WalkChunks(const std::vector<std::uint8_t>& bytes, std::size_t nBegin, std::size_t nEnd, bool bInMovi,
                AviFacts& facts)
{
    std::size_t nPos = nBegin;
    while (nPos < nEnd) {
        Require(nEnd - nPos >= 8);
        const std::size_t nSize = Le32(bytes, nPos + 4);
        Require(nSize <= nEnd - nPos - 8);
        const std::size_t nData = nPos + 8;
        if (IsId(bytes, nPos, "LIST")) {
            Require(nSize >= 4);
            WalkChunks(bytes, nData + 4, nData + nSize, IsId(bytes, nData, "movi"), facts);
        } else if (bInMovi && (IsId(bytes, nPos, "00db") || IsId(bytes, nPos, "00dc"))) {
            ++facts.m_nFrames;
        } else if (IsId(bytes, nPos, "dmlh")) {
            Require(nSize >= 4);
            facts.m_nTotalFrames = Le32(bytes, nData);
        } else if (IsId(bytes, nPos, "strh")) {
            Require(nSize >= 28);
            if (IsId(bytes, nData, "vids"))
                facts.m_nRate = Le32(bytes, nData + 24);
        }
        // Chunks are padded to an even length; a last odd chunk may end the parent.
        nPos = nData + nSize + (nSize & 1);
        Require(nPos <= nEnd + 1);
    }
}

// A complete file: RIFF 'AVI ' then any number of RIFF 'AVIX', covering the whole file.
AviFacts ParseAvi(const std::vector<std::uint8_t>& bytes)
{
    AviFacts facts;
    std::size_t nPos = 0;
    while (nPos < bytes.size()) {
        Require(bytes.size() - nPos >= 12);
        Require(IsId(bytes, nPos, "RIFF"));
        Require(IsId(bytes, nPos + 8, facts.m_nSegments == 0 ? "AVI " : "AVIX"));
        const std::size_t nSize = Le32(bytes, nPos + 4);
        Require(nSize >= 4 && nSize <= bytes.size() - nPos - 8);
        WalkChunks(bytes, nPos + 12, nPos + 8 + nSize, false, facts);
        nPos += 8 + nSize + (nSize & 1);
        ++facts.m_nSegments;
    }
    Require(nPos == bytes.size());
    Require(facts.m_nSegments >= 1);
    return facts;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize)
{
    ByteReader reader(pData, nSize);
    BITMAPINFOHEADER bih{};
    bih.biSize = sizeof(BITMAPINFOHEADER);
    bih.biWidth = static_cast<LONG>(reader.Uint(4));
    bih.biHeight = static_cast<LONG>(reader.Uint(4));
    bih.biPlanes = 1;
    bih.biBitCount = static_cast<WORD>(reader.Uint(2));
    bih.biCompression = BI_RGB;
    bih.biSizeImage = reader.Uint(4);
    const LONG nRate = static_cast<LONG>(reader.Uint(4));
    const std::uint8_t nCodec = reader.Byte();
    const std::uint8_t nQuality = reader.Byte();
    const std::uint32_t nSegmentKiB = reader.Uint(2);
    const std::uint8_t nNameFlags = reader.Byte();
    if (bih.biSizeImage > kMaxFrameBytes)
        return 0;

    const fs::path& folder = WorkFolder();
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder))
        fs::remove_all(entry.path(), error);

    CFixedCompressionChooser::Options choice;
    constexpr FOURCC kCodecs[] = {comptypeDIB, comptypeMJPG, comptypeMJPG, comptypeH264, comptypeFFV1};
    choice.fccHandler = nCodec < std::size(kCodecs) ? kCodecs[nCodec] : mmioFOURCC('X', 'V', 'I', 'D');
    choice.dwQuality = nQuality;
    choice.bCancel = nCodec == 2;
    CFixedCompressionChooser chooser(choice);
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
    if (nNameFlags & 1) {
        std::ofstream old(target, std::ios::binary);
        old << kOldContent;
    }

    const HRESULT hrInit = writer->InitEngine(nullptr);
    Require(!writer->m_strError.empty());
    if (hrInit == 0)
        Require(writer->m_strError == "Ok");

    std::vector<std::uint8_t> frame(bih.biSizeImage);
    int nWritten = 0;
    bool bAbandoned = false;
    bool bFailedWrite = false;
    bool bReleased = false;
    bool bDestroyed = false;
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
                if (hr == 0 && !bFailedWrite)
                    ++nWritten;
                else
                    bFailedWrite = true;
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
        const AviFacts facts = ParseAvi(ReadFile(target));
        Require(facts.m_nFrames == nWritten);
        if (facts.m_nTotalFrames >= 0)
            Require(facts.m_nTotalFrames == nWritten);
        Require(facts.m_nRate == static_cast<DWORD>(nRate));
    } else if (nNameFlags & 1) {
        const std::vector<std::uint8_t> old = ReadFile(target);
        Require(old.size() == sizeof kOldContent - 1 && std::memcmp(old.data(), kOldContent, old.size()) == 0);
    } else {
        Require(!fs::exists(target));
    }
    return 0;
}
