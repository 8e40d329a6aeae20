#include "pages/CCompressionDialog.h"

#include <algorithm>
#include <utility>

// Qt
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

CCompressionDialog::CCompressionDialog(std::vector<const VideoCodec*> offered, QWidget* pParent)
    : QDialog(pParent), m_offered(std::move(offered))
{
    setWindowTitle(QStringLiteral("Komprese videa"));
    // A fixed little dialog: a close box, no minimize or maximize box.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setModal(true);

    m_pCompressor = new QComboBox(this);
    for (const VideoCodec* pCodec : m_offered)
        m_pCompressor->addItem(QString::fromUtf8(pCodec->m_pszLabel));

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

    SetChoice(CompressionChoice{});
}

void CCompressionDialog::SetChoice(const CompressionChoice& choice)
{
    const auto it = std::find(m_offered.begin(), m_offered.end(), choice.m_pCodec);
    const int nRow = it == m_offered.end() ? 0 : static_cast<int>(it - m_offered.begin());
    const bool bQuality = choice.m_nQuality >= 1 && choice.m_nQuality <= 100;
    m_pQuality->setValue(bQuality ? choice.m_nQuality : kDefaultVideoQuality);
    m_pCompressor->setCurrentIndex(nRow);
    OnCompressorChanged(m_pCompressor->currentIndex());
    OnQualityChanged(m_pQuality->value());
}

CompressionChoice CCompressionDialog::GetChoice() const
{
    const VideoCodec* pCodec = m_offered.at(static_cast<std::size_t>(m_pCompressor->currentIndex()));
    return {pCodec, pCodec->m_bTakesQuality ? m_pQuality->value() : 0};
}

void CCompressionDialog::OnCompressorChanged(int nIndex)
{
    // Full frames and FFV1 keep every pixel: they have no quality to set.
    const bool bQuality = nIndex >= 0 && m_offered[static_cast<std::size_t>(nIndex)]->m_bTakesQuality;
    m_pQuality->setEnabled(bQuality);
    m_pQualityValue->setEnabled(bQuality);
}

void CCompressionDialog::OnQualityChanged(int nValue)
{
    m_pQualityValue->setText(QString::number(nValue));
}
