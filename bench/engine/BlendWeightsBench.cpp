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

// Weights prepared for one path and timed, each the best of some runs.
struct Sweep {
    std::vector<std::pair<double, double>> m_times; // time, weight; slowest first
    std::size_t m_nInteger = 0;
    double m_dPrepare = 0.0; // microseconds for all
};

Sweep TimeWeights(Frame& frame, BlendPath nPath, const std::vector<double>& weights, int nRuns)
{
    Sweep sweep;
    for (double w : weights) {
        const Clock::time_point start = Clock::now();
        const BlendWeight weight(w, nPath);
        sweep.m_dPrepare += std::chrono::duration<double, std::micro>(Clock::now() - start).count();
        sweep.m_nInteger += weight.IsInteger() ? 1 : 0;
        sweep.m_times.emplace_back(TimeWeight(frame, weight, nRuns), w);
    }
    std::sort(sweep.m_times.rbegin(), sweep.m_times.rend());
    return sweep;
}

// The ten slowest of a sweep timed again with more runs: the slowest of
// those, and its weight.
std::pair<double, double> Slowest(Frame& frame, BlendPath nPath, const Sweep& sweep)
{
    std::pair<double, double> slowest{0.0, 0.0};
    for (std::size_t i = 0; i < std::min<std::size_t>(10, sweep.m_times.size()); ++i) {
        const double w = sweep.m_times[i].second;
        slowest = std::max(slowest, {TimeWeight(frame, BlendWeight(w, nPath), 20), w});
    }
    return slowest;
}

// The figures of one path, against memcpy timed just before.
void ReportPath(Frame& frame, BlendPath nPath, bool bSweep)
{
    const char* pszPath = PathName(nPath);
    const double dMemcpy = TimeMemcpy(frame, 200);
    std::printf("%-7s memcpy               %8.1f us, load %s\n", pszPath, dMemcpy, LoadAverage().c_str());
    std::vector<double> dissolve;
    for (std::int32_t k = 0; k < 100; ++k)
        dissolve.push_back(FrameWeight(FrameStep(100), k));
    const Sweep frames = TimeWeights(frame, nPath, dissolve, 10);
    double dSum = 0.0;
    for (const auto& [dTime, w] : frames.m_times)
        dSum += dTime;
    const auto [dWorst, dWorstWeight] = Slowest(frame, nPath, frames);
    const auto nWorst = std::find(dissolve.begin(), dissolve.end(), dWorstWeight) - dissolve.begin();
    std::printf("%-7s N=100 mean           %8.1f us  %.2fx memcpy\n", pszPath, dSum / 100, dSum / 100 / dMemcpy);
    std::printf("%-7s N=100 slowest (k=%2td) %8.1f us  %.2fx memcpy\n", pszPath, nWorst, dWorst, dWorst / dMemcpy);
    std::printf("%-7s N=100 integer path   %zu of 100 weights; preparing all 100 took %.0f us\n", pszPath,
                frames.m_nInteger, frames.m_dPrepare);
    if (!bSweep)
        return;

    const std::map<double, std::string> names = RenderWeights();
    std::vector<double> weights;
    for (const auto& [w, strName] : names)
        weights.push_back(w);
    const Sweep all = TimeWeights(frame, nPath, weights, 3);
    const auto [dSlowest, dSlowestWeight] = Slowest(frame, nPath, all);
    std::printf("%-7s all weights          %zu distinct (N=2..300 and stills), integer path on %zu\n", pszPath,
                weights.size(), all.m_nInteger);
    std::printf("%-7s all weights slowest  %8.1f us  %.2fx memcpy  (w=%.17g, %s)\n", pszPath, dSlowest,
                dSlowest / dMemcpy, dSlowestWeight, names.at(dSlowestWeight).c_str());
    std::printf("%-7s preparing a weight   %8.1f us on average\n", pszPath,
                all.m_dPrepare / static_cast<double>(weights.size()));
}

} // namespace

int main(int argc, char** argv)
{
    const bool bSweep = !(argc > 1 && std::strcmp(argv[1], "--no-sweep") == 0);
    std::printf("frame %zux%zu\n", kWidth, kHeight);
    Frame frame;
    TimeMemcpy(frame, 20); // warms the buffers
    // The active path first; AVX2 also where AVX-512 is active, since most
    // processors without AVX-512 take it.
    for (BlendPath nPath : {BlendPath::Avx512, BlendPath::Avx2, BlendPath::Reference}) {
        if (!BlendPathAvailable(nPath) || (nPath == BlendPath::Reference && BlendActivePath() != nPath))
            continue;
        ReportPath(frame, nPath, bSweep);
    }
    return 0;
}
