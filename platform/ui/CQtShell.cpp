// Files opened through QDesktopServices.

#include "platform/ui/IShell.h"

// Qt
#include <QDesktopServices>
#include <QUrl>

namespace {

class CQtShell : public IShell {
public:
    bool Open(const QString& strPath) override { return QDesktopServices::openUrl(QUrl::fromLocalFile(strPath)); }
};

} // namespace

template <>
IShell& Seam<IShell>::QtService()
{
    static CQtShell shell;
    return shell;
}
