#pragma once

// Guards nothing itself: independent readers of the AVI and MP4 layouts, the
// real decoder (ffprobe/ffmpeg) run on a file, and test frames.

#include <cstdint>
#include <string>
#include <vector>

struct AviLayout {
    struct Ref {
        std::int64_t nData = 0; // offset of the frame data
        std::uint32_t nSize = 0;
        bool bKey = true;
        bool operator==(const Ref&) const = default;
    };
    std::string strError; // empty when the file parsed
    std::vector<std::string> riffTypes;
    std::vector<std::uint32_t> framesPerRiff;
    std::vector<std::uint32_t> avih; // the main header's ten words
    std::uint32_t nDmlhFrames = 0;
    std::uint32_t nHandler = 0, nScale = 0, nRate = 0, nLength = 0, nSuggested = 0;
    std::int64_t nFirstMovi = -1; // offset of the first movi list's type
    bool bSuperIndex = false;     // an 'indx' chunk, not its JUNK placeholder
    std::vector<std::uint8_t> strf;
    std::vector<Ref> frames;      // frame chunks in file order
    std::vector<Ref> stdIndex;    // every ix00 entry, reached through the indx super index
    std::vector<Ref> legacyIndex; // idx1 entries
    std::string bytes;
};

AviLayout ReadAviLayout(const std::string& strPath);

struct Mp4Layout {
    std::vector<std::string> boxes; // the top-level boxes in file order
    bool bAvcC = false;             // an H.264 decoder configuration in the header
    std::uint32_t nSamples = 0;     // the sample size table's count
    std::vector<int> nalTypes;      // of every NAL unit in mdat, in order
};

Mp4Layout ReadMp4Layout(const std::string& strPath);

struct ProbeResult {
    std::string strCodec, strTag, strRate, strDuration, strErrors; // strErrors: all the decoder complained about
    int nWidth = 0, nHeight = 0, nFrames = -1;
    // Each packet as "K" (a key frame) or "_" and its duration in seconds, "K 2.000000".
    std::vector<std::string> packets;
};

// Decodes every frame with ffprobe.
ProbeResult Probe(const std::string& strPath);

// The x264 options written in the stream, such as "keyint=250".
std::vector<std::string> H264Options(const std::string& strPath);

// Decodes the file with ffmpeg into bottom-up BGR frames, the layout written.
std::vector<std::uint8_t> DecodeBottomUpBgr(const std::string& strPath, std::string& strErrors);
