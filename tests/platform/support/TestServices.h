#pragma once

// Stand-ins for the modal services, for tests: each installs itself while it
// lives, answers from a script and records what it was asked. And for the
// real modal windows, a script run on the next one shown.

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

// Qt
#include <QApplication>
#include <QDialog>
#include <QTimer>

#include "platform/ui/IFileChooser.h"
#include "platform/ui/IMessageBox.h"
#include "platform/ui/IShell.h"

// In place of the service while it lives.
template <class Service>
class Installed : public Service {
public:
    Installed() : m_pPrevious(Service::Install(this)) {}
    ~Installed() override { Service::Install(m_pPrevious); }

private:
    Service* m_pPrevious;
};

class CRecordingMessageBox : public Installed<IMessageBox> {
public:
    // A box as "caption, kind: text", the kind "ok", "! ok" (a warning) or
    // "? yes/no" (a question).
    static std::string Box(const std::string& strCaption, const std::string& strKind, const std::string& strText)
    {
        return strCaption + ", " + strKind + ": " + strText;
    }
    QMessageBox::StandardButton Show(QWidget*, const QString& strText, const QString& strCaption, QMessageBox::Icon icon,
                                     QMessageBox::StandardButtons buttons) override
    {
        const bool bYesNo = buttons == (QMessageBox::Yes | QMessageBox::No);
        const char* pszIcon = icon == QMessageBox::Warning ? "! " : icon == QMessageBox::Question ? "? " : icon ? "icon " : "";
        shown.push_back(Box(strCaption.toStdString(), pszIcon + std::string(bYesNo ? "yes/no" : buttons == QMessageBox::Ok ? "ok" : "other"),
                            strText.toStdString()));
        const QMessageBox::StandardButton answer = !answers.empty() ? answers.front() : bYesNo ? QMessageBox::No : QMessageBox::Ok;
        if (!answers.empty())
            answers.pop_front();
        return answer;
    }

    std::vector<std::string> shown;
    std::deque<QMessageBox::StandardButton> answers;   // given in order; then Ok, or No for a yes/no box
};

class CScriptedFileChooser : public Installed<IFileChooser> {
public:
    QString Choose(const FileChooserRequest& request) override
    {
        requests.push_back(request);
        const QString strAnswer = answers.empty() ? QString() : answers.front();
        if (!answers.empty())
            answers.pop_front();
        return strAnswer;
    }

    std::vector<FileChooserRequest> requests;
    std::deque<QString> answers;   // an empty path cancels; no answer left cancels too
};

class CRecordingShell : public Installed<IShell> {
public:
    bool Open(const QString& strPath) override
    {
        opened.push_back(strPath.toStdString());
        return true;
    }

    std::vector<std::string> opened;
};

// Runs `script` on the modal window of type W that the next loop shows; a
// window the script leaves open is closed later, so that it cannot hang the tests.
template <class W>
void WhenShown(const std::function<void(W*)>& script)
{
    QTimer::singleShot(0, [script] {
        auto* pWindow = qobject_cast<W*>(QApplication::activeModalWidget());
        ASSERT_NE(pWindow, nullptr) << "no modal window";
        script(pWindow);
        QTimer::singleShot(5000, pWindow, [pWindow] {
            ADD_FAILURE() << "the window stayed open";
            static_cast<QDialog*>(pWindow)->done(0);
        });
    });
}
