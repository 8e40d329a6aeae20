#pragma once

// A dialog built from a template: either a modal top-level window (DoModal)
// or a child window inside another dialog (Create with a parent), as the
// wizard's pages are. Enter and Escape pressed inside a dialog go to its own
// OnOK and OnCancel and stop there; the close box of a top-level dialog goes
// to OnCancel too. The base OnOK and OnCancel end a modal dialog with IDOK
// and IDCANCEL.

#include <memory>

#include "platform/ui/CDataExchange.h"
#include "platform/ui/CWnd.h"
#include "platform/ui/DialogTemplate.h"

class QFont;

class CDialog : public CWnd {
public:
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    // A dialog from a template that is not among the program's resources.
    explicit CDialog(const DialogTemplate& dialogTemplate, CWnd* pParentWnd = nullptr);
    ~CDialog() override;

    // Builds the window from the template and runs it until EndDialog.
    // Returns the value given to EndDialog, or -1 when the window cannot be built.
    virtual INT_PTR DoModal();
    // Builds the window without running it: a child window of pParentWnd
    // (placed at the template's position in its client area), or a top-level
    // window when pParentWnd is null. Returns FALSE when there is no such template.
    BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    // Ends a modal run with nResult; a window not run modally is hidden.
    void EndDialog(int nResult);
    // The value last given to EndDialog, -1 before that.
    int GetEndResult() const;

    // Runs at creation, before the window is shown. The base exchanges the
    // members into the controls. TRUE lets the framework put the focus on the
    // first control with a tab stop.
    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();

    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

    UINT GetTemplateID() const;
    // Converts a rectangle from dialog units to pixels with this dialog's font.
    void MapDialogRect(RECT* lpRect) const;
    // The dialog's font, once the window exists.
    const QFont* GetDialogFont() const;

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    CWnd* FindDlgItem(int nID) const override;

    DECLARE_MESSAGE_MAP()

private:
    struct Impl;
    BOOL BuildWindow(const DialogTemplate& tmpl, CWnd* pParentWnd, bool bModal);

    UINT m_nIDTemplate;
    const DialogTemplate* m_pTemplate;
    CWnd* m_pParentWnd;
    std::unique_ptr<Impl> m_pImpl;

    friend class CDialogWindowHooks;
};
