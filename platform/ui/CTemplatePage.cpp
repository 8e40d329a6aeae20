#include "platform/ui/CTemplatePage.h"

// Qt
#include <QKeyEvent>

CTemplatePage::CTemplatePage(int nIDTemplate, QWidget* pParent) : QWidget(pParent), m_items(nIDTemplate, this) {}

bool CTemplatePage::UpdateData(bool bSaveAndValidate)
{
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(dx);
    return !dx.HasFailed();
}

void CTemplatePage::DoDataExchange(CDataExchange&) {}

void CTemplatePage::keyPressEvent(QKeyEvent* pEvent)
{
    if (IsDialogKey(pEvent) != DialogKey::None)
        pEvent->accept();
    else
        QWidget::keyPressEvent(pEvent);
}
