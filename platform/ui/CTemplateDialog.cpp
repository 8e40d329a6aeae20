#include "platform/ui/CTemplateDialog.h"

// Qt
#include <QKeyEvent>
#include <QPushButton>

CTemplateDialog::CTemplateDialog(int nIDTemplate, QWidget* pParent)
    : QDialog(pParent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowCloseButtonHint | Qt::WindowMinimizeButtonHint),
      m_items(nIDTemplate, this)
{
}

void CTemplateDialog::EndDialog(int nResult)
{
    m_nEndResult = nResult;
    if (testAttribute(Qt::WA_ShowModal))
        done(nResult);
    else
        hide();
}

void CTemplateDialog::setVisible(bool bVisible)
{
    QDialog::setVisible(bVisible);
    if (!bVisible)
        return;
    // QDialog makes some push button the default when it is shown.
    for (QPushButton* pButton : findChildren<QPushButton*>())
        pButton->setDefault(false);
    if (focusWidget())
        return;
    for (const DialogItem& item : m_items.Template().items) {
        QWidget* pItem = Item(item.nID);
        if ((item.flags & kTabStop) && pItem && pItem->isEnabled() && !pItem->isHidden()) {
            pItem->setFocus(Qt::TabFocusReason);
            break;
        }
    }
}

void CTemplateDialog::keyPressEvent(QKeyEvent* pEvent)
{
    switch (IsDialogKey(pEvent)) {
    case DialogKey::Escape:
        OnCancel();
        break;
    case DialogKey::Enter:
        OnOK();
        break;
    case DialogKey::None:
        QWidget::keyPressEvent(pEvent);
        return;
    }
    pEvent->accept();
}
