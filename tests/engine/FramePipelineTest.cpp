// The frame pipeline: frames made or encoded out of order or by the wrong
// worker, bytes that change with the worker count, and a failure or abort
// that lets other workers go on writing.

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

// Local
#include "engine/Blend.h"
#include "engine/FramePipeline.h"

namespace {

// Stand-in encoders, one per worker or one shared. Each output depends on the
// frame's bytes; the shared one's also on every frame before it, so frames
// encoded out of order or by the wrong instance give other bytes. Encoders
// that hand back the frame's own pixels run in the batch tool's tests.
enum class Kind { Reversed, Chained };

class FakeEncoder : public IFrameEncoder {
public:
    FakeEncoder(Kind nKind, std::int32_t nFailAt) : m_nKind(nKind), m_nFailAt(nFailAt) {}

    bool Encode(const BYTE* pPixels, int nPitch, EncodedFrame* pOut) override
    {
        if (m_nFailAt >= 0 && pPixels[0] == 0xEE) {
            m_strError = "cannot compress";
            return false;
        }
        const std::size_t nSize = static_cast<std::size_t>(nPitch) * 4;
        const bool bKeyFrame = m_nKind != Kind::Chained || m_state.empty();
        m_out.assign(pPixels, pPixels + nSize);
        if (m_nKind == Kind::Reversed)
            std::reverse(m_out.begin(), m_out.end());
        if (m_nKind == Kind::Chained) {
            m_state.resize(nSize);
            for (std::size_t i = 0; i < nSize; ++i)
                m_state[i] = m_out[i] = static_cast<BYTE>(m_out[i] ^ (m_state[i] * 3 + 1));
        }
        *pOut = EncodedFrame{m_out.data(), m_out.size(), bKeyFrame};
        return true;
    }
    const std::string& LastError() const override { return m_strError; }

private:
    Kind m_nKind;
    std::int32_t m_nFailAt;
    std::vector<BYTE> m_out, m_state;
    std::string m_strError;
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
PipelineRun RunPipeline(int nWorkers, Kind nKind, std::int32_t nFailAt = -1, std::int32_t nWriteFailAt = -1,
                std::int32_t nAbortAfter = -1)
{
    Pictures p;
    PipelineRun run;
    std::atomic<std::int32_t> nWritten{0};
    const double dStep = FrameStep(kFrames);
    FramePipeline pipeline(
        FramePipeline::Settings{p.canvas, kFrames, nWorkers, nKind != Kind::Chained},
        [&](std::int32_t k) {
            // Frame k starts only once frame k − (P + 2) has been written.
            if (k >= nWritten.load() + nWorkers + 2)
                run.m_bBoundKept = false;
            return k == nFailAt ? FrameRecipe{&p.marked, &p.marked, 0.0}
                                : FrameRecipe{&p.first, &p.second, FrameWeight(dStep, k)};
        },
        [&](std::string*) { return std::make_unique<FakeEncoder>(nKind, nFailAt); },
        [&](std::int32_t k, const EncodedFrame& frame, std::string* pError) {
            EXPECT_EQ(k, static_cast<std::int32_t>(run.m_frames.size()));
            if (k == nWriteFailAt) {
                *pError = "disk full";
                return false;
            }
            run.m_frames.emplace_back(frame.m_pData, frame.m_pData + frame.m_nSize);
            run.m_frames.back().push_back(frame.m_bKeyFrame ? 1 : 0);
            ++nWritten;
            return true;
        },
        [&] { return nAbortAfter < 0 || nWritten.load() < nAbortAfter; });
    run.m_result = pipeline.Run();
    return run;
}

TEST(FramePipelineTest, BytesAreTheSameForEveryWorkerCountAndMatchOneFrameAtATime)
{
    for (const Kind nKind : {Kind::Reversed, Kind::Chained}) {
        // One frame at a time, with the plain formula, as the renders did.
        Pictures p;
        std::vector<BYTE> out(96);
        FakeEncoder encoder(nKind, -1);
        std::vector<std::vector<BYTE>> expected;
        for (std::int32_t k = 0; k < kFrames; ++k) {
            BlendBytesReference(p.first.Data(), p.second.Data(), out.data(), 96, FrameWeight(FrameStep(kFrames), k));
            EncodedFrame frame;
            ASSERT_TRUE(encoder.Encode(out.data(), p.canvas.Stride(), &frame));
            expected.emplace_back(frame.m_pData, frame.m_pData + frame.m_nSize);
            expected.back().push_back(frame.m_bKeyFrame ? 1 : 0);
        }
        for (const int nWorkers : {1, 2, 3, 8}) {
            const PipelineRun run = RunPipeline(nWorkers, nKind);
            EXPECT_EQ(run.m_result.m_nOutcome, FramePipeline::Outcome::Done);
            EXPECT_TRUE(run.m_bBoundKept) << nWorkers;
            EXPECT_EQ(run.m_frames, expected) << "kind " << static_cast<int>(nKind) << ", workers " << nWorkers;
        }
    }
}

TEST(FramePipelineTest, FailureOrAbortStopsEveryWorkerAndWritesNothingAfterIt)
{
    using Outcome = FramePipeline::Outcome;
    struct Case {
        const char* m_pszName;
        Kind m_nKind;
        std::int32_t m_nFailAt, m_nWriteFailAt, m_nAbortAfter;
        Outcome m_nOutcome;
        std::string m_strError;
    };
    const std::array cases = {
        Case{"encode, own encoders", Kind::Reversed, 5, -1, -1, Outcome::EncodeFailed, "cannot compress"},
        Case{"encode, shared encoder", Kind::Chained, 5, -1, -1, Outcome::EncodeFailed, "cannot compress"},
        Case{"write", Kind::Reversed, -1, 7, -1, Outcome::WriteFailed, "disk full"},
        Case{"abort", Kind::Chained, -1, -1, 3, Outcome::Aborted, ""},
    };
    for (const Case& c : cases) {
        for (const int nWorkers : {1, 3}) {
            const PipelineRun run = RunPipeline(nWorkers, c.m_nKind, c.m_nFailAt, c.m_nWriteFailAt, c.m_nAbortAfter);
            EXPECT_EQ(run.m_result.m_nOutcome, c.m_nOutcome) << c.m_pszName << ", workers " << nWorkers;
            EXPECT_EQ(run.m_result.m_strError, c.m_strError) << c.m_pszName;
            // Frames before the failure may or may not all be written; none from it on.
            const auto nStop = static_cast<std::size_t>(std::max({c.m_nFailAt, c.m_nWriteFailAt, c.m_nAbortAfter}));
            EXPECT_LE(run.m_frames.size(), nStop) << c.m_pszName;
        }
    }
}

} // namespace
