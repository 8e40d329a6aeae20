#include "pages/CSettingsPage.h"

#include <utility>

// Qt
#include <QAbstractButton>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

// Local
#include "res/resource.h"

CSettingsPage::CSettingsPage(int nIDTemplate, std::vector<FileFilter> outputFilters, QString strSuffix,
                             QString strFolderKey, QWidget* pParent)
    : CTemplatePage(nIDTemplate, pParent), m_pOutputPath(m_items.Item<QLineEdit>(IDC_PATH)),
      m_pAutoSize(m_items.Item<QRadioButton>(IDC_RADIO_FIRST)),
      m_pCustomSize(m_items.Item<QRadioButton>(IDC_RADIO_SECOND)), m_pWidth(m_items.Item<QLineEdit>(IDC_WIDTH)),
      m_pHeight(m_items.Item<QLineEdit>(IDC_HEIGHT)), m_pKeepAspect(m_items.Item<QAbstractButton>(IDC_KEEP_ASPECT)),
      m_outputFilters(std::move(outputFilters)), m_strSuffix(std::move(strSuffix)),
      m_strFolderKey(std::move(strFolderKey))
{
    connect(m_items.Item<QPushButton>(IDC_BROWSE), &QPushButton::clicked, this, &CSettingsPage::OnBrowse);
    connect(m_items.Item<QPushButton>(IDC_PREVIEW), &QPushButton::clicked, this, &CSettingsPage::OnPreview);
    connect(m_pAutoSize, &QRadioButton::clicked, this, &CSettingsPage::OnSizeAuto);
    connect(m_pCustomSize, &QRadioButton::clicked, this, &CSettingsPage::OnSizeCustom);
    for (QLineEdit* pEdit : {m_pWidth, m_pHeight})
        connect(pEdit, &QLineEdit::textChanged, this, &CSettingsPage::OnValuesChanged);
    connect(m_pKeepAspect, &QAbstractButton::toggled, this, &CSettingsPage::OnValuesChanged);
    // The size edits start disabled whatever the size mode holds.
    EnableSize(false);
}

void CSettingsPage::Reset()
{
    static_cast<SettingsValues&>(*this) = {};
    ResetPageValues();
    UpdateData(false);
}

void CSettingsPage::OnBrowse()
{
    // The chooser opens on "plavex", not on the current path; replacing an
    // existing file is the user's decision, asked by the chooser.
    const QString strPath = ChooseFile({.bOpen = false, .strDefaultSuffix = m_strSuffix,
                                        .strInitialName = QStringLiteral("plavex"), .bConfirmOverwrite = true,
                                        .filters = m_outputFilters, .pOwner = window(),
                                        .strFolderKey = m_strFolderKey});
    if (strPath.isEmpty())
        return;
    m_pOutputPath->setText(strPath);
    m_pOutputPath->setCursorPosition(0);
}

void CSettingsPage::EnableSize(bool bEnable)
{
    m_pWidth->setEnabled(bEnable);
    m_pHeight->setEnabled(bEnable);
}

void CSettingsPage::SetAutomaticSize(std::optional<QSize> size)
{
    m_automaticSize = size;
    ShowAutomaticSize();
}

void CSettingsPage::ShowAutomaticSize()
{
    if (!m_automaticSize || !m_pAutoSize->isChecked())
        return;
    m_pWidth->setText(QString::number(m_automaticSize->width()));
    m_pHeight->setText(QString::number(m_automaticSize->height()));
}

void CSettingsPage::OnSizeAuto()
{
    EnableSize(false);
    ShowAutomaticSize();
    OnValuesChanged();
}

void CSettingsPage::OnSizeCustom()
{
    EnableSize(true);
    OnValuesChanged();
}

void CSettingsPage::OnPreview() { emit previewRequested(GetPreviewValues()); }

void CSettingsPage::OnValuesChanged() { emit previewValuesChanged(GetPreviewValues()); }

PreviewValues CSettingsPage::GetPreviewValues() const
{
    PreviewValues values;
    values.m_bCustomSize = m_pCustomSize->isChecked();
    values.m_nWidth = PreviewValues::ParseNumber(m_pWidth->text());
    values.m_nHeight = PreviewValues::ParseNumber(m_pHeight->text());
    values.m_nFit = m_pKeepAspect->isChecked() ? PictureFit::Contain : PictureFit::Stretch;
    return values;
}
