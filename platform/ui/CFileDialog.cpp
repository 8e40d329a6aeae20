#include "platform/ui/CFileDialog.h"

#include <string_view>

// Local
#include "platform/ui/CWnd.h"

CFileDialog::CFileDialog(BOOL bOpenFileDialog, const char* lpszDefExt, const char* lpszFileName, DWORD dwFlags,
                         const char* lpszFilter, CWnd* pParentWnd)
{
    m_request.bOpenFileDialog = bOpenFileDialog;
    m_request.defaultExtension = lpszDefExt;
    m_request.initialFileName = lpszFileName;
    m_request.flags = dwFlags;
    m_request.filters = ParseFilter(lpszFilter);
    m_request.hOwner = pParentWnd ? pParentWnd->GetSafeHwnd() : nullptr;
}

std::vector<FileFilter> CFileDialog::ParseFilter(const char* lpszFilter)
{
    // "Description|*.a;*.b|Description|*.c||": pairs of fields, ended by an empty one.
    std::vector<FileFilter> filters;
    if (!lpszFilter)
        return filters;
    std::string_view rest(lpszFilter);
    auto nextField = [&rest]() {
        const size_t bar = rest.find('|');
        std::string_view field = rest.substr(0, bar);
        rest = bar == std::string_view::npos ? std::string_view() : rest.substr(bar + 1);
        return field;
    };
    while (!rest.empty()) {
        const std::string_view description = nextField();
        if (description.empty())
            break;
        const std::string_view patterns = nextField();
        FileFilter filter;
        filter.description = CString(description);
        size_t start = 0;
        while (start <= patterns.size()) {
            const size_t semi = patterns.find(';', start);
            const std::string_view pattern =
                patterns.substr(start, semi == std::string_view::npos ? std::string_view::npos : semi - start);
            if (!pattern.empty())
                filter.patterns.emplace_back(pattern);
            if (semi == std::string_view::npos)
                break;
            start = semi + 1;
        }
        filters.push_back(std::move(filter));
    }
    return filters;
}

INT_PTR CFileDialog::DoModal()
{
    CString path;
    if (!AfxGetFileChooser().Choose(m_request, path) || path.IsEmpty())
        return IDCANCEL;
    // A name typed without an extension gets the default one.
    if (!m_request.defaultExtension.IsEmpty()) {
        const std::string& s = path.str();
        const size_t slash = s.find_last_of('/');
        const std::string_view name = std::string_view(s).substr(slash == std::string::npos ? 0 : slash + 1);
        if (name.find('.') == std::string_view::npos)
            path += "." + m_request.defaultExtension.str();
    }
    m_strPathName = path;
    return IDOK;
}

CString CFileDialog::GetPathName() const { return m_strPathName; }

CString CFileDialog::GetFileName() const
{
    const std::string& s = m_strPathName.str();
    const size_t slash = s.find_last_of('/');
    return CString(slash == std::string::npos ? s : s.substr(slash + 1));
}
