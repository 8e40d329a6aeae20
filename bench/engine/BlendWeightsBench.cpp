// The blend at every weight the renders use, each prepared as the render
// prepares it (BlendWeight), on one 1920 × 1080 frame, against memcpy over the
// same buffers in the same run, on the active path and on AVX2 where that is
// not the active one:
//   - the 100 weights of the default dissolve (N = 100): the mean and the
//     slowest, as multiples of memcpy;
//   - every distinct weight of N = 2..300 frames and of the 101 still ratios:
//     how many take the integer path, the slowest (the ten slowest of the
//     sweep are timed again with more runs, so one disturbed run does not
//     decide), and what preparing (deriving and proving) a weight costs.
// Every time is the best of several runs.
//
//   build/bench/engine/bench_blend_weights [--no-sweep]

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <vector>

// Local
#include "engine/Blend.h"
#include "engine/BlendWeight.h"
#include "platform/win/WinTypes.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t kWidth = 1920;
constexpr std::size_t kHeight = 1080;
constexpr std::size_t kStride = kWidth * 3;
constexpr std::size_t kBytes = kStride * kHeight;

struct Frame {
    std::vector<BYTE> m_first = std::vector<BYTE>(kBytes);
    std::vector<BYTE> m_second = std::vector<BYTE>(kBytes);
    std::vector<BYTE> m_out = std::vector<BYTE>(kBytes);

    Frame()
    {
        std::mt19937 random(7);
        for (std::size_t i = 0; i < kBytes; ++i) {
            m_first[i] = static_cast<BYTE>(random());
            m_second[i] = static_cast<BYTE>(random());
        }
    }
};

