// Guards nothing itself: the recording stand-ins for the modal services.

#include "tests/platform/support/TestServices.h"

int CRecordingMessageBox::Show(HWND hOwner, const CString& text, const CString& caption, UINT nType)
{
    calls.push_back({hOwner, text, caption, nType});
    if (answers.empty())
        return (nType & MB_TYPEMASK) == MB_YESNO ? IDNO : IDOK;
    const int answer = answers.front();
    answers.pop_front();
    return answer;
}

BOOL CScriptedFileChooser::Choose(const FileChooserRequest& request, CString& pathName)
{
    requests.push_back(request);
    if (answers.empty())
        return FALSE;
    pathName = answers.front();
    answers.pop_front();
    return pathName.IsEmpty() ? FALSE : TRUE;
}
