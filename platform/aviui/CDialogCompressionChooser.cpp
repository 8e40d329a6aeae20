#include "platform/aviui/CDialogCompressionChooser.h"

// Qt
#include <QPointer>
#include <QWidget>

// Local
#include "platform/aviui/CCompressionDialog.h"

BOOL CDialogCompressionChooser::ChooseCompression(HWND hwndOwner, AVICOMPRESSOPTIONS& options)
{
    // The window handle is the owner's QWidget in this build.
    auto* pOwner = reinterpret_cast<QWidget*>(hwndOwner);
    // The owner may go while the dialog runs its own event loop.
    QPointer<CCompressionDialog> pDialog = new CCompressionDialog(pOwner);
    pDialog->SetChoice(m_last);
    const int nResult = pDialog->exec();
    if (!pDialog)
        return FALSE;
    if (nResult == QDialog::Accepted)
        pDialog->GetChoice(m_last);
    delete pDialog.data();
    if (nResult != QDialog::Accepted)
        return FALSE;
    options.fccType = m_last.fccType;
    options.fccHandler = m_last.fccHandler;
    options.dwQuality = m_last.dwQuality;
    return TRUE;
}
