// Guards nothing itself: the recording stand-ins for the modal services.

#include "tests/platform/support/TestServices.h"

QMessageBox::StandardButton CRecordingMessageBox::Show(QWidget* pOwner, const QString& strText,
                                                       const QString& strCaption, QMessageBox::Icon icon,
                                                       QMessageBox::StandardButtons buttons)
{
    calls.push_back({pOwner, strText, strCaption, icon, buttons});
    if (answers.empty())
        return (buttons & QMessageBox::No) ? QMessageBox::No : QMessageBox::Ok;
    const QMessageBox::StandardButton answer = answers.front();
    answers.pop_front();
    return answer;
}

QString CScriptedFileChooser::Choose(const FileChooserRequest& request)
{
    requests.push_back(request);
    if (answers.empty())
        return {};
    const QString strAnswer = answers.front();
    answers.pop_front();
    return strAnswer;
}
