#include "platform/aviui/CCompressionDialog.h"

#include <iterator>

// Qt
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

// Local
#include "platform/avi/FrameEncoderFactory.h"

namespace {

struct CompressorRow {
    const char* szName;
    FOURCC fccHandler;
    bool bQuality; // lossy, so the slider applies
};

// Indexed by CCompressionDialog::Compressor.
constexpr CompressorRow kRows[] = {
    {"Plné snímky (nekomprimované)", comptypeDIB, false},
    {"Motion JPEG", comptypeMJPG, true},
    {"H.264", comptypeH264, true},
    {"FFV1 (bezeztrátový)", comptypeFFV1, false},
};

} // namespace

CCompressionDialog::CCompressionDialog(QWidget* pParent) : QDialog(pParent)
{
    setWindowTitle(QStringLiteral("Komprese videa"));
    // A fixed little dialog: a close box, no minimize or maximize box.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setModal(true);

    m_pCompressor = new QComboBox(this);
    for (const CompressorRow& row : kRows)
        m_pCompressor->addItem(QString::fromUtf8(row.szName));

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
    const FOURCC fccHandler = CanonicalCompressor(options.fccHandler);
    int nRow = kFullFrames;
    for (int i = 0; i < static_cast<int>(std::size(kRows)); ++i)
        if (kRows[i].fccHandler == fccHandler)
            nRow = i;
    const DWORD nQuality = options.dwQuality >= 1 && options.dwQuality <= 100 ? options.dwQuality : kMjpegDefaultQuality;
    m_pQuality->setValue(static_cast<int>(nQuality));
    m_pCompressor->setCurrentIndex(nRow);
    OnCompressorChanged(m_pCompressor->currentIndex());
    OnQualityChanged(m_pQuality->value());
}

void CCompressionDialog::GetChoice(AVICOMPRESSOPTIONS& options) const
{
    const CompressorRow& row = kRows[m_pCompressor->currentIndex()];
    options.fccType = streamtypeVIDEO;
    options.fccHandler = row.fccHandler;
    options.dwQuality = row.bQuality ? static_cast<DWORD>(m_pQuality->value()) : 0;
}

void CCompressionDialog::OnCompressorChanged(int nIndex)
{
    // Full frames and FFV1 keep every pixel: they have no quality to set.
    const bool bQuality = nIndex >= 0 && kRows[nIndex].bQuality;
    m_pQuality->setEnabled(bQuality);
    m_pQualityValue->setEnabled(bQuality);
}

void CCompressionDialog::OnQualityChanged(int nValue)
{
    m_pQualityValue->setText(QString::number(nValue));
}
