#pragma once

// A top-level dialog built from a dialog template, with a close box and a
// minimise box and no other. Escape and the close box give it its cancel
// command, Enter with no push button focused its OK command; a focused push
// button takes Enter itself, and no button is the default otherwise. When it
// is first shown, its first enabled tab stop has the focus.

// Qt
#include <QDialog>

// Local
#include "platform/ui/DialogItems.h"

class CTemplateDialog : public QDialog {
public:
    explicit CTemplateDialog(int nIDTemplate, QWidget* pParent = nullptr);

    // Ends the dialog with nResult: a modal run (exec) returns, a dialog
    // merely shown is hidden.
    void EndDialog(int nResult);
    // The value last given to EndDialog, -1 before that.
    int EndResult() const { return m_nEndResult; }

    QWidget* Item(int nID) const { return m_items.Item(nID); }
    const DialogItems& Items() const { return m_items; }

    void setVisible(bool bVisible) override;
    // Escape and the close box.
    void reject() override { OnCancel(); }

protected:
    virtual void OnOK() {}
    virtual void OnCancel() { EndDialog(Rejected); }
    void keyPressEvent(QKeyEvent* pEvent) override;

    DialogItems m_items;

private:
    int m_nEndResult = -1;
};
