#include "platform/ui/CWnd.h"

// Qt
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QSlider>
#include <QVariant>
#include <QWidget>

// Local
#include "platform/ui/CWinApp.h"
#include "platform/ui/IMessageBoxService.h"

namespace {

// The widget property that leads from a widget back to the object standing for it.
constexpr const char* kWndProperty = "_plavex_cwnd";

QWidget* WidgetFromHandle(HWND hWnd) { return reinterpret_cast<QWidget*>(hWnd); }
HWND HandleFromWidget(QWidget* pWidget) { return reinterpret_cast<HWND>(pWidget); }

void SetWndProperty(QWidget* pWidget, CWnd* pWnd)
{
    pWidget->setProperty(kWndProperty, QVariant::fromValue(reinterpret_cast<quintptr>(pWnd)));
}

LRESULT ControlMessage(QWidget* pWidget, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (auto* bar = qobject_cast<QProgressBar*>(pWidget)) {
        switch (message) {
        case PBM_SETPOS: {
            const int prev = bar->value() < bar->minimum() ? bar->minimum() : bar->value();
            bar->setValue(static_cast<int>(wParam));
            return prev;
        }
        case PBM_GETPOS:
            return bar->value() < bar->minimum() ? bar->minimum() : bar->value();
        case PBM_SETRANGE:
            bar->setRange(LOWORD(static_cast<std::uintptr_t>(lParam)), HIWORD(static_cast<std::uintptr_t>(lParam)));
            return 0;
        default:
            return 0;
        }
    }
    if (auto* slider = qobject_cast<QSlider*>(pWidget)) {
        switch (message) {
        case TBM_GETPOS:
            return slider->value();
        case TBM_SETPOS:
            slider->setValue(static_cast<int>(lParam));
            return 0;
        case TBM_SETRANGE:
            slider->setRange(LOWORD(static_cast<std::uintptr_t>(lParam)), HIWORD(static_cast<std::uintptr_t>(lParam)));
            return 0;
        default:
            return 0;
        }
    }
    if (auto* button = qobject_cast<QAbstractButton*>(pWidget)) {
        switch (message) {
        case BM_GETCHECK:
            if (auto* check = qobject_cast<QCheckBox*>(button); check && check->checkState() == Qt::PartiallyChecked)
                return 2;
            return button->isChecked() ? BST_CHECKED : BST_UNCHECKED;
        case BM_SETCHECK:
            if (auto* check = qobject_cast<QCheckBox*>(button); check && wParam == 2)
                check->setCheckState(Qt::PartiallyChecked);
            else
                button->setChecked(wParam == BST_CHECKED);
            return 0;
        case BM_CLICK:
            button->click();
            return 0;
        default:
            return 0;
        }
    }
    return 0;
}

} // namespace

CWnd::CWnd() = default;

CWnd::~CWnd()
{
    if (m_pWidget && FromWidget(m_pWidget) == this)
        SetWndProperty(m_pWidget, m_pReplaced);
    if (m_bOwnsWidget && m_pWidget)
        delete m_pWidget.data();
}

HWND CWnd::GetSafeHwnd() const { return HandleFromWidget(m_pWidget.data()); }
QWidget* CWnd::GetWidget() const { return m_pWidget.data(); }

CWnd* CWnd::FromHandle(HWND hWnd) { return FromWidget(WidgetFromHandle(hWnd)); }

CWnd* CWnd::FromWidget(const QWidget* pWidget)
{
    if (!pWidget)
        return nullptr;
    return reinterpret_cast<CWnd*>(pWidget->property(kWndProperty).value<quintptr>());
}

void CWnd::AttachWidget(QWidget* pWidget, bool bOwn)
{
    m_pWidget = pWidget;
    m_bOwnsWidget = bOwn;
    if (pWidget)
        SetWndProperty(pWidget, this);
}

