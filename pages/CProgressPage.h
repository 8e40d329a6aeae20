#pragma once

// Shown while a render runs: the bar and the percentage, and for the
// animation the frame counter. The render reports; the page only shows.

// Qt
#include <QElapsedTimer>
#include <QString>
#include <QTimer>

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
    // the page counts frames, "nDone/nTotal". Every report sets the values.
    void ShowProgress(int nDone, int nTotal);
    // Shows a render that has done nothing yet: an empty bar, "0%", "0/0".
    void Reset();

    // From true to false, the length of a render. Meanwhile the window is
    // painted at most once per display refresh, however often the render
    // reports, and what changed is painted within one refresh; at the end
    // it is painted at once.
    void HoldPainting(bool bHold);

protected:
    void DoDataExchange(CDataExchange& dx) override;
    // Lets the window's requests to paint through at the display's pace.
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;

private:
    // Paints what changed since the last paint now.
    void Paint();

    QLabel* m_pPercent;
    QLabel* m_pFrame;   // null on the still's page
    QWidget* m_pHeldWindow = nullptr;
    QElapsedTimer m_sincePaint;
    QTimer m_paintDue;  // a request held back
};
