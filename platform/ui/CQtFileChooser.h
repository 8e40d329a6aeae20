#pragma once

// File choosers as QFileDialog.

#include "platform/ui/IFileChooser.h"

class CQtFileChooser : public IFileChooser {
public:
    QString Choose(const FileChooserRequest& request) override;
};
