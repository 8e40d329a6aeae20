#include "engine/FramePipeline.h"

#include <algorithm>
#include <chrono>
#include <new>
#include <system_error>
#include <thread>
#include <utility>

// Local
#include "engine/BlendWeight.h"

namespace {

// The calling thread looks up at least this often while it waits.
constexpr auto kIdleInterval = std::chrono::milliseconds(5);

} // namespace

FramePipeline::FramePipeline(Settings settings, SourceFn source, EncoderFactory makeEncoder, WriteFn write,
                             IdleFn idle)
    : m_settings(std::move(settings)),
      m_source(std::move(source)),
      m_makeEncoder(std::move(makeEncoder)),
      m_write(std::move(write)),
      m_idle(std::move(idle))
{
}

FramePipeline::~FramePipeline() = default;

int FramePipeline::DefaultWorkers() noexcept
{
    return static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
}

FramePipeline::Result FramePipeline::Run() noexcept
{
    const std::int32_t nFrames = std::max<std::int32_t>(0, m_settings.m_nFrames);
    if (nFrames == 0)
        return {};
    const int nWorkers = std::clamp(m_settings.m_nWorkers, 1, static_cast<int>(nFrames));
    const auto nSlots = static_cast<std::size_t>(std::min(nWorkers + 2, static_cast<int>(nFrames)));

    try {
        m_slots.resize(nSlots);
        for (Slot& slot : m_slots) {
            auto pixels = PixelBuffer::Allocate(m_settings.m_canvas);
            if (!pixels)
                return {Outcome::OutOfMemory, pixels.Error().m_strMessage};
            slot.m_pixels = std::move(pixels.Value());
        }
        const int nEncoders = m_settings.m_bIndependentFrames ? nWorkers : 1;
        for (int i = 0; i < nEncoders; ++i) {
            auto encoder = m_makeEncoder();
            if (!encoder)
                return {Outcome::EncodeFailed, encoder.Error().m_strMessage};
            m_encoders.push_back(std::move(encoder.Value()));
        }
    } catch (const std::bad_alloc&) {
        return {Outcome::OutOfMemory, "There is not enough memory to complete the operation."};
    }

    std::vector<std::thread> workers;
    try {
        workers.reserve(static_cast<std::size_t>(nWorkers));
        for (int i = 0; i < nWorkers; ++i)
            workers.emplace_back(&FramePipeline::Work, this,
                                 m_settings.m_bIndependentFrames ? m_encoders[static_cast<std::size_t>(i)].get()
                                                                 : nullptr);
    } catch (const std::exception&) {
        // Fewer workers than asked for still make every frame; none cannot.
        if (workers.empty())
            return {Outcome::OutOfMemory, "No thread could be started for the frames."};
    }

    Result result = WriteInOrder();
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_bStop = true;
    }
    m_changed.notify_all();
    for (std::thread& worker : workers)
        worker.join();
    return result;
}

FramePipeline::Result FramePipeline::WriteInOrder() noexcept
{
    using Clock = std::chrono::steady_clock;
    // The caller's own work runs once before the first frame is awaited too.
    if (!m_idle())
        return {Outcome::Aborted, {}};
    auto lastIdle = Clock::now();
    std::unique_lock<std::mutex> lock(m_mutex);
    while (m_nWritten < m_settings.m_nFrames) {
        const std::int32_t k = m_nWritten;
        Slot& slot = SlotOf(k);
        const bool bReady = m_changed.wait_for(lock, kIdleInterval, [&] {
            return m_bStop || (slot.m_nFrame == k && slot.m_nState == SlotState::Ready);
        });
        if (m_bStop)
            return m_failure;
        if (bReady) {
            // The slot is the writer's until it is marked free again.
            lock.unlock();
            const EngineResult<void> written = m_write(k, slot.m_frame);
            lock.lock();
            if (!written) {
                m_failure = {Outcome::WriteFailed, written.Error().m_strMessage};
                return m_failure;
            }
            slot.m_nState = SlotState::Free;
            ++m_nWritten;
            m_changed.notify_all();
        }
        // Nothing is left to wait for once the last frame is written.
        if (m_nWritten == m_settings.m_nFrames)
            break;
        if (bReady || Clock::now() - lastIdle >= kIdleInterval) {
            lock.unlock();
            const bool bGoOn = m_idle();
            lastIdle = Clock::now();
            lock.lock();
            if (!bGoOn) {
                if (!m_bStop)
                    m_failure = {Outcome::Aborted, {}};
                return m_failure;
            }
        }
    }
    return {};
}

