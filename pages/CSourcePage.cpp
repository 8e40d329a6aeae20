#include "pages/CSourcePage.h"

// Qt
#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMimeData>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>

// Local
#include "pages/CPictureCache.h"
#include "pages/LoadFailureText.h"
#include "platform/ui/IFileChooser.h"
#include "res/resource.h"

namespace {

// The pictures the open chooser offers, also what a drop may bring.
const QStringList kPicturePatterns = {"*.gif", "*.jpeg", "*.jpg", "*.bmp", "*.png", "*.webp", "*.tif",
                                      "*.tiff", "*.heic", "*.heif", "*.avif", "*.wmf", "*.ico", "*.cur"};

// The paths of a drop of one or two existing picture files, as the chooser
// would offer them; empty for anything else.
QStringList DroppedPictures(const QMimeData* pData)
{
    QStringList paths;
    for (const QUrl& url : pData->urls()) {
        const QFileInfo file(url.toLocalFile());
        if (!url.isLocalFile() || !file.isFile() || !QDir::match(kPicturePatterns, file.fileName()))
            return {};
        paths << file.absoluteFilePath();
    }
    return paths.size() <= 2 ? paths : QStringList();
}

} // namespace

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
    setAcceptDrops(true);
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
    request.filters = {{QStringLiteral("Obrázky"), kPicturePatterns}};
    request.pOwner = window();
    request.strFolderKey = QStringLiteral("pictures");
    const QString strPath = ChooseFile(request);
    if (!strPath.isEmpty())
        ShowPath(pEdit, strPath);
}

void CSourcePage::ShowPath(QLineEdit* pEdit, const QString& strPath)
{
    pEdit->setText(strPath);
    pEdit->setCursorPosition(0);
}

void CSourcePage::dragEnterEvent(QDragEnterEvent* pEvent)
{
    if (!DroppedPictures(pEvent->mimeData()).isEmpty())
        pEvent->acceptProposedAction();
}

void CSourcePage::dropEvent(QDropEvent* pEvent)
{
    QStringList paths = DroppedPictures(pEvent->mimeData());
    if (paths.isEmpty())
        return;
    pEvent->acceptProposedAction();
    if (paths.size() == 2 || m_pFirstPath->text().isEmpty())
        ShowPath(m_pFirstPath, paths.takeFirst());
    if (!paths.isEmpty())
        ShowPath(m_pSecondPath, paths.front());
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
