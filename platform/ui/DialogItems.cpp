#include "platform/ui/DialogItems.h"

#include <algorithm>

// Qt
#include <QButtonGroup>
#include <QCheckBox>
#include <QFontMetrics>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QSlider>

namespace {

// A radio group is one tab stop: its checked button, or its first while none
// is checked. The others take the focus by mouse or by the arrow keys.
void MoveRadioTabStop(const QButtonGroup& group)
{
    const QList<QAbstractButton*> buttons = group.buttons();
    QAbstractButton* pStop = group.checkedButton() ? group.checkedButton() : buttons.value(0);
    for (QAbstractButton* pButton : buttons)
        pButton->setFocusPolicy(pButton == pStop ? Qt::StrongFocus : Qt::ClickFocus);
}

QWidget* CreateControl(const DialogItem& item, QWidget* pParent, QButtonGroup*& pRadioGroup)
{
    const QString text = QString::fromUtf8(item.text);
    if (item.kind != DialogItemKind::RadioButton)
        pRadioGroup = nullptr;
    QWidget* pWidget = nullptr;
    switch (item.kind) {
    case DialogItemKind::PushButton: {
        auto* pButton = new QPushButton(text, pParent);
        // A focused button takes Enter itself; no button is the default otherwise.
        pButton->setAutoDefault(true);
        pWidget = pButton;
        break;
    }
    case DialogItemKind::CheckBox:
        pWidget = new QCheckBox(text, pParent);
        break;
    case DialogItemKind::RadioButton:
        // The group decides exclusivity; auto-exclusive buttons let the arrow
        // keys move to a sibling that is no tab stop of its own.
        pWidget = new QRadioButton(text, pParent);
        static_cast<QRadioButton*>(pWidget)->setAutoExclusive(true);
        if (!pRadioGroup) {
            pRadioGroup = new QButtonGroup(pParent);
            QObject::connect(pRadioGroup, &QButtonGroup::buttonToggled, pRadioGroup,
                             [pGroup = pRadioGroup] { MoveRadioTabStop(*pGroup); });
        }
        pRadioGroup->addButton(static_cast<QRadioButton*>(pWidget));
        break;
    case DialogItemKind::GroupBox:
        pWidget = new QGroupBox(text, pParent);
        break;
    case DialogItemKind::Label: {
        auto* pLabel = new QLabel(text, pParent);
        pLabel->setTextFormat(Qt::PlainText);
        pLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        pLabel->setWordWrap(true);
        pWidget = pLabel;
        break;
    }
    case DialogItemKind::EtchedLine: {
        auto* pLine = new QFrame(pParent);
        pLine->setFrameShape(QFrame::HLine);
        pLine->setFrameShadow(QFrame::Sunken);
        pWidget = pLine;
        break;
    }
    case DialogItemKind::Edit: {
        auto* pEdit = new QLineEdit(text, pParent);
        static const QRegularExpression digits(QStringLiteral("[0-9]*"));
        if (item.flags & kDigitsOnly)
            pEdit->setValidator(new QRegularExpressionValidator(digits, pEdit));
        pWidget = pEdit;
        break;
    }
    case DialogItemKind::Progress: {
        auto* pBar = new QProgressBar(pParent);
        pBar->setRange(0, 100);
        pBar->setValue(0);
        pBar->setTextVisible(false);
        pWidget = pBar;
        break;
    }
    case DialogItemKind::Slider: {
        // The arrows step by 1, Page Up and Page Down by a fifth of the
        // range, Home and End go to the ends (QSlider's own keys).
        auto* pSlider = new QSlider(Qt::Horizontal, pParent);
        pSlider->setRange(0, 100);
        pSlider->setPageStep(20);
        pWidget = pSlider;
        break;
    }
    }
    // Only controls that act take the focus; without a tab stop, only by mouse.
    const bool bActs = !qobject_cast<QLabel*>(pWidget) && !qobject_cast<QFrame*>(pWidget) &&
                       !qobject_cast<QGroupBox*>(pWidget) && !qobject_cast<QProgressBar*>(pWidget);
    pWidget->setFocusPolicy(!bActs ? Qt::NoFocus : (item.flags & kTabStop) ? Qt::StrongFocus : Qt::ClickFocus);
    if (pRadioGroup)
        MoveRadioTabStop(*pRadioGroup);
    pWidget->setEnabled(!(item.flags & kDisabled));
    pWidget->setVisible(true);
    return pWidget;
}

// A template is laid out for one font; in a wider one a one-line text may
// not fit its box. Such a label, check box or radio button grows to the right
// (never past the dialog's edge) rather than cut its text off.
void GrowToFitText(const DialogItem& item, QWidget* pControl, int nDialogWidth)
{
    const QString text = QString::fromUtf8(item.text ? item.text : "");
    const QFontMetrics metrics(pControl->font());
    int nNeeded = 0;
    if (item.kind == DialogItemKind::Label) {
        if (text.contains(QLatin1Char('\n')) || pControl->height() >= 2 * metrics.height())
            return;
        nNeeded = metrics.horizontalAdvance(text);
    } else if (item.kind == DialogItemKind::CheckBox || item.kind == DialogItemKind::RadioButton) {
        nNeeded = pControl->sizeHint().width();
    }
    if (!text.isEmpty() && nNeeded > pControl->width())
        pControl->resize(std::max(pControl->width(), std::min(nNeeded, nDialogWidth - pControl->x())),
                         pControl->height());
}

} // namespace

DialogKey IsDialogKey(const QKeyEvent* pEvent)
{
    if (pEvent->matches(QKeySequence::Cancel))
        return DialogKey::Escape;
    const bool bPlain = pEvent->modifiers() == Qt::NoModifier ||
                        (pEvent->modifiers() == Qt::KeypadModifier && pEvent->key() == Qt::Key_Enter);
    return bPlain && (pEvent->key() == Qt::Key_Return || pEvent->key() == Qt::Key_Enter) ? DialogKey::Enter
                                                                                          : DialogKey::None;
}

DialogItems::DialogItems(int nIDTemplate, QWidget* pHost) : m_template(*FindDialogTemplate(nIDTemplate)), m_pHost(pHost)
{
    pHost->setFont(DialogUnits::ResolveFont(m_template.fontFace, m_template.pointSize));
    const DialogUnits units = Units();
    if (m_template.caption)
        pHost->setWindowTitle(QString::fromUtf8(m_template.caption));
    if (pHost->isWindow())
        pHost->setFixedSize(units.MapX(m_template.cx), units.MapY(m_template.cy));
    else
        pHost->setGeometry(units.Map(m_template.x, m_template.y, m_template.cx, m_template.cy));

    QButtonGroup* pRadioGroup = nullptr;
    for (const DialogItem& item : m_template.items) {
        QWidget* pControl = CreateControl(item, pHost, pRadioGroup);
        pControl->setGeometry(units.Map(item.x, item.y, item.cx, item.cy));
        GrowToFitText(item, pControl, pHost->width());
        m_items.emplace_back(item.nID, pControl);
    }
}

QWidget* DialogItems::Item(int nID) const
{
    const auto it = std::find_if(m_items.begin(), m_items.end(), [nID](const auto& item) { return item.first == nID; });
    return it == m_items.end() ? nullptr : it->second;
}
