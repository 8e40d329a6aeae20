#pragma once

// The "Komprese videa" dialog: the codecs offered and, for those that take
// one, a quality slider, with OK and "Storno".

#include <vector>

// Qt
#include <QDialog>

// Local
#include "pages/ICompressionChooser.h"

class QComboBox;
class QLabel;
class QSlider;

class CCompressionDialog : public QDialog {
    Q_OBJECT

public:
    explicit CCompressionDialog(std::vector<const VideoCodec*> offered, QWidget* pParent = nullptr);

    // Shows the choice's codec (the first offered when it is not among
    // them) and quality (90 when it has none).
    void SetChoice(const CompressionChoice& choice);
    CompressionChoice GetChoice() const;

    QComboBox* m_pCompressor = nullptr;
    QSlider* m_pQuality = nullptr;
    QLabel* m_pQualityValue = nullptr;

private:
    void OnCompressorChanged(int nIndex);
    void OnQualityChanged(int nValue);

    std::vector<const VideoCodec*> m_offered;
};
