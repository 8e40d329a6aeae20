#pragma once

// File choosers as QFileDialog.

#include <QStringList>

#include "platform/ui/IFileChooser.h"

class CQtFileChooser : public IFileChooser {
public:
    BOOL Choose(const FileChooserRequest& request, CString& pathName) override;

    // The filters as QFileDialog's name filters: "Description (*.a *.b)".
    static QStringList NameFilters(const std::vector<FileFilter>& filters);
};
