#include "platform/ui/CFont.h"

// Qt
#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>

CFont::CFont() = default;
CFont::~CFont() = default;

BOOL CFont::CreatePointFont(int nPointSize, const char* lpszFaceName, CDC*)
{
    if (m_bCreated || nPointSize <= 0)
        return FALSE;
    m_nPointSize = nPointSize;
    m_strFace = lpszFaceName;
    m_bCreated = true;
    m_pFont.reset();
    return TRUE;
}

BOOL CFont::DeleteObject()
{
    if (!m_bCreated)
        return FALSE;
    m_bCreated = false;
    m_pFont.reset();
    return TRUE;
}

bool CFont::IsCreated() const { return m_bCreated; }

const QFont* CFont::GetQFont() const
{
    if (!m_bCreated || !QGuiApplication::instance())
        return nullptr;
    if (!m_pFont) {
        m_pFont = std::make_unique<QFont>(QString::fromUtf8(ResolveFace(m_strFace).GetString()));
        m_pFont->setPointSizeF(m_nPointSize / 10.0);
    }
    return m_pFont.get();
}

CString CFont::ResolveFace(const char* lpszFaceName)
{
    const QString face = QString::fromUtf8(lpszFaceName ? lpszFaceName : "");
    if (!face.isEmpty() && QFontDatabase::hasFamily(face))
        return CString(lpszFaceName);
    // The desktop's own substitute: a face with the same metrics where it
    // has one (Arial becomes Liberation Sans), otherwise its sans-serif.
    QFont probe(face.isEmpty() ? QFontDatabase::systemFont(QFontDatabase::GeneralFont).family() : face);
    probe.setStyleHint(QFont::SansSerif);
    return CString(QFontInfo(probe).family().toUtf8().toStdString());
}
