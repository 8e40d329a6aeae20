#include "platform/ui/CQtFileChooser.h"

// Qt
#include <QApplication>
#include <QFile>
#include <QFileDialog>

// Local
#include "platform/ui/CWinApp.h"
#include "platform/ui/CWnd.h"

QStringList CQtFileChooser::NameFilters(const std::vector<FileFilter>& filters)
{
    QStringList result;
    for (const FileFilter& filter : filters) {
        QStringList patterns;
        for (const CString& pattern : filter.patterns)
            patterns << QString::fromUtf8(pattern.GetString());
        const QString joined = patterns.join(QLatin1Char(' '));
        QString description = QString::fromUtf8(filter.description.GetString());
        // QFileDialog reads the patterns from the last parentheses; a
        // description that already shows them keeps its own wording.
        if (!description.endsWith(QLatin1Char('(') + joined + QLatin1Char(')')))
            description += QStringLiteral(" (") + joined + QLatin1Char(')');
        result << description;
    }
    return result;
}

BOOL CQtFileChooser::Choose(const FileChooserRequest& request, CString& pathName)
{
    QWidget* pOwner = reinterpret_cast<QWidget*>(request.hOwner);
    if (!pOwner && AfxGetMainWnd())
        pOwner = AfxGetMainWnd()->GetWidget();
    if (!pOwner)
        pOwner = QApplication::activeWindow();

    QFileDialog dialog(pOwner);
    if (request.bOpenFileDialog) {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode((request.flags & OFN_FILEMUSTEXIST) ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setOption(QFileDialog::DontConfirmOverwrite, !(request.flags & OFN_OVERWRITEPROMPT));
    }
    const QStringList filters = NameFilters(request.filters);
    if (!filters.isEmpty())
        dialog.setNameFilters(filters);
    // Where the patterns were added for Qt's sake, the entry shows only its
    // own description; a description that names its patterns keeps them.
    bool bAdded = false;
    for (std::size_t i = 0; i < request.filters.size(); ++i)
        bAdded |= filters[static_cast<qsizetype>(i)] != QString::fromUtf8(request.filters[i].description.GetString());
    dialog.setOption(QFileDialog::HideNameFilterDetails, bAdded);
    if (!request.defaultExtension.IsEmpty())
        dialog.setDefaultSuffix(QString::fromUtf8(request.defaultExtension.GetString()));
    if (!request.initialFileName.IsEmpty())
        dialog.selectFile(QFile::decodeName(request.initialFileName.GetString()));

    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return FALSE;
    pathName = CString(QFile::encodeName(dialog.selectedFiles().constFirst()).toStdString());
    return TRUE;
}
