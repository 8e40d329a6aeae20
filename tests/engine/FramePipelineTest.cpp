// The frame pipeline: frames made or encoded out of order or by the wrong
// worker, bytes that change with the worker count, and a failure or abort
// that lets other workers go on writing.

#include <algorithm>
#include <array>
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

struct PipelineRun {
    FramePipeline::Result m_result;
    std::vector<std::vector<BYTE>> m_frames;
    bool m_bBoundKept = true;
};

// Runs the pipeline. A frame numbered nFailAt cannot be compressed;
// nWriteFailAt cannot be written; nAbortAfter frames written, the caller aborts.
PipelineRun RunPipeline(int nWorkers, bool bShared, std::int32_t nFailAt = -1, std::int32_t nWriteFailAt = -1,
                std::int32_t nAbortAfter = -1)
{
    Pictures p;
    PipelineRun run;
    std::atomic<std::int32_t> nWritten{0};
    const double dStep = FrameStep(kFrames);
    FramePipeline pipeline(
        FramePipeline::Settings{p.canvas, kFrames, nWorkers, !bShared},
        [&](std::int32_t k) {
            // Frame k starts only once frame k − (P + 2) has been written.
            if (k >= nWritten.load() + nWorkers + 2)
                run.m_bBoundKept = false;
            return k == nFailAt ? FrameRecipe{&p.marked, &p.marked, 0.0}
                                : FrameRecipe{&p.first, &p.second, FrameWeight(dStep, k)};
        },
        [&] { return EngineResult<std::unique_ptr<IFrameEncoder>>(std::make_unique<FakeEncoder>(bShared)); },
        [&](std::int32_t k, const EncodedFrame& frame) -> EngineResult<void> {
            EXPECT_EQ(k, static_cast<std::int32_t>(run.m_frames.size()));
            if (k == nWriteFailAt)
                return EngineError{EngineErrorCode::WriteFailed, "disk full"};
            run.m_frames.emplace_back(frame.m_pData, frame.m_pData + frame.m_nSize);
            run.m_frames.back().push_back(frame.m_bKeyFrame ? 1 : 0);
            ++nWritten;
            return {};
        },
        [&] { return nAbortAfter < 0 || nWritten.load() < nAbortAfter; });
    run.m_result = pipeline.Run();
    return run;
}

TEST(FramePipelineTest, BytesAreTheSameForEveryWorkerCountAndMatchOneFrameAtATime)
{
    for (const bool bShared : {false, true}) {
        // One frame at a time, with the plain formula, as the renders did.
        Pictures p;
        std::vector<BYTE> out(96);
        FakeEncoder encoder(bShared);
        std::vector<std::vector<BYTE>> expected;
        for (std::int32_t k = 0; k < kFrames; ++k) {
            BlendBytesReference(p.first.Data(), p.second.Data(), out.data(), 96, FrameWeight(FrameStep(kFrames), k));
            const auto frame = encoder.Encode(out.data(), p.canvas.Stride());
            ASSERT_TRUE(frame);
            expected.emplace_back(frame.Value().m_pData, frame.Value().m_pData + frame.Value().m_nSize);
            expected.back().push_back(frame.Value().m_bKeyFrame ? 1 : 0);
        }
        for (const int nWorkers : {1, 2, 3, 8}) {
            const PipelineRun run = RunPipeline(nWorkers, bShared);
            EXPECT_TRUE(run.m_bBoundKept) << nWorkers;
            EXPECT_EQ(run.m_frames, expected) << (bShared ? "shared" : "own") << " encoders, workers " << nWorkers;
        }
    }
}

TEST(FramePipelineTest, FailureOrAbortStopsEveryWorkerAndWritesNothingAfterIt)
{
    using Outcome = FramePipeline::Outcome;
    // Shared encoder; the frame that cannot be compressed, written or after
    // which the caller aborts; the outcome and its text.
    const std::array cases = {
        std::tuple{false, 5, -1, -1, Outcome::EncodeFailed, "cannot compress"},
        std::tuple{true, 5, -1, -1, Outcome::EncodeFailed, "cannot compress"},
        std::tuple{false, -1, 7, -1, Outcome::WriteFailed, "disk full"},
        std::tuple{true, -1, -1, 3, Outcome::Aborted, ""},
    };
    for (const auto& [bShared, nFailAt, nWriteFailAt, nAbortAfter, nOutcome, pszError] : cases)
        for (const int nWorkers : {1, 3}) {
            const PipelineRun run = RunPipeline(nWorkers, bShared, nFailAt, nWriteFailAt, nAbortAfter);
            EXPECT_EQ(run.m_result.m_nOutcome, nOutcome) << nFailAt << nWriteFailAt << nAbortAfter << ", workers " << nWorkers;
            EXPECT_EQ(run.m_result.m_strError, pszError);
            // Frames before the failure may or may not all be written; none from it on.
            EXPECT_LE(run.m_frames.size(), static_cast<std::size_t>(std::max({nFailAt, nWriteFailAt, nAbortAfter})));
        }
}

} // namespace
