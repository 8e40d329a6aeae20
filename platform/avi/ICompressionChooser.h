#pragma once

// The choice of compressor that AVISaveOptions asks for. Whoever owns the
// user interface installs one process-wide: the wizard a dialog, the batch
// tool a fixed choice from its flags, tests a fake. With none installed,
// AVISaveOptions takes the dialog's defaults: Motion JPEG at quality 90.

// Local
#include "platform/avi/AviTypes.h"

class ICompressionChooser {
public:
    virtual ~ICompressionChooser() = default;

    // Fills the choice into options (fccType, fccHandler, dwQuality) for a
    // dialog modal to hwndOwner. Returns FALSE when the user cancels.
    virtual BOOL ChooseCompression(HWND hwndOwner, AVICOMPRESSOPTIONS& options) = 0;
};

// Installs chooser (nullptr for none) and returns the one it replaces.
ICompressionChooser* InstallCompressionChooser(ICompressionChooser* chooser);
ICompressionChooser* InstalledCompressionChooser();
