#pragma once

// A font object. It may be created before any window or Qt application
// exists; the face is resolved when the font is first used. A face that is
// not installed becomes the desktop's substitute for it: a face with the same
// metrics where there is one, else the desktop's sans-serif.

#include <memory>

#include "platform/ui/CString.h"
#include "platform/ui/WinUser.h"

class CDC;
class QFont;

class CFont {
public:
    CFont();
    ~CFont();
    CFont(const CFont&) = delete;
    CFont& operator=(const CFont&) = delete;

    // nPointSize is in tenths of a point; pDC is accepted for its shape
    // (the screen's resolution is always used).
    BOOL CreatePointFont(int nPointSize, const char* lpszFaceName, CDC* pDC = nullptr);
    BOOL DeleteObject();
    bool IsCreated() const;

    int GetPointSizeTenths() const { return m_nPointSize; }
    const CString& GetRequestedFace() const { return m_strFace; }
    // The resolved font; null when not created. Needs a Qt GUI application.
    const QFont* GetQFont() const;

    // The installed face to use for a requested one.
    static CString ResolveFace(const char* lpszFaceName);

private:
    int m_nPointSize = 0;
    CString m_strFace;
    bool m_bCreated = false;
    mutable std::unique_ptr<QFont> m_pFont;
};
