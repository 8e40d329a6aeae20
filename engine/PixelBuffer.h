#pragma once

// One canvas-sized picture: rows bottom-up, stride width × 3, bytes blue,
// green, red. Allocation failure is reported, never thrown.

#include <cstddef>
#include <cstdlib>
#include <memory>

// Local
#include "engine/Canvas.h"
#include "engine/EngineResult.h"
#include "platform/win/WinTypes.h"

class PixelBuffer {
public:
    PixelBuffer() = default;

    // A zero-filled buffer of nSize bytes, or OutOfMemory.
    static EngineResult<PixelBuffer> Allocate(std::size_t nSize);
    // A zero-filled buffer of the canvas's image size, or OutOfMemory.
    static EngineResult<PixelBuffer> Allocate(const Canvas& canvas);

    BYTE* Data() noexcept { return m_pData.get(); }
    const BYTE* Data() const noexcept { return m_pData.get(); }
    std::size_t Size() const noexcept { return m_nSize; }

private:
    struct FreeDeleter {
        void operator()(BYTE* p) const noexcept { std::free(p); }
    };

    std::unique_ptr<BYTE, FreeDeleter> m_pData;
    std::size_t m_nSize = 0;
};
