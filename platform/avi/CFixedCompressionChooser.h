#pragma once

// Local
#include "platform/avi/ICompressionChooser.h"

// A chooser that answers without asking: a fixed compressor and quality, or a
// cancel. Used by the batch tool and by tests.
class CFixedCompressionChooser : public ICompressionChooser {
public:
    struct Options {
        FOURCC fccHandler = comptypeMJPG;
        DWORD dwQuality = kMjpegDefaultQuality;
        bool bCancel = false;
    };

    CFixedCompressionChooser() = default;
    explicit CFixedCompressionChooser(const Options& options) : m_options(options) {}

    BOOL ChooseCompression(HWND hwndOwner, AVICOMPRESSOPTIONS& options) override;

    // How many times the choice was asked for.
    int m_nCalls = 0;

private:
    Options m_options;
};
