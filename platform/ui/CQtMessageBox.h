#pragma once

// Message boxes as QMessageBox, with the buttons "OK", or "Ano" (the
// default) and "Ne", where pressing A or N answers.

#include "platform/ui/IMessageBox.h"

class CQtMessageBox : public IMessageBox {
public:
    QMessageBox::StandardButton Show(QWidget* pOwner, const QString& strText, const QString& strCaption,
                                     QMessageBox::Icon icon, QMessageBox::StandardButtons buttons) override;
};
