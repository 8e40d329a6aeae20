#pragma once

// Local
#include "platform/avi/ICompressionChooser.h"

// Asks the user with the "Komprese videa" dialog, modal to the owner window.
// The last choice is offered again the next time.
class CDialogCompressionChooser : public ICompressionChooser {
public:
    BOOL ChooseCompression(HWND hwndOwner, AVICOMPRESSOPTIONS& options) override;

private:
    AVICOMPRESSOPTIONS m_last{0, comptypeMJPG, 0, kMjpegDefaultQuality, 0, 0, nullptr, 0, nullptr, 0, 0};
};
