#pragma once

// The wizard's two renders, without a widget: each loads both pictures,
// makes the canvas, blends and writes the output file, reports its progress
// after every row or frame and stops when told. Failures come back as
// values; the frame tells the user.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// Local
#include "engine/EngineResult.h"
#include "engine/PictureFit.h"
#include "pages/ICompressionChooser.h"

class CWizardRender {
public:
    // What both renders read from the pages.
    struct Job {
        std::string m_strFirst;      // the source pictures, as the file system names them
        std::string m_strSecond;
        std::string m_strOutput;
        std::int32_t m_nSizeMode = 0;
        std::int32_t m_nWidth = 0;
        std::int32_t m_nHeight = 0;
        PictureFit m_nFit = PictureFit::Stretch; // how each picture meets the canvas; the bars are black
    };
    struct StillJob : Job {
        std::int32_t m_nRatio = 50;  // the share of the second picture in percent
    };
    struct AnimationJob : Job {
        std::int32_t m_nFrameCount = 0;
        std::int32_t m_nFps = 0;
    };

    // After each row of the still (its index, of the rows) or each frame of
    // the animation written (how many, of all).
    std::function<void(std::int32_t nDone, std::int32_t nTotal)> m_onProgress = [](std::int32_t, std::int32_t) {};
    // Lets the windows answer while the render works; false stops the render
    // with Cancelled.
    std::function<bool()> m_keepGoing = [] { return true; };
    // The animation's codec and quality among those offered; nothing cancels
    // the render.
    std::function<std::optional<CompressionChoice>(const std::vector<const VideoCodec*>& offered)> m_chooseCompression =
        [](const std::vector<const VideoCodec*>&) { return std::optional<CompressionChoice>(); };

    // The file a render of job writes: an animation's AVI name may gain
    // ".avi". An output that is one of the pictures, also through a link, is
    // refused with OutputIsSource: writing it would lose that picture; a
    // still's name of a format that is not written, with
    // OutputFormatUnwritable. The frame asks before a render starts, and the
    // render asks again, since files can change in between.
    static EngineResult<std::string> OutputFile(const Job& job, bool bAnimation);

    // The file written, in the format its name asks for (engine/StillFile.h),
    // or why nothing was: a source picture that cannot be loaded (its path
    // in the error), an impossible size (InvalidCanvas, ScaleFailed, or
    // OutOfMemory without a path), an output refused by OutputFile, a file
    // that cannot be written, or Cancelled.
    EngineResult<std::string> RenderStill(const StillJob& job);
    // As the still, and after the pictures are loaded, the codec is chosen;
    // an AVI name may gain ".avi", and the file written is the one given back.
    EngineResult<std::string> RenderAnimation(const AnimationJob& job);
};
