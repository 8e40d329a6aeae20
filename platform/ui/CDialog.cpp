#include "platform/ui/CDialog.h"

#include <algorithm>
#include <optional>
#include <vector>

// Qt
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDialog>
#include <QFont>
#include <QFontMetrics>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QSlider>

// Local
#include "platform/ui/CDialogBaseUnits.h"
#include "platform/ui/CFont.h"

struct CDialog::Impl {
    struct Item {
        const DialogItem* pItem;
        QPointer<QWidget> widget;
        std::unique_ptr<CWnd> wrapper;
    };
    std::vector<Item> items;
    QFont font;
    std::optional<CDialogBaseUnits> units;
    bool bTopLevel = false;
    bool bInModalLoop = false;
    bool bEnding = false;
    int nEndResult = -1;
};

// The window classes reach the dialog through this one door.
class CDialogWindowHooks {
public:
    // Enter and Escape go to the dialog's own OK and cancel handling and stop
    // there. A push button with the focus takes Enter itself before this.
    static bool HandleKey(CDialog* pDlg, QKeyEvent* pEvent)
    {
        if (pEvent->matches(QKeySequence::Cancel)) {
            pDlg->SendMessage(WM_COMMAND, MAKEWPARAM(WORD(IDCANCEL), BN_CLICKED), 0);
            return true;
        }
        const bool bPlain = pEvent->modifiers() == Qt::NoModifier ||
                            (pEvent->modifiers() == Qt::KeypadModifier && pEvent->key() == Qt::Key_Enter);
        if (bPlain && (pEvent->key() == Qt::Key_Return || pEvent->key() == Qt::Key_Enter)) {
            // A template's default push button answers Enter; without one
            // the dialog gets its OK command.
            for (const CDialog::Impl::Item& item : pDlg->m_pImpl->items) {
                if (item.widget && item.pItem->kind == DialogItemKind::PushButton &&
                    (item.pItem->style & BS_DEFPUSHBUTTON) && item.widget->isVisible()) {
                    if (item.widget->isEnabled())
                        static_cast<QPushButton*>(item.widget.data())->click();
                    return true;
                }
            }
            pDlg->SendMessage(WM_COMMAND, MAKEWPARAM(WORD(IDOK), BN_CLICKED), 0);
            return true;
        }
        return false;
    }

    static void Paint(CDialog* pDlg)
    {
        if (const CMessageMap::PaintHandler* handler = pDlg->GetMessageMap().FindPaint()) {
            CMessageMap::PaintHandler call = *handler;
            call();
        } else {
            pDlg->Default();
        }
    }

    static bool IsEnding(CDialog* pDlg) { return pDlg->m_pImpl->bEnding; }

    // Keeps only the template's default push buttons marked as default.
    static void ResetDefaultButtons(CDialog* pDlg)
    {
        for (const CDialog::Impl::Item& item : pDlg->m_pImpl->items) {
            if (auto* button = qobject_cast<QPushButton*>(item.widget.data()))
                if (button->isDefault() && !(item.pItem->style & BS_DEFPUSHBUTTON))
                    button->setDefault(false);
        }
    }
};

namespace {

// A dialog shown inside another one, as the wizard's pages are.
class CChildDialogWidget : public QWidget {
public:
    CChildDialogWidget(CDialog* pOwner, QWidget* pParent) : QWidget(pParent), m_pOwner(pOwner) {}

protected:
    void keyPressEvent(QKeyEvent* pEvent) override
    {
        if (CDialogWindowHooks::HandleKey(m_pOwner, pEvent))
            pEvent->accept();
        else
            QWidget::keyPressEvent(pEvent);
    }
    void paintEvent(QPaintEvent*) override { CDialogWindowHooks::Paint(m_pOwner); }

private:
    CDialog* m_pOwner;
};

// A top-level dialog window.
class CTopLevelDialogWidget : public QDialog {
public:
    CTopLevelDialogWidget(CDialog* pOwner, QWidget* pParent) : QDialog(pParent), m_pOwner(pOwner) {}

