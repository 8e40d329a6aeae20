// Blend speed on whole frames: the plain reference loop, the dispatched double
// path, the exact integer path as the frame pipeline runs it (for a weight
// whose form needs no correction and for one that corrects the most lanes of
// the default dissolve), and memcpy over the same buffers as the floor set by
// memory traffic. bench_blend_weights times every weight the renders use.

#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include <benchmark/benchmark.h>

// Local
#include "engine/Blend.h"
#include "engine/BlendWeight.h"
#include "platform/win/WinTypes.h"

namespace {

struct Frame {
    std::vector<BYTE> m_first;
    std::vector<BYTE> m_second;
    std::vector<BYTE> m_out;

    explicit Frame(std::size_t nSize) : m_first(nSize), m_second(nSize), m_out(nSize)
    {
        std::mt19937 random(7);
        for (std::size_t i = 0; i < nSize; ++i) {
            m_first[i] = static_cast<BYTE>(random());
            m_second[i] = static_cast<BYTE>(random());
        }
    }
};

std::size_t FrameBytes(const benchmark::State& state)
{
    return static_cast<std::size_t>(state.range(0)) * static_cast<std::size_t>(state.range(1)) * 3;
}

// A weight with no special value, as in the middle of an animation.
constexpr double kWeight = 17.0 / 49.0;

// Row by row, as the renders call it.
template <typename BlendFn>
void RunBlend(benchmark::State& state, BlendFn blend)
{
    const std::size_t nStride = static_cast<std::size_t>(state.range(0)) * 3;
    const std::size_t nRows = static_cast<std::size_t>(state.range(1));
    Frame frame(FrameBytes(state));
    for (auto _ : state) {
        for (std::size_t m = 0; m < nRows; ++m) {
            const std::size_t o = m * nStride;
            blend(frame.m_first.data() + o, frame.m_second.data() + o, frame.m_out.data() + o, nStride, kWeight);
        }
        benchmark::DoNotOptimize(frame.m_out.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * FrameBytes(state)));
}

void BM_BlendReference(benchmark::State& state)
{
    RunBlend(state, BlendBytesReference);
}

// The dispatched path: the widest this processor has.
void BM_BlendFast(benchmark::State& state)
{
    RunBlend(state, BlendBytes);
}

// The AVX2 path on its own, for processors that also have AVX-512.
void BM_BlendAvx2(benchmark::State& state)
{
    if (!BlendPathAvailable(BlendPath::Avx2)) {
        state.SkipWithError("no AVX2 on this processor");
        return;
    }
    RunBlend(state, [](const BYTE* pFirst, const BYTE* pSecond, BYTE* pOut, std::size_t nCount, double w) {
        BlendBytesOn(BlendPath::Avx2, pFirst, pSecond, pOut, nCount, w);
    });
}

// The integer form, proven once for the weight, over the whole frame in one
// call as the pipeline's workers blend it.
void RunExact(benchmark::State& state, double w)
{
    const BlendWeight weight(w);
    if (!weight.IsInteger()) {
        state.SkipWithError("no integer form for this weight");
        return;
    }
    Frame frame(FrameBytes(state));
    for (auto _ : state) {
        weight.Blend(frame.m_first.data(), frame.m_second.data(), frame.m_out.data(), frame.m_out.size());
        benchmark::DoNotOptimize(frame.m_out.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * FrameBytes(state)));
}

void BM_BlendExact(benchmark::State& state)
{
    RunExact(state, kWeight);
}

// Frame 66 of the default 100: the double sum's last bit depends on a for 57
// differences b − a, the most of that dissolve, and the form corrects them.
void BM_BlendExactCorrected(benchmark::State& state)
{
    RunExact(state, FrameWeight(FrameStep(100), 66));
}

// What a frame pays before its blend: deriving and proving the integer form.
void BM_BlendProof(benchmark::State& state)
{
    std::int32_t k = 1;
    for (auto _ : state) {
        const BlendWeight weight(FrameWeight(FrameStep(100), k));
        benchmark::DoNotOptimize(weight.IsInteger());
        k = k % 98 + 1;
    }
}

// Copies every row once, half from each source, so all three buffers are
// touched: the least traffic any blend of these frames could cause.
void BM_Memcpy(benchmark::State& state)
{
    const std::size_t nStride = static_cast<std::size_t>(state.range(0)) * 3;
    const std::size_t nRows = static_cast<std::size_t>(state.range(1));
    Frame frame(FrameBytes(state));
    for (auto _ : state) {
        for (std::size_t m = 0; m < nRows; ++m) {
            const std::size_t o = m * nStride;
            const BYTE* pSource = (m % 2 == 0 ? frame.m_first : frame.m_second).data();
            std::memcpy(frame.m_out.data() + o, pSource + o, nStride);
        }
        benchmark::DoNotOptimize(frame.m_out.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * FrameBytes(state)));
}

void FrameSizes(benchmark::internal::Benchmark* bench)
{
    bench->Args({720, 540})->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMicrosecond);
}

} // namespace

BENCHMARK(BM_BlendReference)->Apply(FrameSizes);
BENCHMARK(BM_BlendFast)->Apply(FrameSizes);
BENCHMARK(BM_BlendAvx2)->Apply(FrameSizes);
BENCHMARK(BM_BlendExact)->Apply(FrameSizes);
BENCHMARK(BM_BlendExactCorrected)->Apply(FrameSizes);
BENCHMARK(BM_Memcpy)->Apply(FrameSizes);
BENCHMARK(BM_BlendProof)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