// The best of nRuns runs of fn, in microseconds.
template <typename Fn>
double BestMicroseconds(int nRuns, Fn fn)
{
    double dBest = 1e300;
    for (int i = 0; i < nRuns; ++i) {
        const Clock::time_point start = Clock::now();
        fn();
        dBest = std::min(dBest, std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    }
    return dBest;
}

// Every row copied once, alternately from each source, as bench_blend's memcpy.
double TimeMemcpy(Frame& frame, int nRuns)
{
    return BestMicroseconds(nRuns, [&] {
        for (std::size_t m = 0; m < kHeight; ++m) {
            const BYTE* pSource = (m % 2 == 0 ? frame.m_first : frame.m_second).data();
            std::memcpy(frame.m_out.data() + m * kStride, pSource + m * kStride, kStride);
        }
        asm volatile("" : : "r"(frame.m_out.data()) : "memory");
    });
}

// The whole frame in one call, as the frame pipeline's workers blend it.
double TimeWeight(Frame& frame, const BlendWeight& weight, int nRuns)
{
    return BestMicroseconds(nRuns, [&] {
        weight.Blend(frame.m_first.data(), frame.m_second.data(), frame.m_out.data(), kBytes);
        asm volatile("" : : "r"(frame.m_out.data()) : "memory");
    });
}

const char* PathName(BlendPath nPath)
{
    switch (nPath) {
    case BlendPath::Avx512:
        return "AVX-512";
    case BlendPath::Avx2:
        return "AVX2";
    case BlendPath::Reference:
        break;
    }
    return "plain";
}

std::string LoadAverage()
{
    std::ifstream file("/proc/loadavg");
    std::string strLoad;
    std::getline(file, strLoad);
    return strLoad.substr(0, strLoad.find(' ', strLoad.find(' ', strLoad.find(' ') + 1) + 1));
}

// Every distinct weight of N = 2..300 frames and of the still ratios, with
// the first place it comes from.
std::map<double, std::string> RenderWeights()
{
    std::map<double, std::string> weights;
    for (std::int32_t n = 2; n <= 300; ++n)
        for (std::int32_t k = 0; k < n; ++k)
            weights.emplace(FrameWeight(FrameStep(n), k), "N=" + std::to_string(n) + " k=" + std::to_string(k));
    for (std::int32_t p = 0; p <= 100; ++p)
        weights.emplace(StillWeight(p), "still " + std::to_string(p) + "%");
    return weights;
}

// The figures of one path. Weights are prepared for that path.
void ReportPath(Frame& frame, BlendPath nPath, double dMemcpy, bool bSweep)
{
    const char* pszPath = PathName(nPath);
    const double dStep = FrameStep(100);
    double dSum = 0.0, dWorst = 0.0, dPrepare = 0.0;
    std::int32_t nWorst = 0, nInteger = 0;
    for (std::int32_t k = 0; k < 100; ++k) {
        const Clock::time_point start = Clock::now();
        const BlendWeight weight(FrameWeight(dStep, k), nPath);
        dPrepare += std::chrono::duration<double, std::micro>(Clock::now() - start).count();
        nInteger += weight.IsInteger() ? 1 : 0;
        const double dTime = TimeWeight(frame, weight, 10);
        dSum += dTime;
        if (dTime > dWorst) {
            dWorst = dTime;
            nWorst = k;
        }
    }
    std::printf("%-7s N=100 mean           %8.1f us  %.2fx memcpy\n", pszPath, dSum / 100, dSum / 100 / dMemcpy);
    std::printf("%-7s N=100 slowest (k=%2d) %8.1f us  %.2fx memcpy\n", pszPath, nWorst, dWorst, dWorst / dMemcpy);
    std::printf("%-7s N=100 integer path   %d of 100 weights; preparing all 100 took %.0f us\n", pszPath, nInteger,
                dPrepare);
    if (!bSweep)
        return;

    // Every render weight, each timed once; the ten slowest again.
    const std::map<double, std::string> weights = RenderWeights();
    std::vector<std::pair<double, double>> times; // time, weight
    dPrepare = 0.0;
    std::size_t nSweepInteger = 0;
    for (const auto& [w, strName] : weights) {
        const Clock::time_point start = Clock::now();
        const BlendWeight weight(w, nPath);
        dPrepare += std::chrono::duration<double, std::micro>(Clock::now() - start).count();
        nSweepInteger += weight.IsInteger() ? 1 : 0;
        times.emplace_back(TimeWeight(frame, weight, 3), w);
    }
    std::sort(times.rbegin(), times.rend());
    double dSlowest = 0.0, dSlowestWeight = 0.0;
    for (std::size_t i = 0; i < std::min<std::size_t>(10, times.size()); ++i) {
        const double dTime = TimeWeight(frame, BlendWeight(times[i].second, nPath), 20);
        if (dTime > dSlowest) {
            dSlowest = dTime;
            dSlowestWeight = times[i].second;
        }
    }
    std::printf("%-7s all weights          %zu distinct (N=2..300 and stills), integer path on %zu\n", pszPath,
                weights.size(), nSweepInteger);
    std::printf("%-7s all weights slowest  %8.1f us  %.2fx memcpy  (w=%.17g, %s)\n", pszPath, dSlowest,
                dSlowest / dMemcpy, dSlowestWeight, weights.at(dSlowestWeight).c_str());
    std::printf("%-7s preparing a weight   %8.1f us on average\n", pszPath,
                dPrepare / static_cast<double>(weights.size()));
}

} // namespace

int main(int argc, char** argv)
{
    const bool bSweep = !(argc > 1 && std::strcmp(argv[1], "--no-sweep") == 0);
    std::printf("frame %zux%zu, load %s\n", kWidth, kHeight, LoadAverage().c_str());
    Frame frame;
    TimeMemcpy(frame, 20); // warms the buffers
    const double dMemcpy = TimeMemcpy(frame, 200);
    std::printf("memcpy                        %8.1f us\n", dMemcpy);
    // The active path first; AVX2 also where AVX-512 is active, since most
    // processors without AVX-512 take it.
    for (BlendPath nPath : {BlendPath::Avx512, BlendPath::Avx2, BlendPath::Reference}) {
        if (!BlendPathAvailable(nPath) || (nPath == BlendPath::Reference && BlendActivePath() != nPath))
            continue;
        ReportPath(frame, nPath, dMemcpy, bSweep);
    }
    std::printf("memcpy again                  %8.1f us, load %s\n", TimeMemcpy(frame, 200), LoadAverage().c_str());
    return 0;
}
