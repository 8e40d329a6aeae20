#pragma once

// Local
#include "pages/ICompressionChooser.h"

// Asks the user with the "Komprese videa" dialog, modal to the owner window.
// The last choice is offered again the next time.
class CDialogCompressionChooser : public ICompressionChooser {
public:
    std::optional<CompressionChoice> Choose(QWidget* pOwner, const std::vector<const VideoCodec*>& offered) override;

private:
    CompressionChoice m_last;
};
