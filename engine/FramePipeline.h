#pragma once

// Makes the frames of an animation on several threads and hands them, in
// order, to one writer on the calling thread.
//
// P workers take frame numbers in increasing order, blend each frame into a
// slot of their own and, when the encoder's frames stand alone, compress it
// with their own encoder. Encoders that carry state from frame to frame get
// one instance, which compresses the blended frames strictly in order on
// whichever worker finishes the frame that is due. The calling thread writes
// the frames in order and keeps its own work (a window's queue, an interrupt)
// going while it waits. There are P + 2 slots, so at most P + 2 frames are in
// memory whatever the frame count. The bytes written do not depend on P.
//
// Nothing is thrown out of Run: an abort, a failed encode, a failed write or
// a lack of memory stops the workers and comes back as the result.

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

// Local
#include "engine/Canvas.h"
#include "engine/PixelBuffer.h"
#include "engine/IFrameEncoder.h"

// What frame k is made of: two canvas-sized pictures and the weight of the
// second. The pictures must stay unchanged while the pipeline runs.
struct FrameRecipe {
    const PixelBuffer* m_pFirst = nullptr;
    const PixelBuffer* m_pSecond = nullptr;
    double m_dWeight = 0.0;
};

class FramePipeline {
public:
    enum class Outcome { Done, Aborted, EncodeFailed, WriteFailed, OutOfMemory };

    struct Result {
        Outcome m_nOutcome = Outcome::Done;
        std::string m_strError; // the encoder's or the writer's words, or empty
    };

    struct Settings {
        Canvas m_canvas;
        std::int32_t m_nFrames = 0;
        int m_nWorkers = 1;
        // True when separate encoders may compress frames in any order.
        bool m_bIndependentFrames = true;
    };

    // Gives frame k's recipe; called on the workers, several at once.
    using SourceFn = std::function<FrameRecipe(std::int32_t k)>;
    // Makes one encoder; called on the calling thread before work starts.
    using EncoderFactory = std::function<EngineResult<std::unique_ptr<IFrameEncoder>>()>;
    // Appends frame k; called on the calling thread for k = 0, 1, … in
    // order. An error stops the run with its reason.
    using WriteFn = std::function<EngineResult<void>(std::int32_t k, const EncodedFrame& frame)>;
    // Called on the calling thread after every frame written but the last
    // and at least every 10 ms while it waits; false aborts the run.
    using IdleFn = std::function<bool()>;

    FramePipeline(Settings settings, SourceFn source, EncoderFactory makeEncoder, WriteFn write, IdleFn idle);
    ~FramePipeline();

    FramePipeline(const FramePipeline&) = delete;
    FramePipeline& operator=(const FramePipeline&) = delete;

    // Makes and writes every frame; one run per object.
    Result Run() noexcept;

    // The number of workers to use by default: one per processor core.
    static int DefaultWorkers() noexcept;

private:
    enum class SlotState { Free, Working, Blended, Ready };

    struct Slot {
        PixelBuffer m_pixels;
        std::vector<std::uint8_t> m_encoded;
        EncodedFrame m_frame;
        std::int32_t m_nFrame = -1;
        SlotState m_nState = SlotState::Free;
    };

    void Work(IFrameEncoder* pOwnEncoder) noexcept;
    // Gives an empty text, or the reason the frame could not be compressed.
    std::string Encode(IFrameEncoder& encoder, Slot& slot) noexcept;
    void EncodeDueFrames(std::unique_lock<std::mutex>& lock) noexcept;
    void Fail(Outcome nOutcome, const std::string& strError) noexcept;
    Result WriteInOrder() noexcept;
    Slot& SlotOf(std::int32_t k) { return m_slots[static_cast<std::size_t>(k) % m_slots.size()]; }

    Settings m_settings;
    SourceFn m_source;
    EncoderFactory m_makeEncoder;
    WriteFn m_write;
    IdleFn m_idle;

    std::vector<Slot> m_slots;
    std::vector<std::unique_ptr<IFrameEncoder>> m_encoders;

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::int32_t m_nNextToMake = 0;
    std::int32_t m_nNextToEncode = 0;
    std::int32_t m_nWritten = 0;
    bool m_bEncoderBusy = false;
    bool m_bStop = false;
    Result m_failure;
};
