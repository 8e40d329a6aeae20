// The frame pipeline: frames made or encoded out of order or by the wrong
// worker, bytes that change with the worker count, and a failure or abort
// that lets other workers go on writing.

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

// Local
#include "engine/Blend.h"
#include "engine/FramePipeline.h"

namespace {

// Stand-in encoders: one per worker reverses each frame; a shared one also
// chains it with every frame before it, so frames encoded out of order or by
// the wrong instance give other bytes. A frame whose first byte is 0xEE cannot
// be compressed. Encoders that hand back the frame's own pixels run in the
// batch tool's tests.
class FakeEncoder : public IFrameEncoder {
public:
    explicit FakeEncoder(bool bShared) : m_bShared(bShared) {}

    EngineResult<EncodedFrame> Encode(const std::uint8_t* pPixels, std::int32_t nPitch) override
    {
        if (pPixels[0] == 0xEE)
            return EngineError{EngineErrorCode::EncodeFailed, "cannot compress"};
        const bool bKeyFrame = !m_bShared || m_state.empty();
        m_out.assign(pPixels, pPixels + static_cast<std::size_t>(nPitch) * 4);
        std::reverse(m_out.begin(), m_out.end());
        m_state.resize(m_out.size());
        for (std::size_t i = 0; m_bShared && i < m_out.size(); ++i)
            m_state[i] = m_out[i] = static_cast<BYTE>(m_out[i] ^ (m_state[i] * 3 + 1));
        return EncodedFrame{m_out.data(), m_out.size(), bKeyFrame};
    }

private:
    bool m_bShared;
    std::vector<BYTE> m_out, m_state;
};

constexpr std::int32_t kFrames = 23;

// The two pictures on an 8 × 4 canvas, and one whose first byte marks a frame
// that cannot be compressed.
struct Pictures {
    Canvas canvas = ComputeCanvas(1, 8, 4, 0, 0, 0, 0).Value();
    PixelBuffer first = Make(0), second = Make(1), marked = Make(2);

    PixelBuffer Make(int nWhich) const
    {
        PixelBuffer buffer = std::move(PixelBuffer::Allocate(canvas)).Value();
        for (std::size_t i = 0; i < buffer.Size(); ++i)
            buffer.Data()[i] = static_cast<BYTE>(nWhich == 0 ? i * 7 : nWhich == 1 ? 255 - i * 5 : 0xEE);
        return buffer;
    }
};

using Outcome = FramePipeline::Outcome;

// A shared encoder or one per worker; the frame that cannot be compressed or
// written, or the count written after which the caller aborts; the outcome and its text.
struct PipelineCase {
    std::string m_strName;
    bool m_bShared;
    std::int32_t m_nFailAt, m_nWriteFailAt, m_nAbortAfter;
    Outcome m_nOutcome;
    std::string m_strError;
};

// Runs the pipeline; each frame written comes back with its key flag last.
FramePipeline::Result RunPipeline(const PipelineCase& c, int nWorkers, std::vector<std::vector<BYTE>>& frames)
{
    Pictures p;
    std::atomic<std::int32_t> nWritten{0};
    FramePipeline pipeline(
        FramePipeline::Settings{p.canvas, kFrames, nWorkers, !c.m_bShared},
        [&](std::int32_t k) {
            // Frame k starts only once frame k − (P + 2) has been written.
            EXPECT_LT(k, nWritten.load() + nWorkers + 2) << "frame made too early";
            return k == c.m_nFailAt ? FrameRecipe{&p.marked, &p.marked, 0.0}
                                    : FrameRecipe{&p.first, &p.second, FrameWeight(FrameStep(kFrames), k)};
        },
        [&] { return EngineResult<std::unique_ptr<IFrameEncoder>>(std::make_unique<FakeEncoder>(c.m_bShared)); },
        [&](std::int32_t k, const EncodedFrame& frame) -> EngineResult<void> {
            EXPECT_EQ(k, static_cast<std::int32_t>(frames.size()));
            if (k == c.m_nWriteFailAt)
                return EngineError{EngineErrorCode::WriteFailed, "disk full"};
            frames.emplace_back(frame.m_pData, frame.m_pData + frame.m_nSize);
            frames.back().push_back(frame.m_bKeyFrame ? 1 : 0);
            ++nWritten;
            return {};
        },
        [&] { return c.m_nAbortAfter < 0 || nWritten.load() < c.m_nAbortAfter; });
    return pipeline.Run();
}

class FramePipelineTest : public testing::TestWithParam<PipelineCase> {};

// Every worker count writes the frames the renders wrote one at a time with
// the plain formula; a failure or abort stops every worker, and nothing from
// its frame on is written.
TEST_P(FramePipelineTest, FramesMatchOneAtATimeForEveryWorkerCountUntilAFailureOrAbort)
{
    const PipelineCase& c = GetParam();
    Pictures p;
    std::vector<BYTE> out(96);
    FakeEncoder encoder(c.m_bShared);
    std::vector<std::vector<BYTE>> expected;
    for (std::int32_t k = 0; k < kFrames; ++k) {
        BlendBytesReference(p.first.Data(), p.second.Data(), out.data(), 96, FrameWeight(FrameStep(kFrames), k));
        const EncodedFrame frame = encoder.Encode(out.data(), p.canvas.Stride()).Value();
        expected.emplace_back(frame.m_pData, frame.m_pData + frame.m_nSize);
        expected.back().push_back(frame.m_bKeyFrame ? 1 : 0);
    }
    const bool bDone = c.m_nOutcome == Outcome::Done;
    const std::size_t nStop = bDone ? kFrames : std::max({c.m_nFailAt, c.m_nWriteFailAt, c.m_nAbortAfter});
    for (const int nWorkers : {1, 2, 3, 8}) {
        std::vector<std::vector<BYTE>> frames;
        const FramePipeline::Result result = RunPipeline(c, nWorkers, frames);
        EXPECT_EQ(std::tie(result.m_nOutcome, result.m_strError), std::tie(c.m_nOutcome, c.m_strError)) << nWorkers;
        // Frames before a failure may or may not all be written.
        const std::size_t nWritten = bDone ? nStop : std::min(frames.size(), nStop);
        EXPECT_EQ(frames, std::vector(expected.begin(), expected.begin() + nWritten)) << "workers " << nWorkers;
    }
}

const PipelineCase kCases[] = {
    {"OwnEncoders", false, -1, -1, -1, Outcome::Done, ""},
    {"SharedEncoder", true, -1, -1, -1, Outcome::Done, ""},
    {"OwnEncoderFails", false, 5, -1, -1, Outcome::EncodeFailed, "cannot compress"},
    {"SharedEncoderFails", true, 5, -1, -1, Outcome::EncodeFailed, "cannot compress"},
    {"WriteFails", false, -1, 7, -1, Outcome::WriteFailed, "disk full"},
    {"CallerAborts", true, -1, -1, 3, Outcome::Aborted, ""},
};
INSTANTIATE_TEST_SUITE_P(Runs, FramePipelineTest, testing::ValuesIn(kCases),
                         [](const auto& info) { return info.param.m_strName; });

} // namespace
