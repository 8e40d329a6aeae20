#include "tests/video/AviTestSupport.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

namespace {

std::uint32_t U32(const std::vector<std::uint8_t>& b, std::int64_t p)
{
    return static_cast<std::uint32_t>(b[p]) | (static_cast<std::uint32_t>(b[p + 1]) << 8) |
           (static_cast<std::uint32_t>(b[p + 2]) << 16) | (static_cast<std::uint32_t>(b[p + 3]) << 24);
}

std::uint64_t U64(const std::vector<std::uint8_t>& b, std::int64_t p)
{
    return U32(b, p) | (static_cast<std::uint64_t>(U32(b, p + 4)) << 32);
}

std::string Fourcc(std::uint32_t v)
{
    return std::string{static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16),
                       static_cast<char>(v >> 24)};
}

std::string Quote(const std::string& s)
{
    std::string out = "'";
    for (char c : s)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

std::string RunCapture(const std::string& strCommand)
{
    std::string out;
    if (FILE* p = ::popen(strCommand.c_str(), "r")) {
        char buf[65536];
        std::size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, p)) > 0)
            out.append(buf, n);
        ::pclose(p);
    }
    return out;
}

struct Parser {
    AviLayout& out;
    std::int64_t nFirstMovi = -1;
    std::vector<std::pair<std::uint64_t, std::uint32_t>> superIndex;

    void Walk(std::int64_t p, std::int64_t end, int nDepth, int nRiff)
    {
        const auto& b = out.bytes;
        while (out.strError.empty() && p + 8 <= end) {
            const std::uint32_t id = U32(b, p);
            const std::uint32_t size = U32(b, p + 4);
            const std::int64_t data = p + 8;
            if (data + size > end) {
                out.strError = "chunk " + Fourcc(id) + " runs past its parent";
                return;
            }
            const std::string strId = Fourcc(id);
            if (strId == "RIFF" || strId == "LIST") {
                const std::string strType = Fourcc(U32(b, data));
                if (strId == "RIFF") {
                    out.riffTypes.push_back(strType);
                    out.framesPerRiff.push_back(0);
                    nRiff = static_cast<int>(out.riffTypes.size()) - 1;
                }
                if (strType == "movi" && nFirstMovi < 0)
                    nFirstMovi = data;
                Walk(data + 4, data + size, nDepth + 1, nRiff);
            } else if (strId == "avih") {
                out.nAvihTotalFrames = U32(b, data + 16);
                out.nAvihStreams = U32(b, data + 24);
                out.nAvihSuggested = U32(b, data + 28);
                out.nAvihWidth = U32(b, data + 32);
                out.nAvihHeight = U32(b, data + 36);
            } else if (strId == "strh") {
                out.nStrhType = U32(b, data);
                out.nStrhHandler = U32(b, data + 4);
                out.nStrhScale = U32(b, data + 20);
                out.nStrhRate = U32(b, data + 24);
                out.nStrhLength = U32(b, data + 32);
                out.nStrhSuggested = U32(b, data + 36);
                for (int i = 0; i < 4; ++i)
                    out.rcFrame[i] = static_cast<std::int16_t>(b[data + 48 + 2 * i] | (b[data + 49 + 2 * i] << 8));
            } else if (strId == "strf") {
                out.strf.assign(b.begin() + data, b.begin() + data + size);
            } else if (strId == "indx") {
                out.nSuperIndexEntries = U32(b, data + 4);
                for (std::uint32_t i = 0; i < out.nSuperIndexEntries; ++i)
                    superIndex.emplace_back(U64(b, data + 24 + 16 * i), U32(b, data + 24 + 16 * i + 8));
            } else if (strId == "dmlh") {
                out.nDmlhTotalFrames = U32(b, data);
            } else if (strId == "idx1") {
                for (std::uint32_t i = 0; i + 16 <= size; i += 16) {
                    const std::int64_t nHeader = nFirstMovi + U32(b, data + i + 8);
                    out.legacyIndex.push_back(
                        {nHeader + 8, U32(b, data + i + 12), (U32(b, data + i + 4) & 0x10) != 0});
                }
            } else if (strId == "00db" || strId == "00dc") {
                out.frames.push_back({id, data, size});
                ++out.framesPerRiff[nRiff];
            }
            p = data + size + (size & 1);
        }
    }

