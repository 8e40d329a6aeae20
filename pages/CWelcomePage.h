#pragma once

// The first page: a greeting and the product title painted in large red
// letters with a black shadow.

// Qt
#include <QFont>

// Local
#include "platform/ui/CTemplatePage.h"

class CWelcomePage : public CTemplatePage {
public:
    explicit CWelcomePage(QWidget* pParent = nullptr);

    QFont m_fontTitle;   // 36 points of Arial, or the desktop's stand-in for it

protected:
    void paintEvent(QPaintEvent* pEvent) override;
};
