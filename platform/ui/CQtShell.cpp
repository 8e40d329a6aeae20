#include "platform/ui/CQtShell.h"

// Qt
#include <QDesktopServices>
#include <QUrl>

template <>
IShell& Seam<IShell>::QtService()
{
    static CQtShell shell;
    return shell;
}

bool CQtShell::Open(const QString& strPath) { return QDesktopServices::openUrl(QUrl::fromLocalFile(strPath)); }
