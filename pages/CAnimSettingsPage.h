#pragma once

// The animation's output file, frame count, frame rate and frame size.

// Local
#include "pages/CSettingsPage.h"

class QLineEdit;

// The animation page's own values, and their defaults.
struct AnimValues {
    int m_nFps = 25;
    int m_nFrameCount = 100;
};

class CAnimSettingsPage : public CSettingsPage, public AnimValues {
public:
    // The range every number of the page must lie in.
    static constexpr int kLargest = 1000000;

    explicit CAnimSettingsPage(QWidget* pParent = nullptr);

    PreviewValues GetPreviewValues() const override;

protected:
    void DoDataExchange(CDataExchange& dx) override;
    void ResetPageValues() override { static_cast<AnimValues&>(*this) = {}; }

private:
    QLineEdit* m_pFps;
    QLineEdit* m_pFrameCount;
};
