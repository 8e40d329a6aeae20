#include "platform/ui/CString.h"

#include <cstdarg>
#include <cstdio>

CString::CString(const char* psz) : m_str(psz ? psz : "") {}
CString::CString(std::string_view text) : m_str(text) {}
CString::CString(std::string text) noexcept : m_str(std::move(text)) {}

int CString::GetLength() const { return static_cast<int>(m_str.size()); }
bool CString::IsEmpty() const { return m_str.empty(); }
void CString::Empty() { m_str.clear(); }
const char* CString::GetString() const { return m_str.c_str(); }
CString::operator const char*() const { return m_str.c_str(); }
const std::string& CString::str() const { return m_str; }

void CString::Format(const char* pszFormat, ...)
{
    va_list args;
    va_start(args, pszFormat);
    va_list copy;
    va_copy(copy, args);
    const int needed = std::vsnprintf(nullptr, 0, pszFormat, copy);
    va_end(copy);
    if (needed < 0) {
        m_str.clear();
    } else {
        std::string out(static_cast<size_t>(needed) + 1, '\0');
        std::vsnprintf(out.data(), out.size(), pszFormat, args);
        out.resize(static_cast<size_t>(needed));
        m_str = std::move(out);
    }
    va_end(args);
}

CString& CString::operator=(const char* psz)
{
    m_str = psz ? psz : "";
    return *this;
}

CString& CString::operator+=(std::string_view text)
{
    m_str += text;
    return *this;
}
