#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Local
#include "engine/IFrameEncoder.h"
#include "video/VideoCodec.h"

// Encodes bottom-up BGR frames as FFV1 version 3, lossless: each frame a key
// frame in a grid of slices, each slice with its CRC, the samples in
// Golomb-Rice codes after the reversible colour transform, in the small
// context model. Any FFV1 decoder gives the frames back byte for byte.
//
// Every frame stands alone, so frames are compressed on as many threads as
// there are encoders, one frame per thread. The output grows with what a
// frame needs (a third to a half of its raw size for photographs), never to
// a worst case, and the bytes depend on nothing but the frame.
class CFfv1Encoder : public IFrameEncoder {
public:
    CFfv1Encoder() = default;

    static EngineResult<std::unique_ptr<IFrameEncoder>> Make(const EncoderSettings& settings);

    // Prepares for nWidth × nHeight frames in about nSlices slices (a grid
    // of at most 4 × 4, and no slice narrower or lower than a pixel); an
    // empty text, or why it cannot.
    std::string Init(std::int32_t nWidth, std::int32_t nHeight, std::int32_t nSlices);

    EngineResult<EncodedFrame> Encode(const std::uint8_t* pPixels, std::int32_t nPitch) override;

    // The codec's parameters, which a container keeps in its stream format.
    std::span<const std::uint8_t> StreamHeader() const override { return m_header; }

private:
    // One slice being coded: where it lies, its bytes so far, the state of
    // its contexts, and the planes' last two rows.
    struct Slice {
        std::int32_t m_nX0 = 0;
        std::int32_t m_nWidth = 0;
        std::int32_t m_nY0 = 0;
        std::int32_t m_nY1 = 0;
        std::vector<std::uint8_t> m_bytes;
        std::size_t m_nUsed = 0;
        // The adaptive state of each context of the Golomb-Rice coder:
        // those of the light plane, then those the two colour planes share.
        std::vector<std::uint64_t> m_states;
        // Two rows of each of the three transformed planes, with margins.
        std::vector<std::int16_t> m_rows;
        // One line's contexts and residues.
        std::vector<std::int16_t> m_context;
        std::vector<std::int16_t> m_residue;
        std::int32_t m_nRunIndex = 0;
        // The bit writer: the last bits not yet a whole byte, and how many.
        std::uint64_t m_nBits = 0;
        std::int32_t m_nPending = 0;
    };

    void StartSlice(std::int32_t nSlice);
    void EncodeRows(const std::uint8_t* pTop, std::ptrdiff_t nRowStep);
    void EncodeLine(std::size_t nFirstContext);
    // Ends the slice and adds it to the frame; false if it is too large.
    bool FinishSlice();

    std::int32_t m_nWidth = 0;
    std::int32_t m_nHeight = 0;
    std::int32_t m_nColumns = 0;
    std::int32_t m_nRows = 0;
    std::vector<std::uint8_t> m_header;
    std::vector<std::uint8_t> m_out;
    Slice m_slice;
};