    void ReadStandardIndexes()
    {
        const auto& b = out.bytes;
        for (const auto& [nOffset, nSize] : superIndex) {
            if (nOffset + nSize > b.size() || Fourcc(U32(b, nOffset)) != "ix00") {
                out.strError = "super index entry does not point at an ix00 chunk";
                return;
            }
            const std::int64_t data = static_cast<std::int64_t>(nOffset) + 8;
            const std::uint32_t n = U32(b, data + 4);
            const std::uint64_t base = U64(b, data + 12);
            for (std::uint32_t i = 0; i < n; ++i) {
                const std::uint32_t nEntrySize = U32(b, data + 24 + 8 * i + 4);
                out.stdIndex.push_back({static_cast<std::int64_t>(base + U32(b, data + 24 + 8 * i)),
                                        nEntrySize & 0x7FFFFFFFu, (nEntrySize & 0x80000000u) == 0});
            }
        }
    }
};

} // namespace

AviLayout ReadAviLayout(const std::string& strPath)
{
    AviLayout layout;
    const std::string strBytes = ReadWholeFile(strPath);
    layout.bytes.assign(strBytes.begin(), strBytes.end());
    Parser parser{layout, -1, {}};
    parser.Walk(0, static_cast<std::int64_t>(layout.bytes.size()), 0, -1);
    if (layout.strError.empty() && layout.riffTypes.empty())
        layout.strError = "no RIFF list";
    if (layout.strError.empty())
        parser.ReadStandardIndexes();
    return layout;
}

ProbeResult Probe(const std::string& strPath)
{
    ProbeResult r;
    const std::string strErrFile = strPath + ".probe-err";
    const std::string strOut =
        RunCapture("ffprobe -v error -count_frames -select_streams v:0 -show_entries "
                   "stream=codec_name,width,height,r_frame_rate,nb_read_frames -of default=nw=1 " +
                   Quote(strPath) + " 2>" + Quote(strErrFile));
    r.strErrors = ReadWholeFile(strErrFile);
    std::filesystem::remove(strErrFile);
    std::istringstream lines(strOut);
    std::string strLine;
    while (std::getline(lines, strLine)) {
        const auto nEq = strLine.find('=');
        if (nEq == std::string::npos)
            continue;
        const std::string k = strLine.substr(0, nEq), v = strLine.substr(nEq + 1);
        if (k == "codec_name")
            r.strCodec = v;
        else if (k == "width")
            r.nWidth = std::stoi(v);
        else if (k == "height")
            r.nHeight = std::stoi(v);
        else if (k == "r_frame_rate")
            r.strRate = v;
        else if (k == "nb_read_frames" && v != "N/A")
            r.nFrames = std::stoi(v);
    }
    return r;
}

std::vector<std::uint8_t> DecodeBottomUpBgr(const std::string& strPath, std::string& strErrors)
{
    const std::string strErrFile = strPath + ".decode-err";
    const std::string strOut = RunCapture("ffmpeg -nostdin -v error -i " + Quote(strPath) +
                                          " -vf vflip -f rawvideo -pix_fmt bgr24 - 2>" + Quote(strErrFile));
    strErrors = ReadWholeFile(strErrFile);
    std::filesystem::remove(strErrFile);
    return {strOut.begin(), strOut.end()};
}

std::vector<std::uint8_t> MakeFrame(int nWidth, int nHeight, int nIndex)
{
    std::vector<std::uint8_t> frame(static_cast<std::size_t>(nWidth) * 3 * nHeight);
    for (int y = 0; y < nHeight; ++y)
        for (int x = 0; x < nWidth; ++x) {
            std::uint8_t* p = &frame[(static_cast<std::size_t>(y) * nWidth + x) * 3];
            p[0] = static_cast<std::uint8_t>(x * 7 + nIndex * 13);
            p[1] = static_cast<std::uint8_t>(y * 5 + nIndex * 29);
            p[2] = static_cast<std::uint8_t>((x ^ y) + nIndex * 3);
        }
    return frame;
}

std::vector<std::string> ListFolder(const std::string& strDir)
{
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(strDir))
        names.push_back(e.path().filename().string());
    return names;
}

std::string ReadWholeFile(const std::string& strPath)
{
    std::ifstream in(strPath, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteWholeFile(const std::string& strPath, const std::string& strBytes)
{
    std::ofstream(strPath, std::ios::binary) << strBytes;
}
