#pragma once

// The still picture's output file, size and mixing ratio. The slider is the
// share of the second picture in percent; its label reads "first:second".

// Local
#include "pages/CSettingsPage.h"

class QLabel;
class QSlider;

class CStillSettingsPage : public CSettingsPage {
public:
    explicit CStillSettingsPage(QWidget* pParent = nullptr);

    QSlider* m_ctlRatio;        // position = share of the second picture in percent
    QString m_strRatio = QStringLiteral("50:50");   // the label's text, for display only

    PreviewValues GetPreviewValues() const override;

    void OnRatioChanged(int nPos);

protected:
    void DoDataExchange(CDataExchange& dx) override;

private:
    QLabel* m_pRatioLabel;
};
