#include "pages/CSourcePage.h"

// Qt
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>

// Local
#include "pages/CPictureCache.h"
#include "pages/LoadFailureText.h"
#include "platform/ui/IFileChooser.h"
#include "res/resource.h"

CSourcePage::CSourcePage(QWidget* pParent)
    : CTemplatePage(IDD_SOURCE, pParent), m_pFirstPath(m_items.Item<QLineEdit>(IDC_PATH)),
      m_pSecondPath(m_items.Item<QLineEdit>(IDC_SECOND_PATH)),
      m_pAnimation(m_items.Item<QRadioButton>(IDC_RADIO_FIRST)),
      m_pFirstThumb(m_items.Item<QLabel>(IDC_FIRST_THUMB)), m_pSecondThumb(m_items.Item<QLabel>(IDC_SECOND_THUMB)),
      m_pFirstReason(m_items.Item<QLabel>(IDC_FIRST_REASON)), m_pSecondReason(m_items.Item<QLabel>(IDC_SECOND_REASON))
{
    connect(m_items.Item<QPushButton>(IDC_BROWSE), &QPushButton::clicked, this, &CSourcePage::OnBrowseFirst);
    connect(m_items.Item<QPushButton>(IDC_BROWSE_SECOND), &QPushButton::clicked, this, &CSourcePage::OnBrowseSecond);
    // A path reaches its edit from the chooser or from the members; either
    // way the thumbnail follows.
    for (QLineEdit* pEdit : {m_pFirstPath, m_pSecondPath})
        connect(pEdit, &QLineEdit::textChanged, this, &CSourcePage::ShowThumbnails);
    UpdateData(false);
}

void CSourcePage::DoDataExchange(CDataExchange& dx)
{
    dx.Radio(m_pAnimation, m_nMode);
    dx.Text(m_pFirstPath, m_strFirstPath);
    dx.Text(m_pSecondPath, m_strSecondPath);
}

void CSourcePage::Reset()
{
    static_cast<SourceValues&>(*this) = {};
    UpdateData(false);
}

void CSourcePage::OnBrowseFirst() { BrowseInto(m_pFirstPath); }
void CSourcePage::OnBrowseSecond() { BrowseInto(m_pSecondPath); }

void CSourcePage::BrowseInto(QLineEdit* pEdit)
{
    FileChooserRequest request;
    request.filters = {{QStringLiteral("Obrázky"),
                        {"*.gif", "*.jpeg", "*.jpg", "*.bmp", "*.png", "*.webp", "*.tif", "*.tiff", "*.heic", "*.heif",
                         "*.avif", "*.wmf", "*.ico", "*.cur"}}};
    request.pOwner = window();
    const QString strPath = ChooseFile(request);
    if (strPath.isEmpty())
        return;
    pEdit->setText(strPath);
    pEdit->setCursorPosition(0);
}

void CSourcePage::SetPictureCache(CPictureCache* pPictures)
{
    m_pPictures = pPictures;
    if (pPictures)
        pPictures->AddListener([this] { ShowThumbnails(); });
}

void CSourcePage::ShowThumbnails()
{
    if (!m_pPictures)
        return;
    for (const auto& [pEdit, pThumb, pReason] : {std::tuple{m_pFirstPath, m_pFirstThumb, m_pFirstReason},
                                                 std::tuple{m_pSecondPath, m_pSecondThumb, m_pSecondReason}}) {
        const QString strPath = pEdit->text();
        const EngineResult<PreviewPicture>* pPicture = m_pPictures->Find(strPath);
        QString strReason;
        QPixmap pixmap;
        if (!strPath.isEmpty() && !pPicture) {
            strReason = QStringLiteral("Načítám obrázek…");
        } else if (pPicture && !*pPicture) {
            strReason = QString::fromUtf8(LoadFailureReason(pPicture->Error().m_nCode));
        } else if (pPicture) {
            // Drawn for the screen's own pixels, so it stays sharp on a dense display.
            const qreal dRatio = pThumb->devicePixelRatioF();
            const QImage& image = pPicture->Value().m_bitmap.Image();
            pixmap = QPixmap::fromImage(image.scaled((QSizeF(pThumb->size()) * dRatio).toSize(), Qt::KeepAspectRatio,
                                                     Qt::SmoothTransformation));
            pixmap.setDevicePixelRatio(dRatio);
        }
        pThumb->setAlignment(Qt::AlignCenter);
        pThumb->setPixmap(pixmap);
        pReason->setText(strReason);
    }
}