void CWnd::DestroyWindow()
{
    if (m_pWidget && FromWidget(m_pWidget) == this)
        SetWndProperty(m_pWidget, m_pReplaced);
    if (m_bOwnsWidget && m_pWidget)
        delete m_pWidget.data();
    m_pWidget = nullptr;
    m_bOwnsWidget = false;
    m_pReplaced = nullptr;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent)
{
    if (!pParent || m_pWidget)
        return FALSE;
    CWnd* pItem = pParent->GetDlgItem(static_cast<int>(nID));
    if (!pItem || !pItem->GetWidget())
        return FALSE;
    m_pReplaced = pItem;
    AttachWidget(pItem->GetWidget(), false);
    return TRUE;
}

HWND CWnd::Detach()
{
    HWND hWnd = GetSafeHwnd();
    if (m_pWidget && FromWidget(m_pWidget) == this)
        SetWndProperty(m_pWidget, m_pReplaced);
    m_pWidget = nullptr;
    m_bOwnsWidget = false;
    m_pReplaced = nullptr;
    return hWnd;
}

CWnd* CWnd::GetDlgItem(int nID) const { return FindDlgItem(nID); }
CWnd* CWnd::FindDlgItem(int) const { return nullptr; }

int CWnd::GetDlgCtrlID() const
{
    if (!m_pWidget)
        return 0;
    const QVariant id = m_pWidget->property("_plavex_id");
    return id.isValid() ? id.toInt() : 0;
}

BOOL CWnd::EnableWindow(BOOL bEnable)
{
    if (!m_pWidget)
        return FALSE;
    const BOOL bWasDisabled = m_pWidget->testAttribute(Qt::WA_Disabled) ? TRUE : FALSE;
    m_pWidget->setEnabled(bEnable != FALSE);
    return bWasDisabled;
}

BOOL CWnd::IsWindowEnabled() const
{
    return m_pWidget && !m_pWidget->testAttribute(Qt::WA_Disabled) ? TRUE : FALSE;
}

BOOL CWnd::ShowWindow(int nCmdShow)
{
    if (!m_pWidget)
        return FALSE;
    const BOOL bWasVisible = m_pWidget->isHidden() ? FALSE : TRUE;
    m_pWidget->setVisible(nCmdShow != SW_HIDE);
    return bWasVisible;
}

BOOL CWnd::IsWindowVisible() const { return m_pWidget && m_pWidget->isVisible() ? TRUE : FALSE; }

void CWnd::SetWindowText(const char* lpszString)
{
    if (!m_pWidget)
        return;
    const QString text = QString::fromUtf8(lpszString ? lpszString : "");
    if (auto* edit = qobject_cast<QLineEdit*>(m_pWidget)) {
        // A text too long for the box shows its start, as after any new text
        // in an edit of the original platform; QLineEdit would show its end.
        edit->setText(text);
        edit->setCursorPosition(0);
    } else if (auto* label = qobject_cast<QLabel*>(m_pWidget))
        label->setText(text);
    else if (auto* button = qobject_cast<QAbstractButton*>(m_pWidget))
        button->setText(text);
    else if (auto* group = qobject_cast<QGroupBox*>(m_pWidget))
        group->setTitle(text);
    else
        m_pWidget->setWindowTitle(text);
}

CString CWnd::GetWindowText() const
{
    if (!m_pWidget)
        return {};
    QString text;
    if (auto* edit = qobject_cast<QLineEdit*>(m_pWidget))
        text = edit->text();
    else if (auto* label = qobject_cast<QLabel*>(m_pWidget))
        text = label->text();
    else if (auto* button = qobject_cast<QAbstractButton*>(m_pWidget))
        text = button->text();
    else if (auto* group = qobject_cast<QGroupBox*>(m_pWidget))
        text = group->title();
    else
        text = m_pWidget->windowTitle();
    return CString(text.toUtf8().toStdString());
}

void CWnd::GetWindowText(CString& rString) const { rString = GetWindowText(); }

