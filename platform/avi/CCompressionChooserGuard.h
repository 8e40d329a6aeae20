#pragma once

// Local
#include "platform/avi/ICompressionChooser.h"

// Installs a compression chooser for its lifetime and restores the previous one.
class CCompressionChooserGuard {
public:
    explicit CCompressionChooserGuard(ICompressionChooser* chooser)
        : m_pPrevious(InstallCompressionChooser(chooser))
    {
    }
    ~CCompressionChooserGuard() { InstallCompressionChooser(m_pPrevious); }

    CCompressionChooserGuard(const CCompressionChooserGuard&) = delete;
    CCompressionChooserGuard& operator=(const CCompressionChooserGuard&) = delete;

private:
    ICompressionChooser* m_pPrevious;
};
