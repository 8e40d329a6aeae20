#include "pages/CStillSettingsPage.h"

// Qt
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSlider>

// Local
#include "res/resource.h"

CStillSettingsPage::CStillSettingsPage(QWidget* pParent)
    : CSettingsPage(IDD_STILL_SETTINGS,
                    // The file is written in the format its extension names;
                    // any other name is a BMP.
                    {{QStringLiteral("Obrázky BMP (*.bmp)"), {"*.bmp"}},
                     {QStringLiteral("Obrázky PNG (*.png)"), {"*.png"}},
                     {QStringLiteral("Obrázky JPEG (*.jpg *.jpeg)"), {"*.jpg", "*.jpeg"}},
                     {QStringLiteral("Obrázky WebP (*.webp)"), {"*.webp"}},
                     {QStringLiteral("Obrázky TIFF (*.tif *.tiff)"), {"*.tif", "*.tiff"}}},
                    QStringLiteral("bmp"), QStringLiteral("still"), pParent),
      m_ctlRatio(m_items.Item<QSlider>(IDC_RATIO_SLIDER)), m_pRatioLabel(m_items.Item<QLabel>(IDC_RATIO_LABEL))
{
    UpdateData(false);
    // The slider starts in the middle once; a restart leaves it where the user put it.
    m_ctlRatio->setValue(50);
    connect(m_ctlRatio, &QSlider::valueChanged, this, &CStillSettingsPage::OnRatioChanged);
}

void CStillSettingsPage::DoDataExchange(CDataExchange& dx)
{
    dx.Text(m_pOutputPath, m_strOutputPath);
    dx.Text(m_pRatioLabel, m_strRatio);
    dx.Radio(m_pAutoSize, m_nSizeMode);
    dx.Number(m_pWidth, m_nWidth);
    dx.Number(m_pHeight, m_nHeight);
    dx.Check(m_pKeepAspect, m_nKeepAspect);
}

void CStillSettingsPage::OnRatioChanged(int nPos)
{
    // Position 30 shows 70:30: the first number belongs to the first picture.
    m_pRatioLabel->setText(QStringLiteral("%1:%2").arg(100 - nPos).arg(nPos));
    OnValuesChanged();
}

PreviewValues CStillSettingsPage::GetPreviewValues() const
{
    PreviewValues values = CSettingsPage::GetPreviewValues();
    values.m_nRatio = m_ctlRatio->value();
    return values;
}