    void setVisible(bool bVisible) override
    {
        QDialog::setVisible(bVisible);
        // QDialog makes some push button the default when it is shown; the
        // window system marks none unless the template asks for it.
        if (bVisible)
            CDialogWindowHooks::ResetDefaultButtons(m_pOwner);
    }

    // Escape and the window's close box are the dialog's cancel command.
    void reject() override { m_pOwner->SendMessage(WM_COMMAND, MAKEWPARAM(WORD(IDCANCEL), BN_CLICKED), 0); }

protected:
    void keyPressEvent(QKeyEvent* pEvent) override
    {
        if (CDialogWindowHooks::HandleKey(m_pOwner, pEvent))
            pEvent->accept();
        else
            QWidget::keyPressEvent(pEvent);
    }
    void paintEvent(QPaintEvent*) override { CDialogWindowHooks::Paint(m_pOwner); }
    void closeEvent(QCloseEvent* pEvent) override
    {
        if (CDialogWindowHooks::IsEnding(m_pOwner) || !isVisible()) {
            pEvent->accept();
            return;
        }
        pEvent->ignore();
        m_pOwner->SendMessage(WM_COMMAND, MAKEWPARAM(WORD(IDCANCEL), BN_CLICKED), 0);
    }

private:
    CDialog* m_pOwner;
};

constexpr const char* kTabStopGroup = "_plavex_tabstop";

// A radio group is one tab stop: its checked button, or its first while
// none is checked. The others take the focus by mouse or by the arrow keys.
void MoveRadioTabStop(QButtonGroup& group)
{
    const QList<QAbstractButton*> buttons = group.buttons();
    QAbstractButton* pStop = group.checkedButton() ? group.checkedButton() : buttons.value(0);
    for (QAbstractButton* pButton : buttons)
        pButton->setFocusPolicy(pButton == pStop ? Qt::StrongFocus : Qt::ClickFocus);
}

QWidget* CreateControl(const DialogItem& item, QWidget* pParent, QButtonGroup*& pRadioGroup)
{
    const QString text = QString::fromUtf8(item.text ? item.text : "");
    QWidget* pWidget = nullptr;
    Qt::FocusPolicy focus = Qt::NoFocus;
    if (item.kind != DialogItemKind::RadioButton)
        pRadioGroup = nullptr;
    switch (item.kind) {
    case DialogItemKind::PushButton: {
        auto* button = new QPushButton(text, pParent);
        button->setAutoDefault(true);
        pWidget = button;
        focus = Qt::StrongFocus;
        break;
    }
    case DialogItemKind::CheckBox:
        pWidget = new QCheckBox(text, pParent);
        focus = Qt::StrongFocus;
        break;
    case DialogItemKind::RadioButton: {
        auto* radio = new QRadioButton(text, pParent);
        // The group decides exclusivity; auto-exclusive buttons let the arrow
        // keys move to a sibling that is no tab stop of its own.
        radio->setAutoExclusive(true);
        if (!pRadioGroup || (item.style & WS_GROUP)) {
            pRadioGroup = new QButtonGroup(pParent);
            pRadioGroup->setExclusive(true);
            // A group whose first button is a tab stop is reached by Tab on
            // its checked button, wherever the check moves.
            if (item.style & WS_TABSTOP) {
                pRadioGroup->setProperty(kTabStopGroup, true);
                QObject::connect(pRadioGroup, &QButtonGroup::buttonToggled, pRadioGroup,
                                 [pRadioGroup] { MoveRadioTabStop(*pRadioGroup); });
            }
        }
        pRadioGroup->addButton(radio);
        pWidget = radio;
        focus = Qt::StrongFocus;
        break;
    }
    case DialogItemKind::GroupBox:
        pWidget = new QGroupBox(text, pParent);
        break;
    case DialogItemKind::Label: {
        auto* label = new QLabel(text, pParent);
        label->setTextFormat(Qt::PlainText);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setWordWrap(true);
        pWidget = label;
        break;
    }
    case DialogItemKind::EtchedLine: {
        auto* line = new QFrame(pParent);
        line->setFrameShape(QFrame::HLine);
        line->setFrameShadow(QFrame::Sunken);
        pWidget = line;
        break;
    }
    case DialogItemKind::Edit: {
        auto* edit = new QLineEdit(text, pParent);
        if (item.style & ES_NUMBER) {
            static const QRegularExpression digits(QStringLiteral("[0-9]*"));
            edit->setValidator(new QRegularExpressionValidator(digits, edit));
        }
        pWidget = edit;
        focus = Qt::StrongFocus;
        break;
    }
    case DialogItemKind::Progress: {
        auto* bar = new QProgressBar(pParent);
        bar->setRange(0, 100);
        bar->setValue(0);
        bar->setTextVisible(false);
        pWidget = bar;
        break;
    }
    case DialogItemKind::Trackbar: {
        auto* slider = new QSlider(Qt::Horizontal, pParent);
        slider->setRange(0, 100);
        // The arrows step by 1, Page Up and Page Down by a fifth of the
        // range, Home and End go to the ends (QSlider's own keys).
        slider->setSingleStep(1);
        slider->setPageStep(20);
        slider->setTickPosition((item.style & TBS_NOTICKS) ? QSlider::NoTicks : QSlider::TicksBelow);
        pWidget = slider;
        focus = Qt::StrongFocus;
        break;
    }
    }
    // Controls without a tab stop can still take the focus by mouse.
    if (focus != Qt::NoFocus && !(item.style & WS_TABSTOP))
        focus = Qt::ClickFocus;
    pWidget->setFocusPolicy(focus);
    if (item.kind == DialogItemKind::RadioButton && pRadioGroup->property(kTabStopGroup).toBool())
        MoveRadioTabStop(*pRadioGroup);
    pWidget->setProperty("_plavex_id", item.nID);
    pWidget->setEnabled(!(item.style & WS_DISABLED));
    pWidget->setHidden(!(item.style & WS_VISIBLE));
    return pWidget;
}

// A template is laid out for one font; in a wider one a one-line text may
// not fit its box. Such a label, check box or radio button grows to the right
// (never past the dialog's edge) rather than cut its text off.
void GrowToFitText(const DialogItem& item, QWidget* pControl, int nDialogWidth)
{
    const QString text = QString::fromUtf8(item.text ? item.text : "");
    if (text.isEmpty())
        return;
    const QFontMetrics metrics(pControl->font());
    int needed = 0;
    if (item.kind == DialogItemKind::Label) {
        if (text.contains(QLatin1Char('\n')) || pControl->height() >= 2 * metrics.height())
            return;
        needed = metrics.horizontalAdvance(text);
    } else if (item.kind == DialogItemKind::CheckBox || item.kind == DialogItemKind::RadioButton) {
        needed = pControl->sizeHint().width();
    } else {
        return;
    }
    if (needed > pControl->width())
        pControl->resize(std::max(pControl->width(), std::min(needed, nDialogWidth - pControl->x())),
                         pControl->height());
}

QFont DialogFont(const DialogTemplate& tmpl)
{
    QFont font(CFont::ResolveFace(tmpl.fontFace ? tmpl.fontFace : "").GetString());
    font.setPointSize(tmpl.pointSize > 0 ? tmpl.pointSize : 8);
    return font;
}

} // namespace

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, &CDialog::OnOK)
    ON_COMMAND(IDCANCEL, &CDialog::OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_nIDTemplate(nIDTemplate), m_pTemplate(nullptr), m_pParentWnd(pParentWnd), m_pImpl(std::make_unique<Impl>())
{
}

CDialog::CDialog(const DialogTemplate& dialogTemplate, CWnd* pParentWnd)
    : m_nIDTemplate(dialogTemplate.nID), m_pTemplate(&dialogTemplate), m_pParentWnd(pParentWnd),
      m_pImpl(std::make_unique<Impl>())
{
}

CDialog::~CDialog()
{
    // The widget goes first, while this object can still answer it.
    DestroyWindow();
}

UINT CDialog::GetTemplateID() const { return m_nIDTemplate; }
int CDialog::GetEndResult() const { return m_pImpl->nEndResult; }

const QFont* CDialog::GetDialogFont() const { return m_pImpl->units ? &m_pImpl->font : nullptr; }

void CDialog::MapDialogRect(RECT* lpRect) const
{
    if (m_pImpl->units)
        m_pImpl->units->MapRect(lpRect);
}

BOOL CDialog::BuildWindow(const DialogTemplate& tmpl, CWnd* pParentWnd, bool bTopLevel)
{
    DestroyWindow();
    m_pImpl->items.clear();
    m_pImpl->bTopLevel = bTopLevel;
    m_pImpl->bEnding = false;
    m_pImpl->nEndResult = -1;

    QWidget* pParent = pParentWnd ? pParentWnd->GetWidget() : nullptr;
    QWidget* pWidget = nullptr;
    if (bTopLevel) {
        auto* dialog = new CTopLevelDialogWidget(this, pParent);
        Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
        if (tmpl.style & WS_SYSMENU)
            flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
        // A top-level window gets a minimize or maximize box only when its
        // template asks for one.
        if ((tmpl.style & WS_SYSMENU) && (tmpl.style & WS_MINIMIZEBOX))
            flags |= Qt::WindowMinimizeButtonHint;
        if ((tmpl.style & WS_SYSMENU) && (tmpl.style & WS_MAXIMIZEBOX))
            flags |= Qt::WindowMaximizeButtonHint;
        dialog->setWindowFlags(flags);
        dialog->setModal(false);
        pWidget = dialog;
    } else {
        pWidget = new CChildDialogWidget(this, pParent);
    }
    AttachWidget(pWidget, true);

    m_pImpl->font = DialogFont(tmpl);
    pWidget->setFont(m_pImpl->font);
    m_pImpl->units = CDialogBaseUnits::FromFont(m_pImpl->font);
    const CDialogBaseUnits& units = *m_pImpl->units;

    if (tmpl.caption)
        pWidget->setWindowTitle(QString::fromUtf8(tmpl.caption));
    if (bTopLevel) {
        pWidget->setFixedSize(units.MapX(tmpl.cx), units.MapY(tmpl.cy));
    } else {
        pWidget->setGeometry(units.MapX(tmpl.x), units.MapY(tmpl.y), units.MapX(tmpl.cx), units.MapY(tmpl.cy));
    }
    pWidget->setEnabled(!(tmpl.style & WS_DISABLED));

    QButtonGroup* pRadioGroup = nullptr;
    for (const DialogItem& item : tmpl.items) {
        QWidget* pControl = CreateControl(item, pWidget, pRadioGroup);
        pControl->setGeometry(units.MapX(item.x), units.MapY(item.y), units.MapX(item.cx), units.MapY(item.cy));
        GrowToFitText(item, pControl, pWidget->width());
        // The wrapper stands for the control until a member control takes over.
        CDialog::Impl::Item entry{&item, pControl, std::make_unique<CWnd>()};
        entry.wrapper->AttachWidget(pControl, false);

        const HWND hControl = reinterpret_cast<HWND>(pControl);
        const int nID = item.nID;
        if (auto* button = qobject_cast<QAbstractButton*>(pControl)) {
            QObject::connect(button, &QAbstractButton::clicked, pWidget, [this, nID, hControl] {
                SendMessage(WM_COMMAND, MAKEWPARAM(WORD(nID), BN_CLICKED), reinterpret_cast<LPARAM>(hControl));
            });
        } else if (auto* edit = qobject_cast<QLineEdit*>(pControl)) {
            // Every change of an edit's text, typed or set, is reported.
            QObject::connect(edit, &QLineEdit::textChanged, pWidget, [this, nID, hControl] {
                SendMessage(WM_COMMAND, MAKEWPARAM(WORD(nID), WORD(EN_CHANGE)), reinterpret_cast<LPARAM>(hControl));
            });
        } else if (auto* slider = qobject_cast<QSlider*>(pControl)) {
            QObject::connect(slider, &QSlider::valueChanged, pWidget, [this, slider, hControl](int nPos) {
                const UINT code = slider->isSliderDown() ? SB_THUMBTRACK : SB_THUMBPOSITION;
                SendMessage(WM_HSCROLL, MAKEWPARAM(WORD(code), WORD(nPos)), reinterpret_cast<LPARAM>(hControl));
            });
            QObject::connect(slider, &QSlider::sliderReleased, pWidget, [this, slider, hControl] {
                SendMessage(WM_HSCROLL, MAKEWPARAM(WORD(SB_ENDSCROLL), WORD(slider->value())),
                            reinterpret_cast<LPARAM>(hControl));
            });
        }
        m_pImpl->items.push_back(std::move(entry));
    }
    return TRUE;
}

CWnd* CDialog::FindDlgItem(int nID) const
{
    for (const Impl::Item& item : m_pImpl->items) {
        if (item.pItem->nID == nID && item.widget) {
            CWnd* pWnd = CWnd::FromWidget(item.widget);
            return pWnd ? pWnd : item.wrapper.get();
        }
    }
    return nullptr;
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd)
{
    const DialogTemplate* pTmpl =
        (m_pTemplate && m_pTemplate->nID == nIDTemplate) ? m_pTemplate : AfxFindDialogTemplate(nIDTemplate);
    if (!pTmpl)
        return FALSE;
    m_nIDTemplate = nIDTemplate;
    m_pParentWnd = pParentWnd;
    if (!BuildWindow(*pTmpl, pParentWnd, pParentWnd == nullptr))
        return FALSE;
    const BOOL bFocus = OnInitDialog();
    if (!GetWidget())
        return FALSE;
    if (pTmpl->style & WS_VISIBLE)
        GetWidget()->show();
    // A child dialog leaves the focus to the window that holds it.
    if (bFocus && pParentWnd == nullptr)
        for (const Impl::Item& item : m_pImpl->items)
            if (item.widget && (item.pItem->style & WS_TABSTOP) && item.widget->isEnabled() &&
                !item.widget->isHidden()) {
                item.widget->setFocus(Qt::TabFocusReason);
                break;
            }
    return TRUE;
}

INT_PTR CDialog::DoModal()
{
    const DialogTemplate* pTmpl = m_pTemplate ? m_pTemplate : AfxFindDialogTemplate(m_nIDTemplate);
    if (!pTmpl || !BuildWindow(*pTmpl, m_pParentWnd, true))
        return -1;
    const BOOL bFocus = OnInitDialog();
    auto* dialog = qobject_cast<QDialog*>(GetWidget());
    if (!dialog)
        return -1;
    if (bFocus)
        for (const Impl::Item& item : m_pImpl->items)
            if (item.widget && (item.pItem->style & WS_TABSTOP) && item.widget->isEnabled() &&
                !item.widget->isHidden()) {
                item.widget->setFocus(Qt::TabFocusReason);
                break;
            }
    if (!m_pImpl->bEnding) {
        m_pImpl->bInModalLoop = true;
        dialog->exec();
        m_pImpl->bInModalLoop = false;
    }
    const int nResult = m_pImpl->nEndResult;
    DestroyWindow();
    return nResult;
}

void CDialog::EndDialog(int nResult)
{
    m_pImpl->nEndResult = nResult;
    m_pImpl->bEnding = true;
    auto* dialog = qobject_cast<QDialog*>(GetWidget());
    if (dialog && m_pImpl->bInModalLoop)
        dialog->done(nResult);
    else if (GetWidget())
        GetWidget()->hide();
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

BOOL CDialog::UpdateData(BOOL bSaveAndValidate)
{
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(&dx);
    return dx.HasFailed() ? FALSE : TRUE;
}

void CDialog::DoDataExchange(CDataExchange*) {}
