#pragma once

// A window: a thin handle over one QWidget. The HWND of a window is the
// address of its widget, so code that links no widgets can pass windows
// around without knowing what they are. Controls built from a dialog template
// get a wrapper owned by their dialog; a member control object takes over
// that role once the data exchange attaches it (DDX_Control).

// Qt
#include <QPointer>

// Local
#include "platform/ui/CCmdTarget.h"
#include "platform/ui/CString.h"

class QWidget;

class CWnd : public CCmdTarget {
public:
    CWnd();
    ~CWnd() override;

    HWND GetSafeHwnd() const;
    QWidget* GetWidget() const;
    // The object that stands for a window, or null when there is none.
    static CWnd* FromHandle(HWND hWnd);
    static CWnd* FromWidget(const QWidget* pWidget);

    // Binds this object to the control nID of pParent (which must be a
    // window built from a template). FALSE when there is no such control.
    BOOL SubclassDlgItem(UINT nID, CWnd* pParent);
    // Lets go of the widget without destroying it.
    HWND Detach();
    // Destroys the widget when this object owns it, and lets go of it.
    void DestroyWindow();

    // The control with identifier nID among this window's template controls.
    CWnd* GetDlgItem(int nID) const;
    int GetDlgCtrlID() const;

    // Returns whether the window was disabled before, as the window system does.
    BOOL EnableWindow(BOOL bEnable = TRUE);
    BOOL IsWindowEnabled() const;
    // Returns whether the window was visible before.
    BOOL ShowWindow(int nCmdShow);
    BOOL IsWindowVisible() const;

    void SetWindowText(const char* lpszString);
    CString GetWindowText() const;
    void GetWindowText(CString& rString) const;
    void SetDlgItemText(int nID, const char* lpszString);
    int GetDlgItemText(int nID, CString& rString) const;

    // Gives this window the keyboard focus; returns the window that had it.
    CWnd* SetFocus();
    static CWnd* GetFocus();

    void Invalidate(BOOL bErase = TRUE);
    void UpdateWindow();
    HICON SetIcon(HICON hIcon, BOOL bBigIcon);
    void GetClientRect(RECT* lpRect) const;

    // Delivers a message to the window at once: commands and scroll
    // notifications to the message map, control messages (PBM_*, TBM_*, BM_*)
    // to the control, WM_SETICON and WM_CLOSE to a top-level window.
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

    // A message box owned by this window. A null caption is replaced by the
    // application's name. Returns IDOK, IDCANCEL, IDYES or IDNO.
    int MessageBox(const char* lpszText, const char* lpszCaption = nullptr, UINT nType = MB_OK);

    // The processing a window gets when its class adds nothing.
    LRESULT Default();

    // WM_COMMAND: the message map first, then the application object.
    virtual BOOL OnCommand(UINT nID, int nCode);
    // Base handlers of the mapped window messages; they do nothing.
    void OnHScroll(UINT nSBCode, UINT nPos, CWnd* pScrollBar);
    void OnPaint();

protected:
    // Binds the object to a widget. With bOwn the widget is destroyed with the object.
    void AttachWidget(QWidget* pWidget, bool bOwn);
    // The control wrapper of a template control, for the window that built it.
    virtual CWnd* FindDlgItem(int nID) const;

private:
    friend class CDialog;

    QPointer<QWidget> m_pWidget;
    bool m_bOwnsWidget = false;
    CWnd* m_pReplaced = nullptr;   // the wrapper this object stands in for, while subclassed
    HICON m_hIcons[2] = {nullptr, nullptr};
};

// Messages for a window given by handle; null handles are ignored.
LRESULT SendMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
