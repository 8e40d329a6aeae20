#include "platform/aviui/CCompressionDialog.h"

// Qt
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

CCompressionDialog::CCompressionDialog(QWidget* pParent) : QDialog(pParent)
{
    setWindowTitle(QStringLiteral("Komprese videa"));
    // A fixed little dialog: a close box, no minimize or maximize box.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setModal(true);

    m_pCompressor = new QComboBox(this);
    m_pCompressor->addItem(QStringLiteral("Plné snímky (nekomprimované)"));
    m_pCompressor->addItem(QStringLiteral("Motion JPEG"));

    m_pQuality = new QSlider(Qt::Horizontal, this);
    m_pQuality->setRange(1, 100);
    m_pQuality->setPageStep(10);
    m_pQualityValue = new QLabel(this);
    m_pQualityValue->setMinimumWidth(m_pQualityValue->fontMetrics().horizontalAdvance(QStringLiteral("100")));

    auto* pQualityRow = new QHBoxLayout;
    pQualityRow->addWidget(m_pQuality, 1);
    pQualityRow->addWidget(m_pQualityValue);

    auto* pForm = new QFormLayout;
    pForm->addRow(QStringLiteral("Kompresor:"), m_pCompressor);
    pForm->addRow(QStringLiteral("Kvalita:"), pQualityRow);

    auto* pButtons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    pButtons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    pButtons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Storno"));
    connect(pButtons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(pButtons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* pLayout = new QVBoxLayout(this);
    pLayout->addLayout(pForm);
    pLayout->addWidget(pButtons);

    connect(m_pCompressor, &QComboBox::currentIndexChanged, this, &CCompressionDialog::OnCompressorChanged);
    connect(m_pQuality, &QSlider::valueChanged, this, &CCompressionDialog::OnQualityChanged);

    AVICOMPRESSOPTIONS defaults{};
    defaults.fccHandler = comptypeMJPG;
    defaults.dwQuality = kMjpegDefaultQuality;
    SetChoice(defaults);
}

void CCompressionDialog::SetChoice(const AVICOMPRESSOPTIONS& options)
{
    const bool bJpeg = options.fccHandler == comptypeMJPG;
    const DWORD nQuality = options.dwQuality >= 1 && options.dwQuality <= 100 ? options.dwQuality : kMjpegDefaultQuality;
    m_pQuality->setValue(static_cast<int>(nQuality));
    m_pCompressor->setCurrentIndex(bJpeg ? kMotionJpeg : kFullFrames);
    OnCompressorChanged(m_pCompressor->currentIndex());
    OnQualityChanged(m_pQuality->value());
}

void CCompressionDialog::GetChoice(AVICOMPRESSOPTIONS& options) const
{
    options.fccType = streamtypeVIDEO;
    if (m_pCompressor->currentIndex() == kMotionJpeg) {
        options.fccHandler = comptypeMJPG;
        options.dwQuality = static_cast<DWORD>(m_pQuality->value());
    } else {
        options.fccHandler = comptypeDIB;
        options.dwQuality = 0;
    }
}

void CCompressionDialog::OnCompressorChanged(int nIndex)
{
    // Only Motion JPEG has a quality to set.
    m_pQuality->setEnabled(nIndex == kMotionJpeg);
    m_pQualityValue->setEnabled(nIndex == kMotionJpeg);
}

void CCompressionDialog::OnQualityChanged(int nValue)
{
    m_pQualityValue->setText(QString::number(nValue));
}
