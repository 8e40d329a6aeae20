#include "pages/CAnimSettingsPage.h"

// Qt
#include <QLineEdit>
#include <QRadioButton>

// Local
#include "res/resource.h"

CAnimSettingsPage::CAnimSettingsPage(QWidget* pParent)
    : CSettingsPage(IDD_ANIM_SETTINGS,
                    // A name ending in ".mp4" is written as MP4, any other as AVI.
                    {{QStringLiteral("Avi soubory (*.avi)"), {"*.avi"}}, {QStringLiteral("Video MP4 (*.mp4)"), {"*.mp4"}}},
                    QStringLiteral("avi"), QStringLiteral("animation"), pParent),
      m_pFps(m_items.Item<QLineEdit>(IDC_FPS)), m_pFrameCount(m_items.Item<QLineEdit>(IDC_FRAME_COUNT))
{
    for (QLineEdit* pEdit : {m_pFrameCount, m_pFps})
        connect(pEdit, &QLineEdit::textChanged, this, &CAnimSettingsPage::OnValuesChanged);
    UpdateData(false);
}

void CAnimSettingsPage::DoDataExchange(CDataExchange& dx)
{
    // The sides are checked also while the automatic size leaves them unused.
    dx.Radio(m_pAutoSize, m_nSizeMode);
    dx.Number(m_pHeight, m_nHeight, 1, kLargest);
    dx.Number(m_pWidth, m_nWidth, 1, kLargest);
    dx.Number(m_pFps, m_nFps, 1, kLargest);
    dx.Number(m_pFrameCount, m_nFrameCount, 1, kLargest);
    dx.Text(m_pOutputPath, m_strOutputPath);
    dx.Check(m_pKeepAspect, m_nKeepAspect);
}

PreviewValues CAnimSettingsPage::GetPreviewValues() const
{
    PreviewValues values = CSettingsPage::GetPreviewValues();
    values.m_bAnimation = true;
    // A side the page would refuse gives no size here either.
    for (std::optional<std::int32_t>* pSide : {&values.m_nWidth, &values.m_nHeight})
        if (*pSide && (**pSide < 1 || **pSide > kLargest))
            pSide->reset();
    values.m_nFrameCount = PreviewValues::ParseNumber(m_pFrameCount->text());
    values.m_nFps = PreviewValues::ParseNumber(m_pFps->text());
    return values;
}
