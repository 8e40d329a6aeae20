#pragma once

// The "Komprese videa" dialog: the compressor list and, for Motion JPEG and
// H.264, a quality slider, with OK and "Storno".

// Qt
#include <QDialog>

// Local
#include "platform/avi/AviTypes.h"

class QComboBox;
class QLabel;
class QSlider;

class CCompressionDialog : public QDialog {
    Q_OBJECT

public:
    // Rows of the compressor list, in the order they are offered.
    enum Compressor { kFullFrames = 0, kMotionJpeg = 1, kH264 = 2, kFfv1 = 3 };

    explicit CCompressionDialog(QWidget* pParent = nullptr);

    // Shows options' compressor and quality (defaults: Motion JPEG, 90).
    void SetChoice(const AVICOMPRESSOPTIONS& options);
    // Writes the shown choice into options' fccType, fccHandler and dwQuality.
    void GetChoice(AVICOMPRESSOPTIONS& options) const;

    QComboBox* m_pCompressor = nullptr;
    QSlider* m_pQuality = nullptr;
    QLabel* m_pQualityValue = nullptr;

private:
    void OnCompressorChanged(int nIndex);
    void OnQualityChanged(int nValue);
};
