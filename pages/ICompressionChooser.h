#pragma once

// The choice of codec and quality before an animation is written, asked in
// the "Komprese videa" dialog. The wizard holds one; tests put their own in
// its place.

#include <cstdint>
#include <optional>
#include <vector>

// Local
#include "video/VideoCodec.h"

class QWidget;

struct CompressionChoice {
    const VideoCodec* m_pCodec = &DefaultVideoCodec();
    std::int32_t m_nQuality = kDefaultVideoQuality; // 0 for a codec that takes none
};

class ICompressionChooser {
public:
    virtual ~ICompressionChooser() = default;

    // Offers the codecs, in the table's order, modal to pOwner; nothing when
    // the user cancels.
    virtual std::optional<CompressionChoice> Choose(QWidget* pOwner, const std::vector<const VideoCodec*>& offered) = 0;
};