void CWnd::SetDlgItemText(int nID, const char* lpszString)
{
    if (CWnd* pItem = GetDlgItem(nID))
        pItem->SetWindowText(lpszString);
}

int CWnd::GetDlgItemText(int nID, CString& rString) const
{
    CWnd* pItem = GetDlgItem(nID);
    rString = pItem ? pItem->GetWindowText() : CString();
    return rString.GetLength();
}

CWnd* CWnd::SetFocus()
{
    CWnd* pPrev = GetFocus();
    if (m_pWidget)
        m_pWidget->setFocus(Qt::OtherFocusReason);
    return pPrev;
}

CWnd* CWnd::GetFocus() { return FromWidget(QApplication::focusWidget()); }

void CWnd::Invalidate(BOOL)
{
    if (m_pWidget)
        m_pWidget->update();
}

void CWnd::UpdateWindow()
{
    if (m_pWidget && m_pWidget->isVisible())
        m_pWidget->repaint();
}

HICON CWnd::SetIcon(HICON hIcon, BOOL bBigIcon)
{
    return reinterpret_cast<HICON>(SendMessage(WM_SETICON, bBigIcon ? ICON_BIG : ICON_SMALL,
                                               reinterpret_cast<LPARAM>(hIcon)));
}

void CWnd::GetClientRect(RECT* lpRect) const
{
    if (!lpRect)
        return;
    *lpRect = RECT{0, 0, m_pWidget ? m_pWidget->width() : 0, m_pWidget ? m_pWidget->height() : 0};
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_HSCROLL:
        if (const CMessageMap::ScrollHandler* handler = GetMessageMap().FindHScroll()) {
            CMessageMap::ScrollHandler call = *handler;
            call(LOWORD(wParam), HIWORD(wParam), FromHandle(reinterpret_cast<HWND>(lParam)));
        }
        return 0;
    case WM_QUERYDRAGICON:
        if (const CMessageMap::IconHandler* handler = GetMessageMap().FindQueryDragIcon())
            return reinterpret_cast<LRESULT>((*handler)());
        return 0;
    case WM_SETICON: {
        // Both sizes come from the same scalable icon, so the window keeps one.
        HICON hPrev = m_hIcons[wParam == ICON_BIG ? 1 : 0];
        m_hIcons[wParam == ICON_BIG ? 1 : 0] = reinterpret_cast<HICON>(lParam);
        if (m_pWidget && lParam)
            m_pWidget->window()->setWindowIcon(*reinterpret_cast<const QIcon*>(lParam));
        return reinterpret_cast<LRESULT>(hPrev);
    }
    case WM_CLOSE:
        if (m_pWidget)
            m_pWidget->close();
        return 0;
    default:
        return m_pWidget ? ControlMessage(m_pWidget, message, wParam, lParam) : 0;
    }
}

int CWnd::MessageBox(const char* lpszText, const char* lpszCaption, UINT nType)
{
    const CString caption = lpszCaption ? CString(lpszCaption) : AfxGetAppName();
    return AfxGetMessageBoxService().Show(GetSafeHwnd(), CString(lpszText), caption, nType);
}

LRESULT CWnd::Default() { return 0; }

BOOL CWnd::OnCommand(UINT nID, int nCode)
{
    if (OnCmdMsg(nID, nCode))
        return TRUE;
    CWinApp* pApp = AfxGetApp();
    return pApp && static_cast<CCmdTarget*>(pApp) != this ? pApp->OnCmdMsg(nID, nCode) : FALSE;
}

void CWnd::OnHScroll(UINT, UINT, CWnd*) { Default(); }
void CWnd::OnPaint() { Default(); }

LRESULT SendMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    QWidget* pWidget = WidgetFromHandle(hWnd);
    if (!pWidget)
        return 0;
    if (CWnd* pWnd = CWnd::FromWidget(pWidget))
        return pWnd->SendMessage(message, wParam, lParam);
    return ControlMessage(pWidget, message, wParam, lParam);
}
