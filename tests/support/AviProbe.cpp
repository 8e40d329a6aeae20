// Guards nothing itself: the independent AVI reader and the ffprobe/ffmpeg runs.

#include "tests/support/AviProbe.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <tuple>

namespace {

std::string ReadAll(const std::string& strPath)
{
    std::ifstream in(strPath, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The four bytes at p as a number, little-endian (AVI) or big-endian (MP4).
std::uint32_t Word(const std::string& b, std::int64_t p, bool bBigEndian)
{
    std::uint32_t n = 0;
    for (int i = 0; i < 4; ++i)
        n |= std::uint32_t{static_cast<std::uint8_t>(b[static_cast<std::size_t>(p) + i])} << 8 * (bBigEndian ? 3 - i : i);
    return n;
}
std::uint32_t U32(const std::string& b, std::int64_t p) { return Word(b, p, false); }
std::uint32_t Be32(const std::string& b, std::size_t p) { return Word(b, static_cast<std::int64_t>(p), true); }

std::string RunCapture(const std::string& strCommand, const std::string& strErrFile, std::string& strErrors)
{
    std::string out;
    if (FILE* p = ::popen((strCommand + " 2>'" + strErrFile + "'").c_str(), "r")) {
        char buf[65536];
        for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;)
            out.append(buf, n);
        ::pclose(p);
    }
    strErrors = ReadAll(strErrFile);
    std::filesystem::remove(strErrFile);
    return out;
}

// Walks the chunks in [p, end), descending into RIFF and LIST.
void Walk(AviLayout& a, std::int64_t p, std::int64_t end, std::vector<std::int64_t>& stdIndexes)
{
    const auto& b = a.bytes;
    while (a.strError.empty() && p + 8 <= end) {
        const std::string id = b.substr(p, 4);
        const std::uint32_t size = U32(b, p + 4);
        const std::int64_t d = p + 8;
        if (d + size > end) {
            a.strError = "chunk " + id + " runs past its parent";
            return;
        }
        if (id == "RIFF" || id == "LIST") {
            if (id == "RIFF") {
                a.riffTypes.push_back(b.substr(d, 4));
                a.framesPerRiff.push_back(0);
            }
            if (b.substr(d, 4) == "movi" && a.nFirstMovi < 0)
                a.nFirstMovi = d;
            Walk(a, d + 4, d + size, stdIndexes);
        } else if (id == "avih") {
            for (int i = 0; i < 10; ++i)
                a.avih.push_back(U32(b, d + 4 * i));
        } else if (id == "strh") {
            std::tie(a.nHandler, a.nScale, a.nRate, a.nLength, a.nSuggested) =
                std::tuple(U32(b, d + 4), U32(b, d + 20), U32(b, d + 24), U32(b, d + 32), U32(b, d + 36));
        } else if (id == "strf") {
            a.strf.assign(b.begin() + d, b.begin() + d + size);
        } else if (id == "indx") {
            a.bSuperIndex = true;
            for (std::uint32_t i = 0; i < U32(b, d + 4); ++i)
                stdIndexes.push_back(U32(b, d + 24 + 16 * i) | (std::int64_t{U32(b, d + 28 + 16 * i)} << 32));
        } else if (id == "dmlh") {
            a.nDmlhFrames = U32(b, d);
        } else if (id == "idx1") {
            for (std::uint32_t i = 0; i + 16 <= size; i += 16)
                a.legacyIndex.push_back({a.nFirstMovi + U32(b, d + i + 8) + 8, U32(b, d + i + 12),
                                         (U32(b, d + i + 4) & 0x10) != 0});
        } else if (id == "00db" || id == "00dc") {
            a.frames.push_back({d, size, true});
            ++a.framesPerRiff.back();
        }
        p = d + size + (size & 1);
    }
}

} // namespace

AviLayout ReadAviLayout(const std::string& strPath)
{
    AviLayout a;
    a.bytes = ReadAll(strPath);
    std::vector<std::int64_t> stdIndexes;
    Walk(a, 0, static_cast<std::int64_t>(a.bytes.size()), stdIndexes);
    for (const std::int64_t p : stdIndexes) {
        if (p + 32 > static_cast<std::int64_t>(a.bytes.size()) || a.bytes.substr(p, 4) != "ix00") {
            a.strError = "a super index entry does not point at an ix00 chunk";
            break;
        }
        const std::int64_t nBase = U32(a.bytes, p + 20) | (std::int64_t{U32(a.bytes, p + 24)} << 32);
        for (std::uint32_t i = 0; i < U32(a.bytes, p + 12); ++i) {
            const std::uint32_t nSize = U32(a.bytes, p + 36 + 8 * i);
            a.stdIndex.push_back({nBase + U32(a.bytes, p + 32 + 8 * i), nSize & 0x7FFFFFFF, !(nSize >> 31)});
        }
    }
    return a;
}

Mp4Layout ReadMp4Layout(const std::string& strPath)
{
    Mp4Layout m;
    const std::string b = ReadAll(strPath);
    for (std::size_t p = 0; p + 8 <= b.size() && Be32(b, p) >= 8; p += Be32(b, p)) {
        m.boxes.push_back(b.substr(p + 4, 4));
        if (m.boxes.back() == "moov") {
            m.bAvcC = b.find("avcC", p) < p + Be32(b, p);
            if (const std::size_t q = b.find("stsz", p); q < p + Be32(b, p) && q + 16 <= b.size())
                m.nSamples = Be32(b, q + 12);
        }
        // The samples: NAL units, each after its 4-byte length.
        for (std::size_t q = p + 8; m.boxes.back() == "mdat" && q + 5 <= std::min<std::size_t>(b.size(), p + Be32(b, p));
             q += 4 + Be32(b, q))
            m.nalTypes.push_back(b[q + 4] & 0x1F);
    }
    return m;
}

std::vector<std::string> H264Options(const std::string& strPath)
{
    const std::string strBytes = ReadAll(strPath);
    const std::size_t nOptions = std::min(strBytes.find("options: "), strBytes.size());
    std::istringstream options(strBytes.substr(nOptions, strBytes.find('\0', nOptions) - nOptions));
    return {std::istream_iterator<std::string>(options), {}};
}

ProbeResult Probe(const std::string& strPath)
{
    ProbeResult r;
    std::map<std::string, std::string> stream;
    std::string strPacketDuration;
    std::istringstream lines(RunCapture("ffprobe -v error -count_frames -select_streams v:0 -show_entries "
                                        "stream=codec_name,codec_tag_string,width,height,r_frame_rate,nb_read_frames,"
                                        "duration:packet=duration_time,flags -of default=nw=1 '" + strPath + "'",
                                        strPath + ".err", r.strErrors));
    for (std::string s; std::getline(lines, s);) {
        const std::string k = s.substr(0, s.find('=')), v = s.substr(s.find('=') + 1);
        if (k == "flags")
            r.packets.push_back(v.substr(0, 1) + " " + strPacketDuration);
        (k == "duration_time" ? strPacketDuration : stream[k]) = v;
    }
    for (const auto& [k, s] : {std::pair{"codec_name", &r.strCodec}, {"codec_tag_string", &r.strTag},
                               {"r_frame_rate", &r.strRate}, {"duration", &r.strDuration}})
        *s = stream[k];
    for (const auto& [k, n] : {std::pair{"width", &r.nWidth}, {"height", &r.nHeight}, {"nb_read_frames", &r.nFrames}})
        *n = stream.contains(k) ? std::stoi(stream[k]) : -1;
    return r;
}

std::vector<std::uint8_t> DecodeBottomUpBgr(const std::string& strPath, std::string& strErrors)
{
    const std::string strOut = RunCapture("ffmpeg -nostdin -v error -i '" + strPath +
                                              "' -vf vflip -f rawvideo -pix_fmt bgr24 -",
                                          strPath + ".err", strErrors);
    return {strOut.begin(), strOut.end()};
}
