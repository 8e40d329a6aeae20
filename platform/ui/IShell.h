#pragma once

// Opens files with the desktop's default application for their type.

// Qt
#include <QString>

// Local
#include "platform/ui/Seam.h"

class IShell : public Seam<IShell> {
public:
    virtual ~IShell() = default;
    virtual bool Open(const QString& strPath) = 0;
};
template <> IShell& Seam<IShell>::QtService();
