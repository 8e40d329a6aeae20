#include "pages/CDialogCompressionChooser.h"

// Qt
#include <QPointer>
#include <QWidget>

// Local
#include "pages/CCompressionDialog.h"

std::optional<CompressionChoice> CDialogCompressionChooser::Choose(QWidget* pOwner,
                                                                   const std::vector<const VideoCodec*>& offered)
{
    // The owner may go while the dialog runs its own event loop.
    QPointer<CCompressionDialog> pDialog = new CCompressionDialog(offered, pOwner);
    pDialog->SetChoice(m_last);
    const int nResult = pDialog->exec();
    if (!pDialog)
        return std::nullopt;
    if (nResult == QDialog::Accepted)
        m_last = pDialog->GetChoice();
    delete pDialog.data();
    if (nResult != QDialog::Accepted)
        return std::nullopt;
    return m_last;
}
