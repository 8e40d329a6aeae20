#pragma once

// Shown while a render runs: the bar and the percentage, and for the
// animation the frame counter. The render reports; the page only shows.

// Qt
#include <QString>

// Local
#include "platform/ui/CTemplatePage.h"

class QLabel;
class QProgressBar;

// The page's values and their defaults.
struct ProgressValues {
    QString m_strPercent = QStringLiteral("0%");
    QString m_strFrame = QStringLiteral("Snímek 0/0");
};

class CProgressPage : public CTemplatePage, public ProgressValues {
public:
    // IDD_ANIM_PROGRESS or IDD_STILL_PROGRESS; only the first counts frames.
    CProgressPage(int nIDTemplate, QWidget* pParent = nullptr);

    QProgressBar* m_ctlProgress;   // 0 to 100

    // nDone of nTotal rows or frames: the bar and the percentage, and where
    // the page counts frames, "nDone/nTotal".
    void ShowProgress(int nDone, int nTotal);
    // Shows a render that has done nothing yet: an empty bar, "0%", "0/0".
    void Reset();

protected:
    void DoDataExchange(CDataExchange& dx) override;

private:
    QLabel* m_pPercent;
    QLabel* m_pFrame;   // null on the still's page
};
