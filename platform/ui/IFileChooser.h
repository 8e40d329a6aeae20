#pragma once

// Asks the user for a file to open or a name to save under.

#include <vector>

// Qt
#include <QStringList>

// Local
#include "platform/ui/Seam.h"

class QWidget;

struct FileFilter {
    QString strDescription;     // as shown, e.g. "Avi soubory (*.avi)"
    QStringList patterns;       // e.g. "*.avi"
};

struct FileChooserRequest {
    bool bOpen = true;              // an existing file to open, or a name to save under
    QString strDefaultSuffix;       // without the dot; empty for none
    QString strInitialName;
    bool bConfirmOverwrite = false; // saving over an existing file asks first
    std::vector<FileFilter> filters;
    QWidget* pOwner = nullptr;
    // The kind of file whose last folder ChooseFile remembers, across runs;
    // empty for none.
    QString strFolderKey = {};
    // Where the chooser opens; empty for the desktop's default.
    QString strFolder = {};
};

class IFileChooser : public Seam<IFileChooser> {
public:
    virtual ~IFileChooser() = default;
    // The full path chosen, or an empty one when cancelled.
    virtual QString Choose(const FileChooserRequest& request) = 0;
};
template <> IFileChooser& Seam<IFileChooser>::QtService();

// Asks the installed chooser, opening it in the folder last chosen from for
// the request's kind of file. A name chosen without an extension gets the
// default suffix. Empty when cancelled.
QString ChooseFile(FileChooserRequest request);
