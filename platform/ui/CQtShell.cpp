#include "platform/ui/CQtShell.h"

// Qt
#include <QDesktopServices>
#include <QFile>
#include <QUrl>

BOOL CQtShell::Open(const CString& path)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QFile::decodeName(path.GetString()))) ? TRUE : FALSE;
}
