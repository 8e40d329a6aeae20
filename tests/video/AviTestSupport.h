#pragma once

// Helpers for the video tests: an independent reader of the AVI layout, the
// real decoder (ffprobe/ffmpeg) run on a file, and test frames.

#include <cstdint>
#include <string>
#include <vector>

struct AviLayout {
    struct Chunk {
        std::uint32_t nId = 0;
        std::int64_t nData = 0; // offset of the chunk's data
        std::uint32_t nSize = 0;
    };
    struct IndexRef {
        std::int64_t nData = 0; // data offset the index entry points at
        std::uint32_t nSize = 0;
        bool bKey = false;
    };

    std::string strError; // empty when the file parsed
    std::vector<std::string> riffTypes;
    std::uint32_t nAvihTotalFrames = 0, nAvihWidth = 0, nAvihHeight = 0, nAvihStreams = 0, nAvihSuggested = 0;
    std::uint32_t nStrhType = 0, nStrhHandler = 0, nStrhScale = 0, nStrhRate = 0, nStrhLength = 0,
                  nStrhSuggested = 0;
    std::int16_t rcFrame[4] = {};
    std::vector<std::uint8_t> strf;
    std::uint32_t nDmlhTotalFrames = 0;
    std::uint32_t nSuperIndexEntries = 0;
    std::vector<Chunk> frames;          // frame chunks in file order
    std::vector<std::uint32_t> framesPerRiff;
    std::vector<IndexRef> stdIndex;     // all ix00 entries, through the super index
    std::vector<IndexRef> legacyIndex;  // idx1 entries
    std::vector<std::uint8_t> bytes;    // the whole file
};

AviLayout ReadAviLayout(const std::string& strPath);

struct ProbeResult {
    std::string strCodec;
    int nWidth = 0;
    int nHeight = 0;
    std::string strRate; // "25/1"
    int nFrames = -1;
    std::string strErrors; // everything the decoder complained about
};

// Decodes every frame with ffprobe.
ProbeResult Probe(const std::string& strPath);

// Decodes the file with ffmpeg to bottom-up BGR frames (the layout written),
// or empty on failure; strErrors gets ffmpeg's complaints.
std::vector<std::uint8_t> DecodeBottomUpBgr(const std::string& strPath, std::string& strErrors);

// A deterministic frame of width × 3 × height bytes that differs per index.
std::vector<std::uint8_t> MakeFrame(int nWidth, int nHeight, int nIndex);

// Names in strDir (without . and ..).
std::vector<std::string> ListFolder(const std::string& strDir);

std::string ReadWholeFile(const std::string& strPath);
void WriteWholeFile(const std::string& strPath, const std::string& strBytes);