void FramePipeline::Fail(Outcome nOutcome, const std::string& strError) noexcept
{
    // Called with the lock held; the first failure is the one reported.
    if (m_bStop)
        return;
    m_bStop = true;
    m_failure.m_nOutcome = nOutcome;
    try {
        m_failure.m_strError = strError;
    } catch (const std::bad_alloc&) {
    }
    m_changed.notify_all();
}

void FramePipeline::Work(IFrameEncoder* pOwnEncoder) noexcept
{
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        // A frame may start once the frame P + 2 before it has been written,
        // which frees its slot.
        const auto nSlots = static_cast<std::int32_t>(m_slots.size());
        m_changed.wait(lock, [&] {
            return m_bStop || m_nNextToMake >= m_settings.m_nFrames || m_nNextToMake < m_nWritten + nSlots;
        });
        if (m_bStop || m_nNextToMake >= m_settings.m_nFrames)
            return;
        const std::int32_t k = m_nNextToMake++;
        Slot& slot = SlotOf(k);
        slot.m_nFrame = k;
        slot.m_nState = SlotState::Working;
        lock.unlock();

        const FrameRecipe recipe = m_source(k);
        const std::size_t nBytes = slot.m_pixels.Size();
        if (!recipe.m_pFirst || !recipe.m_pSecond || recipe.m_pFirst->Size() < nBytes ||
            recipe.m_pSecond->Size() < nBytes) {
            lock.lock();
            Fail(Outcome::EncodeFailed, "A picture of the frame is missing or smaller than the canvas.");
            return;
        }
        BlendWeight(recipe.m_dWeight)
            .Blend(recipe.m_pFirst->Data(), recipe.m_pSecond->Data(), slot.m_pixels.Data(), nBytes);

        if (pOwnEncoder) {
            const std::string strError = Encode(*pOwnEncoder, slot);
            lock.lock();
            if (!strError.empty()) {
                Fail(Outcome::EncodeFailed, strError);
                return;
            }
            slot.m_nState = SlotState::Ready;
            m_changed.notify_all();
            continue;
        }
        lock.lock();
        slot.m_nState = SlotState::Blended;
        EncodeDueFrames(lock);
    }
}

void FramePipeline::EncodeDueFrames(std::unique_lock<std::mutex>& lock) noexcept
{
    // One worker at a time holds the shared encoder and compresses every
    // frame that is due and blended; the others go on blending.
    if (m_bEncoderBusy)
        return;
    m_bEncoderBusy = true;
    IFrameEncoder& encoder = *m_encoders.front();
    while (!m_bStop && m_nNextToEncode < m_settings.m_nFrames) {
        Slot& slot = SlotOf(m_nNextToEncode);
        if (slot.m_nFrame != m_nNextToEncode || slot.m_nState != SlotState::Blended)
            break;
        lock.unlock();
        const std::string strError = Encode(encoder, slot);
        lock.lock();
        if (!strError.empty()) {
            Fail(Outcome::EncodeFailed, strError);
            break;
        }
        slot.m_nState = SlotState::Ready;
        ++m_nNextToEncode;
        m_changed.notify_all();
    }
    m_bEncoderBusy = false;
}

std::string FramePipeline::Encode(IFrameEncoder& encoder, Slot& slot) noexcept
{
    try {
        auto encoded = encoder.Encode(slot.m_pixels.Data(), m_settings.m_canvas.Stride());
        if (!encoded)
            return encoded.Error().m_strMessage;
        // An encoder that passes the pixels through points into the slot; any
        // other result lives in the encoder and must be kept until written.
        const EncodedFrame& frame = encoded.Value();
        const std::uint8_t* pPixels = slot.m_pixels.Data();
        const bool bInSlot =
            frame.m_pData >= pPixels && frame.m_pData + frame.m_nSize <= pPixels + slot.m_pixels.Size();
        if (frame.m_nSize == 0 || bInSlot) {
            slot.m_frame = frame;
            return {};
        }
        slot.m_encoded.assign(frame.m_pData, frame.m_pData + frame.m_nSize);
        slot.m_frame = EncodedFrame{slot.m_encoded.data(), slot.m_encoded.size(), frame.m_bKeyFrame};
        return {};
    } catch (const std::bad_alloc&) {
        return "There is not enough memory to complete the operation.";
    }
}
