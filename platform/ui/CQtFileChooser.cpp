// File choosers as QFileDialog.

#include "platform/ui/IFileChooser.h"

// Qt
#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QSettings>

namespace {

class CQtFileChooser : public IFileChooser {
public:
    QString Choose(const FileChooserRequest& request) override
    {
        QFileDialog dialog(request.pOwner ? request.pOwner : QApplication::activeWindow());
        dialog.setAcceptMode(request.bOpen ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
        dialog.setFileMode(request.bOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
        dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.bConfirmOverwrite);
        // QFileDialog reads the patterns from a filter's last parentheses. Where
        // they are added for its sake, each entry shows its description alone.
        QStringList filters;
        bool bAdded = false;
        for (const FileFilter& filter : request.filters) {
            const QString strPatterns = QLatin1Char('(') + filter.patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
            const bool bShown = filter.strDescription.endsWith(strPatterns);
            filters << (bShown ? filter.strDescription : filter.strDescription + QLatin1Char(' ') + strPatterns);
            bAdded |= !bShown;
        }
        if (!filters.isEmpty())
            dialog.setNameFilters(filters);
        dialog.setOption(QFileDialog::HideNameFilterDetails, bAdded);
        if (!request.strDefaultSuffix.isEmpty()) {
            dialog.setDefaultSuffix(request.strDefaultSuffix);
            // Once the user picks a filter, a name typed without an extension
            // takes that filter's, from its first pattern "*.ext".
            QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&](const QString& strFilter) {
                if (const qsizetype nIndex = filters.indexOf(strFilter); nIndex >= 0)
                    dialog.setDefaultSuffix(request.filters[static_cast<std::size_t>(nIndex)].patterns.value(0).mid(2));
            });
        }
        if (!request.strFolder.isEmpty())
            dialog.setDirectory(request.strFolder);
        if (!request.strInitialName.isEmpty())
            dialog.selectFile(request.strInitialName);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return {};
        return dialog.selectedFiles().constFirst();
    }
};

} // namespace

template <>
IFileChooser& Seam<IFileChooser>::QtService()
{
    static CQtFileChooser chooser;
    return chooser;
}

QString ChooseFile(FileChooserRequest request)
{
    // The only thing the program keeps between runs: a folder for each kind
    // of file, in the desktop's place for settings.
    QSettings settings(QStringLiteral("plavex"), QStringLiteral("plavex"));
    const QString strKey = QStringLiteral("folders/") + request.strFolderKey;
    if (!request.strFolderKey.isEmpty() && request.strFolder.isEmpty()) {
        const QString strFolder = settings.value(strKey).toString();
        if (!strFolder.isEmpty() && QFileInfo(strFolder).isDir())
            request.strFolder = strFolder;
    }
    QString strPath = IFileChooser::Current().Choose(request);
    if (!strPath.isEmpty() && !request.strFolderKey.isEmpty())
        settings.setValue(strKey, QFileInfo(strPath).absolutePath());
    // A name typed without an extension gets the default one.
    if (!strPath.isEmpty() && !request.strDefaultSuffix.isEmpty() &&
        !strPath.section(QLatin1Char('/'), -1).contains(QLatin1Char('.')))
        strPath += QLatin1Char('.') + request.strDefaultSuffix;
    return strPath;
}
